#pragma once

#include <QString>

#include <cstddef>
#include <optional>

#include "pipeline/pipelinecalc.h"
#include "pipeline/pipelinedocument.h"

class QPagedPaintDevice;

namespace dorvent {

/// The calculation report (计算书) of a main or a network, as a design institute hands one in, on
/// A4: a title block with 设计, 校核 and 审核 and blanks to sign; the method; the start state; the
/// inputs and the results in tables with two-line headers and numbers aligned on their decimal
/// point; the warnings, one line per segment, and after them the notes in a lighter paragraph; for
/// a network its nodes, its critical consumer with the whole path to it, and its schematic with
/// a legend, over as many pages as it needs; the profile chart with every point; the permitted
/// velocities. Every page carries the title, the project and "第 N 页 共 M 页". Lays the report
/// out for the device and paints it there; gives the number of pages. date: as it is to be
/// printed. Any thread.
/// profileTo: the node of a network the profile leads to; none: the critical consumer.
int printReport(const PipelineDocument& document, const PipelineResult& result, const QString& date,
                QPagedPaintDevice& device, std::optional<std::size_t> profileTo = std::nullopt);

/// Today, as the report prints the date.
QString reportDate();

/// Writes the report, dated today, as a PDF, atomically; false when the file cannot be written,
/// and then an old file at path stays as it was. Any thread.
bool writeReportPdf(const PipelineDocument& document, const PipelineResult& result, const QString& path,
                    std::optional<std::size_t> profileTo = std::nullopt);

}  // namespace dorvent
