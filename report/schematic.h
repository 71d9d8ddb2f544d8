#pragma once

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QPolygonF>
#include <QRectF>
#include <QString>

#include <optional>
#include <string>
#include <vector>

#include "pipeline/pipelinecalc.h"
#include "pipeline/pipelinedocument.h"

class QPainter;

namespace dorvent {

/// The schematic of a network (管网图), drawn from its tree and results: every pipe a line from
/// the node it leaves to the node it feeds, labelled with its label, DN, length and flow above
/// its line; every node a circle (the source a square) labelled with its name, pressure and
/// temperature beside it: the source and the first node of a band on its left, an end on its
/// right, a node that feeds others below its line. Flagged and failed items take the colours of
/// the table, and the path to the critical consumer is drawn heavier. Under 按焓平衡 a pipe whose
/// steam is wet is dashed, and a drain mark (疏水) hangs below its line where the steam becomes
/// saturated, labelled with the distance from the pipe's start. A deep tree is folded into
/// bands (layOutTree) as wide as a report's page holds at a legible size. A network solved for its
/// flows is laid out by the tree of the pipes that feed each node most, one tree for each source;
/// its other pipes, which close loops or join two sources' trees, are straight lines across, and
/// an arrow on every pipe shows which way its steam flows. Where every node has site-plan
/// coordinates, the nodes stand where the plan puts them and every pipe is a straight line.
/// Coordinates in points; one picture for the window, the exports and the report.
struct Schematic {
    struct Label {
        QPointF at;  ///< the left end of its base line
        QString text;
        QRectF box{};  ///< where its text stands: from the top of its highest glyph to the bottom of its lowest
        QColor colour{};  ///< the item's text colour where invalid
    };
    /// Where steam that entered a pipe superheated becomes saturated: a short leg below the line,
    /// and a triangle pointing down, where the designer puts a drain (疏水点).
    struct Drain {
        QPointF at;  ///< on the line
        QColor colour;
        QLineF leg() const { return {at, at + QPointF(0, kLeg)}; }
        QPolygonF triangle() const
        {
            return QPolygonF({at + QPointF(-kHalfWidth, kLeg), at + QPointF(kHalfWidth, kLeg), at + QPointF(0, kLeg + kHeight)});
        }
        QRectF box() const { return {at.x() - kHalfWidth, at.y(), 2 * kHalfWidth, kLeg + kHeight}; }
        static constexpr double kLeg = 3.5, kHalfWidth = 3.5, kHeight = 5.5;  // pt
    };
    struct Item {
        enum Kind { pipe, node } kind;
        std::size_t index;  ///< of the segment or of the node
        QPolygonF line{};   ///< a pipe's
        QRectF shape{};     ///< a node's
        bool square = false;
        QColor colour{};
        double width = 1.5;
        bool dashed = false;  ///< a pipe carrying wet steam
        std::optional<Drain> drain{};
        QColor fill{};        ///< a node's inside: its main source's colour where there are several; else white
        QPolygonF arrow{};    ///< where the steam flows along a pipe of a solved network: a small triangle
        std::vector<Label> labels{};
        QColor textColour{};
        QRectF box{};  ///< the line or the shape with the labels
    };
    std::vector<Item> items;
    QRectF bounds;
    /// Under 按焓平衡, the only law whose steam can turn wet: the legend explains the dashed pipes
    /// and the drain marks.
    bool wetSteam = false;
    /// Where several sources feed the network: each source's name and the colour of the nodes it
    /// feeds most, for the legend.
    std::vector<std::pair<QString, QColor>> sources{};
};

Schematic makeSchematic(const PipelineDocument& document, const PipelineResult& result);

/// The labels' size in the picture's units, whatever the device, so that they scale with the lines.
inline constexpr int kSchematicFontSize = 9;
/// The labels' face, of that size.
QFont schematicFont();

/// What the colours and the line widths of a schematic mean, its entries in rows no wider than
/// width (points), from (0, 0). With selection, its last item shows how the window marks the
/// tables' current rows (paintSchematicItems with the item marked). With wetSteam, it shows the
/// wet pipes and the drain marks too.
Schematic schematicLegend(double width, bool selection, bool wetSteam = false,
                          const std::vector<std::pair<QString, QColor>>& sources = {});

/// The schematic with its legend below it, for the exported pictures.
Schematic withLegend(Schematic schematic);

/// The heights, from the top of the picture, where it may be cut between pages: lines are cut
/// there, but no label and no node.
std::vector<double> schematicCuts(const Schematic& schematic);

/// Draws part of the schematic (all of it when part is empty) into area, as large as it fits with
/// its proportions kept, and nothing outside area.
void paintSchematic(QPainter& painter, const QRectF& area, const Schematic& schematic, const QRectF& part = {});

/// Draws the schematic's items in its own coordinates with the painter as it is: the items whose
/// marked flag is set with a pale halo around them, which leaves their own colour and width as
/// they are, and the labels only where they come out at least leastLabel device pixels high; of
/// the items only those that reach into visible, unless it is empty. A network of a thousand
/// pipes so draws fast, both whole and in part.
void paintSchematicItems(QPainter& painter, const Schematic& schematic, const std::vector<bool>& marked = {},
                         double leastLabel = 0, const QRectF& visible = {});

/// The schematic as an SVG document, its texts as text.
std::string schematicSvg(const Schematic& schematic);

/// Writes the schematic with its legend as SVG for a path ending in ".svg", else as PNG,
/// atomically; false when it cannot be written.
bool saveSchematic(const Schematic& schematic, const QString& path);

}  // namespace dorvent
