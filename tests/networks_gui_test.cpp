#include <QRegularExpression>

#include "guitest.h"

#include "numtext/formatnumber.h"

#include "pipeline/nodetable.h"
#include "pipeline/treelayout.h"
#include "report/schematic.h"

namespace dorvent {
namespace {

/// The pipeline window with a copy of the two-plant ring open.
class RingWindow : public PipelineWindow {
protected:
    RingWindow() { EXPECT_TRUE(pipeline->openFile(exampleCopy(folder, "two-plant-ring.dorvent"))); }

    int row(const QString& name) const
    {
        for (int r = 0; r < nodes->model()->rowCount(); ++r) {
            if (nodeCell(r, NodeColumn::name) == name) return r;
        }
        ADD_FAILURE() << "no node " << name.toStdString();
        return 0;
    }
    QString nodeCell(int r, NodeColumn column) const { return nodes->model()->index(r, static_cast<int>(column)).data().toString(); }
    void typeNode(const QString& name, NodeColumn column, const QString& text)
    {
        nodes->model()->setData(nodes->model()->index(row(name), static_cast<int>(column)), text);
        QCoreApplication::processEvents();
    }

    PipelineTableView* nodes = in<PipelineTableView>("tbljiedian");
};

TEST_F(RingWindow, ShowsTheSolvedFlowsWhereTheSteamComesFromAndHowTheSolveWent)
{
    const PipelineResult& r = model->result();
    ASSERT_TRUE(r.solve && r.solve->converged);
    // A ring pipe that carries steam against its typed direction shows it negative; a solved flow
    // to three decimals, greyed as computed.
    const int east = 2;  // 东环, typed 环2 → 环3, fed from 环3's plant
    EXPECT_TRUE(text(east, Column::flow).startsWith("-")) << text(east, Column::flow).toStdString();
    EXPECT_EQ(text(east, Column::flow), QString::fromStdString(formatFixed(*r.segments[east].flow, 3)));
    EXPECT_EQ(text(east, Column::p0), QString::fromStdString(formatFixed(r.nodes[*r.segments[east].fromNode].p, 3)));
    // Each source's delivery and each node's shares, in the columns of sources, which add up.
    const QString one = nodeCell(row("一厂"), NodeColumn::feeders), two = nodeCell(row("二厂"), NodeColumn::feeders);
    EXPECT_TRUE(one.startsWith("供汽 ") && two.startsWith("供汽 "));
    EXPECT_NEAR(r.sources[0].flow + r.sources[1].flow, 70.5, 1e-6);
    EXPECT_EQ(nodeCell(row("二厂"), NodeColumn::source), "定压");
    EXPECT_EQ(nodeCell(row("二厂"), NodeColumn::sourcePressure), "1.25");
    const QString shared = nodeCell(row("化肥厂"), NodeColumn::feeders);
    EXPECT_TRUE(shared.contains("一厂") && shared.contains("二厂")) << shared.toStdString();
    EXPECT_FALSE(nodes->isColumnHidden(static_cast<int>(NodeColumn::feeders)));
    EXPECT_TRUE(shows("lblzongji").contains(QStringLiteral("管网求解：计算 %1 次").arg(r.solve->iterations)));

    // The schematic: an arrow on every pipe that carries steam, the nodes filled by their main
    // source, and a legend entry for each source.
    const Schematic drawn = makeSchematic(model->document(), r);
    int arrows = 0, filled = 0;
    for (const Schematic::Item& item : drawn.items) {
        arrows += item.kind == Schematic::Item::pipe && !item.arrow.isEmpty();
        filled += item.kind == Schematic::Item::node && item.fill.isValid();
    }
    EXPECT_EQ(arrows, 12);
    EXPECT_EQ(filled, 12);
    const QString svg = QString::fromStdString(schematicSvg(withLegend(drawn)));
    EXPECT_TRUE(svg.contains(">主要由一厂供汽</text>") && svg.contains(">主要由二厂供汽</text>"));

    // The second plant's pressure raised: it takes more of the load, at once.
    const double before = r.sources[1].flow;
    typeNode("二厂", NodeColumn::sourcePressure, "1.26");
    const PipelineResult& raised = model->result();
    ASSERT_TRUE(raised.solve && raised.solve->converged) << (raised.solve ? raised.solve->message : "");
    EXPECT_GT(raised.sources.at(1).flow, before + 0.5);
    // Raised further, the south ring's steam turns round and crawls: under the heat-loss law it
    // would condense, which the network says, with the way out; the energy balance solves it wet.
    typeNode("二厂", NodeColumn::sourcePressure, "1.3");
    EXPECT_EQ(shows("lblxiaoxi"), "管网未能求解：管段 4 算不出：末端蒸汽不属于过热蒸汽，多因管内流速低、散热使蒸汽冷凝"
                                  "（也可能是压降过大）；可改用“按焓平衡”计算湿蒸汽");
    EXPECT_EQ(text(3, Column::flow) + text(3, Column::pend) + nodeCell(row("环4"), NodeColumn::p), "");
    auto* law = in<QComboBox>("cbowenjiang");
    law->setCurrentIndex(1);
    emit law->activated(1);
    ASSERT_TRUE(model->result().solve && model->result().solve->converged);
    EXPECT_FALSE(nodeCell(row("环4"), NodeColumn::p).isEmpty());
    EXPECT_FALSE(text(3, Column::flow).isEmpty());
    // A flow typed on a ring pipe contradicts the solve: said above the table and at the cell.
    type(1, Column::flow, "10");
    EXPECT_TRUE(shows("lblxiaoxi").startsWith("管网未能求解：管段 2："));
    EXPECT_EQ(text(1, Column::pend), "");
    EXPECT_FALSE(tip(1, Column::flow).isEmpty());
}

TEST(NetworkSchematic, DrawsTheSitePlanNorthUpAndEachNodeInItsMainSourcesColour)
{
    PipelineDocument d = example("two-plant-ring.dorvent");
    const PipelineResult r = calculatePipeline(d);
    ASSERT_TRUE(r.solve && r.solve->converged);
    const Schematic drawn = makeSchematic(d, r);
    ASSERT_EQ(drawn.sources.size(), 2U);
    std::map<QString, const Schematic::Item*> nodes;
    for (const Schematic::Item& item : drawn.items) {
        if (item.kind == Schematic::Item::node) nodes[QString::fromStdString(r.nodes[item.index].name)] = &item;
    }
    // North up and east right: 纺织厂 (y 400) above 环1 (y 0), 环2 (x 1200) right of it.
    EXPECT_LT(nodes.at("纺织厂")->shape.center().y(), nodes.at("环1")->shape.center().y());
    EXPECT_GT(nodes.at("环2")->shape.center().x(), nodes.at("环1")->shape.center().x());
    // 化肥厂 gets 78.5 % of its steam from 一厂, 造纸厂 74.2 % from 二厂.
    EXPECT_EQ(nodes.at("化肥厂")->fill, drawn.sources[0].second);
    EXPECT_EQ(nodes.at("造纸厂")->fill, drawn.sources[1].second);
    const QString svg = QString::fromStdString(schematicSvg(drawn));
    // A consumer's circle keeps its fill in the SVG, not only the plant's square.
    const QRegularExpression filledCircle(QStringLiteral("<circle [^>]*fill=\"%1\"").arg(drawn.sources[1].second.name(QColor::HexRgb)));
    EXPECT_TRUE(svg.contains(filledCircle));

    // Without the plan: one tree for each source, the first source's on top.
    for (NetworkNode& node : d.nodes) node.x = node.y = std::nullopt;
    const PipelineResult again = calculatePipeline(d);
    const TreeLayout layout = layOutTree(again);
    ASSERT_TRUE(layout.places[again.sources[0].node] && layout.places[again.sources[1].node]);
    EXPECT_LT(layout.places[again.sources[0].node]->row, layout.places[again.sources[1].node]->row);
}

TEST_F(PipelineWindow, MarkingASecondSourceKeepsTheFirstAndUndoesInOneStep)
{
    ASSERT_TRUE(pipeline->openFile(exampleCopy(folder, "industrial-park.dorvent")));
    auto* nodes = in<PipelineTableView>("tbljiedian");
    const std::string before = now();
    int n1 = -1;
    for (int r = 0; r < nodes->model()->rowCount(); ++r) {
        if (nodes->model()->index(r, 0).data().toString() == "N1") n1 = r;
    }
    ASSERT_GE(n1, 0);
    EXPECT_TRUE(nodes->isColumnHidden(static_cast<int>(NodeColumn::feeders)));
    EXPECT_FALSE(nodes->model()->setData(nodes->model()->index(n1, static_cast<int>(NodeColumn::source)), "锅炉"));
    nodes->model()->setData(nodes->model()->index(n1, static_cast<int>(NodeColumn::source)), "定压");
    nodes->model()->setData(nodes->model()->index(n1, static_cast<int>(NodeColumn::sourcePressure)), "1.5");
    const PipelineDocument& d = model->document();
    EXPECT_EQ(findNode(d, "热电厂")->source, SourceKind::pressure);  // the plant that fed the tree stays one
    EXPECT_EQ(findNode(d, "N1")->source, SourceKind::pressure);
    ASSERT_TRUE(model->result().solve.has_value());
    EXPECT_FALSE(nodes->isColumnHidden(static_cast<int>(NodeColumn::feeders)));
    undo(2);
    EXPECT_EQ(now(), before);
}

}  // namespace
}  // namespace dorvent
