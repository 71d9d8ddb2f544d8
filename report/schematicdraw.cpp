// Drawing the schematic: on any painter, as SVG, and as a file.

#include <QImage>
#include <QPainter>

#include <algorithm>

#include "report/filewrite.h"
#include "report/schematic.h"

namespace dorvent {
namespace {

const QColor kHalo(30, 110, 230, 90);
constexpr double kHaloWidth = 9;  // pt beyond the item's own line

// A wet pipe's dashes and gaps, in its line's widths: long enough to read as a line at a glance,
// short enough that a pipe of a few dozen points shows several.
const QList<qreal> kWetDashes{4, 2.5};

QString svgColour(const QColor& colour) { return colour.name(QColor::HexRgb); }

QPen linePen(const Schematic::Item& item)
{
    QPen pen(item.colour, item.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    if (item.dashed) {
        pen.setCapStyle(Qt::FlatCap);  // round caps would close the gaps of a heavy line
        pen.setDashPattern(kWetDashes);
    }
    return pen;
}

void drawDrain(QPainter& painter, const Schematic::Drain& drain)
{
    painter.setPen(QPen(drain.colour, 1.2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.setBrush(drain.colour);
    painter.drawLine(drain.leg());
    painter.drawPolygon(drain.triangle());
}

QString svgPoints(const QPolygonF& polygon)
{
    QString points;
    for (const QPointF& p : polygon) points += QStringLiteral("%1,%2 ").arg(p.x()).arg(p.y());
    return points.trimmed();
}

QString svgDrain(const Schematic::Drain& drain)
{
    const QString colour = svgColour(drain.colour);
    const QLineF leg = drain.leg();
    return QStringLiteral("<line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\" stroke=\"%5\" stroke-width=\"1.2\"/>\n"
                          "<polygon points=\"%6\" fill=\"%5\" stroke=\"%5\" stroke-width=\"1.2\"/>\n")
        .arg(leg.x1()).arg(leg.y1()).arg(leg.x2()).arg(leg.y2()).arg(colour, svgPoints(drain.triangle()));
}

QColor fillOf(const Schematic::Item& item) { return item.fill.isValid() ? item.fill : QColor(Qt::white); }

void drawShape(QPainter& painter, const Schematic::Item& item)
{
    if (item.kind == Schematic::Item::pipe) {
        painter.drawPolyline(item.line);
    } else if (item.square) {
        painter.drawRect(item.shape);
    } else {
        painter.drawEllipse(item.shape);
    }
}

}  // namespace

void paintSchematic(QPainter& painter, const QRectF& area, const Schematic& schematic, const QRectF& part)
{
    const QRectF shown = part.isEmpty() ? schematic.bounds : part;
    if (schematic.items.empty() || shown.isEmpty()) return;
    painter.save();
    painter.setClipRect(area, Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing);
    const double scale = std::min(area.width() / shown.width(), area.height() / shown.height());
    painter.translate(area.center());
    painter.scale(scale, scale);
    painter.translate(-shown.center());
    paintSchematicItems(painter, schematic, {}, 0, shown);
    painter.restore();
}

void paintSchematicItems(QPainter& painter, const Schematic& schematic, const std::vector<bool>& marked, double leastLabel,
                         const QRectF& visible)
{
    const bool labels = kSchematicFontSize * painter.worldTransform().m22() >= leastLabel;
    painter.setFont(schematicFont());
    for (std::size_t i = 0; i < schematic.items.size(); ++i) {
        const Schematic::Item& item = schematic.items[i];
        if (!visible.isEmpty() && !visible.intersects(item.box)) continue;
        // The selection as a pale halo under the item, which keeps its own colour and width: no
        // heavier line, which would read as the path to the critical consumer.
        if (i < marked.size() && marked[i]) {
            painter.setPen(QPen(kHalo, item.width + kHaloWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.setBrush(Qt::NoBrush);
            drawShape(painter, item);
        }
        painter.setPen(linePen(item));
        painter.setBrush(item.kind == Schematic::Item::pipe ? QBrush(Qt::NoBrush) : QBrush(fillOf(item)));
        drawShape(painter, item);
        if (item.drain) drawDrain(painter, *item.drain);
        if (!item.arrow.isEmpty()) {
            painter.setPen(QPen(item.colour, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
            painter.setBrush(item.colour);
            painter.drawPolygon(item.arrow);
        }
        if (!labels) continue;
        for (const Schematic::Label& label : item.labels) {
            painter.setPen(label.colour.isValid() ? label.colour : item.textColour);
            painter.drawText(label.at, label.text);
        }
    }
}

std::string schematicSvg(const Schematic& schematic)
{
    const QRectF& b = schematic.bounds;
    QString svg = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1pt\" height=\"%2pt\" viewBox=\"%3 %4 %1 %2\">\n"
                                 "<title>管网图</title>\n<rect x=\"%3\" y=\"%4\" width=\"%1\" height=\"%2\" fill=\"white\"/>\n")
                      .arg(b.width()).arg(b.height()).arg(b.left()).arg(b.top());
    svg += QStringLiteral("<g font-family=\"SimSun, 'AR PL UMing CN', 'Noto Serif CJK SC', serif\" font-size=\"%1\">\n")
               .arg(kSchematicFontSize);
    for (const Schematic::Item& item : schematic.items) {
        const QString colour = svgColour(item.colour);
        if (item.kind == Schematic::Item::pipe) {
            const QString dashes = item.dashed ? QStringLiteral(" stroke-dasharray=\"%1 %2\"")
                                                     .arg(kWetDashes[0] * item.width).arg(kWetDashes[1] * item.width)
                                               : QString();
            svg += QStringLiteral("<polyline points=\"%1\" fill=\"none\" stroke=\"%2\" stroke-width=\"%3\"%4/>\n")
                       .arg(svgPoints(item.line), colour).arg(item.width).arg(dashes);
            if (item.drain) svg += svgDrain(*item.drain);
            if (!item.arrow.isEmpty()) {
                svg += QStringLiteral("<polygon points=\"%1\" fill=\"%2\" stroke=\"%2\" stroke-width=\"1\"/>\n")
                           .arg(svgPoints(item.arrow), colour);
            }
        } else if (item.square) {
            svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%3\" fill=\"%6\" stroke=\"%4\" stroke-width=\"%5\"/>\n")
                       .arg(item.shape.left()).arg(item.shape.top()).arg(item.shape.width()).arg(colour).arg(item.width)
                       .arg(item.fill.isValid() ? svgColour(item.fill) : QStringLiteral("white"));
        } else {
            svg += QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"%6\" stroke=\"%4\" stroke-width=\"%5\"/>\n")
                       .arg(item.shape.center().x()).arg(item.shape.center().y()).arg(item.shape.width() / 2).arg(colour)
                       .arg(item.width).arg(item.fill.isValid() ? svgColour(item.fill) : QStringLiteral("white"));
        }
        for (const Schematic::Label& label : item.labels) {
            svg += QStringLiteral("<text x=\"%1\" y=\"%2\" fill=\"%3\">%4</text>\n")
                       .arg(label.at.x()).arg(label.at.y())
                       .arg(svgColour(label.colour.isValid() ? label.colour : item.textColour), label.text.toHtmlEscaped());
        }
    }
    svg += QStringLiteral("</g>\n</svg>\n");
    return svg.toStdString();
}

bool saveSchematic(const Schematic& drawing, const QString& path)
{
    const Schematic schematic = withLegend(drawing);
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        const std::string svg = schematicSvg(schematic);
        return writeAtomically(path, QByteArray(svg.data(), static_cast<qsizetype>(svg.size())));
    }
    // 96 dpi pictures of 1.5 pixels a point, no larger than a picture program opens.
    const double scale = std::min({1.5, 8000 / std::max(schematic.bounds.width(), 1.0), 8000 / std::max(schematic.bounds.height(), 1.0)});
    QImage image((schematic.bounds.size() * scale).toSize().expandedTo(QSize(1, 1)), QImage::Format_ARGB32);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        paintSchematic(painter, QRectF(QPointF(0, 0), image.size()), schematic);
    }
    return writeAtomically(path, [&image](QIODevice& device) { return image.save(&device, "PNG"); });
}

}  // namespace dorvent
