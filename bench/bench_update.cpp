// An update of a 10000-chain package from the real quillora-server on loopback, as the
// automatic update at start-up runs it: version request, package request, package check,
// write, reload.

#include "chainDatabase.h"
#include "frmUpdate.h"
#include "inet.h"
#include "modVars.h"
#include "qtHttpGetter.h"
#include "scriptedDialogs.h"
#include "tempProgramFolder.h"
#include "updateServerProcess.h"

#include <QApplication>
#include <QWidget>

#include <benchmark/benchmark.h>

namespace {

QByteArray databaseOf10000(const QString &version)
{
    return chainDatabaseText(version, numberedChains(maxChains));
}

void updateOf10000Chains(benchmark::State &state)
{
    UpdateServerProcess server;
    server.writePackage(QStringLiteral("9"), databaseOf10000(QStringLiteral("9")));
    if (!server.start()) {
        state.SkipWithError("the server did not start");
        return;
    }
    const TempProgramFolder folder;
    folder.write(chainDatabaseFileName, databaseOf10000(QStringLiteral("8")));
    loadChains();

    ScriptedDialogs dialogs;
    QtHttpGetter getter;
    Inet inet(getter);
    inet.setHost(server.host());
    QWidget menu;
    frmUpdate update(inet, dialogs, &menu);

    for (auto _ : state) {
        state.PauseTiming();
        // The server's version differs again, so every round downloads and installs.
        modVars.dbVersion = QStringLiteral("8");
        state.ResumeTiming();
        update.updateIt(true);
    }
    if (!dialogs.shown.isEmpty() || modVars.dbVersion != QStringLiteral("9") ||
        modVars.chainCount != maxChains)
        state.SkipWithError("the update did not install the package");
}
BENCHMARK(updateOf10000Chains)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The two requests alone, to tell the transfer from the install.
void fetchOnly(benchmark::State &state, const QString &path)
{
    UpdateServerProcess server;
    server.writePackage(QStringLiteral("9"), databaseOf10000(QStringLiteral("9")));
    if (!server.start()) {
        state.SkipWithError("the server did not start");
        return;
    }
    QtHttpGetter getter;
    Inet inet(getter);
    inet.setHost(server.host());
    for (auto _ : state) {
        if (!inet.openUrl(path))
            state.SkipWithError("the request failed");
    }
}
BENCHMARK_CAPTURE(fetchOnly, version, QStringLiteral("/chayn.ver"))
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);
BENCHMARK_CAPTURE(fetchOnly, package, QStringLiteral("/chayn.tx0"))
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

} // namespace

int main(int argc, char *argv[])
{
    // No window is shown; the update only needs the widgets to exist.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
