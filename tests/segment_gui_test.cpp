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

// The calculation and its guards are tested in segment_test.cpp; here, what Command5 reads and where it writes.
TEST(SegmentWindow, WritesTheMessageOrTheResultIntoTheResultBoxOnly)
{
    RecordingMessages messages;
    frmdorvent window;
    window.show();
    auto* results = control<QPlainTextEdit>(window, "Text22");
    control<QPushButton>(window, "Command5")->click();
    EXPECT_EQ(results->toPlainText(), "请输入管道规格");

    // The worked design typed in, its unit heat loss handed over from the heat-loss window.
    for (const auto& [name, text] : {std::pair{"Text1", "1"}, {"Text2", "250"}, {"Text4", "10"}, {"Text7", "250"},
                                     {"Text8", "0.2"}, {"Text9", "0.2"}, {"Text10", "1"}, {"Text11", "20"},
                                     {"Text12", "5"}}) {
        QTest::keyClicks(control<QLineEdit>(window, name), text);
    }
    control<QComboBox>(window, "Combo3")->setCurrentIndex(13);  // DN200, 219 x 6
    EXPECT_EQ(control<QLineEdit>(window, "Text6")->text(), "74.501");
    control<QPushButton>(window, "Command1")->click();
    QWidget* heatLoss = visibleWindow("frmresunshi");
    ASSERT_NE(heatLoss, nullptr);
    control<QRadioButton>(*heatLoss, "optjiakong")->click();
    control<QRadioButton>(*heatLoss, "opt200300")->click();
    control<QPushButton>(*heatLoss, "cmdchaxun")->click();
    auto* list = control<QListWidget>(*heatLoss, "lstresunshi");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(8)).center());
    control<QPushButton>(*heatLoss, "cmdtuichu")->click();
    EXPECT_EQ(control<QComboBox>(window, "Combo6")->currentText(), "3.02");  // DN200, 200℃<t≤300℃

    control<QPushButton>(window, "Command5")->click();
    EXPECT_EQ(results->toPlainText(), "末端压力 0.978 MPa\n末端温度 240.801 ℃\n管段热损失 56.718 kW\n"
                                      "管段温度降 9.199 ℃\n每km温度降 36.796 ℃\n平均比摩阻 89.525 Pa/m");
    EXPECT_EQ(window.steamState().liuliang, 10.0f);      // the window's own state took the design flow
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the wait cursor is gone again
    EXPECT_TRUE(messages.texts.isEmpty());
}

}  // namespace
}  // namespace dorvent
