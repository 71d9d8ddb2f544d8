// The main window, its pipe lists and the two reference windows, offscreen, driven as the user does.

#include "app/qtchinese.h"
#include "guitest.h"
#include "mainwin/stateevaluation.h"
#include "pipes/chosenpipe.h"
#include "pipes/qiuliusu.h"
#include "refwin/frmliusufanwei.h"

namespace dorvent {

TEST_F(MainWindow, StartsLaidOutInItsFontsWithTheFocusInThePressureBoxAndTabsInLayoutOrder)
{
    EXPECT_EQ(std::tuple(window.windowTitle(), window.centralWidget()->size(), shown("Text3"), window.steamState().area),
              std::tuple(QString("Dorvent"), QSize(718, 479), QString("请输入压力"), region::none));
    EXPECT_EQ(shown("Combo3") + shown("Combo4") + shown("Combo5") + shown("Combo6"), "");
    EXPECT_EQ(at<QComboBox>("Combo6")->count() + at<QListWidget>("List1")->count(), 0);
    EXPECT_EQ(at<QMenu>("m1")->title() + at<QMenu>("m2")->title(), "文件帮助");
    for (const auto& [name, place] : {std::pair{"Text1", QRect(120, 16, 73, 25)}, {"Text22", QRect(8, 16, 401, 105)},
                                      {"Frame3", QRect(296, 128, 417, 153)}, {"Command4", QRect(536, 416, 81, 33)}})
        EXPECT_EQ(at(name)->geometry(), place) << name;
    EXPECT_TRUE(at<QLineEdit>("Text5")->isReadOnly() && at<QPlainTextEdit>("Text22")->isReadOnly() &&
                at<QPlainTextEdit>("Text22")->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn);
    for (auto [name, size] : {std::pair{"Text1", 12.0}, {"Text3", 10.5}, {"List1", 10.5}, {"Label13", 9.0}, {"Frame1", 9.0}})
        EXPECT_EQ(at(name)->font().pointSizeF(), size) << name;
    // The Chinese captions come from a Song face that the set-up installs, not a chance fallback.
    const QString family = QFontInfo(at("Label1")->font()).family();
    EXPECT_TRUE(family == "SimSun" || family.startsWith("AR PL UMing") || family.startsWith("Noto Serif CJK")) << family.toStdString();
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

TEST_F(MainWindow, TypingKeyByKeyAndChangingUnitsReevaluatesAndClearEmptiesTheStateAndPipeChoice)
{
    QTest::keyClicks(at("Text1"), "1");
    EXPECT_EQ(shown("Text3"), " 请输入温度");
    QTest::keyClick(at("Text2"), '2');
    EXPECT_TRUE(shown("Text3").startsWith("蒸汽属于区域1"));  // 2 ℃ at 1 MPa: water
    QTest::keyClicks(at("Text2"), "50");
    EXPECT_TRUE(shown("Text3").startsWith("蒸汽属于区域2：过热蒸汽\n蒸汽密度 4.297 kg/m3\n") && window.steamState().area == region::steam)
        << shown("Text3").toStdString();
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
    // Clear keeps the units and the segment inputs.
    at<QComboBox>("Combo1")->setCurrentIndex(1);
    at<QComboBox>("Combo2")->setCurrentIndex(0);
    fill({{"Text1", "250"}, {"Text2", "250"}, {"Text4", "250"}, {"Text5", "250"}, {"Text6", "250"}, {"Text7", "250"}});
    at<QComboBox>("Combo6")->addItem("2.3");
    at<QPlainTextEdit>("Text22")->setPlainText("earlier result");
    at<QListWidget>("List1")->addItem("DN200  0.000m/s  0.000Pa/m");
    at<QComboBox>("Combo3")->setCurrentIndex(13);  // all three pipe lists to DN200
    ASSERT_EQ(window.steamState().area, region::steam);
    click("Command2");
    for (const char* name : {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Combo3", "Combo4", "Combo5"})
        EXPECT_EQ(shown(name), "") << name;
    for (const char* name : {"Combo3", "Combo4", "Combo5"}) EXPECT_EQ(at<QComboBox>(name)->currentIndex(), -1) << name;
    const SteamState& s = window.steamState();
    EXPECT_EQ(std::tuple(s.area, s.p, s.t, s.pbaohe, s.t23bianjie, at<QListWidget>("List1")->count(), messages.texts.size()),
              std::tuple(region::none, 0.0, 0.0, 0.0, 0.0, 0, qsizetype(1)));
    EXPECT_EQ(QStringList({shown("Combo1"), shown("Text7"), shown("Combo6"), shown("Text22")}), QStringList({"kPa", "250", "2.3", "earlier result"}));
}

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
    EXPECT_TRUE(metrics.horizontalAdvance(' ') == metrics.horizontalAdvance('0') && metrics.horizontalAdvance('1') == metrics.horizontalAdvance('~'));
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
    click("Command1");
    QWidget* heatLoss = heatLossWindow();
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

TEST_F(MainWindow, ThePipeListsStayInStepAndEachChoiceKeystrokeOrProposalIsEvaluatedOnce)
{
    RecordingMessages messages;
    auto *dn = at<QComboBox>("Combo3"), *outer = at<QComboBox>("Combo4");
    auto* list = at<QListWidget>("List1");
    const auto rows = [&] { return std::array{dn->currentIndex(), outer->currentIndex(), wall->currentIndex()}; };
    const auto results = [&] { return shown("Text5") + " " + shown("Text6"); };
    const auto expected = [&](const char* outerText, const char* wallText) {  // as the core computes them
        SteamState state = window.steamState();
        const ChosenPipeResult r = checkPipe(state.area, refreshDensity(state), {"10", "DN", outerText, wallText});
        return QString::fromStdString(r.velocity + " " + r.friction);
    };
    const auto pickWallFromList = [&](int row) {
        wall->showPopup();
        QTest::mouseClick(wall->view()->viewport(), Qt::LeftButton, {}, wall->view()->visualRect(wall->view()->model()->index(row, 0)).center());
    };
    fill({{"Text1", "1"}, {"Text2", "250"}, {"Text4", "10"}});
    outer->setCurrentIndex(16);  // 108: DN100, 4
    EXPECT_EQ(std::pair(rows(), results()), std::pair(std::array{16, 16, 16}, expected("108", "4")));
    pickWallFromList(14);  // 4.5: only the wall changes
    EXPECT_EQ(std::pair(rows(), results()), std::pair(std::array{16, 16, 14}, expected("108", "4.5")));
    typeWall("6");  // each keystroke is evaluated; a refused one, see LiveWindow
    EXPECT_EQ(results(), expected("108", "6"));
    pickWallFromList(14);  // the row shown before the typing: its text comes back and is evaluated
    EXPECT_EQ(results(), expected("108", "4.5"));
    typeWall("5");  // so does choosing that row through the nominal diameter after typing
    dn->setCurrentIndex(14);  // DN150, whose wall 4.5 is the current row already
    EXPECT_EQ(std::pair(rows(), results()), std::pair(std::array{14, 14, 14}, expected("159", "4.5")));
    wall->lineEdit()->selectAll();  // deleting the wall thickness leaves the last results and says nothing
    QTest::keyClick(wall->lineEdit(), Qt::Key_Delete);
    EXPECT_EQ(std::pair(results(), messages.texts.size()), std::pair(expected("159", "4.5"), qsizetype(0)));
    fill({{"Text4", ""}});  // a new choice clears the old results even when it is refused
    dn->setCurrentIndex(16);
    EXPECT_EQ(results(), " ");

    fill({{"Text4", "10"}});  // the proposal: DN150 alone, listed on each press and kept until the next
    click("Command3");
    fill({{"Text4", "14"}});
    EXPECT_EQ(std::pair(list->count(), messages.texts.size()), std::pair(1, qsizetype(1)));
    click("Command3");  // DN150 too fast, DN200 too slow: both listed, with the message once
    EXPECT_TRUE(list->count() == 2 && list->item(0)->text().startsWith("DN150  5")) << list->count();
    EXPECT_EQ(messages.texts, QStringList({QString::fromUtf8(kFlowMissingMessage), "没有合适的管径，已求出最相近管径"}));

    // Each refusal is shown once per action, from a cleared window.
    const struct { const char *flow, *pressure, *temperature; std::string_view message; } cases[] = {
        {"10", "abc", "250", kStateFirstMessage}, {"", "1", "250", kFlowMissingMessage}, {"10", "5", "200", kNotSuperheatedMessage}};  // the last water
    for (const auto& c : cases) {
        click("Command2");  // a clean window for each case
        messages.texts.clear();
        fill({{"Text1", c.pressure}, {"Text2", c.temperature}, {"Text4", c.flow}});
        outer->setCurrentIndex(16);  // runs the Combo3 handler too, yet one message
        EXPECT_EQ(std::pair(messages.texts, results()), std::pair(QStringList({QString::fromUtf8(c.message)}), QString(" ")));
        dn->setCurrentIndex(5);  // runs the Combo4 handler too
        typeWall("12");          // one per keystroke
        list->addItem("DN200  0.000m/s  0.000Pa/m");
        click("Command3");  // one for the proposal, which empties the list
        EXPECT_EQ(std::pair(messages.texts, list->count()), std::pair(QStringList(5, QString::fromUtf8(c.message)), 0));
    }
}

TEST_F(MainWindow, TheHeatLossWindowListsTheChosenColumnAndHandsTheClickedValueOnAfreshAtEachOpening)
{
    RecordingMessages messages;
    QWidget* heatLoss = nullptr;
    QListWidget* list = nullptr;
    // In turn: "查询" in the main window opens the heat-loss window; "row 8" clicks a listed row; any
    // other step presses the named button of the heat-loss window.
    const auto use = [&](std::initializer_list<const char*> steps) {
        for (const QString step : steps) {
            if (step == "查询") {
                click("Command1");
                if ((heatLoss = heatLossWindow()) == nullptr) throw std::runtime_error("no heat-loss window");
                list = control<QListWidget>(*heatLoss, "lstresunshi");
            } else if (step.startsWith("row ")) {
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(step.mid(4).toInt())).center());
            } else {
                control<QAbstractButton>(*heatLoss, qPrintable(step))->click();
            }
        }
    };
    // Which of the six options are checked, and the rows listed: all of them, or row alone.
    const auto shows = [&](int row = -1) {
        QString text;
        for (const char* name : {"optjiakong", "optbutongxing", "opttongxing", "opt200", "opt200300", "opt300350"})
            text += control<QRadioButton>(*heatLoss, name)->isChecked() ? '1' : '0';
        for (int i = 0; i < list->count(); ++i) text += i == row || row < 0 ? " " + list->item(i)->text() : "";
        return text + QString(" (%1 rows)").arg(list->count());
    };
    use({"查询"});
    QWidget* first = heatLoss;
    EXPECT_EQ(first->windowTitle() + " " + shownIn(*first, "Label1"), "保温蒸汽管道单位热损失 数据摘自《热能工程设计手册》275页 表4-37");
    use({"cmdchaxun", "opttongxing", "cmdchaxun"});
    EXPECT_EQ(std::pair(messages.texts, shows()), std::pair(QStringList({"请先选择敷设方式", "请先选择蒸汽温度"}), QString("001000 (0 rows)")));
    // Each value below stands in one laying table and one band column only.
    use({"optjiakong", "opt200300", "cmdchaxun"});
    EXPECT_EQ(shows(8), "100010 DN200\t3.02\tkJ/m·h·℃ (20 rows)");
    use({"optbutongxing", "opt200", "cmdchaxun"});
    EXPECT_EQ(shows(19), "010100 DN1000\t9.09\tkJ/m·h·℃ (20 rows)");
    use({"opttongxing", "opt300350", "cmdchaxun"});
    EXPECT_EQ(std::pair(shows(6), messages.texts.size()), std::pair(QString("001001 DN125\t2.18\tkJ/m·h·℃ (20 rows)"), qsizetype(2)));
    use({"查询"});  // once more: the open window comes to the front as it is
    EXPECT_EQ(std::pair(heatLoss, shows(6)), std::pair(first, QString("001001 DN125\t2.18\tkJ/m·h·℃ (20 rows)")));

    // The worked design typed in, its unit heat loss taken from the window: DN200, overhead, 200℃<t≤300℃.
    for (const auto& [name, text] : {std::pair{"Text1", "1"}, {"Text2", "250"}, {"Text4", "10"}, {"Text7", "250"},
                                     {"Text8", "0.2"}, {"Text9", "0.2"}, {"Text10", "1"}, {"Text11", "20"}, {"Text12", "5"}})
        QTest::keyClicks(at(name), text);
    at<QComboBox>("Combo3")->setCurrentIndex(13);  // DN200, 219 x 6
    EXPECT_EQ(shown("Text6"), "74.501");
    use({"查询", "optjiakong", "opt200300", "cmdchaxun", "row 8", "cmdtuichu"});
    EXPECT_EQ(std::pair(shown("Combo6"), heatLossWindow()), (std::pair<QString, QWidget*>("3.02", nullptr)));
    click("Command5");
    EXPECT_EQ(shown("Text22"), "末端压力 0.978 MPa\n末端温度 240.801 ℃\n管段热损失 56.718 kW\n管段温度降 9.199 ℃\n每km温度降 36.796 ℃\n平均比摩阻 89.525 Pa/m");
    // The window's own state took the design flow; the wait cursor is gone again.
    EXPECT_TRUE(window.steamState().liuliang == 10.0f && QApplication::overrideCursor() == nullptr);

    // Every opening starts afresh: no option, no row, no value; a laying alone is no temperature band.
    messages.texts.clear();
    use({"查询"});
    EXPECT_EQ(shows(), "000000 (0 rows)");
    use({"optjiakong", "cmdchaxun"});
    EXPECT_EQ(std::pair(messages.texts, list->count()), std::pair(QStringList({"请先选择蒸汽温度"}), 0));
    use({"opt200", "cmdchaxun", "row 6", "cmdtuichu"});
    EXPECT_EQ(shown("Combo6"), "2.3");  // listed as 2.30
    use({"查询", "cmdtuichu"});
    EXPECT_EQ(shown("Combo6"), "0");
    // A click on a listed row reads the options chosen at the click, though not queried.
    use({"查询", "optjiakong", "opt200", "cmdchaxun", "row 6", "opttongxing", "opt300350", "row 6", "cmdtuichu"});
    QStringList entries;  // every exit adds an entry, equal or not
    for (int i = 0; i < at<QComboBox>("Combo6")->count(); ++i) entries << at<QComboBox>("Combo6")->itemText(i);
    EXPECT_EQ(std::pair(entries, at<QComboBox>("Combo6")->currentIndex()), std::pair(QStringList({"3.02", "2.3", "0", "2.18"}), 3));
}

TEST(QtTexts, TheStandardDialogsSpeakChinese)
{
    QTranslator texts;
    installQtChinese(texts);
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text() + box.button(QMessageBox::Cancel)->text(), "确定取消");
    EXPECT_EQ(QCoreApplication::translate("QPrintPreviewDialog", "Print Preview"), "打印预览");
    QCoreApplication::removeTranslator(&texts);
}

}  // namespace dorvent
