#include "guitest.h"

namespace dorvent {

/// The main window and its heat-loss window, driven by a script of user actions.
class HeatLossWindow : public MainWindow {
protected:
    /// In turn: "查询" in the main window opens the heat-loss window; "row 8" clicks a listed row;
    /// any other step presses the named button of the heat-loss window.
    void use(std::initializer_list<const char*> steps)
    {
        for (const QString step : steps) {
            if (step == "查询") {
                if ((heatLoss = openHeatLoss()) == nullptr) throw std::runtime_error("no heat-loss window");
                list = control<QListWidget>(*heatLoss, "lstresunshi");
            } else if (step.startsWith("row ")) {
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(step.mid(4).toInt())).center());
            } else {
                control<QAbstractButton>(*heatLoss, qPrintable(step))->click();
            }
        }
    }
    /// Which of the six options are checked, and the rows listed: all of them, or row alone.
    QString shows(int row = -1)
    {
        QString text;
        for (const char* name : {"optjiakong", "optbutongxing", "opttongxing", "opt200", "opt200300", "opt300350"})
            text += control<QRadioButton>(*heatLoss, name)->isChecked() ? '1' : '0';
        for (int i = 0; i < list->count(); ++i) text += i == row || row < 0 ? " " + list->item(i)->text() : "";
        return text + QString(" (%1 rows)").arg(list->count());
    }

    RecordingMessages messages;
    QWidget* heatLoss = nullptr;
    QListWidget* list = nullptr;
};

TEST_F(HeatLossWindow, AsksForTheOptionsThenListsTheColumnOfTheChosenLayingAndBandAndOpensOnce)
{
    use({"查询"});
    QWidget* window = heatLoss;
    EXPECT_EQ(window->windowTitle(), "保温蒸汽管道单位热损失");
    EXPECT_EQ(control<QLabel>(*window, "Label1")->text(), "数据摘自《热能工程设计手册》275页 表4-37");
    use({"cmdchaxun", "opttongxing", "cmdchaxun"});
    EXPECT_EQ(std::pair(messages.texts, shows()), std::pair(QStringList({"请先选择敷设方式", "请先选择蒸汽温度"}), QString("001000 (0 rows)")));
    // Each value below stands in one laying table and one band column only.
    use({"optjiakong", "opt200300", "cmdchaxun"});
    EXPECT_EQ(shows(8), "100010 DN200\t3.02\tkJ/m·h·℃ (20 rows)");
    use({"optbutongxing", "opt200", "cmdchaxun"});
    EXPECT_EQ(shows(19), "010100 DN1000\t9.09\tkJ/m·h·℃ (20 rows)");
    use({"opttongxing", "opt300350", "cmdchaxun"});
    EXPECT_EQ(shows(6), "001001 DN125\t2.18\tkJ/m·h·℃ (20 rows)");
    EXPECT_EQ(messages.texts.size(), 2);
    use({"查询"});  // once more: the open window comes to the front as it is
    EXPECT_EQ(std::pair(heatLoss, shows(6)), std::pair(window, QString("001001 DN125\t2.18\tkJ/m·h·℃ (20 rows)")));
}

TEST_F(HeatLossWindow, HandsTheValueOfTheLastClickToTheSegmentCalculationAndOpensAfresh)
{
    // The worked design typed in, its unit heat loss taken from the window: DN200, overhead, 200℃<t≤300℃.
    for (const auto& [name, text] : {std::pair{"Text1", "1"}, {"Text2", "250"}, {"Text4", "10"}, {"Text7", "250"},
                                     {"Text8", "0.2"}, {"Text9", "0.2"}, {"Text10", "1"}, {"Text11", "20"}, {"Text12", "5"}})
        QTest::keyClicks(at(name), text);
    at<QComboBox>("Combo3")->setCurrentIndex(13);  // DN200, 219 x 6
    EXPECT_EQ(shown("Text6"), "74.501");
    use({"查询", "optjiakong", "opt200300", "cmdchaxun", "row 8", "cmdtuichu"});
    EXPECT_EQ(std::pair(shown("Combo6"), visibleWindows("frmresunshi").size()), std::pair(QString("3.02"), qsizetype(0)));
    click("Command5");
    EXPECT_EQ(shown("Text22"), "末端压力 0.978 MPa\n末端温度 240.801 ℃\n管段热损失 56.718 kW\n"
                               "管段温度降 9.199 ℃\n每km温度降 36.796 ℃\n平均比摩阻 89.525 Pa/m");
    EXPECT_EQ(window.steamState().liuliang, 10.0f);      // the window's own state took the design flow
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the wait cursor is gone again

    // Every opening starts afresh: no option, no row, no value; a laying alone is no temperature band.
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

}  // namespace dorvent
