// Wet steam as the user sees it under 温降计算：按焓平衡: the schematic's dashed wet pipes and drain
// marks (疏水) with their legend, and the profile's dryness on its own axis.

#include <algorithm>
#include <ranges>

#include "guitest.h"
#include "pipeline/pipelinecalc.h"
#include "report/profilechart.h"
#include "report/schematic.h"

namespace dorvent {
namespace {

const Schematic::Item& pipeItem(const Schematic& schematic, std::size_t segment)
{
    const auto item =
        std::ranges::find_if(schematic.items, [segment](const Schematic::Item& i) { return i.kind == Schematic::Item::pipe && i.index == segment; });
    EXPECT_NE(item, schematic.items.end()) << segment;
    return *item;
}

QStringList textsOf(const Schematic& schematic)
{
    QStringList texts;
    for (const Schematic::Item& item : schematic.items)
        for (const Schematic::Label& label : item.labels) texts << label.text;
    return texts;
}

QImage rendered(const Schematic& schematic, double scale)
{
    QImage image((schematic.bounds.size() * scale).toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintSchematic(painter, QRectF(QPointF(0, 0), image.size()), schematic);
    return image;
}

/// Along a horizontal leg of a drawn pipe, the runs of ink broken by white: 1 for a solid line.
int inkRuns(const QImage& image, const QPointF& from, const QPointF& to, double scale, const QRectF& bounds)
{
    const int y = static_cast<int>((from.y() - bounds.top()) * scale);
    int runs = 0;
    bool inked = false;
    for (int x = static_cast<int>((from.x() - bounds.left()) * scale) + 4; x < (to.x() - bounds.left()) * scale - 12; ++x) {
        const bool ink = image.pixelColor(x, y).lightness() < 200;
        runs += ink && !inked ? 1 : 0;
        inked = ink;
    }
    return runs;
}

/// The trunk of the example's wet branch to 乙区分汽缸, which feeds two consumers over wet pipes: the
/// steam saturates 86 m into the 100 m pipe, near its end node, whose labels stand below its line.
PipelineDocument wetFork()
{
    const auto pipe = [](std::string from, std::string to, double D, double s, double L) {
        return PipelineSegment{.label = to, .from = std::move(from), .to = to, .outerDiameter = D, .wall = s, .length = L, .zeta = 0.15, .beta = 0.2,
                               .phi = 1, .ambient = 0, .dropPerKm = 5, .heatLoss = 0.8};
    };
    PipelineDocument d{.startPressure = 1.0, .startTemperature = 200,
                       .segments = {pipe("锅炉房", "N1", 159, 4.5, 500), pipe("N1", "用户甲", 108, 4, 500), pipe("N1", "乙区分汽缸", 57, 3.5, 100),
                                    pipe("乙区分汽缸", "乙1", 57, 3.5, 300), pipe("乙区分汽缸", "乙2", 57, 3.5, 300)},
                       .temperatureLaw = TemperatureLaw::enthalpyBalance};
    d.nodes = {{.name = "用户甲", .demand = 3.5}, {.name = "乙1", .demand = 0.25}, {.name = "乙2", .demand = 0.25}};
    d.segments[2].label.clear();  // its column as narrow as its labels above and the header's below allow
    return d;
}

TEST(WetSchematic, DashesTheWetBranchAndHangsItsDrainMarkAtTheSaturationPoint)
{
    const PipelineDocument d = example("wet-branch.dorvent");
    const PipelineResult r = calculatePipeline(d);
    const Schematic schematic = makeSchematic(d, r);
    const Schematic::Item &trunk = pipeItem(schematic, 0), &dry = pipeItem(schematic, 1), &wet = pipeItem(schematic, 2);
    EXPECT_EQ(std::tuple(trunk.dashed, dry.dashed, wet.dashed, trunk.drain || dry.drain), std::tuple(false, false, true, false));
    ASSERT_TRUE(wet.drain);
    EXPECT_EQ(wet.labels.back().text, "疏水 86 m");  // 85.9 m of 1500
    // On the branch's own leg from the trunk to 用户乙, at 85.9/1500 of it, under N1's column.
    const QPointF leg = wet.line[2], end = wet.line[3];
    EXPECT_EQ(wet.drain->at.y(), end.y());
    const double share = (wet.drain->at.x() - leg.x()) / (end.x() - 6 - leg.x());
    EXPECT_NEAR(share, *r.segments[2].balance->saturationDistance / 1500, 1e-9);
    EXPECT_GT(share, 0.05);
    // The label hangs under the mark, and no text or node stands in its way.
    const QRectF& label = wet.labels.back().box;
    EXPECT_TRUE(label.top() > wet.drain->box().bottom() && label.left() <= wet.drain->at.x() && label.right() >= wet.drain->at.x());
    for (const Schematic::Item& item : schematic.items) {
        EXPECT_FALSE(item.kind == Schematic::Item::node && (item.shape.intersects(label) || item.shape.intersects(wet.drain->box())));
        for (const Schematic::Label& other : item.labels) EXPECT_TRUE(&other == &wet.labels.back() || !other.box.intersects(label)) << other.text.toStdString();
    }

    // As drawn: the wet branch's leg in dashes, the dry one's a single run of ink; the mark in its water colour.
    const double scale = 3;
    const QImage image = rendered(schematic, scale);
    EXPECT_GE(inkRuns(image, leg, end, scale, schematic.bounds), 6);
    EXPECT_EQ(inkRuns(image, dry.line[2], dry.line[3], scale, schematic.bounds), 1);
    const QPoint tip(((wet.drain->triangle().boundingRect().center() - schematic.bounds.topLeft()) * scale).toPoint());
    const QColor mark = image.pixelColor(tip);
    EXPECT_TRUE(mark.green() > mark.red() + 60 && mark.blue() > mark.red() + 60) << mark.name().toStdString();
    // And as SVG.
    const QString svg = QString::fromStdString(schematicSvg(schematic));
    EXPECT_TRUE(svg.count("stroke-dasharray=\"6 3.75\"") == 1 && svg.contains(">疏水 86 m</text>") && svg.count("<polygon") == 1);
}

TEST(WetSchematic, ItsLegendNamesWetPipesAndDrainMarksOnlyUnderTheEnergyBalance)
{
    const QString wetPipes = "湿蒸汽", drains = "疏水点（开始变湿处）";
    PipelineDocument d = example("wet-branch.dorvent");
    const QStringList wet = textsOf(withLegend(makeSchematic(d, calculatePipeline(d))));
    EXPECT_TRUE(wet.contains(wetPipes) && wet.contains(drains)) << wet.join(" ").toStdString();
    // Its legend draws the dashes and the mark as the picture does.
    const Schematic legend = schematicLegend(600, true, true);
    const auto entry = [&legend](const QString& text) {
        return std::ranges::find_if(legend.items, [&text](const Schematic::Item& i) { return i.labels.front().text == text; });
    };
    EXPECT_TRUE(entry(wetPipes)->dashed && entry(drains)->drain);
    EXPECT_EQ(legend.items.back().labels.front().text, "选中");  // still last: the window marks it

    for (const char* superheated : {"industrial-park.dorvent", "steam-main.dorvent"}) {
        const PipelineDocument other = example(superheated);
        const QStringList texts = textsOf(withLegend(makeSchematic(other, calculatePipeline(other))));
        EXPECT_FALSE(texts.contains(wetPipes) || texts.contains(drains)) << superheated;
    }
    d.temperatureLaw = TemperatureLaw::heatLoss;
    const Schematic heatLoss = withLegend(makeSchematic(d, calculatePipeline(d)));
    EXPECT_TRUE(!textsOf(heatLoss).contains(drains) && std::ranges::none_of(heatLoss.items, [](const Schematic::Item& i) { return i.dashed || i.drain; }));
}

TEST(WetSchematic, ADrainNearAFeedingNodeKeepsItsLabelClearAndThePageCutsPassItBy)
{
    const PipelineDocument d = wetFork();
    const PipelineResult r = calculatePipeline(d);
    ASSERT_TRUE(r.allComputed);
    const Schematic schematic = makeSchematic(d, r);
    const Schematic::Item& toHeader = pipeItem(schematic, 2);
    ASSERT_TRUE(toHeader.drain);
    EXPECT_EQ(toHeader.labels.back().text, "疏水 86 m");
    EXPECT_GT(toHeader.drain->at.x(), (toHeader.line[2].x() + toHeader.line[3].x()) / 2);  // 86 m of 100
    // Wet from their start, the pipes behind it are dashed without a mark of their own.
    for (const std::size_t i : {3, 4}) EXPECT_TRUE(pipeItem(schematic, i).dashed && !pipeItem(schematic, i).drain) << i;
    std::vector<QRectF> labels, strokes;
    for (const Schematic::Item& item : schematic.items) {
        for (const Schematic::Label& label : item.labels) labels.push_back(label.box);
        for (qsizetype k = 1; k < item.line.size(); ++k) strokes.push_back(QRectF(item.line[k - 1], item.line[k]).normalized().adjusted(-0.5, -0.5, 0.5, 0.5));
        if (item.kind == Schematic::Item::node) strokes.push_back(item.shape);
    }
    for (std::size_t a = 0; a < labels.size(); ++a) {
        for (std::size_t b = a + 1; b < labels.size(); ++b) EXPECT_FALSE(labels[a].intersects(labels[b])) << a << " " << b;
        for (const QRectF& stroke : strokes) EXPECT_FALSE(labels[a].intersects(stroke)) << a;
    }
    const QRectF taken = toHeader.drain->box() | toHeader.labels.back().box;
    for (const double cut : schematicCuts(schematic))
        EXPECT_TRUE(schematic.bounds.top() + cut < taken.top() || schematic.bounds.top() + cut > taken.bottom()) << cut;
}

TEST(WetProfile, TheDrynessStartsAtOneWhereTheSteamSaturatesAndFallsToThePipesEnd)
{
    const PipelineDocument d = example("wet-branch.dorvent");
    const PipelineResult r = calculatePipeline(d);
    const BalanceRun& wet = *r.segments[2].balance;
    const ProfileData data = profileData(d, r, pathTo(r, 3));  // to 用户乙
    ASSERT_GE(data.dryness.size(), 3);
    EXPECT_EQ(std::pair(data.dryness.front(), data.dryness[1]),
              std::pair(QPointF(500 + *wet.saturationDistance, 1.0), QPointF(600, r.segments[2].sections[1].dryness)));
    // The temperature bends where the steam saturates, not at the end of that section.
    const QPointF bend(500 + *wet.saturationDistance, r.segments[2].sections.front().T - 273.15);
    EXPECT_NE(std::ranges::find(data.temperature, bend), data.temperature.end());
    EXPECT_EQ(data.dryness.back(), QPointF(2000, wet.dryness));
    EXPECT_TRUE(data.dryness[1].y() < 1.0 && std::ranges::is_sorted(data.dryness, std::ranges::greater{}, &QPointF::y));
    EXPECT_EQ(data.dryness.size(), 1 + 15);  // the mark and the ends of the branch's 15 sections
    EXPECT_TRUE(profileData(d, r, pathTo(r, 2)).dryness.isEmpty());  // 用户甲 gets superheated steam
}

/// Columns of the chart's right quarter holding the dryness's green, and whether its axis title is there.
int greenColumns(const QImage& image)
{
    int columns = 0;
    for (int x = image.width() * 3 / 4; x < image.width(); ++x) {
        bool green = false;
        for (int y = 0; y < image.height() && !green; ++y) {
            const QColor c = image.pixelColor(x, y);
            green = c.green() > c.red() + 60 && c.green() > c.blue() + 40;
        }
        columns += green ? 1 : 0;
    }
    return columns;
}

TEST(WetProfile, OnlyAWetPathDrawsTheDrynessAxisAndItsLegend)
{
    const PipelineDocument d = example("wet-branch.dorvent");
    const PipelineResult r = calculatePipeline(d);
    const ProfileData wet = profileData(d, r, pathTo(r, 3)), dry = profileData(d, r, pathTo(r, 2));
    const PipelineDocument main = example("steam-main.dorvent");
    EXPECT_GT(greenColumns(profileImage(wet, {1200, 600})), 40);
    EXPECT_EQ(greenColumns(profileImage(dry, {1200, 600})) + greenColumns(profileImage(profileData(main, calculatePipeline(main)), {1200, 600})), 0);

    QTemporaryDir folder;
    ASSERT_TRUE(saveProfile(wet, folder.filePath("wet.pdf")) && saveProfile(dry, folder.filePath("dry.pdf")));
    SKIP_WITHOUT_POPPLER();
    const QString wetText = pdfText(folder.filePath("wet.pdf"), false), dryText = pdfText(folder.filePath("dry.pdf"), false);
    EXPECT_EQ(wetText.count("干度"), 2) << wetText.toStdString();  // the axis's title and the legend
    EXPECT_TRUE(wetText.contains("0.82") && wetText.contains("0.98"));
    EXPECT_FALSE(dryText.contains("干度")) << dryText.toStdString();
}

}  // namespace
}  // namespace dorvent
