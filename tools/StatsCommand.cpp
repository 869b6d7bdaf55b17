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

// Money as a number with at most two decimals: the nearest double to the
// exact sum in cents.
double Amount(qint64 cents) {
    return static_cast<double>(cents) / 100.0;
}

QByteArray Json(const TCatalogStats& stats) {
    const std::optional<double> share = stats.FinishedShare();
    QJsonObject totals{{"figures", static_cast<double>(stats.Figures())},
                       {"pieces", static_cast<double>(stats.Pieces())},
                       {"finished_share", share ? QJsonValue(*share) : QJsonValue()},
                       {"price", Amount(stats.PriceTotalCents())},
                       {"value", Amount(stats.ValueTotalCents())}};
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

void PrintText(const TCatalogStats& stats, std::FILE* out) {
    std::fprintf(out, "figures: %lld\n", static_cast<long long>(stats.Figures()));
    std::fprintf(out, "pieces: %lld\n", static_cast<long long>(stats.Pieces()));
    if (const std::optional<double> share = stats.FinishedShare())
        std::fprintf(out, "finished share: %.4f\n", *share);
    std::fprintf(out, "price: %s\nvalue: %s\n",
                 TCatalogStats::Money(stats.PriceTotalCents()).toUtf8().constData(),
                 TCatalogStats::Money(stats.ValueTotalCents()).toUtf8().constData());
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
