#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "guitest.h"
#include "mainwin/frmdorvent.h"
#include "mainwin/stateevaluation.h"
#include "pipes/chosenpipe.h"
#include "pipes/qiuliusu.h"

namespace dorvent {
namespace {

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }

/// The main window with a steam state of 1 MPa and 250 ℃ and the messages recorded.
struct PipeWindow {
    RecordingMessages messages;
    frmdorvent window;
    QComboBox* dn = control<QComboBox>(window, "Combo3");
    QComboBox* outer = control<QComboBox>(window, "Combo4");
    QComboBox* wall = control<QComboBox>(window, "Combo5");
    QLineEdit* velocity = control<QLineEdit>(window, "Text5");
    QLineEdit* friction = control<QLineEdit>(window, "Text6");

    explicit PipeWindow(const char* flow = "10", const char* pressure = "1", const char* temperature = "250")
    {
        window.show();
        control<QLineEdit>(window, "Text1")->setText(pressure);
        control<QLineEdit>(window, "Text2")->setText(temperature);
        control<QLineEdit>(window, "Text4")->setText(flow);
    }

    /// The results the window should show for a pipe at the current state.
    ChosenPipeResult expected(const char* outerText, const char* wallText)
    {
        SteamState state = window.steamState();
        return checkPipe(state.area, refreshDensity(state), {"10", "DN", outerText, wallText});
    }

    void typeWall(const char* text) { QTest::keyClicks(wall->lineEdit(), text); }

    void pickWallFromList(int row)
    {
        wall->showPopup();
        QAbstractItemView* view = wall->view();
        const QRect rect = view->visualRect(view->model()->index(row, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    }

    std::vector<int> rows() const { return {dn->currentIndex(), outer->currentIndex(), wall->currentIndex()}; }
};

TEST(ChosenPipeWindow, ANominalDiameterOrOuterDiameterSelectsTheWholeRowAndEvaluatesOnce)
{
    PipeWindow w;
    w.dn->setCurrentIndex(16);  // DN100, 108, 4
    EXPECT_EQ(w.rows(), (std::vector<int>{16, 16, 16}));
    EXPECT_EQ(w.wall->currentText(), "4");
    const ChosenPipeResult dn100 = w.expected("108", "4");
    EXPECT_EQ(w.velocity->text(), qs(dn100.velocity));
    EXPECT_EQ(w.friction->text(), qs(dn100.friction));
    EXPECT_TRUE(w.messages.texts.isEmpty());

    w.outer->setCurrentIndex(13);  // 219: DN200, 6
    EXPECT_EQ(w.rows(), (std::vector<int>{13, 13, 13}));
    EXPECT_EQ(w.velocity->text(), qs(w.expected("219", "6").velocity));

    // A wall thickness from the list changes only the wall.
    w.dn->setCurrentIndex(16);
    w.pickWallFromList(14);  // 4.5
    EXPECT_EQ(w.rows(), (std::vector<int>{16, 16, 14}));
    EXPECT_EQ(w.dn->currentText(), "DN100");
    EXPECT_EQ(w.velocity->text(), qs(w.expected("108", "4.5").velocity));
    EXPECT_TRUE(w.messages.texts.isEmpty());
}

TEST(ChosenPipeWindow, TypingAWallThicknessEvaluatesKeyByKey)
{
    PipeWindow w;
    w.dn->setCurrentIndex(16);
    w.wall->lineEdit()->selectAll();
    w.typeWall("6");
    EXPECT_EQ(w.velocity->text(), qs(w.expected("108", "6").velocity));
    EXPECT_TRUE(w.messages.texts.isEmpty());
    w.typeWall("0");  // 60 mm in a 108 mm pipe
    EXPECT_EQ(w.messages.texts, QStringList({qs(kWallThicknessMessage)}));
    EXPECT_EQ(w.velocity->text(), "0.000");
    EXPECT_EQ(w.friction->text(), "0.000");
    EXPECT_EQ(w.wall->count(), 23);

    // Picking the row shown before the typing brings its text back and evaluates.
    w.pickWallFromList(16);
    EXPECT_EQ(w.wall->currentText(), "4");
    EXPECT_EQ(w.velocity->text(), qs(w.expected("108", "4").velocity));

    // So does choosing that row through the nominal diameter after typing over a picked wall.
    w.pickWallFromList(14);
    w.wall->lineEdit()->selectAll();
    w.typeWall("5");
    w.dn->setCurrentIndex(14);  // DN150: its wall is the 4.5 of row 15, already current
    EXPECT_EQ(w.rows(), (std::vector<int>{14, 14, 14}));
    EXPECT_EQ(w.wall->currentText(), "4.5");
    EXPECT_EQ(w.velocity->text(), qs(w.expected("159", "4.5").velocity));

    // Deleting the wall thickness leaves the last results and says nothing.
    const QString before = w.velocity->text();
    const int shown = static_cast<int>(w.messages.texts.size());
    w.wall->lineEdit()->selectAll();
    QTest::keyClick(w.wall->lineEdit(), Qt::Key_Delete);
    EXPECT_EQ(w.velocity->text(), before);
    EXPECT_EQ(w.messages.texts.size(), shown);
}

TEST(ChosenPipeWindow, RefusalsAreShownOncePerAction)
{
    PipeWindow w;
    control<QPushButton>(w.window, "Command2")->click();  // Clear: no state any more
    EXPECT_TRUE(w.messages.texts.isEmpty());
    w.dn->setCurrentIndex(5);
    EXPECT_EQ(w.messages.texts, QStringList({qs(kStateFirstMessage)}));
    w.wall->lineEdit()->selectAll();
    w.typeWall("12");  // once per keystroke
    EXPECT_EQ(w.messages.texts.size(), 3);

    PipeWindow noFlow("");
    noFlow.outer->setCurrentIndex(16);
    EXPECT_EQ(noFlow.messages.texts, QStringList({qs(kFlowMissingMessage)}));
    EXPECT_EQ(noFlow.velocity->text(), "");

    PipeWindow water("10", "5", "200");
    water.dn->setCurrentIndex(16);
    EXPECT_EQ(water.messages.texts, QStringList({qs(kNotSuperheatedMessage)}));
}

TEST(ProposalWindow, FillsTheListAndShowsAtMostOneMessage)
{
    PipeWindow w;
    auto* list = control<QListWidget>(w.window, "List1");
    auto* propose = control<QPushButton>(w.window, "Command3");
    propose->click();
    ASSERT_EQ(list->count(), 1);
    EXPECT_TRUE(list->item(0)->text().startsWith("DN150  36.5"));
    EXPECT_TRUE(w.messages.texts.isEmpty());

    control<QLineEdit>(w.window, "Text4")->setText("26");  // the list stays until the next press
    EXPECT_EQ(list->count(), 1);

    control<QLineEdit>(w.window, "Text1")->setText("abc");  // no state
    propose->click();
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(w.messages.texts, QStringList({qs(kStateFirstMessage)}));
}

}  // namespace
}  // namespace dorvent
