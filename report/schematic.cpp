#include "report/schematic.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <algorithm>

#include "mainwin/songfont.h"
#include "numtext/formatnumber.h"
#include "pipeline/treelayout.h"
#include "pipes/guanjing.h"
#include "report/filewrite.h"

namespace dorvent {
namespace {

constexpr double kColumn = 180;  // pt between the depths of the tree
constexpr double kRow = 64;      // pt between the ends of the tree
constexpr double kTrunk = 28;    // pt from a node to the line its pipes branch off
constexpr double kRadius = 6;    // pt of a node's circle
constexpr int kFontSize = 9;     // in the picture's own units, whatever the device

const QColor kPlain(40, 60, 90);
const QColor kFlagged(230, 140, 0);
const QColor kFailed(200, 40, 40);
const QColor kNotComputed(160, 160, 160);

QString qs(const std::string& text) { return QString::fromStdString(text); }

QColor pipeColour(const SegmentRun& run)
{
    if (run.status == SegmentStatus::failed) return kFailed;
    if (run.status == SegmentStatus::notComputed) return kNotComputed;
    return run.flagged() ? kFlagged : kPlain;
}

QColor nodeColour(const NodeRun& node)
{
    if (!node.computed) return node.message.empty() ? kPlain : kNotComputed;
    return node.pressureShort || node.temperatureShort || node.superheatShort ? kFailed : kPlain;
}

/// A pipe's two lines: "A-B DN200" and "250 m  12 t/h".
std::pair<QString, QString> pipeLabel(const PipelineSegment& s, const SegmentRun& run)
{
    QString name = qs(s.label);
    const PipeSize* pipe = findCatalogueRow(s.dn);
    name += (name.isEmpty() ? "" : " ") + (pipe != nullptr ? qs(dnText(*pipe)) : QStringLiteral("自选"));
    QString size;
    if (s.length) size = QStringLiteral("%1 m").arg(qs(formatShortest(*s.length)));
    if (run.flow) size += (size.isEmpty() ? "" : "  ") + QStringLiteral("%1 t/h").arg(qs(formatShortest(*run.flow)));
    return {name, size};
}

QString stateLabel(const NodeRun& node)
{
    if (!node.computed) return node.message.empty() ? QString() : qs(node.message);
    return QStringLiteral("%1 MPa  %2 ℃").arg(qs(formatFixed(node.p, 3)), qs(formatFixed(node.t, 1)));
}

QString escaped(const QString& text) { return text.toHtmlEscaped(); }

/// The labels' face, sized in the picture's units so that it scales with the lines.
QFont labelFont()
{
    QFont font = songFont(9);
    font.setPixelSize(kFontSize);
    return font;
}

QString svgColour(const QColor& colour) { return colour.name(QColor::HexRgb); }

}  // namespace

Schematic makeSchematic(const PipelineDocument& document, const PipelineResult& result)
{
    Schematic schematic;
    const QFontMetricsF metrics(labelFont());
    const std::vector<std::optional<TreePlace>> places = layOutTree(result);
    const auto point = [&places](std::size_t node) {
        return QPointF(places[node]->column * kColumn, places[node]->row * kRow);
    };
    std::vector<bool> critical(result.segments.size(), false);
    for (const std::size_t i : pathTo(result, result.critical)) critical[i] = true;

    for (std::size_t i = 0; i < result.segments.size() && i < document.segments.size(); ++i) {
        const SegmentRun& run = result.segments[i];
        if (!run.fromNode || !run.toNode || !places[*run.fromNode] || !places[*run.toNode] ||
            result.nodes[*run.toNode].feed != i) {
            continue;  // no pipe of the tree: its row in the table says why
        }
        const QPointF from = point(*run.fromNode), to = point(*run.toNode);
        Schematic::Item pipe{.kind = Schematic::Item::pipe, .index = i};
        pipe.line << from << QPointF(from.x() + kTrunk, from.y()) << QPointF(from.x() + kTrunk, to.y()) << to;
        pipe.colour = pipeColour(run);
        pipe.width = critical[i] ? 3.5 : 1.5;
        const auto [name, size] = pipeLabel(document.segments[i], run);
        pipe.labels.push_back({QPointF(from.x() + kTrunk + 6, to.y() - 15), name});
        pipe.labels.push_back({QPointF(from.x() + kTrunk + 6, to.y() - 4), size});
        schematic.items.push_back(std::move(pipe));
    }
    for (std::size_t n = 0; n < result.nodes.size(); ++n) {
        if (!places[n]) continue;
        const NodeRun& node = result.nodes[n];
        const QPointF at = point(n);
        Schematic::Item item{.kind = Schematic::Item::node, .index = n};
        item.shape = QRectF(at.x() - kRadius, at.y() - kRadius, 2 * kRadius, 2 * kRadius);
        item.square = node.kind == NodeKind::source;
        item.colour = nodeColour(node);
        item.width = result.critical == n ? 3.0 : 1.5;
        // An end of the tree is named to its right; a node that feeds others below the line that
        // comes in, as its pipes branch off to the right.
        const bool end = node.kind == NodeKind::consumer;
        for (const auto& [text, down] : {std::pair(qs(node.name), end ? -1.0 : 16.0), std::pair(stateLabel(node), end ? 10.0 : 28.0)}) {
            const double width = metrics.horizontalAdvance(text);
            const double left = end ? at.x() + kRadius + 4 : item.square ? at.x() - kRadius : at.x() - kRadius - 2 - width;
            item.labels.push_back({QPointF(left, at.y() + down), text});
        }
        schematic.items.push_back(std::move(item));
    }

    for (const Schematic::Item& item : schematic.items) {
        QRectF box = item.kind == Schematic::Item::pipe ? item.line.boundingRect() : item.shape;
        for (const Schematic::Label& label : item.labels) {
            box |= QRectF(label.at.x(), label.at.y() - metrics.ascent(), metrics.horizontalAdvance(label.text), metrics.height());
        }
        schematic.bounds = schematic.bounds.isNull() ? box : schematic.bounds | box;
    }
    schematic.bounds.adjust(-12, -12, 12, 12);
    return schematic;
}

void paintSchematic(QPainter& painter, const QRectF& area, const Schematic& schematic)
{
    if (schematic.items.empty() || schematic.bounds.isEmpty()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const double scale = std::min(area.width() / schematic.bounds.width(), area.height() / schematic.bounds.height());
    painter.translate(area.center());
    painter.scale(scale, scale);
    painter.translate(-schematic.bounds.center());
    paintSchematicItems(painter, schematic);
    painter.restore();
}

void paintSchematicItems(QPainter& painter, const Schematic& schematic, const std::vector<bool>& marked, double leastLabel)
{
    const QColor highlight(30, 110, 230);
    const bool labels = kFontSize * painter.worldTransform().m22() >= leastLabel;
    painter.setFont(labelFont());
    for (std::size_t i = 0; i < schematic.items.size(); ++i) {
        const Schematic::Item& item = schematic.items[i];
        const bool mark = i < marked.size() && marked[i];
        painter.setPen(QPen(mark ? highlight : item.colour, mark ? item.width + 2.5 : item.width, Qt::SolidLine,
                            Qt::RoundCap, Qt::RoundJoin));
        if (item.kind == Schematic::Item::pipe) {
            painter.setBrush(Qt::NoBrush);
            painter.drawPolyline(item.line);
        } else {
            painter.setBrush(Qt::white);
            if (item.square) {
                painter.drawRect(item.shape);
            } else {
                painter.drawEllipse(item.shape);
            }
        }
        if (!labels) continue;
        painter.setPen(item.kind == Schematic::Item::pipe ? item.colour.darker(130) : QColor(20, 20, 20));
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
    svg += QStringLiteral("<g font-family=\"SimSun, 'AR PL UMing CN', 'Noto Serif CJK SC', serif\" font-size=\"%1\">\n").arg(kFontSize);
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
        const QString textColour = item.kind == Schematic::Item::pipe ? svgColour(item.colour.darker(130)) : QStringLiteral("#141414");
        for (const Schematic::Label& label : item.labels) {
            svg += QStringLiteral("<text x=\"%1\" y=\"%2\" fill=\"%3\">%4</text>\n")
                       .arg(label.at.x()).arg(label.at.y()).arg(textColour, escaped(label.text));
        }
    }
    svg += QStringLiteral("</g>\n</svg>\n");
    return svg.toStdString();
}

bool saveSchematic(const Schematic& schematic, const QString& path)
{
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
