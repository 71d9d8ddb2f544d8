// The main window as the engineer meets it, drawn offscreen: construction to shown, and one
// keystroke in the pressure box to the updated state report.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "bench/statistics.h"
#include "mainwin/frmdorvent.h"

namespace {

double peakMemoryMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kB -> MB
}

void BM_mainWindowShown(benchmark::State& state)
{
    for (auto _ : state) {
        dorvent::frmdorvent window;
        window.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.isVisible());
    }
    state.counters["peak_MB"] = peakMemoryMegabytes();
}
BENCHMARK(BM_mainWindowShown)->Unit(benchmark::kMillisecond)->Apply([](auto* b) { dorvent::bench::repeated(b); });

// Typing a digit and deleting it again, in turn: each keystroke re-evaluates the state.
void BM_keystrokeToReport(benchmark::State& state)
{
    dorvent::frmdorvent window;
    window.show();
    auto* pressure = window.findChild<QLineEdit*>(QStringLiteral("Text1"));
    auto* temperature = window.findChild<QLineEdit*>(QStringLiteral("Text2"));
    auto* report = window.findChild<QPlainTextEdit*>(QStringLiteral("Text3"));
    pressure->setText(QStringLiteral("1"));
    temperature->setText(QStringLiteral("250"));
    bool typed = false;
    for (auto _ : state) {
        QTest::keyClick(pressure, typed ? Qt::Key_Backspace : Qt::Key_5);
        typed = !typed;
        benchmark::DoNotOptimize(report->toPlainText().size());
    }
    state.counters["peak_MB"] = peakMemoryMegabytes();
}
BENCHMARK(BM_keystrokeToReport)->Unit(benchmark::kMicrosecond)->Apply([](auto* b) { dorvent::bench::repeated(b); });

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
