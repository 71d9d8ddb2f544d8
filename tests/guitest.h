#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "mainwin/messageservice.h"

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

    QStringList texts;
    QStringList titles;

private:
    MessageService* previous_;
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
