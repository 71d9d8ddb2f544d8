#include "netwin/schematicview.h"

#include <QGraphicsItem>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionGraphicsItem>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace dorvent {
namespace {

constexpr double kLeastLabel = 5;     // pixels: labels smaller than that are left out
constexpr double kLegible = 1.0;      // the least scale that leaves labels legible: 9 pixels high
constexpr double kLeastWhole = 0.2;   // the scale below which the nodes of a whole picture run together
constexpr double kReach = 6;          // pixels around the pointer in which a click picks a pipe or a node
constexpr double kLegendScale = 1.2;  // pixels a point of the legend: a little larger than the labels

double distanceToSegment(const QPointF& p, const QPointF& a, const QPointF& b)
{
    const QPointF ab = b - a;
    const double length = QPointF::dotProduct(ab, ab);
    const double t = length > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / length, 0.0, 1.0) : 0.0;
    const QPointF d = p - (a + t * ab);
    return std::hypot(d.x(), d.y());
}

/// How far a point is from an item: from a pipe's line, or from a node's outline (0 inside it).
double distanceTo(const Schematic::Item& item, const QPointF& p)
{
    if (item.kind == Schematic::Item::node) {
        const QPointF d = p - item.shape.center();
        return std::max(0.0, std::hypot(d.x(), d.y()) - item.shape.width() / 2);
    }
    double nearest = INFINITY;
    for (qsizetype k = 1; k < item.line.size(); ++k) nearest = std::min(nearest, distanceToSegment(p, item.line[k - 1], item.line[k]));
    return nearest;
}

/// The item nearest to a point within reach, a node before any pipe, as a node stands on pipes.
std::optional<std::size_t> itemNear(const Schematic& schematic, const QPointF& p, double reach)
{
    std::optional<std::size_t> best;
    double bestDistance = reach;
    for (const Schematic::Item::Kind kind : {Schematic::Item::node, Schematic::Item::pipe}) {
        for (std::size_t i = 0; i < schematic.items.size(); ++i) {
            const Schematic::Item& item = schematic.items[i];
            if (item.kind != kind || !item.box.adjusted(-reach, -reach, reach, reach).contains(p)) continue;
            const double distance = distanceTo(item, p);
            if (distance <= bestDistance) std::tie(best, bestDistance) = std::pair(i, distance);
        }
        if (best) return best;
    }
    return best;
}

}  // namespace

/// The whole schematic as one item of the scene, drawn where it is exposed.
class SchematicView::Picture : public QGraphicsItem {
public:
    explicit Picture(const SchematicView& view) : view_(view) { setFlag(ItemUsesExtendedStyleOption); }

    QRectF boundingRect() const override { return view_.schematic_.bounds; }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* /*widget*/) override
    {
        painter->fillRect(option->exposedRect, Qt::white);
        paintSchematicItems(*painter, view_.schematic_, view_.marked_, kLeastLabel, option->exposedRect);
    }
    void changed() { prepareGeometryChange(); }

private:
    const SchematicView& view_;
};

/// The legend, in rows as wide as the view.
class SchematicView::Legend : public QWidget {
public:
    explicit Legend(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

    /// Lays the legend out for a width in pixels, with the wet pipes and drain marks of a document
    /// under 按焓平衡 and the colours of the sources where there are several; gives its height.
    int layOut(int width, bool wetSteam, const std::vector<std::pair<QString, QColor>>& sources)
    {
        legend_ = schematicLegend((width - 2 * kMargin) / kLegendScale, true, wetSteam, sources);
        return static_cast<int>(std::ceil(legend_.bounds.height() * kLegendScale)) + 2 * kMargin;
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(kMargin, kMargin);
        painter.scale(kLegendScale, kLegendScale);
        painter.translate(-legend_.bounds.topLeft());
        std::vector<bool> selection(legend_.items.size(), false);
        if (!selection.empty()) selection.back() = true;
        paintSchematicItems(painter, legend_, selection);
        painter.resetTransform();
        painter.setPen(QColor(210, 210, 210));
        painter.drawLine(0, height() - 1, width(), height() - 1);
    }

private:
    static constexpr int kMargin = 4;
    Schematic legend_;
};

SchematicView::SchematicView(QWidget* parent)
    : QGraphicsView(parent), picture_(new Picture(*this)), legend_(new Legend(this))
{
    scene_.addItem(picture_);
    setScene(&scene_);
    setRenderHint(QPainter::Antialiasing);
    setDragMode(ScrollHandDrag);
    setTransformationAnchor(AnchorUnderMouse);
    setBackgroundBrush(Qt::white);
    // A scroll by the user keeps the view where it is put.
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
        connect(bar, &QScrollBar::actionTriggered, this, [this] { fitted_ = false; });
    }
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
    const bool legendChanges = schematic.wetSteam != schematic_.wetSteam || schematic.sources != schematic_.sources;
    schematic_ = std::move(schematic);
    if (legendChanges) placeLegend();
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

void SchematicView::fitToWindow()
{
    fitted_ = true;
    fit();
}

void SchematicView::fit()
{
    const QRectF& bounds = schematic_.bounds;
    const QSizeF room = maximumViewportSize();
    if (bounds.isEmpty() || room.isEmpty()) return;
    const double whole = std::min(room.width() / bounds.width(), room.height() / bounds.height());
    if (whole >= kLeastWhole) {
        setTransform(QTransform::fromScale(whole, whole));
        centerOn(bounds.center());
        return;
    }
    // Its width whole, beside the scroll bar it will need, where that leaves its labels legible;
    // else as small as they are.
    const double width = room.width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, verticalScrollBar());
    const double scale = std::max(kLegible, std::min(width / bounds.width(), 1.5));
    setTransform(QTransform::fromScale(scale, scale));
    const QSizeF shown = QSizeF(viewport()->size()) / scale;
    centerOn(bounds.left() + shown.width() / 2, bounds.top() + shown.height() / 2);
}

void SchematicView::placeLegend()
{
    const QRect area = contentsRect();
    // Its rows end short of the vertical scroll bar, which runs down beside it when the picture scrolls.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, verticalScrollBar());
    const int height = legend_->layOut(area.width() - bar, schematic_.wetSteam, schematic_.sources);
    setViewportMargins(0, height, 0, 0);
    legend_->setGeometry(area.left(), area.top(), area.width(), height);
    legend_->update();  // its entries may change while its size stays
}

void SchematicView::resizeEvent(QResizeEvent* event)
{
    placeLegend();
    QGraphicsView::resizeEvent(event);
    if (fitted_) fit();
}

void SchematicView::showEvent(QShowEvent* event)
{
    QGraphicsView::showEvent(event);
    if (fitted_) fit();
}

void SchematicView::wheelEvent(QWheelEvent* event)
{
    const double factor = std::pow(1.15, event->angleDelta().y() / 120.0);
    scale(factor, factor);
    fitted_ = false;
    event->accept();
}

/// A click on a pipe or a node, or a few pixels beside it, names it; anywhere else it drags the
/// picture.
void SchematicView::mousePressEvent(QMouseEvent* event)
{
    const QPointF at = mapToScene(event->position().toPoint());
    const std::optional<std::size_t> hit = itemNear(schematic_, at, kReach / std::max(transform().m11(), 1e-6));
    if (!hit) {
        fitted_ = false;
        QGraphicsView::mousePressEvent(event);
        return;
    }
    const Schematic::Item& item = schematic_.items[*hit];
    if (item.kind == Schematic::Item::pipe) {
        emit pipeClicked(item.index);
    } else {
        emit nodeClicked(item.index);
    }
    event->accept();
}

}  // namespace dorvent
