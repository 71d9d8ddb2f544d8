#pragma once

#include <memory>

#include <QString>

#include "pipeline/pipelinecalc.h"
#include "pipeline/pipelinedocument.h"

class QPagedPaintDevice;
class QTextDocument;

namespace dorvent {

/// The calculation report (计算书) of a main, laid out once for PDF and printer alike: project,
/// designer, date and program; the method; the start state as the state report gives it; the
/// segment inputs and results with their flags and totals, in tables whose header rows repeat
/// on every page; the profile chart; the permitted velocities. date: as it is to be printed.
std::unique_ptr<QTextDocument> makeReport(const PipelineDocument& document, const PipelineResult& result,
                                          const QString& date);

/// Prints the report on A4, every page numbered.
void printReport(const QTextDocument& report, QPagedPaintDevice& device);

/// Writes the report as a PDF on A4; false when the file cannot be written.
bool writeReportPdf(const PipelineDocument& document, const PipelineResult& result, const QString& path);

}  // namespace dorvent
