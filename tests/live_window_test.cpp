// The main window with the program's real message boxes, each closed by a timer, and real focus
// and activation changes, which the recorded messages of the other window tests never cause.

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "guitest.h"
#include "mainwin/frmdorvent.h"

namespace dorvent {
namespace {

class LiveWindow : public ::testing::Test {
protected:
    LiveWindow()
    {
        window.show();
        activate(&window);
    }

    /// Hands the activation to target, or to another program for nullptr, as a window manager
    /// does, once the window system's own pending activations have been delivered.
    static void activate(QWidget* target)
    {
        QCoreApplication::processEvents();
        QApplication::setActiveWindow(target);
        QCoreApplication::processEvents();
        EXPECT_EQ(QApplication::activeWindow(), target);
    }
    /// Types into whatever has the focus, as the keyboard does.
    static void type(const QString& keys) { QTest::keyClicks(QApplication::focusWidget(), keys); }
    static void press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }

    template <typename Widget = QWidget>
    Widget* at(const char* name) { return control<Widget>(window, name); }

    ClosingMessageBoxes boxes;
    frmdorvent window;
    QComboBox* wall = at<QComboBox>("Combo5");
};

TEST_F(LiveWindow, TypedWallThicknessIsNoPickAndTheFocusStaysWhereTheUserTypes)
{
    const QString noState = "请先计算蒸汽状态";
    wall->lineEdit()->setFocus(Qt::MouseFocusReason);
    type("8");  // "8" is an entry of the list, yet typing it is no pick
    EXPECT_EQ(boxes.texts, QStringList({noState}));
    type("0");  // after OK the keys still go to the wall thickness
    EXPECT_EQ(wall->currentText(), "80");
    EXPECT_EQ(at<QLineEdit>("Text1")->text(), "");
    press(Qt::Key_Backspace);
    press(Qt::Key_Tab);
    EXPECT_EQ(boxes.texts, QStringList(3, noState));  // one per keystroke, none for leaving
    EXPECT_EQ(wall->currentIndex(), -1);

    // With a state, a flow and DN100 (108 x 4) chosen: typed text that equals another row of the
    // list is evaluated as typed, on Tab and on Enter, and the rows stay where they were.
    for (const auto& [name, text] : {std::pair{"Text1", "1"}, {"Text2", "250"}, {"Text4", "10"}})
        at<QLineEdit>(name)->setText(text);
    at<QComboBox>("Combo3")->setCurrentIndex(16);
    const QString pipe4 = at<QLineEdit>("Text5")->text();
    for (const Qt::Key leave : {Qt::Key_Tab, Qt::Key_Return}) {
        wall->lineEdit()->setFocus();
        wall->lineEdit()->selectAll();
        type("8");
        const QString pipe8 = at<QLineEdit>("Text5")->text();
        press(leave);
        EXPECT_EQ(std::tuple(at<QComboBox>("Combo3")->currentIndex(), wall->currentIndex(), wall->currentText()),
                  std::tuple(16, 16, QString("8")));
        EXPECT_NE(pipe8, pipe4);
        EXPECT_EQ(at<QLineEdit>("Text5")->text(), pipe8);
    }
    EXPECT_EQ(boxes.texts.size(), 3);
    auto* heatLoss = at<QComboBox>("Combo6");  // the unit heat loss keeps its row as well
    heatLoss->addItems({"2.01", "3.02"});
    heatLoss->setCurrentIndex(1);
    heatLoss->lineEdit()->setFocus();
    heatLoss->lineEdit()->selectAll();
    type("2.01");
    press(Qt::Key_Tab);
    EXPECT_EQ(std::pair(heatLoss->currentIndex(), heatLoss->currentText()), std::pair(1, QString("2.01")));

    // A refused wall thickness: the box opens over the last results, which then read 0.000.
    QString shownWhileOpen;
    boxes.whileOpen = [&] { shownWhileOpen = at<QLineEdit>("Text5")->text(); };
    wall->lineEdit()->setFocus();
    wall->lineEdit()->selectAll();
    type("6");
    const QString pipe6 = at<QLineEdit>("Text5")->text();
    type("0");
    EXPECT_EQ(boxes.texts.last(), "壁厚不符合实际");
    EXPECT_EQ(std::pair(shownWhileOpen, at<QLineEdit>("Text5")->text()), std::pair(pipe6, QString("0.000")));
}

TEST_F(LiveWindow, OnlyAReturnFromAReferenceWindowPutsTheFocusIntoThePressureBox)
{
    EXPECT_EQ(QApplication::focusWidget(), at("Text1"));  // start-up
    auto* length = at<QLineEdit>("Text7");
    length->setFocus();

    activate(nullptr);  // another program, then back
    activate(&window);
    EXPECT_EQ(QApplication::focusWidget(), length);
    at<QAction>("m22")->trigger();  // the About box
    EXPECT_EQ(boxes.texts.size(), 1);
    EXPECT_EQ(QApplication::focusWidget(), length);

    at<QPushButton>("Command1")->click();
    QWidget* heatLoss = visibleWindow("frmresunshi");
    ASSERT_NE(heatLoss, nullptr);
    activate(heatLoss);  // to the heat-loss window and from there to another program first
    activate(nullptr);
    activate(&window);
    EXPECT_EQ(QApplication::focusWidget(), length);
    activate(heatLoss);
    activate(&window);
    EXPECT_EQ(QApplication::focusWidget(), at("Text1"));
    activate(heatLoss);
    length->setFocus();
    heatLoss->close();  // closed, it hands the activation back
    activate(&window);
    EXPECT_EQ(QApplication::focusWidget(), at("Text1"));

    length->setFocus();
    QTimer::singleShot(100, [] { QApplication::activeModalWidget()->close(); });
    at<QAction>("m21")->trigger();  // the velocity ranges, modal
    activate(&window);
    EXPECT_EQ(QApplication::focusWidget(), at("Text1"));
}

}  // namespace
}  // namespace dorvent
