// The main window as the engineer meets it, drawn offscreen: construction to shown, and one
// keystroke in the pressure box to the updated state report. The calculation report of a long
// main, laid out and written as a PDF.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QTest>

#include "bench/networks.h"
#include "bench/statistics.h"
#include "mainwin/frmdorvent.h"
#include "report/calcreport.h"
#include "netwin/frmguanxian.h"
#include "pipeline/pipelinefile.h"
#include "netwin/pipelinemodel.h"
#include "pipeline/pipelinetable.h"
#include "pipeline/pipelinecalc.h"

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

/// A main of the given count of 100 m segments of DN600 from 10 MPa and 550 ℃, each labelled
/// with labelLength Chinese characters.
dorvent::PipelineDocument longMain(int segments, int labelLength)
{
    dorvent::PipelineDocument d{.project = "计算书基准", .startPressure = 10, .startTemperature = 550};
    std::string label;
    for (int i = 0; i < labelLength; ++i) label += "段";
    for (int i = 0; i < segments; ++i) {
        d.segments.push_back({.label = label, .dn = 600, .length = 100, .flow = 200, .zeta = 0.2, .beta = 0.2,
                              .phi = 1, .ambient = 10, .dropPerKm = 5, .heatLoss = 0.05});
    }
    return d;
}

// The report from the calculated main to the PDF bytes, as 导出计算书 writes it off the window's
// thread: arguments are the segments and the characters of each label.
void BM_reportPdf(benchmark::State& state)
{
    const dorvent::PipelineDocument document =
        longMain(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const dorvent::PipelineResult result = dorvent::calculatePipeline(document);
    if (!result.allComputed) state.SkipWithError("a segment of the main did not compute");
    for (auto _ : state) {
        QBuffer pdf;
        pdf.open(QIODevice::WriteOnly);
        QPdfWriter writer(&pdf);
        writer.setResolution(300);
        dorvent::printReport(document, result, QStringLiteral("2026-12-07"), writer);
        benchmark::DoNotOptimize(pdf.size());
    }
}
/// The pipeline window shown offscreen with its table and chart drawn.
struct ShownPipeline {
    dorvent::frmguanxian window{nullptr};
    ShownPipeline()
    {
        window.show();
        QApplication::processEvents();
    }
};

// One cell edit on a main of 1000 segments until the table and the chart show the new results:
// the length of the 500th segment, 100 m and 101 m in turn.
void BM_cellEdit(benchmark::State& state)
{
    ShownPipeline shown;
    dorvent::PipelineModel* model = shown.window.model();
    model->resetDocument(longMain(1000, 3));
    QApplication::processEvents();
    const QModelIndex length = model->index(499, static_cast<int>(dorvent::Column::length));
    bool longer = false;
    for (auto _ : state) {
        model->setData(length, longer ? QStringLiteral("100") : QStringLiteral("101"));
        longer = !longer;
        QApplication::processEvents();  // the repaint of the table and the chart
    }
    if (!model->result().allComputed) state.SkipWithError("a segment did not compute");
}
BENCHMARK(BM_cellEdit)->Unit(benchmark::kMillisecond)->Apply([](auto* b) { dorvent::bench::repeated(b); });

// Opening a file of 1000 segments until the window shows it.
void BM_openFile(benchmark::State& state)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("long.dorvent"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray::fromStdString(dorvent::writePipelineFile(longMain(1000, 3))));
    file.close();
    ShownPipeline shown;
    for (auto _ : state) {
        if (!shown.window.openFile(path)) state.SkipWithError("the file was not opened");
        QApplication::processEvents();
    }
}
BENCHMARK(BM_openFile)->Unit(benchmark::kMillisecond)->Apply([](auto* b) { dorvent::bench::repeated(b); });

// One cell edit in a network of 1000 pipes and 500 consumers over 300 km until the tables, the
// schematic (shown) and the chart show it: the length of the 500th pipe, 300 m and 301 m in turn.
// With state.range(0) load cases: the design case and others at 60 % and 30 % of its demands.
void BM_networkEdit(benchmark::State& state)
{
    ShownPipeline shown;
    dorvent::PipelineModel* model = shown.window.model();
    dorvent::PipelineDocument document = dorvent::bench::spineNetwork(1000);
    for (int k = 1; k < state.range(0); ++k) document.cases.push_back({.name = "工况" + std::to_string(k), .factor = 1 - 0.35 * k});
    model->resetDocument(document);
    shown.window.findChild<QTabWidget*>(QStringLiteral("tabtu"))->setCurrentIndex(1);
    QApplication::processEvents();
    const QModelIndex length = model->index(499, static_cast<int>(dorvent::Column::length));
    bool longer = false;
    for (auto _ : state) {
        model->setData(length, longer ? QStringLiteral("300") : QStringLiteral("301"));
        longer = !longer;
        QApplication::processEvents();
    }
    for (const dorvent::PipelineResult& result : model->results()) {
        if (!result.allComputed) state.SkipWithError("a pipe did not compute");
    }
}
BENCHMARK(BM_networkEdit)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond)->Apply([](auto* b) { dorvent::bench::repeated(b); });

// One cell edit in the network of 1000 pipes with 50 loops and 3 sources until the tables, the
// schematic (shown) and the chart show it solved again: the length of the 400th pipe, on the
// spine, 30 m and 31 m in turn.
void BM_loopedNetworkEdit(benchmark::State& state)
{
    ShownPipeline shown;
    dorvent::PipelineModel* model = shown.window.model();
    model->resetDocument(dorvent::bench::loopedNetwork());
    shown.window.findChild<QTabWidget*>(QStringLiteral("tabtu"))->setCurrentIndex(1);
    QApplication::processEvents();
    const QModelIndex length = model->index(399, static_cast<int>(dorvent::Column::length));
    bool longer = false;
    for (auto _ : state) {
        model->setData(length, longer ? QStringLiteral("30") : QStringLiteral("31"));
        longer = !longer;
        QApplication::processEvents();
    }
    if (!model->result().solve || !model->result().solve->converged) state.SkipWithError("the network was not solved");
}
BENCHMARK(BM_loopedNetworkEdit)->Unit(benchmark::kMillisecond)->Apply([](auto* b) { dorvent::bench::repeated(b); });

BENCHMARK(BM_reportPdf)
    ->Args({100, 3})
    ->Args({1000, 3})
    ->Args({1000, 60})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Apply([](auto* b) { dorvent::bench::repeated(b); });

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
