#include "mainwin/messageservice.h"

#include <QApplication>
#include <QMessageBox>

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

}  // namespace dorvent
