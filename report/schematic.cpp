#include "report/schematic.h"

#include <QFontMetricsF>
#include <QHash>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "mainwin/songfont.h"
#include "numtext/formatnumber.h"
#include "pipeline/treelayout.h"
#include "pipes/guanjing.h"

namespace dorvent {
namespace {

constexpr double kRow = 72;          // pt between the ends of the tree
constexpr double kTrunk = 28;        // pt from a node to the line its pipes branch off
constexpr double kRadius = 6;        // pt of a node's circle
constexpr double kGap = 4;           // pt between a line or a node and its labels
constexpr double kLeastColumn = 90;  // pt between the depths of the tree
constexpr double kMargin = 12;       // pt around the picture
// A band's width: at two thirds of its size, with labels of 6 pt, it fills the width of a
// report's page (170 mm).
constexpr double kBandWidth = 720;

const QColor kPlain(40, 60, 90);
const QColor kFlagged(230, 140, 0);
const QColor kFailed(200, 40, 40);
const QColor kNotComputed(160, 160, 160);
const QColor kText(20, 20, 20);
// Water: apart from the warning's orange, the failure's red and the selection's pale blue halo.
const QColor kDrain(0, 128, 140);
constexpr double kDrainGap = 1.5;  // pt between a drain mark and its label
// Under 按焓平衡: dashed, which leaves a wet pipe the colour and the width of its warnings and of
// the path to the critical consumer.
bool isWet(const SegmentRun& run) { return run.status == SegmentStatus::computed && run.balance && run.balance->wet(); }

QString qs(const std::string& text) { return QString::fromStdString(text); }

// The nodes' fill by the source that feeds them most: light, so that the outline's warning and
// failure colours stay plain on them.
const std::array<QColor, 6> kSourceFills = {QColor(190, 215, 245), QColor(250, 215, 170), QColor(200, 235, 190),
                                            QColor(235, 200, 235), QColor(245, 240, 170), QColor(200, 235, 235)};
QColor sourceFill(std::size_t k) { return kSourceFills[k % kSourceFills.size()]; }

/// The source that feeds a node most, in result.sources; none where one source feeds the network.
std::optional<std::size_t> mainSource(const PipelineResult& result, const NodeRun& node)
{
    if (result.sources.size() < 2 || node.shares.empty() || !node.computed) return std::nullopt;
    return static_cast<std::size_t>(std::max_element(node.shares.begin(), node.shares.end()) - node.shares.begin());
}

/// A small triangle on the line from a to b at its middle, pointing towards b.
QPolygonF arrowOn(const QPointF& a, const QPointF& b)
{
    const QLineF line(a, b);
    if (line.length() < 1) return {};
    const QPointF along = (b - a) / line.length(), across(-along.y(), along.x());
    const QPointF tip = line.center() + 3.5 * along;
    return QPolygonF({tip, tip - 7 * along + 3 * across, tip - 7 * along - 3 * across});
}

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
QStringList pipeLines(const PipelineSegment& s, const SegmentRun& run)
{
    QString name = qs(s.label);
    const PipeSize* pipe = findCatalogueRow(s.dn);
    name += (name.isEmpty() ? "" : " ") + (pipe != nullptr ? qs(dnText(*pipe)) : QStringLiteral("自选"));
    QString size;
    if (s.length) size = QStringLiteral("%1 m").arg(qs(formatShortest(*s.length)));
    if (run.flow) {
        const std::string flow = run.flowSolved ? formatFixed(*run.flow, 3) : formatShortest(*run.flow);
        size += (size.isEmpty() ? "" : "  ") + QStringLiteral("%1 t/h").arg(qs(flow));
    }
    return {name, size};
}

/// Where steam that entered the pipe superheated becomes saturated [m from its start]; none elsewhere.
std::optional<double> saturationAt(const SegmentRun& run)
{
    if (run.status != SegmentStatus::computed || !run.balance) return std::nullopt;
    return run.balance->saturationDistance;
}

/// "疏水 305 m" at the pipe's saturation point; empty where it has none.
QString drainText(const SegmentRun& run)
{
    const std::optional<double> at = saturationAt(run);
    return at ? QStringLiteral("疏水 %1 m").arg(qs(formatFixed(*at, 0))) : QString();
}

/// A node's name, then its pressure and its temperature, each on a line; or why it has none.
QStringList nodeLines(const NodeRun& node, const QString& suffix = {})
{
    QStringList lines{qs(node.name) + suffix};
    if (node.computed) {
        lines << QStringLiteral("%1 MPa").arg(qs(formatFixed(node.p, 3))) << QStringLiteral("%1 ℃").arg(qs(formatFixed(node.t, 1)));
    } else if (!node.message.empty()) {
        lines << qs(node.message);
    }
    return lines;
}

/// The labels' measures, the width of each text taken once: a network repeats many of its texts.
class Measure {
public:
    Measure() : metrics_(schematicFont()) {}

    double width(const QString& text)
    {
        auto known = widths_.constFind(text);
        if (known == widths_.constEnd()) known = widths_.insert(text, metrics_.horizontalAdvance(text));
        return *known;
    }
    double widest(const QStringList& lines)
    {
        double most = 0;
        for (const QString& line : lines) most = std::max(most, width(line));
        return most;
    }
    double line() const { return metrics_.height(); }
    double ascent() const { return metrics_.ascent(); }
    double descent() const { return metrics_.descent(); }
    /// A label whose text, of that width, begins at left on the base line y.
    Schematic::Label label(double left, double y, const QString& text, double width) const
    {
        return {QPointF(left, y), text, QRectF(left, y - ascent(), width, line())};
    }
    void reserve(qsizetype texts) { widths_.reserve(texts); }

private:
    QFontMetricsF metrics_;
    QHash<QString, double> widths_;
};

/// Where a node's labels stand: on its left, on its right, or below its line, ending under it.
enum class Side { left, right, below };

/// Lines of labels beside a node at, one under the other.
std::vector<Schematic::Label> labelsBeside(const QStringList& lines, const QPointF& at, Side side, Measure& measure)
{
    double baseline = side == Side::below ? at.y() + kRadius + 3 + measure.ascent()
                                          : at.y() - measure.line() * static_cast<double>(lines.size()) / 2 + measure.ascent();
    std::vector<Schematic::Label> labels;
    for (const QString& text : lines) {
        const double width = measure.width(text);
        const double left = side == Side::right ? at.x() + kRadius + kGap
                          : side == Side::left  ? at.x() - kRadius - kGap - width
                                                : at.x() + kRadius - width;
        labels.push_back(measure.label(left, baseline, text, width));
        baseline += measure.line();
    }
    return labels;
}

/// Which node's labels stand where, and what the columns of the layout need.
class Builder {
public:
    Builder(const PipelineDocument& document, const PipelineResult& result) : document_(document), result_(result)
    {
        measure_.reserve(static_cast<qsizetype>(2 * result.segments.size() + 3 * result.nodes.size()));
        for (std::size_t i = 0; i < result.segments.size() && i < document.segments.size(); ++i) {
            pipeTexts_.push_back(pipeLines(document.segments[i], result.segments[i]));
            pipeWidths_.push_back(measure_.widest(pipeTexts_.back()));
            drainTexts_.push_back(drainText(result.segments[i]));
            drainWidths_.push_back(drainTexts_.back().isEmpty() ? 0.0 : measure_.width(drainTexts_.back()));
        }
        for (const NodeRun& node : result.nodes) {
            nodeTexts_.push_back(nodeLines(node));
            nodeWidths_.push_back(measure_.widest(nodeTexts_.back()));
        }
    }

    Schematic build();

private:
    /// Room from the column before to a node: for the labels of the pipe that comes in above its
    /// line, and for those of a node that feeds others, below its line.
    double columnFor(std::size_t node, bool below) const;
    std::pair<double, double> reach();
    void layOut();
    std::vector<double> columnLefts() const;
    void addPipe(std::size_t segment, std::size_t from, std::size_t to);
    void addStraightPipe(std::size_t segment, std::size_t from, std::size_t to);
    bool placeOnSite();
    void addDrain(Schematic::Item& pipe, std::size_t segment, std::size_t toNode);
    /// How far left of a node's centre its labels reach below its line; less than 0 where they do not.
    double labelsUnder(std::size_t node, bool below) const { return below ? nodeWidths_[node] - kRadius : -kRadius; }
    void addNode(std::size_t node, const TreePlace& place, bool stub);
    QPointF point(const TreePlace& place) const
    {
        return sited_ ? QPointF(place.column, place.row) : QPointF(xs_[static_cast<std::size_t>(place.column)], place.row * kRow);
    }
    bool feeds(std::size_t node) const { return !children_[node].empty(); }
    /// Whether a node begins a band, the source the first: its labels stand on its left.
    bool beginsBand(std::size_t node) const { return layout_.stubs[node] || result_.nodes[node].kind == NodeKind::source; }

    const PipelineDocument& document_;
    const PipelineResult& result_;
    Measure measure_;
    std::vector<QStringList> pipeTexts_, nodeTexts_;
    std::vector<double> pipeWidths_, nodeWidths_;  // of their widest lines
    std::vector<QString> drainTexts_;
    std::vector<double> drainWidths_;
    std::vector<std::vector<std::size_t>> children_;
    TreeLayout layout_;
    std::vector<double> xs_;
    std::vector<bool> critical_;
    bool sited_ = false;  // the nodes stand where the site plan puts them, in points
    Schematic schematic_;
};

/// Where every node the pipes name has its coordinates: each node there, the plan's north up,
/// scaled so that the plan is as wide or as high as a band.
bool Builder::placeOnSite()
{
    std::vector<const NetworkNode*> data;
    double left = 0, right = 0, top = 0, bottom = 0;
    for (std::size_t n = 0; n < result_.nodes.size(); ++n) {
        const NetworkNode* node = findNode(document_, result_.nodes[n].name);
        if (node == nullptr || !node->x || !node->y) return false;
        left = n == 0 ? *node->x : std::min(left, *node->x);
        right = n == 0 ? *node->x : std::max(right, *node->x);
        top = n == 0 ? *node->y : std::max(top, *node->y);
        bottom = n == 0 ? *node->y : std::min(bottom, *node->y);
        data.push_back(node);
    }
    if (data.empty()) return false;
    const double extent = std::max({right - left, top - bottom, 1.0});
    const double scale = (kBandWidth - 2 * kMargin) / extent;  // pt a metre
    layout_.places.assign(result_.nodes.size(), std::nullopt);
    layout_.stubs.assign(result_.nodes.size(), std::nullopt);
    for (std::size_t n = 0; n < data.size(); ++n) layout_.places[n] = TreePlace{(*data[n]->x - left) * scale, (top - *data[n]->y) * scale};
    return true;
}

/// A pipe as a straight line from the node its steam leaves to the node it feeds, between their
/// circles: a pipe that closes a loop, or any pipe on a site plan. Its labels stand above the
/// line at the first of a few places along it where they cover no label or node drawn before.
void Builder::addStraightPipe(std::size_t i, std::size_t fromNode, std::size_t toNode)
{
    const QPointF centreFrom = point(*layout_.places[fromNode]);
    const QPointF centreTo = point(*layout_.places[toNode]);
    const QLineF whole(centreFrom, centreTo);
    const double length = whole.length();
    const QPointF from = length > 2 * kRadius ? whole.pointAt(kRadius / length) : centreFrom;
    const QPointF to = length > 2 * kRadius ? whole.pointAt(1 - kRadius / length) : centreTo;
    Schematic::Item pipe{.kind = Schematic::Item::pipe, .index = i};
    pipe.line << from << to;
    if (result_.solve && result_.segments[i].flow.value_or(0) != 0) pipe.arrow = arrowOn(from, to);
    pipe.colour = pipeColour(result_.segments[i]);
    pipe.textColour = pipe.colour.darker(130);
    pipe.width = critical_[i] ? 3.5 : 1.5;
    pipe.dashed = isWet(result_.segments[i]);
    const auto labelsAt = [&](double share) {
        const QPointF at = whole.pointAt(share);
        std::vector<Schematic::Label> labels;
        double baseline = at.y() - kGap - measure_.descent() - measure_.line();
        for (const QString& text : pipeTexts_[i]) {
            const double width = measure_.width(text);
            if (!text.isEmpty()) labels.push_back(measure_.label(at.x() - width / 2, baseline, text, width));
            baseline += measure_.line();
        }
        return labels;
    };
    const auto free = [this](const std::vector<Schematic::Label>& labels) {
        for (const Schematic::Item& item : schematic_.items) {
            for (const Schematic::Label& label : labels) {
                if (item.kind == Schematic::Item::node && item.shape.intersects(label.box)) return false;
                for (const Schematic::Label& other : item.labels) {
                    if (other.box.intersects(label.box)) return false;
                }
            }
        }
        return true;
    };
    pipe.labels = labelsAt(0.5);
    for (const double share : {0.5, 0.35, 0.65, 0.22, 0.78}) {
        if (std::vector<Schematic::Label> labels = labelsAt(share); free(labels)) {
            pipe.labels = std::move(labels);
            break;
        }
    }
    schematic_.items.push_back(std::move(pipe));
}

double Builder::columnFor(std::size_t node, bool below) const
{
    double room = kLeastColumn;
    const std::optional<std::size_t> feed = result_.nodes[node].feed;
    if (feed && *feed < pipeWidths_.size()) room = std::max(room, kTrunk + 2 * kGap + pipeWidths_[*feed] + kRadius + kGap);
    if (below) room = std::max(room, kTrunk + kGap + nodeWidths_[node] - kRadius);
    // A drain mark's label below the pipe's own leg, clear of the labels below the node.
    if (feed && *feed < drainWidths_.size() && drainWidths_[*feed] > 0) {
        room = std::max(room, kTrunk + 3 * kGap + drainWidths_[*feed] + labelsUnder(node, below));
    }
    return room;
}

/// How far the labels reach left of the first column and right of the last: those of the first
/// nodes of bands on their left, of ends and stubs on their right.
std::pair<double, double> Builder::reach()
{
    double left = 0, right = xs_.back();
    for (std::size_t n = 0; n < result_.nodes.size(); ++n) {
        const QString& name = nodeTexts_[n].front();
        if (const std::optional<TreePlace>& stub = layout_.stubs[n]) {
            right = std::max(right, point(*stub).x() + kRadius + kGap + measure_.width(name + QStringLiteral("（转下）")));
        }
        const std::optional<TreePlace>& place = layout_.places[n];
        if (!place) continue;
        const double x = point(*place).x();
        if (beginsBand(n)) {
            const double suffix = layout_.stubs[n] ? measure_.width(name + QStringLiteral("（接上）")) : 0;
            left = std::min(left, x - kRadius - kGap - std::max(nodeWidths_[n], suffix));
        } else if (!feeds(n)) {
            right = std::max(right, x + kRadius + kGap + nodeWidths_[n]);
        }
    }
    return {left, right};
}

/// The tree laid out, and folded into bands where it is wider than kBandWidth: each time as many
/// columns as the widest band fits, until it fits, or one column is left.
void Builder::layOut()
{
    std::size_t columns = std::numeric_limits<std::size_t>::max();
    for (;;) {
        layout_ = layOutTree(result_, columns);
        xs_ = columnLefts();
        if (xs_.size() <= 2) return;  // no tree, or one too shallow to fold
        const auto [left, right] = reach();
        if (right - left + 2 * kMargin <= kBandWidth) return;
        const double room = kBandWidth - 2 * kMargin + left - (right - xs_.back());
        const auto fitting = static_cast<std::size_t>(std::upper_bound(xs_.begin() + 1, xs_.end(), room) - xs_.begin()) - 1;
        columns = std::clamp<std::size_t>(fitting, 1, xs_.size() - 2);
    }
}

/// The left of every column: each as far from the one before as its nodes need.
std::vector<double> Builder::columnLefts() const
{
    std::vector<double> gaps;
    for (std::size_t n = 0; n < result_.nodes.size(); ++n) {
        for (const auto& [place, stub] : {std::pair(layout_.places[n], false), std::pair(layout_.stubs[n], true)}) {
            if (!place) continue;
            const auto column = static_cast<std::size_t>(place->column);
            if (gaps.size() <= column) gaps.resize(column + 1, kLeastColumn);
            if (stub || !beginsBand(n)) gaps[column] = std::max(gaps[column], columnFor(n, !stub && feeds(n)));
        }
    }
    std::vector<double> xs(gaps.size(), 0.0);
    for (std::size_t c = 1; c < gaps.size(); ++c) xs[c] = xs[c - 1] + gaps[c];
    return xs;
}

void Builder::addPipe(std::size_t i, std::size_t fromNode, std::size_t toNode)
{
    const QPointF from = point(*layout_.places[fromNode]);
    const QPointF to = point(layout_.stubs[toNode] ? *layout_.stubs[toNode] : *layout_.places[toNode]);
    Schematic::Item pipe{.kind = Schematic::Item::pipe, .index = i};
    pipe.line << from << QPointF(from.x() + kTrunk, from.y()) << QPointF(from.x() + kTrunk, to.y()) << to;
    if (result_.solve) pipe.arrow = arrowOn(pipe.line[2], to - QPointF(kRadius, 0));
    pipe.colour = pipeColour(result_.segments[i]);
    pipe.textColour = pipe.colour.darker(130);
    pipe.width = critical_[i] ? 3.5 : 1.5;
    pipe.dashed = isWet(result_.segments[i]);
    double baseline = to.y() - 2 - measure_.descent() - measure_.line();
    for (const QString& text : pipeTexts_[i]) {
        if (!text.isEmpty()) pipe.labels.push_back(measure_.label(from.x() + kTrunk + 2 * kGap, baseline, text, measure_.width(text)));
        baseline += measure_.line();
    }
    if (!drainTexts_[i].isEmpty()) addDrain(pipe, i, toNode);
    schematic_.items.push_back(std::move(pipe));
}

/// The drain mark at its share of the pipe's length along the pipe's own leg, from the trunk it
/// leaves to its end node: the trunk and the leg from the node before are shared with its
/// siblings, so that a mark there would not say which pipe it is on. Its label under it, between
/// the trunk and the labels below the end node.
void Builder::addDrain(Schematic::Item& pipe, std::size_t i, std::size_t toNode)
{
    const QPointF trunk = pipe.line[2], end = pipe.line[3];
    const std::optional<double>& length = document_.segments[i].length;
    const double share = length && *length > 0 ? std::clamp(*saturationAt(result_.segments[i]) / *length, 0.0, 1.0) : 0.0;
    const Schematic::Drain drain{.at = QPointF(trunk.x() + share * (end.x() - kRadius - trunk.x()), end.y()), .colour = kDrain};
    const double width = drainWidths_[i];
    const bool below = !layout_.stubs[toNode] && feeds(toNode);
    const double right = end.x() - labelsUnder(toNode, below) - 2 * kGap;  // apart from a node's name on its line
    const double left = std::max(trunk.x() + kGap, std::min(drain.at.x() - width / 2, right - width));
    const double baseline = drain.box().bottom() + kDrainGap + measure_.ascent();
    Schematic::Label label = measure_.label(left, baseline, drainTexts_[i], width);
    label.colour = kDrain.darker(125);
    pipe.labels.push_back(std::move(label));
    pipe.drain = drain;
}

/// A node where it stands; a node that begins a band also where it ends the band before, its stub.
void Builder::addNode(std::size_t n, const TreePlace& place, bool stub)
{
    const NodeRun& node = result_.nodes[n];
    const QPointF at = point(place);
    Schematic::Item item{.kind = Schematic::Item::node, .index = n};
    item.shape = QRectF(at.x() - kRadius, at.y() - kRadius, 2 * kRadius, 2 * kRadius);
    item.square = node.kind == NodeKind::source && !stub;
    item.colour = nodeColour(node);
    if (const auto k = mainSource(result_, node)) item.fill = sourceFill(*k);
    item.textColour = kText;
    item.width = result_.critical == n ? 3.0 : 1.5;
    if (stub) {
        item.labels = labelsBeside({qs(node.name) + QStringLiteral("（转下）")}, at, Side::right, measure_);
    } else if (beginsBand(n)) {
        item.labels = labelsBeside(nodeLines(node, layout_.stubs[n] ? QStringLiteral("（接上）") : QString()), at, Side::left, measure_);
    } else {
        item.labels = labelsBeside(nodeTexts_[n], at, feeds(n) && !sited_ ? Side::below : Side::right, measure_);
    }
    schematic_.items.push_back(std::move(item));
}

Schematic Builder::build()
{
    children_ = childrenOf(result_);
    sited_ = placeOnSite();
    if (!sited_) layOut();
    critical_.assign(result_.segments.size(), false);
    for (const std::size_t i : pathTo(result_, result_.critical)) critical_[i] = true;

    std::vector<std::size_t> straight;  // drawn after the nodes, their labels clear of those placed
    for (std::size_t i = 0; i < pipeTexts_.size(); ++i) {
        const SegmentRun& run = result_.segments[i];
        if (!run.fromNode || !run.toNode || !layout_.places[*run.fromNode] || !layout_.places[*run.toNode]) continue;
        const bool tree = result_.nodes[*run.toNode].feed == i;
        // Outside a solved network's tree a pipe closes a loop; outside a tree computed pipe after
        // pipe it is refused, and its row in the table says why.
        if (tree && !sited_) {
            addPipe(i, *run.fromNode, *run.toNode);
        } else if (result_.solve || (tree && sited_)) {
            straight.push_back(i);
        }
    }
    for (std::size_t n = 0; n < result_.nodes.size(); ++n) {
        if (layout_.places[n]) addNode(n, *layout_.places[n], false);
        if (layout_.stubs[n]) addNode(n, *layout_.stubs[n], true);
    }
    for (const std::size_t i : straight) addStraightPipe(i, *result_.segments[i].fromNode, *result_.segments[i].toNode);
    for (Schematic::Item& item : schematic_.items) {
        item.box = item.kind == Schematic::Item::pipe ? item.line.boundingRect() : item.shape;
        if (item.drain) item.box |= item.drain->box();
        for (const Schematic::Label& label : item.labels) item.box |= label.box;
        schematic_.bounds = schematic_.bounds.isNull() ? item.box : schematic_.bounds | item.box;
    }
    schematic_.bounds.adjust(-kMargin, -kMargin, kMargin, kMargin);
    schematic_.wetSteam = document_.temperatureLaw == TemperatureLaw::enthalpyBalance;
    if (result_.sources.size() >= 2) {
        for (std::size_t k = 0; k < result_.sources.size(); ++k) {
            schematic_.sources.emplace_back(qs(result_.nodes[result_.sources[k].node].name), sourceFill(k));
        }
    }
    return std::move(schematic_);
}

}  // namespace

QFont schematicFont()
{
    QFont font = songFont(9);
    font.setPixelSize(kSchematicFontSize);
    return font;
}

Schematic makeSchematic(const PipelineDocument& document, const PipelineResult& result)
{
    return Builder(document, result).build();
}

Schematic schematicLegend(double width, bool selection, bool wetSteam, const std::vector<std::pair<QString, QColor>>& sources)
{
    struct Entry {
        QColor colour;
        double width;
        QString text;
        bool dashed = false, drain = false;
        QColor fill{};  // a node's, by the source that feeds it most
    };
    std::vector<Entry> entries = {{kPlain, 1.5, "已算出"},
                                  {kFlagged, 1.5, "有警告"},
                                  {kFailed, 1.5, "未能算出或不满足要求"},
                                  {kNotComputed, 1.5, "未计算"},
                                  {kPlain, 3.5, "至最不利用户的路径"}};
    if (wetSteam) {
        entries.push_back({kPlain, 1.5, "湿蒸汽", true});
        entries.push_back({kPlain, 1.5, "疏水点（开始变湿处）", false, true});
    }
    for (const auto& [name, fill] : sources) entries.push_back({kPlain, 1.5, QStringLiteral("主要由%1供汽").arg(name), false, false, fill});
    if (selection) entries.push_back({kPlain, 1.5, "选中"});  // the last: the window marks it
    Measure measure;
    const double sample = 20, line = measure.line() + 6;
    Schematic legend;
    QPointF at(0, measure.ascent());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const QString& text = entries[i].text;
        const double entryWidth = sample + kGap + measure.width(text);
        if (at.x() > 0 && at.x() + entryWidth > width) at = QPointF(0, at.y() + line);
        Schematic::Item item{.kind = Schematic::Item::pipe, .index = i};
        const double middle = at.y() - measure.ascent() + measure.line() / 2;
        if (entries[i].fill.isValid()) {
            item.kind = Schematic::Item::node;
            item.shape = QRectF(at.x() + sample / 2 - kRadius, middle - kRadius, 2 * kRadius, 2 * kRadius);
            item.fill = entries[i].fill;
        } else {
            item.line << QPointF(at.x() + 3, middle) << QPointF(at.x() + sample - 3, middle);
        }
        item.colour = entries[i].colour;
        item.width = entries[i].width;
        item.dashed = entries[i].dashed;
        if (entries[i].drain) item.drain = Schematic::Drain{.at = item.line.boundingRect().center(), .colour = kDrain};
        item.textColour = kText;
        item.labels.push_back(measure.label(at.x() + sample + kGap, at.y(), text, measure.width(text)));
        item.box = (item.kind == Schematic::Item::node ? item.shape : item.line.boundingRect()).adjusted(0, -item.width, 0, item.width) |
                   item.labels.back().box;
        if (item.drain) item.box |= item.drain->box();
        legend.bounds |= item.box;
        legend.items.push_back(std::move(item));
        at.rx() += entryWidth + 12;
    }
    return legend;
}

Schematic withLegend(Schematic schematic)
{
    Schematic legend = schematicLegend(std::max(schematic.bounds.width() - 2 * kMargin, 360.0), false, schematic.wetSteam,
                                       schematic.sources);
    const QPointF shift = schematic.bounds.bottomLeft() + QPointF(kMargin, 0) - legend.bounds.topLeft();
    for (Schematic::Item& item : legend.items) {
        item.line.translate(shift);
        item.shape.translate(shift);
        if (item.drain) item.drain->at += shift;
        for (Schematic::Label& label : item.labels) {
            label.at += shift;
            label.box.translate(shift);
        }
        item.box.translate(shift);
        schematic.items.push_back(std::move(item));
    }
    schematic.bounds |= legend.bounds.translated(shift).adjusted(-kMargin, 0, kMargin, kMargin);
    return schematic;
}

std::vector<double> schematicCuts(const Schematic& schematic)
{
    // The heights that labels and nodes take, in order of their tops; a cut in every gap between them.
    std::vector<std::pair<double, double>> taken;
    for (const Schematic::Item& item : schematic.items) {
        if (item.kind == Schematic::Item::node) taken.emplace_back(item.shape.top() - item.width, item.shape.bottom() + item.width);
        if (item.drain) taken.emplace_back(item.drain->box().top(), item.drain->box().bottom());
        for (const Schematic::Label& label : item.labels) taken.emplace_back(label.box.top(), label.box.bottom());
    }
    std::sort(taken.begin(), taken.end());
    std::vector<double> cuts;
    double bottom = schematic.bounds.top();
    for (const auto& [top, end] : taken) {
        if (top > bottom) cuts.push_back((top + bottom) / 2 - schematic.bounds.top());
        bottom = std::max(bottom, end);
    }
    return cuts;
}

}  // namespace dorvent
