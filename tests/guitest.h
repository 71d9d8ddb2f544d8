#pragma once

#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "mainwin/messageservice.h"

/// Failure messages show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace dorvent {

/// Collects the messages the windows show instead of opening modal boxes, for as long as it lives.
class RecordingMessages : public MessageService {
public:
    RecordingMessages() : previous_(installMessageService(this)) {}
    ~RecordingMessages() override { installMessageService(previous_); }

    void show(const QString& text, const QString& title) override
    {
        texts << text;
        titles << title;
    }
    SaveChoice askToSave(const QString& text, const QString& title) override
    {
        show(text, title);
        return answer;
    }

    QStringList texts;
    QStringList titles;
    SaveChoice answer = SaveChoice::cancel;  ///< to every question whether to save

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
            if (box != nullptr && box->isActiveWindow()) {  // once it has taken the activation
                texts << box->text();
                if (whileOpen) whileOpen();
                QWidget* back = box->parentWidget() != nullptr ? box->parentWidget()->window() : nullptr;
                box->accept();
                QApplication::setActiveWindow(back);  // as a window manager hands the activation back
            }
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
template <typename Widget>
Widget* control(const QObject& root, const char* name)
{
    auto* widget = root.findChild<Widget*>(QString::fromLatin1(name));
    if (widget == nullptr) ADD_FAILURE() << "no control " << name;
    return widget;
}

/// The visible top-level window with the given name, or nullptr.
inline QWidget* visibleWindow(const char* name)
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String(name) && window->isVisible()) return window;
    }
    return nullptr;
}

}  // namespace dorvent
