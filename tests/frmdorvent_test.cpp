#include "guitest.h"
#include "refwin/frmliusufanwei.h"

namespace dorvent {

TEST_F(MainWindow, StartsLaidOutInItsFontsAskingForThePressureWithNoPipeChosen)
{
    EXPECT_EQ(std::tuple(window.windowTitle(), window.centralWidget()->size(), shown("Text3"), window.steamState().area),
              std::tuple(QString("Dorvent"), QSize(718, 479), QString("请输入压力"), region::none));
    EXPECT_EQ(shown("Combo3") + shown("Combo4") + shown("Combo5") + shown("Combo6"), "");
    EXPECT_EQ(at<QComboBox>("Combo6")->count() + at<QListWidget>("List1")->count(), 0);
    EXPECT_EQ(at<QMenu>("m1")->title() + at<QMenu>("m2")->title(), "文件帮助");
    for (const auto& [name, place] : {std::pair{"Text1", QRect(120, 16, 73, 25)}, {"Text22", QRect(8, 16, 401, 105)},
                                      {"Frame3", QRect(296, 128, 417, 153)}, {"Command4", QRect(536, 416, 81, 33)}})
        EXPECT_EQ(at(name)->geometry(), place) << name;
    EXPECT_TRUE(at<QLineEdit>("Text5")->isReadOnly() && at<QPlainTextEdit>("Text22")->isReadOnly());
    EXPECT_EQ(at<QPlainTextEdit>("Text22")->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    for (const auto& [name, size] : {std::pair{"Text1", 12.0}, {"Text3", 10.5}, {"List1", 10.5}, {"Label13", 9.0}, {"Frame1", 9.0}})
        EXPECT_EQ(at(name)->font().pointSizeF(), size) << name;
    // The Chinese captions come from a Song face that the set-up installs, not a chance fallback.
    const QString family = QFontInfo(at("Label1")->font()).family();
    EXPECT_TRUE(family == "SimSun" || family.startsWith("AR PL UMing") || family.startsWith("Noto Serif CJK")) << family.toStdString();
}

TEST_F(MainWindow, TypingKeyByKeyAndChangingUnitsReevaluates)
{
    QTest::keyClicks(at("Text1"), "1");
    EXPECT_EQ(shown("Text3"), " 请输入温度");
    QTest::keyClick(at("Text2"), '2');
    EXPECT_TRUE(shown("Text3").startsWith("蒸汽属于区域1"));  // 2 ℃ at 1 MPa: water
    QTest::keyClicks(at("Text2"), "50");
    EXPECT_TRUE(shown("Text3").startsWith("蒸汽属于区域2：过热蒸汽\n蒸汽密度 4.297 kg/m3\n")) << shown("Text3").toStdString();
    EXPECT_EQ(window.steamState().area, region::steam);
    at<QComboBox>("Combo2")->setCurrentIndex(1);  // 250 K lies below the range
    EXPECT_EQ(std::pair(shown("Text3"), window.steamState().area), std::pair(QString(" 温度过低"), region::none));
    at<QComboBox>("Combo1")->setCurrentIndex(2);  // kgf/cm2
    EXPECT_EQ(window.steamState().p, 0.1);
    QTest::keyClick(at("Text1"), Qt::Key_Backspace);
    EXPECT_EQ(shown("Text3"), "请输入压力");
    // The editable lists keep what is typed: no completion to "2.5", no entry added by Enter.
    RecordingMessages messages;  // the wall thickness asks for a state first
    for (const char* name : {"Combo5", "Combo6"}) {
        const int entries = at<QComboBox>(name)->count();
        QTest::keyClicks(at(name), "2");
        QTest::keyClick(at(name), Qt::Key_Return);
        EXPECT_EQ(std::pair(shown(name), at<QComboBox>(name)->count()), std::pair(QString("2"), entries)) << name;
    }
}

TEST_F(MainWindow, ClearEmptiesTheStateAndPipeChoiceAndKeepsUnitsAndSegmentInputs)
{
    at<QComboBox>("Combo1")->setCurrentIndex(1);
    fill({{"Text1", "250"}, {"Text2", "250"}, {"Text4", "250"}, {"Text5", "250"}, {"Text6", "250"}, {"Text7", "250"}});
    at<QComboBox>("Combo6")->addItem("2.3");
    at<QPlainTextEdit>("Text22")->setPlainText("earlier result");
    at<QListWidget>("List1")->addItem("DN200  0.000m/s  0.000Pa/m");
    for (const char* name : {"Combo3", "Combo4", "Combo5"}) {
        const QSignalBlocker quiet(at(name));  // this test is about Clear alone
        at<QComboBox>(name)->setCurrentIndex(13);
    }
    ASSERT_EQ(window.steamState().area, region::steam);
    click("Command2");
    for (const char* name : {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Combo3", "Combo4", "Combo5"})
        EXPECT_EQ(std::pair(shown(name), name[0] == 'C' ? at<QComboBox>(name)->currentIndex() : -1), std::pair(QString(), -1)) << name;
    const SteamState& s = window.steamState();
    EXPECT_EQ(std::tuple(s.area, s.p, s.t, s.pbaohe, s.t23bianjie, at<QListWidget>("List1")->count()),
              std::tuple(region::none, 0.0, 0.0, 0.0, 0.0, 0));
    EXPECT_EQ(QStringList({shown("Combo1"), shown("Text7"), shown("Combo6"), shown("Text22")}),
              QStringList({"kPa", "250", "2.3", "earlier result"}));
}

TEST_F(MainWindow, FocusStartsInThePressureBoxAndTabFollowsTheLayoutOrder)
{
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(QApplication::focusWidget(), at("Text1"));
    for (const char* next : {"Text2", "Combo2", "Text3", "Combo3", "Combo4", "Combo5", "Text4", "Command2", "Command4",
                             "List1", "Command3", "Text5", "Text6", "Text7", "Text8", "Text9", "Combo6", "Command1",
                             "Text10", "Text11", "Command5", "Text12", "Text22", "Combo1", "Text1"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        if (focus != nullptr && focus->objectName().isEmpty()) focus = focus->parentWidget();  // an editable list's edit
        ASSERT_NE(focus, nullptr);
        EXPECT_EQ(focus->objectName(), next);
    }
}

// Opened modally from the help menu, see LiveWindow.OnlyAReturnFromAReferenceWindowPutsTheFocusIntoThePressureBox.
TEST(VelocityRangeWindow, ShowsTheBandsInColumnsAtEveryActivationAndClosesOnOk)
{
    frmliusufanwei window;
    window.show();
    auto* box = control<QPlainTextEdit>(window, "RichTextBox1");
    for (const char* typed : {"", "typed over"}) {  // every activation writes the bands afresh
        box->setPlainText(typed);
        QApplication::setActiveWindow(nullptr);
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        EXPECT_EQ(window.windowTitle() + ":\n" + box->toPlainText(),
                  "过热蒸汽流速允许范围:\n DN>200          40~60m/s\n 100<=DN<=200    30~50m/s\n DN<100          20~40m/s");
    }
    const QFontMetrics metrics(box->font());  // one width for digits, blanks and '~', so that the columns line up
    EXPECT_TRUE(metrics.horizontalAdvance(' ') == metrics.horizontalAdvance('0') &&
                metrics.horizontalAdvance('1') == metrics.horizontalAdvance('~'));
    control<QPushButton>(window, "Command1")->click();
    EXPECT_EQ(std::pair(window.isVisible(), window.result()), std::pair(false, int(QDialog::Accepted)));
}

TEST_F(MainWindow, AboutShowsTwoLinesUnderItsOwnTitleAndExitClosesOnlyTheMainWindow)
{
    RecordingMessages messages;
    at<QAction>("m22")->trigger();
    ASSERT_EQ(messages.titles, QStringList({"Dorvent v1.0"}));
    const QStringList lines = messages.texts.first().split("\r\n");
    EXPECT_TRUE(lines.size() == 2 && lines[0].startsWith("Dorvent v1.0   ") && lines[0].size() > 15 && !lines[1].isEmpty())
        << messages.texts.first().toStdString();

    // The program ends with its last window: the heat-loss window stays open after Exit.
    QWidget* heatLoss = openHeatLoss();
    ASSERT_NE(heatLoss, nullptr);
    bool heatLossStayedOpen = false;
    QTimer::singleShot(0, [&] {
        click("Command4");
        heatLossStayedOpen = !window.isVisible() && heatLoss->isVisible();
        control<QPushButton>(*heatLoss, "cmdtuichu")->click();  // hands its value to the closed window's box
    });
    QTimer::singleShot(5000, &window, [] { QApplication::exit(99); });  // the watchdog
    EXPECT_EQ(QApplication::exec(), 0);  // ended by the last window closing, not by the watchdog
    EXPECT_EQ(std::pair(heatLossStayedOpen, shown("Combo6")), std::pair(true, QString("0")));
    window.show();
    at<QAction>("m11")->trigger();
    EXPECT_FALSE(window.isVisible());
}

}  // namespace dorvent
