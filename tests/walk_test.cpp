// What random use of the pipeline window found, each a short test of its own.

#include "guitest.h"
#include "netwin/frmguanxian.h"
#include "netwin/pipelinemodel.h"
#include "pipeline/pipelinetable.h"

namespace dorvent {
namespace {

// What the walk found, each a short test of its own.
class WalkFindings : public MainWindow {
protected:
    WalkFindings() { pipeline->show(); }
    ~WalkFindings() override
    {
        messages.answer = SaveChoice::discard;
        pipeline->close();
    }
    QModelIndex cell(int row, Column column) const { return model->index(row, static_cast<int>(column)); }

    RecordingMessages messages;
    QTemporaryDir folder;
    frmguanxian* pipeline = window.pipelineWindow();
    PipelineModel* model = pipeline->model();
};

TEST_F(WalkFindings, ADocumentEditedBackToWhatWasSavedHasNoUnsavedChanges)
{
    ASSERT_TRUE(pipeline->saveFile(folder.filePath("main.dorvent")));
    model->setData(cell(0, Column::label), "A");
    model->setData(cell(0, Column::label), "");
    EXPECT_EQ(std::pair(pipeline->isWindowModified(), model->undoStack()->isClean()), std::pair(false, true));
    // A row added and deleted, then the deletion undone: unsaved again.
    control<QPushButton>(*pipeline, "cmdtianjia")->click();
    control<QPushButton>(*pipeline, "cmdshanchu")->click();
    EXPECT_FALSE(pipeline->isWindowModified());
    model->undoStack()->undo();
    EXPECT_TRUE(pipeline->isWindowModified());
    messages.answer = SaveChoice::discard;
    EXPECT_TRUE(pipeline->close());
    EXPECT_EQ(messages.texts.size(), 1);  // asked, and not before
}

TEST_F(WalkFindings, ANameTypedWhileABoxHoldsANumberOutOfRangeIsTaken)
{
    auto* temperature = control<QLineEdit>(*pipeline, "txtwendu");
    temperature->selectAll();
    QTest::keyClicks(temperature, "1e10");  // kept out of the document
    QTest::keyClicks(control<QLineEdit>(*pipeline, "txtxiangmu"), "A");
    EXPECT_EQ(std::pair(model->document().project, model->document().startTemperature), std::pair(std::string("A"), std::optional(10.0)));
    EXPECT_EQ(temperature->text(), "10");  // the box shows the document again
}

}  // namespace
}  // namespace dorvent
