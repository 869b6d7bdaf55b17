#include "ToolApplication.h"

#include "EDatabaseError.h"
#include "EFileError.h"
#include "TDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

std::unique_ptr<QGuiApplication> MakeGuiApplication() {
    if (QGuiApplication::instance() != nullptr)
        return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "velmora-tool";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

int ReadCatalog(const std::string& dataFolder, std::FILE* err, const std::function<int()>& work) {
    const QString folder = QFile::decodeName(dataFolder.c_str());
    if (!QFileInfo(QDir(folder).filePath(TDatabase::FileNameInFolder)).isFile()) {
        std::fprintf(err, "velmora-tool: %s holds no catalog (%s)\n", dataFolder.c_str(),
                     TDatabase::FileNameInFolder);
        return 1;
    }
    const std::unique_ptr<QGuiApplication> application = MakeGuiApplication();
    TDatabase database(QStringLiteral("ADB"));
    try {
        database.DriverName = QStringLiteral("STANDARD");
        database.Params = {QStringLiteral("PATH=") + folder};
        database.ReadOnly = true;
        database.Open();
        return work();
    } catch (const EFileError& e) {
        std::fprintf(err, "velmora-tool: %s\n", e.what());
        return 2;
    } catch (const EDatabaseError& e) {
        std::fprintf(err, "velmora-tool: the catalog cannot be read: %s\n",
                     e.Message().toUtf8().constData());
        return 1;
    }
}
