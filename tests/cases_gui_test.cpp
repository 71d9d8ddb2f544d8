// Load cases in the pipeline window, as the user sees them: the list of the case shown, the page
// of cases, a demand column per case in the node table, the comparison page, and undo.

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>

#include "guitest.h"
#include "netwin/frmguanxian.h"
#include "netwin/pipelinemodel.h"
#include "netwin/pipelinetableview.h"
#include "numtext/formatnumber.h"
#include "pipeline/casetable.h"
#include "pipeline/loadcases.h"
#include "pipeline/nodetable.h"
#include "pipeline/pipelinetable.h"
#include "pipeline/pipesizing.h"

namespace dorvent {
namespace {

PipelineSegment pipe(std::string from, std::string to, int dn, double length)
{
    return {.label = to + "线", .from = std::move(from), .to = std::move(to), .dn = dn, .length = length, .zeta = 0.2, .beta = 0.2,
            .phi = 1, .ambient = 20, .dropPerKm = 5, .heatLossSource = HeatLossSource::overhead};
}

/// A source, a branch point and two consumers; 乙's thin branch condenses its steam at low load.
PipelineDocument twoConsumers()
{
    return {.startPressure = 1.3, .startTemperature = 300,
            .segments = {pipe("厂", "N1", 250, 800), pipe("N1", "甲", 200, 600), pipe("N1", "乙", 80, 400)},
            .nodes = {{.name = "甲", .demand = 20, .requiredPressure = 0.95}, {.name = "乙", .demand = 3}},
            .cases = {{.name = "夏季", .factor = 0.3}}};
}

class CasesWindow : public PipelineWindow {
protected:
    CasesWindow()
    {
        model->resetDocument(twoConsumers());
        QCoreApplication::processEvents();
    }

    QString nodeCell(int row, int column) const { return nodes->model()->index(row, column).data().toString(); }
    void show(int index)
    {
        shown->setCurrentIndex(index);
        emit shown->activated(index);
        QCoreApplication::processEvents();
    }
    void type(QAbstractItemView* view, int row, int column, const QString& text)
    {
        ASSERT_TRUE(view->model()->setData(view->model()->index(row, column), text));
        QCoreApplication::processEvents();
    }
    void click(const char* name)
    {
        button(name);
        QCoreApplication::processEvents();
    }
    QStringList listed() const
    {
        QStringList names;
        for (int i = 0; i < shown->count(); ++i) names << shown->itemText(i);
        return names;
    }

    PipelineTableView* pipes = table;
    PipelineTableView* nodes = in<PipelineTableView>("tbljiedian");
    PipelineTableView* cases = in<PipelineTableView>("tblgongkuang");
    QComboBox* shown = in<QComboBox>("cbogongkuang");
};

TEST_F(CasesWindow, TheListShowsOneCaseAtATimeWithoutCalculatingAgain)
{
    EXPECT_EQ(listed(), QStringList({"设计工况", "夏季"}));
    const int p = static_cast<int>(NodeColumn::p), t = static_cast<int>(NodeColumn::t), remark = static_cast<int>(NodeColumn::remark);
    // The nodes: 厂, N1, 甲, 乙. The design case first, then the summer's numbers, each as computed alone.
    const PipelineResult design = calculateCase(model->document(), 0), summer = calculateCase(model->document(), 1);
    EXPECT_EQ(nodeCell(2, p), QString::fromStdString(formatFixed(design.nodes[2].p, 3)));
    const std::vector<PipelineResult>* computed = &model->results();
    const PipelineResult* before = &model->results()[1];
    show(1);
    EXPECT_EQ(&model->results(), computed);
    EXPECT_EQ(&model->results()[1], before);  // nothing computed again
    EXPECT_EQ(nodeCell(2, p), QString::fromStdString(formatFixed(summer.nodes[2].p, 3)));
    EXPECT_EQ(nodeCell(2, t), QString::fromStdString(formatFixed(summer.nodes[2].t, 3)));
    EXPECT_EQ(nodeCell(3, remark), "管段 3 未能算出");
    EXPECT_EQ(pipes->model()->index(0, static_cast<int>(Column::flow)).data().toString(), "6.9");  // 6 + 0.9, summed
    EXPECT_TRUE(shownIn(*pipeline, "lblqidian").startsWith("起点状态（夏季）：1.300 MPa"));

    // The case's own demand, typed into its column: the shown case follows at once.
    const int summerDemand = kAllNodeColumnCount;
    EXPECT_EQ(nodes->model()->headerData(summerDemand, Qt::Horizontal).toString(), "夏季\n用汽量(t/h)");
    EXPECT_EQ(nodeCell(3, summerDemand), "0.9");  // 3 × 0.3, taken
    type(nodes, 3, summerDemand, "2.5");
    EXPECT_EQ(model->document().cases[0].demands.at("乙"), 2.5);
    EXPECT_EQ(pipes->model()->index(0, static_cast<int>(Column::flow)).data().toString(), "8.5");
    EXPECT_EQ(nodeCell(3, remark), "");
    type(nodes, 3, summerDemand, "许多");  // kept and marked, then a number over it
    EXPECT_EQ(nodes->model()->index(3, summerDemand).data(Qt::ToolTipRole).toString(), "“许多”不是数值");
    type(nodes, 3, summerDemand, "2.5");
    EXPECT_EQ(std::pair(model->document().cases[0].demands.at("乙"), model->document().cases[0].demandTexts.size()), std::pair(2.5, std::size_t{0}));
    EXPECT_FALSE(nodes->model()->index(3, summerDemand).data(Qt::BackgroundRole).isValid());
    EXPECT_TRUE(cases->model()->index(1, 0).data(Qt::FontRole).value<QFont>().bold());  // the case shown
    EXPECT_FALSE(cases->model()->index(0, 0).data(Qt::FontRole).value<QFont>().bold());
    model->undoStack()->undo();
    model->undoStack()->undo();
    model->undoStack()->undo();
    QCoreApplication::processEvents();
    EXPECT_EQ(nodeCell(3, remark), "管段 3 未能算出");
    EXPECT_EQ(shown->currentIndex(), 1);

    // A typed flow shows as the case carries it; typing goes on into the design flow.
    const QModelIndex flow = pipes->model()->index(2, static_cast<int>(Column::flow));
    type(pipes, 2, static_cast<int>(Column::flow), "4");
    EXPECT_EQ(flow.data().toString(), "1.2");
    EXPECT_EQ(flow.data(Qt::EditRole).toString(), "4");
    EXPECT_EQ(flow.data(Qt::ToolTipRole).toString(), "设计流量 4 t/h × 负荷系数 0.3");
    show(0);
    EXPECT_EQ(flow.data().toString(), "4");
}

TEST_F(CasesWindow, CasesAreAddedRenamedAndDeletedOnTheirPageEachAStepOfItsOwn)
{
    show(1);
    type(cases, 1, static_cast<int>(CaseColumn::name), "夏季最小负荷");
    EXPECT_EQ(listed(), QStringList({"设计工况", "夏季最小负荷"}));
    EXPECT_EQ(shown->currentIndex(), 1);  // the renamed case stays shown
    type(cases, 1, static_cast<int>(CaseColumn::factor), "三成");
    EXPECT_EQ(shownIn(*pipeline, "lblqidian"), "起点状态（夏季最小负荷）：工况“夏季最小负荷”的负荷系数“三成”不是数值");
    type(cases, 1, static_cast<int>(CaseColumn::factor), "0.5");
    EXPECT_EQ(nodeCell(3, kAllNodeColumnCount), "1.5");
    EXPECT_FALSE(cases->model()->setData(cases->model()->index(1, 0), "设计工况"));  // one name, one case
    EXPECT_EQ(shownIn(*pipeline, "lblgongkuang"), "已有名为“设计工况”的工况");

    click("cmdtianjiagongkuang");
    EXPECT_EQ(listed().back(), "工况3");
    model->undoStack()->undo();
    cases->setCurrentIndex(cases->model()->index(1, 0));
    click("cmdfuzhigongkuang");
    EXPECT_EQ(listed(), QStringList({"设计工况", "夏季最小负荷", "夏季最小负荷副本"}));
    EXPECT_EQ(model->document().cases[1].factor, 0.5);
    EXPECT_EQ(nodes->model()->columnCount(), kAllNodeColumnCount + 2);
    // The design case stays first and stays: its row neither deletes nor moves, nor does another above it.
    cases->setCurrentIndex(cases->model()->index(0, 0));
    EXPECT_FALSE(in<QPushButton>("cmdshanchugongkuang")->isEnabled() || in<QPushButton>("cmdxiayigongkuang")->isEnabled());
    cases->setCurrentIndex(cases->model()->index(1, 0));
    EXPECT_FALSE(in<QPushButton>("cmdshangyigongkuang")->isEnabled());
    EXPECT_TRUE(in<QPushButton>("cmdxiayigongkuang")->isEnabled());
    // A copy of the design case comes right after it, taking its source and demands.
    cases->setCurrentIndex(cases->model()->index(0, 0));
    click("cmdfuzhigongkuang");
    EXPECT_EQ(listed(), QStringList({"设计工况", "设计工况副本", "夏季最小负荷", "夏季最小负荷副本"}));
    EXPECT_EQ(cases->model()->index(1, 3).data().toString() + "|" + cases->model()->index(1, 3).data(Qt::EditRole).toString(), "1|");
    EXPECT_EQ(cases->currentIndex().row(), 1);
    model->undoStack()->undo();
    cases->setCurrentIndex(cases->model()->index(1, 0));
    click("cmdshanchugongkuang");  // the case shown goes: the one in its place is shown
    EXPECT_EQ(listed(), QStringList({"设计工况", "夏季最小负荷副本"}));
    EXPECT_EQ(shown->currentIndex(), 1);
    EXPECT_EQ(nodes->model()->columnCount(), kAllNodeColumnCount + 1);
    model->undoStack()->undo();
    QCoreApplication::processEvents();
    EXPECT_EQ(listed(), QStringList({"设计工况", "夏季最小负荷", "夏季最小负荷副本"}));
    EXPECT_EQ(model->undoStack()->undoText(), "复制工况");
}

TEST_F(CasesWindow, TheComparisonPageShowsEveryCaseWithTheWorstBold)
{
    auto* tabs = control<QTabWidget>(*pipeline, "tabtu");
    auto* consumers = control<QTableView>(*pipeline, "tblduibiyonghu");
    tabs->setCurrentIndex(tabs->count() - 1);
    QCoreApplication::processEvents();
    ASSERT_EQ(consumers->model()->rowCount(), 4);  // 甲 and 乙 in both cases
    const auto cell = [consumers](int row, int column) { return consumers->model()->index(row, column); };
    EXPECT_EQ(cell(1, 1).data().toString(), "夏季");
    EXPECT_EQ(cell(1, 2).data().toString(), "6");
    // 甲: the least pressure at full load, the least temperature in summer.
    EXPECT_TRUE(cell(0, 3).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(cell(1, 3).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_TRUE(cell(1, 4).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_TRUE(shownIn(*pipeline, "lblduibi").contains("全部工况：乙，管段 3 未能算出（夏季）"));
    // Edited while seen, it follows.
    type(nodes, 3, kAllNodeColumnCount, "2");
    EXPECT_FALSE(shownIn(*pipeline, "lblduibi").contains("全部工况：乙"));
}

}  // namespace
}  // namespace dorvent

namespace dorvent {
namespace {

TEST_F(CasesWindow, TheReportGivesTheDesignCaseFirstThenEveryCaseAndTheComparison)
{
    SKIP_WITHOUT_POPPLER();
    show(1);  // whatever case the window shows
    auto* path = control<QComboBox>(*pipeline, "cbolujing");  // the profile to 乙, as the engineer picked it
    path->setCurrentIndex(path->findData("乙"));
    emit path->activated(path->currentIndex());
    QTemporaryDir folder;
    const QString pdf = folder.filePath("计算书.pdf");
    ASSERT_TRUE(pipeline->exportReport(pdf));
    const QString text = outputOf("pdftotext", {"-layout", pdf, "-"}).simplified();
    const PipelineResult design = calculateCase(model->document(), 0), summer = calculateCase(model->document(), 1);
    const QString fixed = QString::fromStdString(formatFixed(design.nodes[2].p, 3));
    // The nodes' section is the design case's; the comparison then gives both, and the summer's nodes.
    const qsizetype comparison = text.indexOf("、工况对比");
    ASSERT_GT(comparison, 0);
    EXPECT_LT(text.indexOf("最不利用户：甲，路径 厂 → N1 → 甲，压力裕量 " + QString::fromStdString(formatFixed(*design.nodes[2].pressureMargin, 3))),
              comparison);
    EXPECT_GT(text.indexOf("夏季 同设计工况 同设计工况 0.3 0"), comparison);
    EXPECT_GT(text.indexOf("本管网按以下 2 个工况逐一计算"), comparison);
    EXPECT_LT(text.indexOf("工况：设计工况。除“工况对比”一节外，本计算书的结果均为此工况的结果"), comparison);
    EXPECT_GT(text.indexOf("最不利用户——全部工况：乙，管段 3 未能算出（夏季）"), comparison);
    EXPECT_GT(text.indexOf("甲 夏季 6 " + QString::fromStdString(formatFixed(summer.nodes[2].p, 3))), comparison);
    EXPECT_GT(text.indexOf("工况“夏季”的节点："), comparison);
    EXPECT_GT(text.indexOf("乙 用户 0.9"), text.indexOf("工况“夏季”的节点："));
    EXPECT_TRUE(text.contains(fixed));
    EXPECT_TRUE(text.contains("压力与温度沿程分布（至节点乙）"));
}

}  // namespace
}  // namespace dorvent

namespace dorvent {
namespace {

TEST_F(CasesWindow, SizingServesEveryCaseAndItsProposalNamesTheCaseThatBoundEachPipe)
{
    // With one boiler down the plant sends 90 % of the steam at 1.05 MPa.
    PipelineDocument d = twoConsumers();
    d.cases = {{.name = "检修", .startPressure = 1.05, .factor = 0.9}};
    model->resetDocument(d);
    QCoreApplication::processEvents();
    const SizingResult expected = sizeNetwork(d);
    ASSERT_EQ(expected.outcome, SizingOutcome::sized);
    QTimer watch;
    bool shown = false;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr || dialog->objectName() != QLatin1String("dlgxuanguan")) return;
        watch.stop();
        shown = true;
        auto* table = control<QTableWidget>(*dialog, "tblxuanguan");
        EXPECT_FALSE(table->isColumnHidden(7));
        EXPECT_EQ(table->horizontalHeaderItem(7)->text(), "决定工况");
        for (int row = 0; row < 3; ++row) EXPECT_EQ(table->item(row, 7)->text().toStdString(), expected.pipes[static_cast<std::size_t>(row)].boundBy);
        EXPECT_EQ(table->item(1, 7)->text(), "检修");
        EXPECT_TRUE(control<QLabel>(*dialog, "lblxuanguan")->text().startsWith("每个工况中每个节点都能得到所需的蒸汽参数"));
        control<QPushButton>(*dialog, "cmdyingyong")->click();
    });
    watch.start(20);
    pipeline->findChild<QAction*>("mzidongxuanguan")->trigger();
    watch.stop();
    ASSERT_TRUE(shown);
    EXPECT_EQ(model->document(), expected.document);
    EXPECT_TRUE(allCasesMet(model->results()));
    EXPECT_EQ(listed(), QStringList({"设计工况", "检修"}));
}

}  // namespace
}  // namespace dorvent

namespace dorvent {
namespace {

TEST_F(CasesWindow, ManyReasonsScrollAndLeaveTheButtonsOnTheScreen)
{
    // Sixty consumers that each need all the pressure the source has: a reason each.
    PipelineDocument d{.startPressure = 1.0, .startTemperature = 300};
    for (int i = 0; i < 60; ++i) {
        const std::string name = "用户" + std::to_string(i);
        d.segments.push_back(pipe("S", name, 100, 300));
        d.nodes.push_back({.name = name, .demand = 2, .requiredPressure = 1.0});
    }
    model->resetDocument(d);
    QTimer watch;
    int height = 0, reasons = 0;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr || dialog->objectName() != QLatin1String("dlgxuanguan")) return;
        watch.stop();
        height = dialog->sizeHint().height();
        reasons = static_cast<int>(control<QLabel>(*dialog, "lblxuanguan")->text().count('\n'));
        static_cast<QDialog*>(dialog)->reject();
    });
    watch.start(20);
    action("mzidongxuanguan");
    watch.stop();
    EXPECT_GE(reasons, 60);
    EXPECT_GT(height, 0);
    EXPECT_LT(height, 700);
}

}  // namespace
}  // namespace dorvent
