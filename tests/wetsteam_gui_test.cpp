// The temperature law in the pipeline window, as the user sees it: the law and the lowest dryness
// in the header, the columns of wet steam in both tables, the water in the totals, and undo.
// The wet branch's numbers are those of tests/data/wetsteam_reference.py (case F2), rounded as
// the cells show them.

#include <QComboBox>
#include <QHeaderView>

#include "guitest.h"
#include "netwin/frmguanxian.h"
#include "netwin/pipelinemodel.h"
#include "netwin/pipelinetableview.h"
#include "pipeline/nodetable.h"
#include "pipeline/pipelinefile.h"
#include "pipeline/pipelinetable.h"

namespace dorvent {
namespace {

class WetSteamWindow : public MainWindow {
protected:
    WetSteamWindow()
    {
        at<QAction>("m31")->trigger();
        pipeline = qobject_cast<frmguanxian*>(openWindow("frmguanxian"));
        if (pipeline == nullptr) throw std::runtime_error("no pipeline window");
        model = pipeline->model();
        pipes = control<PipelineTableView>(*pipeline, "tblguanduan");
        nodes = control<PipelineTableView>(*pipeline, "tbljiedian");
        law = control<QComboBox>(*pipeline, "cbowenjiang");
        dryness = control<QLineEdit>(*pipeline, "txtgandu");
        QApplication::setActiveWindow(pipeline);
    }
    ~WetSteamWindow() override
    {
        messages.answer = SaveChoice::discard;
        pipeline->close();
    }

    QString pipeCell(int row, Column column) const { return pipes->model()->index(row, static_cast<int>(column)).data().toString(); }
    QString nodeCell(int row, NodeColumn column) const { return nodes->model()->index(row, static_cast<int>(column)).data().toString(); }
    /// Whether the columns of wet steam show, in the pipe table and in the node table: both or neither.
    bool wetColumnsShown() const
    {
        const bool inPipes = !pipes->isColumnHidden(static_cast<int>(Column::dryness));
        const bool inNodes = !nodes->isColumnHidden(static_cast<int>(NodeColumn::dryness)) &&
                             !nodes->isColumnHidden(static_cast<int>(NodeColumn::condensate));
        EXPECT_EQ(inPipes, inNodes);
        return inPipes && inNodes;
    }
    void pickLaw(int index)
    {
        law->setCurrentIndex(index);
        emit law->activated(index);
        QCoreApplication::processEvents();
    }
    void typeDryness(const QString& text)
    {
        dryness->setFocus();
        dryness->selectAll();
        QTest::keyClicks(dryness, text);
        QCoreApplication::processEvents();
    }

    frmguanxian* pipeline = nullptr;
    PipelineModel* model = nullptr;
    PipelineTableView* pipes = nullptr;
    PipelineTableView* nodes = nullptr;
    QComboBox* law = nullptr;
    QLineEdit* dryness = nullptr;
    RecordingMessages messages;
};

TEST_F(WetSteamWindow, TheLawIsPickedInTheHeaderAndItsColumnsComeAndGoWithIt)
{
    QTemporaryDir folder;
    const PipelineFileRead read = readPipelineFile(bytesOf(exampleCopy(folder, "wet-branch.dorvent")).toStdString());
    ASSERT_TRUE(read.document) << read.error;
    PipelineDocument d = *read.document;
    d.temperatureLaw = TemperatureLaw::heatLoss;
    model->resetDocument(d);
    QCoreApplication::processEvents();
    EXPECT_EQ(law->currentText(), "按热损失");
    EXPECT_FALSE(dryness->isEnabled());
    EXPECT_FALSE(wetColumnsShown());
    EXPECT_EQ(pipeCell(2, Column::superheat), "");  // 乙支线 stops at saturation under this law

    pickLaw(1);
    EXPECT_EQ(model->document().temperatureLaw, TemperatureLaw::enthalpyBalance);
    EXPECT_TRUE(dryness->isEnabled());
    ASSERT_TRUE(wetColumnsShown());
    // The header shows the columns before the remark, in both tables.
    const QHeaderView* header = nodes->horizontalHeader();
    EXPECT_LT(header->visualIndex(static_cast<int>(NodeColumn::condensate)), header->visualIndex(static_cast<int>(NodeColumn::remark)));
    EXPECT_EQ(pipeCell(2, Column::dryness), "0.820");
    EXPECT_EQ(pipeCell(2, Column::condensate), "0.090");
    EXPECT_EQ(pipeCell(2, Column::saturationDistance), "86");
    EXPECT_EQ(pipeCell(1, Column::dryness), "");  // 甲支线 stays superheated
    EXPECT_EQ(nodeCell(3, NodeColumn::dryness), "0.820");
    EXPECT_TRUE(shownIn(*pipeline, "lblzongji").contains("凝结水 0.090 t/h")) << shownIn(*pipeline, "lblzongji").toStdString();

    // A lowest dryness above the branch's stops it; one the document cannot hold stays in its box.
    typeDryness("0.85");
    EXPECT_EQ(model->document().lowestDryness, 0.85);
    EXPECT_TRUE(pipeCell(2, Column::remark).contains("最低干度 0.85")) << pipeCell(2, Column::remark).toStdString();
    typeDryness("0");
    EXPECT_EQ(model->document().lowestDryness, 0.85);
    EXPECT_TRUE(dryness->styleSheet().contains("#b00000"));
    typeDryness("2");
    EXPECT_EQ(model->document().lowestDryness, 0.85);
    EXPECT_EQ(dryness->text(), "2");
    EXPECT_TRUE(dryness->styleSheet().contains("#b00000"));
    pipes->setFocus();  // leaving the box shows what the document holds
    QCoreApplication::processEvents();
    EXPECT_EQ(dryness->text(), "0.85");

    // Back step by step: the dryness (what was typed into it one step), then the law. An undo while
    // the box still holds a dryness it took shows the one the document returns to.
    typeDryness("0.9");
    EXPECT_EQ(model->document().lowestDryness, 0.9);
    ASSERT_TRUE(dryness->hasFocus());
    model->undoStack()->undo();
    EXPECT_EQ(dryness->text(), "0.8");
    EXPECT_EQ(pipeCell(2, Column::dryness), "0.820");
    model->undoStack()->undo();
    EXPECT_EQ(law->currentText(), "按热损失");
    EXPECT_FALSE(wetColumnsShown());
    EXPECT_EQ(writePipelineFile(model->document()), writePipelineFile(d));
}

}  // namespace
}  // namespace dorvent
