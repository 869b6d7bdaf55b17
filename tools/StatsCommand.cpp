#include "StatsCommand.h"

#include "TCatalogStats.h"
#include "TDatabase.h"
#include "ToolApplication.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <optional>

namespace {

constexpr int BadArguments = 64;

struct Group {
    const char* name;
    std::vector<TStatBar> bars;
};

std::vector<Group> Groups(const TCatalogStats& stats) {
    return {{"genre", stats.ByGenre()},           {"manufacturer", stats.ByManufacturer()},
            {"scale", stats.ByScale()},           {"type", stats.ByType()},
            {"century", stats.ByCentury()},       {"status", stats.ByStatus()},
            {"acquired", stats.AcquiredPerYear()}};
}

template <class T> QJsonValue JsonOrNull(const std::optional<T>& value) {
    return value ? QJsonValue(static_cast<double>(*value)) : QJsonValue();
}

QByteArray Json(const TCatalogStats& stats) {
    QJsonObject totals{{"figures", static_cast<double>(stats.Figures())},
                       {"pieces", JsonOrNull(stats.Pieces())},
                       {"finished_share", JsonOrNull(stats.FinishedShare())},
                       {"price", JsonOrNull(stats.PriceTotal())},
                       {"value", JsonOrNull(stats.ValueTotal())}};
    QJsonObject groups;
    for (const Group& group : Groups(stats)) {
        QJsonArray bars;
        for (const TStatBar& bar : group.bars)
            bars.append(QJsonObject{{"key", bar.key},
                                    {"label", bar.label},
                                    {"figures", static_cast<double>(bar.figures)}});
        groups.insert(QLatin1String(group.name), bars);
    }
    return QJsonDocument(QJsonObject{{"totals", totals}, {"by", groups}})
        .toJson(QJsonDocument::Indented);
}

template <class T>
void PrintTotal(std::FILE* out, const char* name, const std::optional<T>& value) {
    if (value)
        std::fprintf(out, "%s: %g\n", name, static_cast<double>(*value));
}

void PrintText(const TCatalogStats& stats, std::FILE* out) {
    std::fprintf(out, "figures: %lld\n", static_cast<long long>(stats.Figures()));
    PrintTotal(out, "pieces", stats.Pieces());
    PrintTotal(out, "finished share", stats.FinishedShare());
    PrintTotal(out, "price", stats.PriceTotal());
    PrintTotal(out, "value", stats.ValueTotal());
    for (const Group& group : Groups(stats)) {
        if (group.bars.empty())
            continue;
        std::fprintf(out, "\nby %s:\n", group.name);
        for (const TStatBar& bar : group.bars)
            std::fprintf(
                out, "  %-32s %lld\n",
                (bar.label.isEmpty() ? QStringLiteral("(none)") : bar.label).toUtf8().constData(),
                static_cast<long long>(bar.figures));
    }
}

} // namespace

int StatsCommand::Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    std::vector<std::string> folders;
    bool json = false;
    bool bad = false;
    for (const std::string& arg : args) {
        if (arg == "--json" && !json)
            json = true;
        else if (!arg.empty() && arg[0] != '-' && folders.empty())
            folders.push_back(arg);
        else
            bad = true;
    }
    if (bad || folders.size() != 1) {
        std::fprintf(err, "usage: velmora-tool %s\n", Usage);
        return BadArguments;
    }
    return ReadCatalog(folders[0], err, [&] {
        const TCatalogStats stats(TDatabase::Connected(QStringLiteral("ADB")).Handle());
        if (json)
            std::fputs(Json(stats).constData(), out);
        else
            PrintText(stats, out);
        return 0;
    });
}
