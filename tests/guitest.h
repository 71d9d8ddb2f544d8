#pragma once

#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>
#include <functional>

#include "mainwin/frmdorvent.h"
#include "mainwin/messageservice.h"

namespace dorvent {

/// Collects the messages the windows show instead of opening modal boxes, for as long as it lives.
/// Without one, a message fails the test (see gui_main.cpp).
class RecordingMessages : public MessageService {
public:
    RecordingMessages() : previous_(installMessageService(this)) {}
    ~RecordingMessages() override { installMessageService(previous_); }
    void show(const QString& text, const QString& title) override { texts << text, titles << title; }

    QStringList texts, titles;

private:
    MessageService* previous_;
};

/// Lets the program's real modal message boxes open, and closes each one with OK a moment later,
/// keeping its text: the box takes the activation and the focus as it does for the user, and
/// gives them back to the window it was opened over.
class ClosingMessageBoxes {
public:
    ClosingMessageBoxes() : previous_(installMessageService(nullptr))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isActiveWindow()) return;  // not until it has taken the activation
            texts << box->text();
            if (whileOpen) whileOpen();
            QWidget* back = box->parentWidget() != nullptr ? box->parentWidget()->window() : nullptr;
            box->accept();
            QApplication::setActiveWindow(back);  // as a window manager hands the activation back
        });
        timer_.start(20);
    }
    ~ClosingMessageBoxes() { installMessageService(previous_); }

    QStringList texts;
    std::function<void()> whileOpen;  ///< runs while each box is open

private:
    MessageService* previous_;
    QTimer timer_;
};

/// The named control under root; the test fails if there is none.
template <typename Widget = QWidget>
Widget* control(const QObject& root, const char* name)
{
    auto* widget = root.findChild<Widget*>(QString::fromLatin1(name));
    if (widget == nullptr) ADD_FAILURE() << "no control " << name;
    return widget;
}

/// The visible top-level windows with the given name.
inline QWidgetList visibleWindows(const char* name)
{
    QWidgetList windows = QApplication::topLevelWidgets();
    windows.removeIf([name](QWidget* w) { return w->objectName() != QLatin1String(name) || !w->isVisible(); });
    return windows;
}

/// A shown main window, reached by the names of its controls.
class MainWindow : public ::testing::Test {
protected:
    MainWindow() { window.show(); }

    template <typename Widget = QWidget>
    Widget* at(const char* name) { return control<Widget>(window, name); }
    void click(const char* name) { at<QAbstractButton>(name)->click(); }
    /// What the named box or list shows.
    QString shown(const char* name)
    {
        QWidget* widget = at(name);
        if (auto* list = qobject_cast<QComboBox*>(widget)) return list->currentText();
        if (auto* box = qobject_cast<QPlainTextEdit*>(widget)) return box->toPlainText();
        return qobject_cast<QLineEdit*>(widget)->text();
    }
    /// Sets each named box to its text at once, as a paste does.
    void fill(std::initializer_list<std::pair<const char*, const char*>> texts)
    {
        for (const auto& [name, text] : texts) at<QLineEdit>(name)->setText(text);
    }
    /// Presses "查询" and returns the heat-loss window, which is then open once.
    QWidget* openHeatLoss()
    {
        click("Command1");
        const QWidgetList open = visibleWindows("frmresunshi");
        EXPECT_EQ(open.size(), 1);
        return open.value(0);
    }
    /// Types over the wall thickness, key by key.
    void typeWall(const QString& keys)
    {
        wall->lineEdit()->setFocus();
        wall->lineEdit()->selectAll();
        QTest::keyClicks(wall->lineEdit(), keys);
    }

    frmdorvent window;
    QComboBox* wall = at<QComboBox>("Combo5");
};

}  // namespace dorvent
