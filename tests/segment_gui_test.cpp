#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "guitest.h"
#include "mainwin/frmdorvent.h"

namespace dorvent {
namespace {

void type(frmdorvent& window, const char* name, const char* text)
{
    QTest::keyClicks(control<QLineEdit>(window, name), text);
}

/// Looks up the unit heat loss in the heat-loss window and hands it back, as a user would.
void lookUpHeatLoss(frmdorvent& window, const char* laying, const char* band, int row)
{
    control<QPushButton>(window, "Command1")->click();
    QWidget* heatLoss = visibleWindow("frmresunshi");
    ASSERT_NE(heatLoss, nullptr);
    control<QRadioButton>(*heatLoss, laying)->click();
    control<QRadioButton>(*heatLoss, band)->click();
    control<QPushButton>(*heatLoss, "cmdchaxun")->click();
    auto* list = control<QListWidget>(*heatLoss, "lstresunshi");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    control<QPushButton>(*heatLoss, "cmdtuichu")->click();
}

TEST(SegmentWindow, WorkedDesignFilledInAsAUserWould)
{
    frmdorvent window;
    window.show();
    type(window, "Text1", "1");
    type(window, "Text2", "250");
    type(window, "Text4", "10");
    control<QComboBox>(window, "Combo3")->setCurrentIndex(13);  // DN200, 219 x 6
    EXPECT_EQ(control<QLineEdit>(window, "Text6")->text(), "74.501");
    type(window, "Text7", "250");
    type(window, "Text8", "0.2");
    type(window, "Text9", "0.2");
    type(window, "Text10", "1");
    type(window, "Text11", "20");
    lookUpHeatLoss(window, "optjiakong", "opt200300", 8);  // DN200, 200℃<t≤300℃: 3.02
    EXPECT_EQ(control<QComboBox>(window, "Combo6")->currentText(), "3.02");
    type(window, "Text12", "5");

    control<QPushButton>(window, "Command5")->click();
    const QStringList lines = control<QPlainTextEdit>(window, "Text22")->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 6) << lines.join('|').toStdString();
    const QStringList labels = {"末端压力 ", "末端温度 ", "管段热损失 ", "管段温度降 ", "每km温度降 ", "平均比摩阻 "};
    const double expected[] = {0.978, 240.801, 56.718, 9.199, 36.796, 89.525};
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(lines[i].startsWith(labels[i])) << lines[i].toStdString();
        const double value = lines[i].mid(labels[i].size()).section(' ', 0, 0).toDouble();
        EXPECT_NEAR(value, expected[i], 0.002) << lines[i].toStdString();
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the wait cursor is gone again
    EXPECT_EQ(window.steamState().liuliang, 10.0f);
}

TEST(SegmentWindow, ReportsMissingInputAndFailuresInTheResultBox)
{
    RecordingMessages messages;
    frmdorvent window;
    window.show();
    auto* results = control<QPlainTextEdit>(window, "Text22");
    results->setPlainText("earlier result");
    control<QPushButton>(window, "Command5")->click();
    EXPECT_EQ(results->toPlainText(), "请输入管道规格");

    type(window, "Text1", "1");
    type(window, "Text2", "185");
    type(window, "Text4", "10");
    control<QComboBox>(window, "Combo3")->setCurrentIndex(13);
    control<QPushButton>(window, "Command5")->click();
    EXPECT_EQ(results->toPlainText(), "请输入管段长度");

    for (const auto& [name, text] : {std::pair{"Text7", "5000"}, {"Text8", "0.2"}, {"Text9", "0.2"},
                                     {"Text10", "1"}, {"Text11", "20"}, {"Text12", "5"}}) {
        type(window, name, text);
    }
    control<QComboBox>(window, "Combo6")->setEditText("3.02");
    control<QPushButton>(window, "Command5")->click();
    EXPECT_EQ(results->toPlainText(), "压降过大，使末端蒸汽不属于过热蒸汽，不能用本程序计算");
    EXPECT_TRUE(messages.texts.isEmpty());
}

}  // namespace
}  // namespace dorvent
