#pragma once

#include <QImage>
#include <QPointF>
#include <QSize>
#include <QString>
#include <QVector>

#include <optional>
#include <vector>

#include "pipeline/pipelinecalc.h"
#include "pipeline/pipelinedocument.h"

class QPainter;
class QRectF;

namespace dorvent {

/// What the profile of a calculated main shows: pressure [MPa], temperature and saturation
/// temperature [℃] along the distance from the start [m], at the start and at the end of every
/// 100 m section; the dryness where the steam along it is wet (按焓平衡); the segment ends with
/// their labels; the segments flagged for their velocity
/// or superheat; and where the calculation stopped when a segment failed.
struct ProfileData {
    struct Joint {
        double distance;  ///< [m]
        QString label;    ///< the segment's label, or "管段 N"
    };
    struct Span {
        double from, to;  ///< [m]
    };
    QVector<QPointF> pressure;
    QVector<QPointF> temperature;
    QVector<QPointF> saturation;     ///< only where the pressure has a saturation temperature
    /// Only where the steam is wet: 1 where it becomes saturated, then the end of every wet
    /// section. Empty for a path that stays superheated, which so draws no dryness axis.
    QVector<QPointF> dryness;
    std::vector<Joint> joints;       ///< the end of every computed segment
    std::vector<Span> flagged;       ///< computed segments whose velocity or superheat is flagged
    std::optional<double> stop;      ///< [m], where a failed segment stopped the calculation
    QString stopText;                ///< "管段 3（B-C）未能算出"
    QString emptyText;               ///< why there is nothing to draw
    /// What an exported chart is of: the project, and the path ("沿程：热电厂 → N1 → B2") or the
    /// main ("全线：S1 至 S6").
    QString caption;
};

/// Along the segments of path (pathTo), or along the main or to the critical consumer.
ProfileData profileData(const PipelineDocument& document, const PipelineResult& result,
                        const std::vector<std::size_t>& path);
ProfileData profileData(const PipelineDocument& document, const PipelineResult& result);

/// Of points sorted by x, those a screen can show: for every column of width step from x0, the
/// first, lowest, highest and last point, in their order. A curve of any length so keeps its
/// extremes and takes at most four points per pixel column.
QVector<QPointF> thinnedOut(const QVector<QPointF>& points, double x0, double step);

/// How much of the curves is drawn: as many points as the screen's columns show, or every point
/// (for the PDF and the printer, where the reader may zoom in).
enum class ProfileDetail { screen, everyPoint };

/// Draws the profile into area of any paint device: title, the axes with their ticks and
/// titles in full, the curves, the flagged segments as shaded bands, the segment ends labelled
/// where there is room, the point where the calculation stopped, and a legend. Sizes follow the
/// device's resolution, so that a PDF page and a window show the same picture.
void paintProfile(QPainter& painter, const QRectF& area, const ProfileData& data, ProfileDetail detail);

/// The profile as exported, in a picture of the given size in pixels (96 dpi): its caption on a
/// line above the chart.
QImage profileImage(const ProfileData& data, QSize size);

/// Writes the profile as exported (profileImage) as PNG, or as a vector PDF for a path ending in
/// ".pdf", atomically; false when it cannot be written.
bool saveProfile(const ProfileData& data, const QString& path, QSize size = {1200, 600});

}  // namespace dorvent
