// velmora-tool scheme as a process: the check's result, the exported bitmap
// and the import's refusals with their exit codes.

#include "BmpWriter.h"
#include "SchemeDocument.h"
#include "SchemePainter.h"

#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <utility>

namespace {

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct ToolRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

ToolRun Tool(const QTemporaryDir& folder, const QString& arguments) {
    const QString out = folder.filePath("stdout");
    const QString err = folder.filePath("stderr");
    const int status = std::system(QString("'%1' scheme %2 >'%3' 2>'%4'")
                                       .arg(VELMORA_TOOL_PATH, arguments, out, err)
                                       .toLocal8Bit());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), ReadFile(err)};
}

} // namespace

TEST(SchemeToolTest, ChecksAndDrawsAnExportedSchemeOrTellsWhyNot) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    SchemeDocument scheme;
    scheme.Root.SetAttribute("HEIGHT", "150");
    scheme.Root.SetAttribute("WIDTH", "301");
    TZunPigger* from = scheme.AddNode(30, 30, "Prime", 0);
    TZunPigger* to = scheme.AddNode(170, 60, "Paint the face", 0);
    TZunPigger* line = scheme.AddLine(60, 50, 150, 80, 0, "9D4A0C51E37B4F2A8C6E1B0F5D2A7C39");
    SchemeDocument::AttachBegin(line, from);
    SchemeDocument::AttachEnd(line, to);
    scheme.SetVersion();
    const std::pair<const char*, std::string> files[] = {
        {"good.APSH", scheme.Root.SaveToString()},
        {"config.APSH", R"(<CONFIG HEIGHT="400" WIDTH="600" VERSION="2"/>)"},
        {"old.APSH", R"(<SHEME HEIGHT="400" WIDTH="600" VERSION="1"/>)"},
        {"broken.APSH", R"(<SHEME HEIGHT="400)"}};
    for (const auto& file : files) {
        QFile written(folder.filePath(file.first));
        ASSERT_TRUE(written.open(QIODevice::WriteOnly));
        written.write(file.second.data(), static_cast<qint64>(file.second.size()));
    }

    const QString bmp = folder.filePath("out.bmp");
    const ToolRun good =
        Tool(folder, QString("'%1' --bmp '%2'").arg(folder.filePath("good.APSH"), bmp));
    EXPECT_EQ(0, good.exitCode) << good.err.constData();
    EXPECT_EQ("No errors found\n", good.out);
    const QByteArray bytes = ReadFile(bmp);
    ASSERT_GE(bytes.size(), 54);
    EXPECT_EQ("BM", bytes.left(2));
    EXPECT_EQ(301, qFromLittleEndian<qint32>(bytes.constData() + 18));
    EXPECT_EQ(150, qFromLittleEndian<qint32>(bytes.constData() + 22));
    EXPECT_EQ(
        BitmapToBmpBytes(SchemePainter::Bitmap(scheme.Root, {}, 301, 150, QGuiApplication::font())),
        bytes);

    // %1 stands for the folder.
    const struct {
        const char* arguments;
        int exitCode;
        QByteArray err;
    } refused[] = {
        {"'%1/config.APSH'", 1, "Cna't load XML\nNOT A SHEME XML\n"},
        {"'%1/old.APSH'", 1, "Cna't load XML\nVersion conflict\n"},
        {"'%1/broken.APSH'", 1, {}},
        {"'%1/missing.APSH'", 2, {}},
        {"'%1/good.APSH' --bmp '%1/good.APSH'", 64, {}},
        {"--bmp '%1/out.bmp'", 64, {}},
    };
    for (const auto& run : refused) {
        const ToolRun result = Tool(folder, QString(run.arguments).arg(folder.path()));
        EXPECT_EQ(run.exitCode, result.exitCode) << run.arguments;
        EXPECT_TRUE(result.out.isEmpty()) << run.arguments;
        if (!run.err.isEmpty())
            EXPECT_EQ(run.err, result.err) << run.arguments;
        else
            EXPECT_FALSE(result.err.isEmpty()) << run.arguments;
    }
    EXPECT_EQ(QByteArray::fromStdString(scheme.Root.SaveToString()),
              ReadFile(folder.filePath("good.APSH")));
}
