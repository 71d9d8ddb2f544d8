#include "guitest.h"
#include "mainwin/stateevaluation.h"
#include "pipes/chosenpipe.h"
#include "pipes/qiuliusu.h"

namespace dorvent {

static QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }

/// The main window with its messages recorded.
class PipeWindow : public MainWindow {
protected:
    QString rows() { return QString("%1 %2 %3").arg(dn->currentIndex()).arg(outer->currentIndex()).arg(wall->currentIndex()); }
    /// Velocity and friction as Text5 and Text6 show them, and as the core computes them for a pipe.
    QString results() { return shown("Text5") + " " + shown("Text6"); }
    QString expected(const char* outerText, const char* wallText) const
    {
        SteamState state = window.steamState();
        const ChosenPipeResult r = checkPipe(state.area, refreshDensity(state), {"10", "DN", outerText, wallText});
        return qs(r.velocity + " " + r.friction);
    }
    void pickWallFromList(int row)
    {
        wall->showPopup();
        const QRect rect = wall->view()->visualRect(wall->view()->model()->index(row, 0));
        QTest::mouseClick(wall->view()->viewport(), Qt::LeftButton, {}, rect.center());
    }

    RecordingMessages messages;
    QComboBox *dn = at<QComboBox>("Combo3"), *outer = at<QComboBox>("Combo4");
    QListWidget* list = at<QListWidget>("List1");
};

TEST_F(PipeWindow, TheListsStayInStepAndEachChoiceOrKeystrokeIsEvaluatedAsIsEachProposal)
{
    fill({{"Text1", "1"}, {"Text2", "250"}, {"Text4", "10"}});
    outer->setCurrentIndex(16);  // 108: DN100, 4
    EXPECT_EQ(std::pair(rows(), results()), std::pair(QString("16 16 16"), expected("108", "4")));
    pickWallFromList(14);  // 4.5: only the wall changes
    EXPECT_EQ(std::pair(rows(), results()), std::pair(QString("16 16 14"), expected("108", "4.5")));
    typeWall("6");  // each keystroke is evaluated; a refused one, see LiveWindow
    EXPECT_EQ(results(), expected("108", "6"));
    pickWallFromList(14);  // the row shown before the typing: its text comes back and is evaluated
    EXPECT_EQ(results(), expected("108", "4.5"));
    typeWall("5");  // so does choosing that row through the nominal diameter after typing
    dn->setCurrentIndex(14);  // DN150, whose wall 4.5 is the current row already
    EXPECT_EQ(std::pair(rows(), results()), std::pair(QString("14 14 14"), expected("159", "4.5")));
    wall->lineEdit()->selectAll();  // deleting the wall thickness leaves the last results and says nothing
    QTest::keyClick(wall->lineEdit(), Qt::Key_Delete);
    EXPECT_EQ(std::pair(results(), messages.texts.size()), std::pair(expected("159", "4.5"), qsizetype(0)));
    fill({{"Text4", ""}});  // a new choice clears the old results even when it is refused
    dn->setCurrentIndex(16);
    EXPECT_EQ(results(), " ");

    fill({{"Text4", "10"}});  // the proposal: DN150 alone, filled on each press
    click("Command3");
    EXPECT_EQ(std::pair(list->count(), messages.texts.size()), std::pair(1, qsizetype(1)));
    fill({{"Text4", "14"}});  // the list stays until the next press
    EXPECT_EQ(list->count(), 1);
    click("Command3");  // DN150 too fast, DN200 too slow: both listed, with the message once
    ASSERT_EQ(list->count(), 2);
    EXPECT_TRUE(list->item(0)->text().startsWith("DN150  5")) << list->item(0)->text().toStdString();
    EXPECT_EQ(messages.texts, QStringList({qs(kFlowMissingMessage), "没有合适的管径，已求出最相近管径"}));
}

TEST_F(PipeWindow, RefusalsAreShownOncePerAction)
{
    const struct { const char *flow, *pressure, *temperature; std::string_view message; } cases[] = {
        {"10", "abc", "250", kStateFirstMessage}, {"", "1", "250", kFlowMissingMessage},
        {"10", "5", "200", kNotSuperheatedMessage},  // water
    };
    for (const auto& c : cases) {
        click("Command2");  // a clean window for each case
        messages.texts.clear();
        fill({{"Text1", c.pressure}, {"Text2", c.temperature}, {"Text4", c.flow}});
        outer->setCurrentIndex(16);  // runs the Combo3 handler too, yet one message
        EXPECT_EQ(std::pair(messages.texts, results()), std::pair(QStringList({qs(c.message)}), QString(" ")));
        dn->setCurrentIndex(5);  // runs the Combo4 handler too
        typeWall("12");          // one per keystroke
        list->addItem("DN200  0.000m/s  0.000Pa/m");
        click("Command3");  // one for the proposal, which empties the list
        EXPECT_EQ(std::pair(messages.texts, list->count()), std::pair(QStringList(5, qs(c.message)), 0));
    }
}

}  // namespace dorvent
