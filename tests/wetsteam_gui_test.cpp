// The temperature law in the pipeline window, as the user sees it: the law and the lowest dryness
// in the header, the columns of wet steam in both tables, the water in the totals, and undo.
// The wet branch's numbers are those of tests/data/wetsteam_reference.py (case F2), rounded as
// the cells show them.

#include "guitest.h"
#include "pipeline/nodetable.h"

namespace dorvent {
namespace {

class WetSteamWindow : public PipelineWindow {
protected:
    QString nodeCell(int row, NodeColumn column) const { return nodes->model()->index(row, static_cast<int>(column)).data().toString(); }
    /// Whether the columns of wet steam show, in the pipe table and in the node table: both or neither.
    bool wetColumnsShown() const
    {
        const bool inPipes = !table->isColumnHidden(static_cast<int>(Column::dryness));
        const bool inNodes = !nodes->isColumnHidden(static_cast<int>(NodeColumn::dryness)) && !nodes->isColumnHidden(static_cast<int>(NodeColumn::condensate));
        EXPECT_EQ(inPipes, inNodes);
        return inPipes && inNodes;
    }

    PipelineTableView* nodes = in<PipelineTableView>("tbljiedian");
    QComboBox* law = in<QComboBox>("cbowenjiang");
    QLineEdit* dryness = in<QLineEdit>("txtgandu");
};

TEST_F(WetSteamWindow, TheLawIsPickedInTheHeaderAndItsColumnsComeAndGoWithIt)
{
    PipelineDocument d = example("wet-branch.dorvent");
    d.temperatureLaw = TemperatureLaw::heatLoss;
    model->resetDocument(d);
    QCoreApplication::processEvents();
    EXPECT_EQ(law->currentText(), "按热损失");
    EXPECT_FALSE(dryness->isEnabled() || wetColumnsShown());
    EXPECT_EQ(text(2, Column::superheat), "");  // 乙支线 stops at saturation under this law

    law->setCurrentIndex(1);
    emit law->activated(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(model->document().temperatureLaw, TemperatureLaw::enthalpyBalance);
    EXPECT_TRUE(dryness->isEnabled());
    ASSERT_TRUE(wetColumnsShown());
    // The header shows the columns before the remark, in both tables.
    const QHeaderView* header = nodes->horizontalHeader();
    EXPECT_LT(header->visualIndex(static_cast<int>(NodeColumn::condensate)), header->visualIndex(static_cast<int>(NodeColumn::remark)));
    EXPECT_EQ(texts(2, Column::dryness, Column::saturationDistance), QStringList({"0.820", "0.090", "86"}));
    EXPECT_EQ(text(1, Column::dryness) + "|" + nodeCell(3, NodeColumn::dryness), "|0.820");  // 甲支线 stays superheated
    EXPECT_TRUE(shownIn(*pipeline, "lblzongji").contains("凝结水 0.090 t/h")) << shownIn(*pipeline, "lblzongji").toStdString();
    // The columns shown fit their headers; an end temperature the heat-loss law cannot give says why.
    const int column = static_cast<int>(Column::saturationDistance);
    EXPECT_GE(table->columnWidth(column), table->horizontalHeader()->sectionSizeHint(column));
    EXPECT_EQ(tip(2, Column::heatLossLawTend), "按热损失不能算出：蒸汽未到末端已冷却至饱和温度");

    // A lowest dryness above the branch's stops it; one the document cannot hold stays in its box.
    typeOver("txtgandu", "0.85");
    EXPECT_EQ(model->document().lowestDryness, 0.85);
    EXPECT_TRUE(text(2, Column::remark).contains("最低干度 0.85")) << text(2, Column::remark).toStdString();
    for (const char* refused : {"0", "2"}) {
        typeOver("txtgandu", refused);
        EXPECT_EQ(std::tuple(model->document().lowestDryness, dryness->text(), dryness->styleSheet().contains("#b00000")),
                  std::tuple(0.85, QString(refused), true));
        EXPECT_EQ(shows("lblxiaoxi"), QString("最低干度“%1”未采用：应为大于 0 且不大于 1 的数，计算仍按 0.85").arg(refused));
    }
    table->setFocus();  // leaving the box shows what the document holds
    QCoreApplication::processEvents();
    EXPECT_EQ(dryness->text(), "0.85");

    // Back step by step: the dryness (what was typed into it one step), then the law. An undo while
    // the box still holds a dryness it took shows the one the document returns to.
    typeOver("txtgandu", "0.9");
    EXPECT_EQ(model->document().lowestDryness, 0.9);
    ASSERT_TRUE(dryness->hasFocus());
    undo();
    EXPECT_EQ(dryness->text() + " " + text(2, Column::dryness), "0.8 0.820");
    undo();
    EXPECT_EQ(law->currentText(), "按热损失");
    EXPECT_FALSE(wetColumnsShown());
    EXPECT_EQ(now(), writePipelineFile(d));
}

}  // namespace
}  // namespace dorvent
