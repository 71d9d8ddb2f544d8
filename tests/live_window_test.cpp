// The main window with the program's real message boxes, each closed by a timer, and real focus
// and activation changes, which the recorded messages of the other window tests never cause.

#include "guitest.h"

namespace dorvent {

class LiveWindow : public MainWindow {
protected:
    LiveWindow() { activate({&window}); }

    /// Hands the activation to each target in turn, or to another program for nullptr, as a window
    /// manager does, once the window system's own pending activations have been delivered; the focus then.
    static QWidget* activate(std::initializer_list<QWidget*> targets)
    {
        for (QWidget* target : targets) {
            QCoreApplication::processEvents();
            QApplication::setActiveWindow(target);
            QCoreApplication::processEvents();
            EXPECT_EQ(QApplication::activeWindow(), target);
        }
        return QApplication::focusWidget();
    }
    /// Types into whatever has the focus, as the keyboard does.
    static void type(const QString& keys) { QTest::keyClicks(QApplication::focusWidget(), keys); }
    static void press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }

    ClosingMessageBoxes boxes;
};

TEST_F(LiveWindow, TypedWallThicknessIsNoPickAndTheFocusStaysWhereTheUserTypes)
{
    const QString noState = "请先计算蒸汽状态";
    wall->lineEdit()->setFocus(Qt::MouseFocusReason);
    type("8");  // "8" is an entry of the list, yet typing it is no pick
    EXPECT_EQ(boxes.texts, QStringList({noState}));
    type("0");  // after OK the keys still go to the wall thickness
    EXPECT_EQ(std::pair(wall->currentText(), shown("Text1")), std::pair(QString("80"), QString()));
    press(Qt::Key_Backspace);
    press(Qt::Key_Tab);
    EXPECT_EQ(std::pair(boxes.texts, wall->currentIndex()), std::pair(QStringList(3, noState), -1));  // none for leaving

    // With a state, a flow and DN100 (108 x 4) chosen: typed text that equals another row of the
    // list is evaluated as typed, on Tab and on Enter, and the rows stay where they were.
    fill({{"Text1", "1"}, {"Text2", "250"}, {"Text4", "10"}});
    at<QComboBox>("Combo3")->setCurrentIndex(16);
    const QString pipe4 = shown("Text5");
    for (const Qt::Key leave : {Qt::Key_Tab, Qt::Key_Return}) {
        typeWall("8");
        const QString pipe8 = shown("Text5");
        press(leave);
        EXPECT_EQ(std::tuple(at<QComboBox>("Combo3")->currentIndex(), wall->currentIndex(), wall->currentText()),
                  std::tuple(16, 16, QString("8")));
        EXPECT_TRUE(pipe8 != pipe4 && shown("Text5") == pipe8) << pipe8.toStdString();
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
    boxes.whileOpen = [&] { shownWhileOpen = shown("Text5"); };
    typeWall("6");
    const QString pipe6 = shown("Text5");
    type("0");
    EXPECT_EQ(boxes.texts.last(), "壁厚不符合实际");
    EXPECT_EQ(std::pair(shownWhileOpen, shown("Text5")), std::pair(pipe6, QString("0.000")));
}

TEST_F(LiveWindow, OnlyAReturnFromAReferenceWindowPutsTheFocusIntoThePressureBox)
{
    EXPECT_EQ(QApplication::focusWidget(), at("Text1"));  // start-up
    QWidget* length = at("Text7");
    length->setFocus();
    EXPECT_EQ(activate({nullptr, &window}), length);  // another program, then back
    at<QAction>("m22")->trigger();  // the About box
    EXPECT_EQ(std::pair(boxes.texts.size(), QApplication::focusWidget()), std::pair(qsizetype(1), length));

    click("Command1");
    QWidget* heatLoss = heatLossWindow();
    ASSERT_NE(heatLoss, nullptr);
    EXPECT_EQ(activate({heatLoss, nullptr, &window}), length);  // through the heat-loss window to another program
    EXPECT_EQ(activate({heatLoss, &window}), at("Text1"));
    activate({heatLoss});
    length->setFocus();
    heatLoss->close();  // closed, it hands the activation back
    EXPECT_EQ(activate({&window}), at("Text1"));

    length->setFocus();
    QString modal;
    QTimer::singleShot(100, [&modal] {
        if (QWidget* open = QApplication::activeModalWidget()) { modal = open->objectName(); open->close(); }
    });
    at<QAction>("m21")->trigger();  // the velocity ranges, modal
    EXPECT_EQ(std::pair(modal, activate({&window})), std::pair(QString("frmliusufanwei"), at("Text1")));
}

}  // namespace dorvent
