// The published catalog's index in headless Chromium: the time from the
// start of navigation to the end of the load event, against the same page
// with its script elements removed, in the same run. Each load happens in a
// fresh browser context; the times come from the page's own navigation
// timing, so starting the browser is not counted.
//
//     bench_site_load [--site=FOLDER] [benchmark options]
//
// FOLDER is a published site; without it, a catalog of 2,000 figures is made
// by tests/site/site_catalog.py and published with velmora-tool html.

#include "RatioReporter.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int Loads = 10;

QString IndexPage;

// Load times in seconds of COUNT loads of the index, as the browser script
// measures them; empty when it fails.
std::vector<double> LoadTimes(int count, bool withoutScript) {
    QStringList arguments{QStringLiteral(VELMORA_SOURCE_DIR "/tests/site/load.mjs"), IndexPage,
                          QString::number(count)};
    if (withoutScript)
        arguments << QStringLiteral("--without-script");
    QProcess node;
    node.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    node.start(QStringLiteral("node"), arguments);
    if (!node.waitForFinished(-1) || node.exitStatus() != QProcess::NormalExit ||
        node.exitCode() != 0)
        return {};
    std::vector<double> seconds;
    for (const QByteArray& line : node.readAllStandardOutput().split('\n')) {
        bool number = false;
        const double milliseconds = line.trimmed().toDouble(&number);
        if (number)
            seconds.push_back(milliseconds / 1000.0);
    }
    if (seconds.size() != static_cast<std::size_t>(count))
        return {};
    return seconds;
}

void MeasureLoads(benchmark::State& state, bool withoutScript) {
    const std::vector<double> seconds =
        LoadTimes(static_cast<int>(state.max_iterations), withoutScript);
    if (seconds.empty()) {
        state.SkipWithError("the browser did not load the index");
        return;
    }
    std::size_t next = 0;
    for (auto _ : state)
        state.SetIterationTime(seconds[next++]);
}

void BM_IndexLoad(benchmark::State& state) {
    MeasureLoads(state, false);
}

void BM_IndexLoadWithoutScript(benchmark::State& state) {
    MeasureLoads(state, true);
}

BENCHMARK(BM_IndexLoad)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(Loads);
BENCHMARK(BM_IndexLoadWithoutScript)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(Loads);

// The site named by --site=, taken out of the arguments; else one published
// in scratch from a catalog of 2,000 figures.
QString SiteFolder(int& argc, char** argv, const QTemporaryDir& scratch) {
    if (const char* folder = RatioReporter::TakeOption(argc, argv, "--site="))
        return QString::fromLocal8Bit(folder);
    const QString catalog = scratch.filePath(QStringLiteral("catalog"));
    const QString site = scratch.filePath(QStringLiteral("site"));
    const QString script = QStringLiteral(VELMORA_SOURCE_DIR "/tests/site/site_catalog.py");
    if (QProcess::execute(QStringLiteral("python3"),
                          {script, catalog, scratch.filePath(QStringLiteral("keys"))}) != 0 ||
        QProcess::execute(QStringLiteral(VELMORA_TOOL_PATH),
                          {QStringLiteral("html"), catalog, site}) != 0) {
        std::fprintf(stderr, "could not make and publish a catalog\n");
        std::exit(1);
    }
    return site;
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir scratch;
    IndexPage = SiteFolder(argc, argv, scratch) + QStringLiteral("/index.html");
    std::printf("index: %s\n", qPrintable(IndexPage));
    return RatioReporter::Main(argc, argv,
                               {{"index load vs without script (>=1/2)", "BM_IndexLoad",
                                 "BM_IndexLoadWithoutScript", 1.0 / 2}});
}
