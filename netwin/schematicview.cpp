#include "netwin/schematicview.h"

#include <QGraphicsSimpleTextItem>
#include <QMouseEvent>
#include <QPainterPath>
#include <QWheelEvent>

#include <cmath>

#include "mainwin/songfont.h"

namespace dorvent {
namespace {

const QColor kHighlight(30, 110, 230);

QFont labelFont()
{
    QFont font = songFont(9);
    font.setPixelSize(9);  // in the picture's units, as the schematic measures its labels
    return font;
}

}  // namespace

SchematicView::SchematicView(QWidget* parent) : QGraphicsView(parent)
{
    setScene(&scene_);
    setRenderHint(QPainter::Antialiasing);
    setDragMode(ScrollHandDrag);
    setTransformationAnchor(AnchorUnderMouse);
    setBackgroundBrush(Qt::white);
}

QPen SchematicView::penOf(const Schematic::Item& item) const
{
    return QPen(item.colour, item.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void SchematicView::setSchematic(Schematic schematic, bool fit)
{
    scene_.clear();
    shapes_.clear();
    schematic_ = std::move(schematic);
    const QFont font = labelFont();
    for (const Schematic::Item& item : schematic_.items) {
        QAbstractGraphicsShapeItem* shape = nullptr;
        if (item.kind == Schematic::Item::pipe) {
            QPainterPath path;
            path.addPolygon(item.line);
            shape = scene_.addPath(path, penOf(item));
        } else if (item.square) {
            shape = scene_.addRect(item.shape, penOf(item), Qt::white);
        } else {
            shape = scene_.addEllipse(item.shape, penOf(item), Qt::white);
        }
        shape->setZValue(item.kind == Schematic::Item::node ? 2 : 1);
        shapes_.push_back(shape);
        for (const Schematic::Label& label : item.labels) {
            QGraphicsSimpleTextItem* text = scene_.addSimpleText(label.text, font);
            text->setBrush(item.kind == Schematic::Item::pipe ? item.colour.darker(130) : QColor(20, 20, 20));
            text->setPos(label.at.x(), label.at.y() - QFontMetricsF(font).ascent());
            text->setZValue(3);
        }
    }
    marked_.assign(shapes_.size(), false);
    scene_.setSceneRect(schematic_.bounds);
    if (fit) fitToWindow();
}

void SchematicView::highlight(std::optional<std::size_t> pipe, std::optional<std::size_t> node)
{
    for (std::size_t i = 0; i < shapes_.size(); ++i) {
        const Schematic::Item& item = schematic_.items[i];
        const std::optional<std::size_t> wanted = item.kind == Schematic::Item::pipe ? pipe : node;
        marked_[i] = wanted == item.index;
        QPen pen = penOf(item);
        if (marked_[i]) {
            pen.setColor(kHighlight);
            pen.setWidthF(item.width + 2.5);
        }
        shapes_[i]->setPen(pen);
    }
}

bool SchematicView::isHighlighted(Schematic::Item::Kind kind, std::size_t index) const
{
    for (std::size_t i = 0; i < shapes_.size(); ++i) {
        if (schematic_.items[i].kind == kind && schematic_.items[i].index == index) return marked_[i];
    }
    return false;
}

void SchematicView::fitToWindow()
{
    if (!schematic_.bounds.isEmpty()) fitInView(schematic_.bounds, Qt::KeepAspectRatio);
}

void SchematicView::wheelEvent(QWheelEvent* event)
{
    const double factor = std::pow(1.15, event->angleDelta().y() / 120.0);
    scale(factor, factor);
    event->accept();
}

/// A click on a pipe or a node names it; anywhere else it drags the picture.
void SchematicView::mousePressEvent(QMouseEvent* event)
{
    const QPointF at = mapToScene(event->position().toPoint());
    const double reach = 6 / std::max(transform().m11(), 1e-6);  // six pixels around the pointer
    for (std::size_t i = shapes_.size(); i-- > 0;) {  // nodes lie above pipes
        const Schematic::Item& item = schematic_.items[i];
        const bool hit = item.kind == Schematic::Item::node
                             ? item.shape.adjusted(-reach, -reach, reach, reach).contains(at)
                             : [&] {
                                   QPainterPathStroker stroker;
                                   stroker.setWidth(2 * reach);
                                   QPainterPath line;
                                   line.addPolygon(item.line);
                                   return stroker.createStroke(line).contains(at);
                               }();
        if (!hit) continue;
        if (item.kind == Schematic::Item::pipe) {
            emit pipeClicked(item.index);
        } else {
            emit nodeClicked(item.index);
        }
        event->accept();
        return;
    }
    QGraphicsView::mousePressEvent(event);
}

}  // namespace dorvent
