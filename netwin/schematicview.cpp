#include "netwin/schematicview.h"

#include <QGraphicsItem>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionGraphicsItem>
#include <QWheelEvent>

#include <cmath>

namespace dorvent {
namespace {

constexpr double kLabelPixels = 9;  // a label's height in the picture's units
constexpr double kLeastLabel = 5;   // pixels: labels smaller than that are left out

}  // namespace

/// The whole schematic as one item of the scene.
class SchematicView::Picture : public QGraphicsItem {
public:
    explicit Picture(const SchematicView& view) : view_(view) {}

    QRectF boundingRect() const override { return view_.schematic_.bounds; }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* /*option*/, QWidget* /*widget*/) override
    {
        painter->fillRect(view_.schematic_.bounds, Qt::white);
        paintSchematicItems(*painter, view_.schematic_, view_.marked_, kLeastLabel);
    }
    void changed() { prepareGeometryChange(); }

private:
    const SchematicView& view_;
};

SchematicView::SchematicView(QWidget* parent) : QGraphicsView(parent), picture_(new Picture(*this))
{
    scene_.addItem(picture_);
    setScene(&scene_);
    setRenderHint(QPainter::Antialiasing);
    setDragMode(ScrollHandDrag);
    setTransformationAnchor(AnchorUnderMouse);
    setBackgroundBrush(Qt::white);
}

// The picture is the view's own: taken out of the scene before either goes.
SchematicView::~SchematicView()
{
    scene_.removeItem(picture_);
    delete picture_;
}

void SchematicView::setSchematic(Schematic schematic, bool fit)
{
    picture_->changed();
    schematic_ = std::move(schematic);
    marked_.assign(schematic_.items.size(), false);
    scene_.setSceneRect(schematic_.bounds);
    picture_->update();
    if (fit) fitToWindow();
}

void SchematicView::highlight(std::optional<std::size_t> pipe, std::optional<std::size_t> node)
{
    for (std::size_t i = 0; i < schematic_.items.size(); ++i) {
        const Schematic::Item& item = schematic_.items[i];
        marked_[i] = (item.kind == Schematic::Item::pipe ? pipe : node) == item.index;
    }
    picture_->update();
}

bool SchematicView::isHighlighted(Schematic::Item::Kind kind, std::size_t index) const
{
    for (std::size_t i = 0; i < schematic_.items.size(); ++i) {
        if (schematic_.items[i].kind == kind && schematic_.items[i].index == index) return marked_[i];
    }
    return false;
}

/// The whole picture, or its whole width where the whole would leave the labels too small to
/// read; the rest is a scroll away.
void SchematicView::fitToWindow()
{
    const QRectF& bounds = schematic_.bounds;
    if (bounds.isEmpty()) return;
    fitInView(bounds, Qt::KeepAspectRatio);
    const double whole = transform().m11();
    const double wide = viewport()->width() / bounds.width();
    if (whole * kLabelPixels < kLeastLabel && wide > whole) {
        setTransform(QTransform::fromScale(wide, wide));
        centerOn(bounds.center().x(), bounds.top() + viewport()->height() / wide / 2);
    }
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
    for (std::size_t i = schematic_.items.size(); i-- > 0;) {   // nodes lie above pipes
        const Schematic::Item& item = schematic_.items[i];
        bool hit = false;
        if (item.kind == Schematic::Item::node) {
            hit = item.shape.adjusted(-reach, -reach, reach, reach).contains(at);
        } else {
            QPainterPath line;
            line.addPolygon(item.line);
            QPainterPathStroker stroker;
            stroker.setWidth(2 * reach);
            hit = stroker.createStroke(line).contains(at);
        }
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
