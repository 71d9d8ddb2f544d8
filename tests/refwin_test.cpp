#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "guitest.h"
#include "mainwin/frmdorvent.h"
#include "refwin/frmliusufanwei.h"

namespace dorvent {
namespace {

/// The main window and its heat-loss window, driven through their buttons.
struct HeatLossRoundTrip {
    RecordingMessages messages;
    frmdorvent main;
    QComboBox* combo6 = control<QComboBox>(main, "Combo6");
    QWidget* window = nullptr;
    QListWidget* list = nullptr;

    QWidget& open()  // "查询" in the main window
    {
        control<QPushButton>(main, "Command1")->click();
        window = visibleWindow("frmresunshi");
        if (window == nullptr) throw std::runtime_error("no heat-loss window");
        list = control<QListWidget>(*window, "lstresunshi");
        return *window;
    }
    void press(const char* name) { control<QAbstractButton>(*window, name)->click(); }
    QString query(const char* laying, const char* band, int row)  // the listed text of row
    {
        press(laying);
        press(band);
        press("cmdchaxun");
        return list->count() == 20 ? list->item(row)->text() : QString("%1 rows").arg(list->count());
    }
    void click(int row)
    {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    }
};

TEST(HeatLossWindow, AsksForTheOptionsThenListsTheColumnOfTheChosenLayingAndBand)
{
    HeatLossRoundTrip trip;
    QWidget& window = trip.open();
    EXPECT_EQ(window.windowTitle(), "保温蒸汽管道单位热损失");
    EXPECT_EQ(control<QLabel>(window, "Label1")->text(), "数据摘自《热能工程设计手册》275页 表4-37");
    trip.press("cmdchaxun");
    trip.press("opttongxing");
    trip.press("cmdchaxun");
    EXPECT_EQ(trip.messages.texts, QStringList({"请先选择敷设方式", "请先选择蒸汽温度"}));
    EXPECT_EQ(trip.list->count(), 0);

    // Each value below stands in one laying table and one band column only.
    EXPECT_EQ(trip.query("optjiakong", "opt200300", 8), "DN200\t3.02\tkJ/m·h·℃");
    EXPECT_EQ(trip.query("optbutongxing", "opt200", 19), "DN1000\t9.09\tkJ/m·h·℃");
    EXPECT_EQ(trip.query("opttongxing", "opt300350", 6), "DN125\t2.18\tkJ/m·h·℃");
    EXPECT_EQ(trip.messages.texts.size(), 2);
}

TEST(HeatLossWindow, HandsTheValueOfTheLastClickToTheMainWindowOnExit)
{
    HeatLossRoundTrip trip;
    trip.open();
    EXPECT_EQ(trip.query("optjiakong", "opt200", 6), "DN125\t2.30\tkJ/m·h·℃");
    trip.click(6);
    trip.press("cmdtuichu");
    EXPECT_EQ(trip.combo6->currentText(), "2.3");  // listed as 2.30, handed back as 2.3
    EXPECT_EQ(visibleWindow("frmresunshi"), nullptr);

    QWidget& window = trip.open();  // opens afresh: nothing chosen, no row clicked
    EXPECT_FALSE(control<QRadioButton>(window, "optjiakong")->isChecked());
    EXPECT_EQ(trip.list->count(), 0);
    trip.press("cmdtuichu");
    EXPECT_EQ(trip.combo6->currentText(), "0");

    // A click on a listed row reads the options chosen at the click, though not queried.
    trip.open();
    trip.query("optjiakong", "opt200", 6);
    trip.click(6);
    trip.press("opttongxing");
    trip.press("opt300350");
    trip.click(6);
    trip.press("cmdtuichu");
    EXPECT_EQ(trip.combo6->currentText(), "2.18");

    trip.open();  // afresh again, and every exit adds an entry, equal or not
    trip.press("cmdtuichu");
    QStringList entries;
    for (int i = 0; i < trip.combo6->count(); ++i) entries << trip.combo6->itemText(i);
    EXPECT_EQ(entries, QStringList({"2.3", "0", "2.18", "0"}));
    EXPECT_EQ(trip.combo6->currentIndex(), 3);
}

TEST(HeatLossWindow, OpensOnceAndComesToTheFront)
{
    HeatLossRoundTrip trip;
    EXPECT_EQ(&trip.open(), &trip.open());
    int open = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) open += w->objectName() == "frmresunshi" && w->isVisible();
    EXPECT_EQ(open, 1);
}

TEST(VelocityRangeWindow, ShowsTheThreeBandsInColumnsAtEveryActivation)
{
    // 25 characters a line, so that the velocities line up in the fixed-width face.
    EXPECT_EQ(frmliusufanwei::ranges(),
              " DN>200          40~60m/s\r\n 100<=DN<=200    30~50m/s\r\n DN<100          20~40m/s");
    frmliusufanwei window;
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto* box = control<QPlainTextEdit>(window, "RichTextBox1");
    const QString shown = QString(frmliusufanwei::ranges()).replace("\r\n", "\n");
    EXPECT_EQ(box->toPlainText(), shown);
    const QFontMetrics metrics(box->font());
    EXPECT_EQ(metrics.horizontalAdvance(' '), metrics.horizontalAdvance('0'));
    EXPECT_EQ(metrics.horizontalAdvance('1'), metrics.horizontalAdvance('~'));

    box->setPlainText("typed over");
    QApplication::setActiveWindow(nullptr);
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(box->toPlainText(), shown);
}

TEST(VelocityRangeWindow, OpensModallyFromTheHelpMenuAndClosesOnOk)
{
    frmdorvent main;
    main.show();
    QString seen;
    QTimer::singleShot(0, [&seen] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) return;
        seen = modal->objectName();
        control<QPushButton>(*modal, "Command1")->click();
    });
    control<QAction>(main, "m21")->trigger();  // returns once the window is closed
    EXPECT_EQ(seen, "frmliusufanwei");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace dorvent
