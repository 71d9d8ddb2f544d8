// Random use of the whole program, offscreen, with a fixed seed: keystrokes and pastes of hostile
// texts into every editable box, selections in every list, every button and menu, the heat-loss
// window opened and left in any order. After every step the windows must still be whole.

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <random>

#include "guitest.h"
#include "mainwin/frmdorvent.h"
#include "tests/shapes.h"

namespace dorvent {
namespace {

const QStringList kTexts = {
    "1", "250", "10", "0", "-5", "1e400", "-1e400", "1e-400", "1e39", "abc", "", "   ", ".", "-", "1e",
    "0.5", "100", "2000", "800", "1D3", "&H10", "nan", "inf", "３", QString(300, '9'), "1" + QString(50, '0'),
    "0.2", "3.02", "20", "5", "54", "60", "-1", "1e-300", "99.6", "150.5", "3276600", "4.5", QStringLiteral("压力\t1"),
    QString::fromUtf8("1\0" "2", 3), "\xff",
};
const QString kKeys = "0123456789.-+eEdD xa";

/// The fixed seed, or another one from STRESS_SEED for a run by hand.
unsigned seed()
{
    const int chosen = qEnvironmentVariableIntValue("STRESS_SEED");
    return chosen != 0 ? static_cast<unsigned>(chosen) : 20261206u;
}

bool clean(const QString& text) { return !text.contains("inf") && !text.contains("nan"); }

class Stress {
public:
    Stress()
    {
        main_.show();
        for (const char* name : {"Text1", "Text2", "Text4", "Text7", "Text8", "Text9", "Text10", "Text11", "Text12"}) {
            editable_ << control<QLineEdit>(main_, name);
        }
        editable_ << control<QComboBox>(main_, "Combo5")->lineEdit() << control<QComboBox>(main_, "Combo6")->lineEdit();
        for (int i = 1; i <= 6; ++i) lists_ << main_.findChild<QComboBox*>(QStringLiteral("Combo%1").arg(i));
        for (const char* name : {"Command1", "Command2", "Command3", "Command4", "Command5"}) {
            buttons_ << control<QPushButton>(main_, name);
        }
    }

    void step()
    {
        if (!main_.isVisible()) main_.show();
        switch (pick(11)) {
        case 10: fillDesign(); break;
        case 0: case 1: case 2: typeKey(); break;
        case 3: paste(); break;
        case 4: case 5: chooseInList(); break;
        case 6: case 7: pick(buttons_)->click(); break;
        case 8: useMenu(); break;
        default: useHeatLossWindow(); break;
        }
    }

    void checkWhole(int step)
    {
        SCOPED_TRACE("step " + std::to_string(step));
        for (const char* name : {"Combo3", "Combo4", "Combo5"}) ASSERT_EQ(control<QComboBox>(main_, name)->count(), 23);
        ASSERT_EQ(control<QComboBox>(main_, "Combo1")->count(), 3);
        ASSERT_EQ(control<QComboBox>(main_, "Combo1")->itemText(2), "kgf/cm2");
        ASSERT_EQ(control<QComboBox>(main_, "Combo2")->count(), 2);

        const QString report = control<QPlainTextEdit>(main_, "Text3")->toPlainText();
        if (report.startsWith("蒸汽属于区域")) ++evaluated;
        ASSERT_TRUE(report.isEmpty() || shapes::isStateReport(QString(report).replace("\n", "\r\n").toStdString()))
            << report.toStdString();
        for (const char* name : {"Text5", "Text6"}) {
            const QString result = control<QLineEdit>(main_, name)->text();
            ASSERT_TRUE(result.isEmpty() || shapes::isFixed(result.toStdString(), 3)) << result.toStdString();
        }
        const QString segment = control<QPlainTextEdit>(main_, "Text22")->toPlainText();
        ASSERT_TRUE(clean(segment)) << segment.toStdString();
        ASSERT_TRUE(segment.count('\n') == 0 ||
                    shapes::isSegmentReport(QString(segment).replace("\n", "\r\n").toStdString()))
            << segment.toStdString();
        if (segment.count('\n') == 5) ++segments;
        auto* proposals = control<QListWidget>(main_, "List1");
        if (proposals->count() > 0) ++proposed;
        for (int i = 0; i < proposals->count(); ++i) {
            ASSERT_TRUE(shapes::isProposalRow(proposals->item(i)->text().toStdString()));
        }
        for (const QString& message : messages_.texts) ASSERT_TRUE(clean(message)) << message.toStdString();
    }

    int messages() const { return static_cast<int>(messages_.texts.size()); }

    // Steps after which the boxes showed an evaluated state, a proposal and a segment result.
    int evaluated = 0;
    int proposed = 0;
    int segments = 0;

private:
    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
    template <typename T>
    T pick(const QList<T>& items)
    {
        return items[pick(static_cast<int>(items.size()))];
    }

    /// A workable design, so that the random steps also start from states that compute.
    void fillDesign()
    {
        const char* const values[][2] = {{"Text1", "1"},   {"Text2", "250"},  {"Text4", "10"},  {"Text7", "250"},
                                         {"Text8", "0.2"}, {"Text9", "0.2"},  {"Text10", "1"},  {"Text11", "20"},
                                         {"Text12", "5"}};
        for (const auto& [name, text] : values) control<QLineEdit>(main_, name)->setText(text);
        control<QComboBox>(main_, "Combo1")->setCurrentIndex(0);
        control<QComboBox>(main_, "Combo2")->setCurrentIndex(0);
        control<QComboBox>(main_, "Combo3")->setCurrentIndex(10 + pick(8));
        control<QComboBox>(main_, "Combo6")->setEditText("3.02");
    }

    void typeKey()
    {
        QLineEdit* box = pick(editable_);
        const int key = pick(static_cast<int>(kKeys.size()) + 2);
        if (key == kKeys.size()) {
            QTest::keyClick(box, Qt::Key_Backspace);
        } else if (key == kKeys.size() + 1) {
            QTest::keyClick(box, Qt::Key_Return);
        } else {
            QTest::keyClicks(box, QString(kKeys[key]));
        }
    }

    void paste()
    {
        QLineEdit* box = pick(editable_);
        box->selectAll();
        box->insert(pick(kTexts));  // what a paste over the selection does
    }

    void chooseInList()
    {
        QComboBox* list = pick(lists_);
        if (list->count() > 0) list->setCurrentIndex(pick(list->count()));
    }

    void useMenu()
    {
        if (pick(2) == 0) {
            control<QAction>(main_, "m22")->trigger();
            return;
        }
        QTimer::singleShot(0, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
        });
        control<QAction>(main_, pick(3) == 0 ? "m11" : "m21")->trigger();
    }

    void useHeatLossWindow()
    {
        QWidget* window = visibleWindow("frmresunshi");
        if (window == nullptr) {
            control<QPushButton>(main_, "Command1")->click();
            return;
        }
        static const char* const options[] = {"optjiakong", "optbutongxing", "opttongxing", "opt200", "opt200300", "opt300350"};
        auto* list = control<QListWidget>(*window, "lstresunshi");
        switch (pick(5)) {
        case 0: control<QRadioButton>(*window, options[pick(6)])->click(); break;
        case 1: control<QPushButton>(*window, "cmdchaxun")->click(); break;
        case 2:
            if (list->count() > 0) list->setCurrentRow(pick(list->count()));
            break;
        case 3: control<QPushButton>(*window, "cmdtuichu")->click(); break;
        default: window->close(); break;
        }
    }

    RecordingMessages messages_;
    frmdorvent main_;
    std::mt19937 random_{seed()};
    QList<QLineEdit*> editable_;
    QList<QComboBox*> lists_;
    QList<QPushButton*> buttons_;
};

TEST(Stress, ThreeThousandRandomStepsLeaveTheWindowsWhole)
{
    Stress stress;
    constexpr int steps = 3000;
    for (int step = 0; step < steps; ++step) {
        stress.step();
        stress.checkWhole(step);
        if (testing::Test::HasFatalFailure()) return;
    }
    // The steps reached the refusals and the computed results alike.
    EXPECT_GT(stress.messages(), 0);
    EXPECT_GT(stress.evaluated, 0);
    EXPECT_GT(stress.proposed, 0);
    EXPECT_GT(stress.segments, 0);
    std::printf("%d steps: %d messages; after %d steps an evaluated state, %d a proposal, %d a segment result\n",
                steps, stress.messages(), stress.evaluated, stress.proposed, stress.segments);
}

}  // namespace
}  // namespace dorvent
