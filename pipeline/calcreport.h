#pragma once

#include <memory>

#include <QImage>
#include <QString>

#include "pipeline/pipelinecalc.h"
#include "pipeline/pipelinedocument.h"

class QPagedPaintDevice;
class QTextDocument;

namespace dorvent {

/// The calculation report (计算书) of a main, laid out once for PDF and printer alike: project,
/// designer, date and program; the method; the start state as the state report gives it; the
/// segment inputs and results with their flags and totals, in tables whose header rows repeat
/// on every page; the profile chart; the permitted velocities. date: as it is to be printed;
/// chart: reportChart of the same main. Any thread may lay it out.
std::unique_ptr<QTextDocument> makeReport(const PipelineDocument& document, const PipelineResult& result,
                                          const QString& date, const QImage& chart);

/// The profile chart as the report shows it. The chart is drawn with the widgets' graphics, so
/// only on the thread of the application.
QImage reportChart(const PipelineDocument& document, const PipelineResult& result);

/// Prints the report on A4, every page numbered.
void printReport(const QTextDocument& report, QPagedPaintDevice& device);

/// Writes the report, dated today, as a PDF on A4, atomically; false when the file cannot be
/// written, and then an old file at path stays as it was. Any thread may write it.
bool writeReportPdf(const PipelineDocument& document, const PipelineResult& result, const QImage& chart,
                    const QString& path);

}  // namespace dorvent
