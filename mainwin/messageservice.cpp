#include "mainwin/messageservice.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace dorvent {
namespace {

class MessageBoxes : public MessageService {
public:
    void show(const QString& text, const QString& title) override
    {
        QMessageBox box(QMessageBox::NoIcon, title, QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                        QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    }

    SaveChoice askToSave(const QString& text, const QString& title) override
    {
        QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                        QApplication::activeWindow());
        box.button(QMessageBox::Save)->setText(QStringLiteral("保存"));
        box.button(QMessageBox::Discard)->setText(QStringLiteral("不保存"));
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
        box.setDefaultButton(QMessageBox::Save);
        switch (box.exec()) {
        case QMessageBox::Save: return SaveChoice::save;
        case QMessageBox::Discard: return SaveChoice::discard;
        default: return SaveChoice::cancel;
        }
    }

    bool askToRecover(const QString& text, const QString& title) override
    {
        QMessageBox box(QMessageBox::Question, title, QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                        QMessageBox::NoButton, QApplication::activeWindow());
        QPushButton* recover = box.addButton(QStringLiteral("恢复"), QMessageBox::AcceptRole);
        box.addButton(QStringLiteral("放弃"), QMessageBox::DestructiveRole);
        box.setDefaultButton(recover);
        box.exec();
        return box.clickedButton() == recover;
    }
};

MessageBoxes messageBoxes;
MessageService* installed = &messageBoxes;

}  // namespace

MessageService* installMessageService(MessageService* service)
{
    MessageService* previous = installed;
    installed = service != nullptr ? service : &messageBoxes;
    return previous;
}

void showMessage(const QString& text, const QString& title) { installed->show(text, title); }

SaveChoice askToSave(const QString& text, const QString& title) { return installed->askToSave(text, title); }

bool askToRecover(const QString& text, const QString& title) { return installed->askToRecover(text, title); }

}  // namespace dorvent
