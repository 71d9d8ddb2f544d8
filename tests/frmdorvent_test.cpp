#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "mainwin/frmdorvent.h"
#include "mainwin/stateevaluation.h"

namespace dorvent {
namespace {

template <typename Widget>
Widget* control(QWidget& window, const char* name)
{
    auto* widget = window.findChild<Widget*>(QString::fromLatin1(name));
    if (widget == nullptr) ADD_FAILURE() << "no control " << name;
    return widget;
}

/// What the report box shows for a report: its lines, one per paragraph.
QString shown(const std::string& report) { return QString::fromStdString(report).replace("\r\n", "\n"); }

TEST(MainWindow, StartsWithUnitsChosenAndAskingForThePressure)
{
    frmdorvent window;
    EXPECT_EQ(window.objectName(), "frmdorvent");
    EXPECT_EQ(window.windowTitle(), "Dorvent");
    EXPECT_EQ(control<QComboBox>(window, "Combo1")->currentText(), "MPa");
    EXPECT_EQ(control<QComboBox>(window, "Combo1")->count(), 3);
    EXPECT_EQ(control<QComboBox>(window, "Combo2")->currentText(), "℃");
    EXPECT_EQ(control<QPlainTextEdit>(window, "Text3")->toPlainText(), "请输入压力");
    EXPECT_EQ(window.steamState().area, region::none);
}

TEST(MainWindow, TypingPressureAndTemperatureShowsTheReport)
{
    frmdorvent window;
    window.show();
    auto* text3 = control<QPlainTextEdit>(window, "Text3");

    QTest::keyClicks(control<QLineEdit>(window, "Text1"), "1");
    EXPECT_EQ(text3->toPlainText(), " 请输入温度");
    QTest::keyClicks(control<QLineEdit>(window, "Text2"), "250");

    std::int16_t area = 0;
    std::string expected;
    SteamState scratch;
    qiuzhuangtai(523.15, 1.0, area, expected, scratch);
    EXPECT_EQ(text3->toPlainText(), shown(expected));
    EXPECT_TRUE(text3->toPlainText().startsWith("蒸汽属于区域2：过热蒸汽\n蒸汽密度 "));
    EXPECT_EQ(window.steamState().area, region::steam);
    EXPECT_EQ(window.steamState().p, 1.0);

    // A unit choice re-evaluates the same typed numbers at once.
    control<QComboBox>(window, "Combo2")->setCurrentIndex(1);  // K: 250 K is below the range
    EXPECT_EQ(text3->toPlainText(), " 温度过低");
    EXPECT_EQ(window.steamState().area, region::none);
    control<QComboBox>(window, "Combo1")->setCurrentIndex(1);  // kPa
    EXPECT_EQ(window.steamState().p, 0.001);
}

}  // namespace
}  // namespace dorvent
