#include "PdfCommand.h"

#include "FigureSheet.h"
#include "PaperCatalog.h"
#include "PaperFigureReader.h"
#include "PdfFile.h"
#include "TDatabase.h"
#include "TSqlStatement.h"
#include "ToolApplication.h"
#include "ToolFiles.h"

#include <QDir>
#include <QFile>

#include <optional>

namespace {

constexpr int BadArguments = 64;

struct Options {
    std::vector<std::string> files;
    std::optional<std::string> genre;
    std::optional<std::string> manufacturer;
    std::optional<std::string> figure;
};

bool Parse(const std::vector<std::string>& args, Options& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::optional<std::string>* option = nullptr;
        if (args[i] == "--genre")
            option = &options.genre;
        else if (args[i] == "--manufacturer")
            option = &options.manufacturer;
        else if (args[i] == "--figure")
            option = &options.figure;
        if (option != nullptr) {
            if (*option || i + 1 == args.size())
                return false;
            *option = args[++i];
        } else if (!args[i].empty() && args[i][0] != '-' && options.files.size() < 2) {
            options.files.push_back(args[i]);
        } else {
            return false;
        }
    }
    return options.files.size() == 2 &&
           !(options.figure && (options.genre || options.manufacturer));
}

bool Exists(const char* sql, const QString& value) {
    TSqlStatement statement(TDatabase::Connected(QStringLiteral("ADB")).Handle(),
                            QString::fromLatin1(sql));
    statement.BindAll([&value](const QString&) { return QVariant(value); });
    return statement.Step();
}

} // namespace

int PdfCommand::Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    Options options;
    if (!Parse(args, options)) {
        std::fprintf(err, "usage: velmora-tool %s\n", Usage);
        return BadArguments;
    }
    const std::string& pdf = options.files[1];
    const QString database =
        QDir(QFile::decodeName(options.files[0].c_str())).filePath(TDatabase::FileNameInFolder);
    if (SameFile(pdf, QFile::encodeName(database).toStdString())) {
        std::fprintf(err, "velmora-tool: %s is the catalog itself\n", pdf.c_str());
        return BadArguments;
    }
    const QString fileName = QFile::decodeName(pdf.c_str());
    return ReadCatalog(options.files[0], err, [&] {
        if (options.figure) {
            FigureSheet sheet;
            if (!sheet.Read(QString::fromStdString(*options.figure))) {
                std::fprintf(err, "velmora-tool: no figure has the key %s\n",
                             options.figure->c_str());
                return 1;
            }
            PdfFile file(fileName, sheet.Name());
            sheet.Print(file.Writer());
            file.Commit();
            std::fprintf(out, "%s: the sheet of %s\n", pdf.c_str(),
                         sheet.Name().toUtf8().constData());
            return 0;
        }
        QStringList conditions;
        QStringList shown;
        QVariantMap values;
        const std::pair<const std::optional<std::string>*, const char*> filters[] = {
            {&options.genre, "genre"}, {&options.manufacturer, "manufacturer"}};
        for (const auto& [value, what] : filters) {
            if (!*value)
                continue;
            const QString name = QString::fromStdString(**value);
            const bool genre = value == &options.genre;
            if (!Exists(genre ? "select 1 from genres where genre_name = :name"
                              : "select 1 from producers where producer_name = :name",
                        name)) {
                std::fprintf(err, "velmora-tool: no %s is named %s\n", what, (*value)->c_str());
                return 1;
            }
            conditions << (genre ? QStringLiteral("g.genre_name = :genre")
                                 : QStringLiteral("p.producer_name = :manufacturer"));
            values.insert(QString::fromLatin1(what), name);
            shown << name;
        }
        const QString title = shown.isEmpty()
                                  ? QStringLiteral("Figures")
                                  : QStringLiteral("Figures: ") + shown.join(QStringLiteral(", "));
        PaperFigureReader figures(
            conditions.isEmpty() ? QString() : QStringLiteral(" where ") + conditions.join(" and "),
            values);
        const int count = figures.Count();
        PdfFile file(fileName, title);
        const int pages = PaperCatalog(title).Print(file.Writer(), figures);
        file.Commit();
        std::fprintf(out, "%s: figures %d, pages %d\n", pdf.c_str(), count, pages);
        return 0;
    });
}
