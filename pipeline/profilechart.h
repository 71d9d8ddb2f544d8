#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include "pipeline/pipelinecalc.h"
#include "pipeline/pipelinedocument.h"

class QChart;

namespace dorvent {

/// The profile of a calculated main, drawn the same in the window, the exports and the report:
/// pressure on the left axis [MPa], temperature and the dashed saturation temperature on the
/// right axis [℃], along the distance from the start [m], one point per 100 m section. The
/// ends of the segments are grid lines labelled with the segments' labels on the top axis, and
/// the points of flagged segments are marked. The caller owns the chart.
QChart* makeProfileChart(const PipelineDocument& document, const PipelineResult& result);

/// The chart as a picture of the given size.
QImage profileImage(const PipelineDocument& document, const PipelineResult& result, QSize size);

/// Writes the chart as PNG or, for a path ending in ".svg", as SVG; false when it cannot.
bool saveProfile(const PipelineDocument& document, const PipelineResult& result, const QString& path,
                 QSize size = {1200, 600});

}  // namespace dorvent
