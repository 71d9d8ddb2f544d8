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

QString svgColour(const QColor& colour) { return colour.name(QColor::HexRgb); }

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
        painter.setPen(QPen(item.colour, item.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(item.kind == Schematic::Item::pipe ? QBrush(Qt::NoBrush) : QBrush(Qt::white));
        drawShape(painter, item);
        if (!labels) continue;
        painter.setPen(item.textColour);
        for (const Schematic::Label& label : item.labels) painter.drawText(label.at, label.text);
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
            QString points;
            for (const QPointF& p : item.line) points += QStringLiteral("%1,%2 ").arg(p.x()).arg(p.y());
            svg += QStringLiteral("<polyline points=\"%1\" fill=\"none\" stroke=\"%2\" stroke-width=\"%3\"/>\n")
                       .arg(points.trimmed(), colour).arg(item.width);
        } else if (item.square) {
            svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%3\" fill=\"white\" stroke=\"%4\" stroke-width=\"%5\"/>\n")
                       .arg(item.shape.left()).arg(item.shape.top()).arg(item.shape.width()).arg(colour).arg(item.width);
        } else {
            svg += QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"white\" stroke=\"%4\" stroke-width=\"%5\"/>\n")
                       .arg(item.shape.center().x()).arg(item.shape.center().y()).arg(item.shape.width() / 2).arg(colour)
                       .arg(item.width);
        }
        for (const Schematic::Label& label : item.labels) {
            svg += QStringLiteral("<text x=\"%1\" y=\"%2\" fill=\"%3\">%4</text>\n")
                       .arg(label.at.x()).arg(label.at.y()).arg(svgColour(item.textColour), label.text.toHtmlEscaped());
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
