#pragma once

#include <QColor>
#include <QPolygonF>
#include <QRectF>
#include <QString>

#include <string>
#include <vector>

#include "pipeline/pipelinecalc.h"
#include "pipeline/pipelinedocument.h"

class QPainter;

namespace dorvent {

/// The schematic of a network (管网图), drawn from its tree and results: every pipe a line from
/// the node it leaves to the node it feeds, labelled with its label, DN, length and flow; every
/// node a circle (the source a square) labelled with its name, pressure and temperature. Flagged
/// and failed items take the colours of the table, and the path to the critical consumer is drawn
/// heavier. Coordinates in points; one picture for the window, the exports and the report.
struct Schematic {
    struct Label {
        QPointF at;  ///< the left end of its base line
        QString text;
    };
    struct Item {
        enum Kind { pipe, node } kind;
        std::size_t index;  ///< of the segment or of the node
        QPolygonF line{};   ///< a pipe's
        QRectF shape{};     ///< a node's
        bool square = false;
        QColor colour{};
        double width = 1.5;
        std::vector<Label> labels{};
    };
    std::vector<Item> items;
    QRectF bounds;
};

Schematic makeSchematic(const PipelineDocument& document, const PipelineResult& result);

/// Draws the schematic into area, as large as it fits with its proportions kept.
void paintSchematic(QPainter& painter, const QRectF& area, const Schematic& schematic);

/// Draws the schematic's items in its own coordinates with the painter as it is: the items whose
/// marked flag is set in a highlight, and the labels only where they come out at least
/// leastLabel device pixels high, so that a network of a thousand pipes draws fast when whole.
void paintSchematicItems(QPainter& painter, const Schematic& schematic, const std::vector<bool>& marked = {},
                         double leastLabel = 0);

/// The schematic as an SVG document, its texts as text.
std::string schematicSvg(const Schematic& schematic);

/// Writes the schematic as SVG for a path ending in ".svg", else as PNG, atomically; false when
/// it cannot be written.
bool saveSchematic(const Schematic& schematic, const QString& path);

}  // namespace dorvent
