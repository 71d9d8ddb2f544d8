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

/// The main window with its heat-loss window opened through "查询".
struct HeatLossRoundTrip {
    frmdorvent main;
    QComboBox* combo6 = control<QComboBox>(main, "Combo6");

    QWidget& open()
    {
        control<QPushButton>(main, "Command1")->click();
        QWidget* window = visibleWindow("frmresunshi");
        if (window == nullptr) throw std::runtime_error("no heat-loss window");
        return *window;
    }
};

/// Chooses a laying method and a temperature band and presses "查询"; the list it fills.
QListWidget* query(QWidget& window, const char* laying, const char* band)
{
    control<QRadioButton>(window, laying)->click();
    control<QRadioButton>(window, band)->click();
    control<QPushButton>(window, "cmdchaxun")->click();
    return control<QListWidget>(window, "lstresunshi");
}

void clickRow(QWidget& window, int row)
{
    auto* list = control<QListWidget>(window, "lstresunshi");
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

TEST(HeatLossWindow, ListsTwentyRowsOfTheChosenLayingAndBand)
{
    RecordingMessages messages;
    HeatLossRoundTrip trip;
    QWidget& window = trip.open();
    EXPECT_EQ(window.windowTitle(), "保温蒸汽管道单位热损失");
    auto* list = control<QListWidget>(window, "lstresunshi");

    control<QPushButton>(window, "cmdchaxun")->click();  // nothing chosen yet: asks, lists nothing
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(messages.texts, QStringList({"请先选择敷设方式"}));

    query(window, "optjiakong", "opt200300");
    ASSERT_EQ(list->count(), 20);
    EXPECT_EQ(list->item(0)->text(), "DN25\t1.26\tkJ/m·h·℃");
    EXPECT_EQ(list->item(8)->text(), "DN200\t3.02\tkJ/m·h·℃");

    query(window, "optbutongxing", "opt200");
    ASSERT_EQ(list->count(), 20);
    EXPECT_EQ(list->item(19)->text(), "DN1000\t9.09\tkJ/m·h·℃");

    query(window, "opttongxing", "opt300350");
    EXPECT_EQ(list->item(0)->text(), "DN25\t1.26\tkJ/m·h·℃");
    EXPECT_EQ(control<QLabel>(window, "Label1")->text(), "数据摘自《热能工程设计手册》275页 表4-37");
}

TEST(HeatLossWindow, HandsTheClickedValueToTheMainWindowOnExit)
{
    HeatLossRoundTrip trip;
    {
        QWidget& window = trip.open();
        EXPECT_EQ(query(window, "optjiakong", "opt200")->item(6)->text(), "DN125\t2.30\tkJ/m·h·℃");
        clickRow(window, 6);
        control<QPushButton>(window, "cmdtuichu")->click();
    }
    EXPECT_EQ(trip.combo6->currentText(), "2.3");  // listed as 2.30, handed back as 2.3
    EXPECT_EQ(visibleWindow("frmresunshi"), nullptr);

    {
        QWidget& window = trip.open();  // opens afresh: nothing chosen, no row clicked
        EXPECT_FALSE(control<QRadioButton>(window, "optjiakong")->isChecked());
        EXPECT_EQ(control<QListWidget>(window, "lstresunshi")->count(), 0);
        control<QPushButton>(window, "cmdtuichu")->click();
    }
    EXPECT_EQ(trip.combo6->currentText(), "0");

    for (int exits = 0; exits < 2; ++exits) {
        QWidget& window = trip.open();
        query(window, "optjiakong", "opt200");
        clickRow(window, 5);  // DN100
        control<QPushButton>(window, "cmdtuichu")->click();
    }
    QStringList entries;
    for (int i = 0; i < trip.combo6->count(); ++i) entries << trip.combo6->itemText(i);
    EXPECT_EQ(entries, QStringList({"2.3", "0", "2.01", "2.01"}));
    EXPECT_EQ(trip.combo6->currentIndex(), 3);
}

TEST(HeatLossWindow, ARowClickReadsTheOptionsChosenAtTheClick)
{
    HeatLossRoundTrip trip;
    QWidget& window = trip.open();
    EXPECT_EQ(query(window, "optjiakong", "opt200")->item(0)->text(), "DN25\t1.17\tkJ/m·h·℃");
    clickRow(window, 0);
    control<QRadioButton>(window, "opttongxing")->click();  // other options, no new query
    control<QRadioButton>(window, "opt300350")->click();
    clickRow(window, 0);
    control<QPushButton>(window, "cmdtuichu")->click();
    EXPECT_EQ(trip.combo6->currentText(), "1.26");
}

TEST(HeatLossWindow, OpensOnceAndComesToTheFront)
{
    HeatLossRoundTrip trip;
    QWidget& first = trip.open();
    QWidget& second = trip.open();
    EXPECT_EQ(&first, &second);
    int open = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        open += window->objectName() == "frmresunshi" && window->isVisible() ? 1 : 0;
    }
    EXPECT_EQ(open, 1);
}

TEST(VelocityRangeWindow, ShowsTheThreeBandsInColumnsAtEveryActivation)
{
    const QStringList lines = frmliusufanwei::ranges().split("\r\n");
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith(" DN>200 "));
    EXPECT_TRUE(lines[2].startsWith(" DN<100 "));
    for (const QString& line : lines) {
        EXPECT_EQ(line.size(), 25) << line.toStdString();
        EXPECT_EQ(line.indexOf("m/s"), 22);
    }

    frmliusufanwei window;
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto* box = control<QPlainTextEdit>(window, "RichTextBox1");
    EXPECT_EQ(box->toPlainText(), QString(frmliusufanwei::ranges()).replace("\r\n", "\n"));
    const QFontMetrics metrics(box->font());
    EXPECT_EQ(metrics.horizontalAdvance(' '), metrics.horizontalAdvance('0'));
    EXPECT_EQ(metrics.horizontalAdvance('1'), metrics.horizontalAdvance('~'));

    box->setPlainText("typed over");
    QApplication::setActiveWindow(nullptr);
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(box->toPlainText(), QString(frmliusufanwei::ranges()).replace("\r\n", "\n"));
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
