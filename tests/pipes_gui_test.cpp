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

/// The main window with a steam state (1 MPa and 250 ℃ unless told) and the messages recorded.
struct PipeWindow {
    RecordingMessages messages;
    frmdorvent window;
    QComboBox *dn = control<QComboBox>(window, "Combo3"), *outer = control<QComboBox>(window, "Combo4");
    QComboBox* wall = control<QComboBox>(window, "Combo5");
    QLineEdit *velocity = control<QLineEdit>(window, "Text5"), *friction = control<QLineEdit>(window, "Text6");
    QListWidget* list = control<QListWidget>(window, "List1");

    explicit PipeWindow(const char* flow = "10", const char* pressure = "1", const char* temperature = "250")
    {
        window.show();
        for (const auto& [name, text] : {std::pair{"Text1", pressure}, {"Text2", temperature}, {"Text4", flow}})
            control<QLineEdit>(window, name)->setText(text);
    }
    std::vector<int> rows() const { return {dn->currentIndex(), outer->currentIndex(), wall->currentIndex()}; }

    /// Velocity and friction as Text5 and Text6 show them, and as the core computes them for a pipe.
    QString shown() const { return velocity->text() + " " + friction->text(); }
    QString expected(const char* outerText, const char* wallText) const
    {
        SteamState state = window.steamState();
        const ChosenPipeResult r = checkPipe(state.area, refreshDensity(state), {"10", "DN", outerText, wallText});
        return qs(r.velocity + " " + r.friction);
    }

    void typeWall(const char* text) { wall->lineEdit()->selectAll(); QTest::keyClicks(wall->lineEdit(), text); }
    void pickWallFromList(int row)
    {
        wall->showPopup();
        const QRect rect = wall->view()->visualRect(wall->view()->model()->index(row, 0));
        QTest::mouseClick(wall->view()->viewport(), Qt::LeftButton, {}, rect.center());
    }
};

TEST(ChosenPipeWindow, TheListsStayInStepAndEachChoiceOrKeystrokeIsEvaluated)
{
    PipeWindow w;
    w.outer->setCurrentIndex(16);  // 108: DN100, 4
    EXPECT_EQ(w.rows(), (std::vector<int>{16, 16, 16}));
    EXPECT_EQ(w.shown(), w.expected("108", "4"));
    w.pickWallFromList(14);  // 4.5: only the wall changes
    EXPECT_EQ(w.rows(), (std::vector<int>{16, 16, 14}));
    EXPECT_EQ(w.shown(), w.expected("108", "4.5"));

    w.typeWall("6");
    EXPECT_EQ(w.shown(), w.expected("108", "6"));
    QTest::keyClick(w.wall->lineEdit(), Qt::Key_0);  // 60 mm in a 108 mm pipe
    EXPECT_EQ(w.messages.texts, QStringList({qs(kWallThicknessMessage)}));
    EXPECT_EQ(w.shown(), "0.000 0.000");
    // Picking the row shown before the typing brings its text back and evaluates.
    w.pickWallFromList(14);
    EXPECT_EQ(w.shown(), w.expected("108", "4.5"));

    // So does choosing that row through the nominal diameter after typing.
    w.typeWall("5");
    w.dn->setCurrentIndex(14);  // DN150, whose wall 4.5 is the current row already
    EXPECT_EQ(w.rows(), (std::vector<int>{14, 14, 14}));
    EXPECT_EQ(w.shown(), w.expected("159", "4.5"));

    // Deleting the wall thickness leaves the last results and says nothing.
    w.wall->lineEdit()->selectAll();
    QTest::keyClick(w.wall->lineEdit(), Qt::Key_Delete);
    EXPECT_EQ(w.shown(), w.expected("159", "4.5"));
    EXPECT_EQ(w.messages.texts.size(), 1);

    // A new choice clears the old results even when it is refused.
    control<QLineEdit>(w.window, "Text4")->clear();
    w.dn->setCurrentIndex(16);
    EXPECT_EQ(w.shown(), " ");
}

TEST(PipeWindows, RefusalsAreShownOncePerAction)
{
    const struct { const char *flow, *pressure, *temperature; std::string_view message; } cases[] = {
        {"10", "abc", "250", kStateFirstMessage}, {"", "1", "250", kFlowMissingMessage},
        {"10", "5", "200", kNotSuperheatedMessage},  // water
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.message));
        PipeWindow w(c.flow, c.pressure, c.temperature);
        w.outer->setCurrentIndex(16);  // runs the Combo3 handler too, yet one message
        EXPECT_EQ(w.messages.texts, QStringList({qs(c.message)}));
        EXPECT_EQ(w.shown(), " ");
        w.dn->setCurrentIndex(5);  // runs the Combo4 handler too
        w.typeWall("12");          // one per keystroke
        w.list->addItem("DN200  0.000m/s  0.000Pa/m");
        control<QPushButton>(w.window, "Command3")->click();  // one for the proposal, which empties the list
        EXPECT_EQ(w.messages.texts, QStringList(5, qs(c.message)));
        EXPECT_EQ(w.list->count(), 0);
    }
}

TEST(ProposalWindow, RefillsTheListOnEachPressAndShowsItsMessageOnce)
{
    PipeWindow w;
    auto* propose = control<QPushButton>(w.window, "Command3");
    propose->click();
    EXPECT_EQ(w.list->count(), 1);  // DN150 alone, see Proposal.NeedsAFlowAndRefreshesTheDensityOfTheState
    EXPECT_TRUE(w.messages.texts.isEmpty());

    control<QLineEdit>(w.window, "Text4")->setText("14");  // the list stays until the next press
    EXPECT_EQ(w.list->count(), 1);
    propose->click();  // DN150 too fast, DN200 too slow: both listed, with the message
    ASSERT_EQ(w.list->count(), 2);
    EXPECT_TRUE(w.list->item(0)->text().startsWith("DN150  5")) << w.list->item(0)->text().toStdString();
    EXPECT_EQ(w.messages.texts, QStringList({"没有合适的管径，已求出最相近管径"}));
}

}  // namespace
}  // namespace dorvent
