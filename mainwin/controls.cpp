#include "mainwin/controls.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "mainwin/songfont.h"

namespace dorvent {
namespace {

template <typename Widget>
Widget* makeControl(QWidget* parent, const char* name, double pointSize = kMainFontSize)
{
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setFont(songFont(pointSize));
    return widget;
}

void place(QWidget* widget, Twips at) { placeTwips(widget, at.left, at.top, at.width, at.height); }

}  // namespace

QGroupBox* makeFrame(QWidget* parent, const char* name, const QString& caption, Twips at)
{
    auto* frame = makeControl<QGroupBox>(parent, name, kFrameFontSize);
    frame->setTitle(caption);
    place(frame, at);
    return frame;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, int left, int top, double pointSize)
{
    auto* label = makeControl<QLabel>(parent, name, pointSize);
    label->setText(caption);
    label->move(twips(left), twips(top));
    label->adjustSize();
    return label;
}

QLineEdit* makeTextBox(QWidget* parent, const char* name, Twips at, bool readOnly)
{
    auto* box = makeControl<QLineEdit>(parent, name);
    box->setReadOnly(readOnly);
    place(box, at);
    return box;
}

QPlainTextEdit* makeResultBox(QWidget* parent, const char* name, Twips at)
{
    auto* box = makeControl<QPlainTextEdit>(parent, name, kResultFontSize);
    box->setReadOnly(true);
    box->setTabChangesFocus(true);
    place(box, at);
    return box;
}

QComboBox* makeList(QWidget* parent, const char* name, Twips at, bool editable)
{
    auto* list = makeControl<QComboBox>(parent, name);
    if (editable) {
        list->setEditable(true);
        list->setCompleter(nullptr);
        list->setInsertPolicy(QComboBox::NoInsert);
        // Typed text is no pick: the list would otherwise select the entry whose text equals it
        // when Enter is pressed or the focus leaves, also for a message box that opens meanwhile.
        QObject::disconnect(list->lineEdit(), &QLineEdit::editingFinished, list, nullptr);
        QObject::disconnect(list->lineEdit(), &QLineEdit::returnPressed, list, nullptr);
    }
    place(list, at);
    return list;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, Twips at)
{
    auto* button = makeControl<QPushButton>(parent, name);
    button->setText(caption);
    button->setAutoDefault(false);
    place(button, at);
    return button;
}

void fillList(QComboBox* list, const QStringList& entries)
{
    const QSignalBlocker quiet(list);
    list->addItems(entries);
    list->setCurrentIndex(-1);
}

}  // namespace dorvent
