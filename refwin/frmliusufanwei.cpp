#include "refwin/frmliusufanwei.h"

#include <QEvent>
#include <QPlainTextEdit>
#include <QPushButton>

#include "mainwin/controls.h"
#include "mainwin/songfont.h"

namespace dorvent {

frmliusufanwei::frmliusufanwei(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmliusufanwei"));
    setWindowTitle(QStringLiteral("过热蒸汽流速允许范围"));
    setFont(songFont(kMainFontSize));
    setFixedSize(twips(4680), twips(3090));

    RichTextBox1 = new QPlainTextEdit(this);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox1->setFont(songFixedFont(9.0));
    RichTextBox1->setTabChangesFocus(true);
    placeTwips(RichTextBox1, 240, 240, 4095, 2055);
    Command1 = makeButton(this, "Command1", QStringLiteral("确定"), {1560, 2520, 1455, 495});
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);
}

QString frmliusufanwei::ranges()
{
    // Each line 25 characters, so that the velocities line up in a fixed-width face.
    return QStringLiteral(" DN>200          40~60m/s\r\n"
                          " 100<=DN<=200    30~50m/s\r\n"
                          " DN<100          20~40m/s");
}

void frmliusufanwei::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) Form_Activate();
}

void frmliusufanwei::Form_Activate() { RichTextBox1->setPlainText(ranges()); }

}  // namespace dorvent
