#include <gtest/gtest.h>

#include <QApplication>

#include "mainwin/messageservice.h"

namespace {

/// A message no test asked for fails the test instead of blocking it on a modal box.
class UnexpectedMessages : public dorvent::MessageService {
public:
    void show(const QString& text, const QString& title) override
    {
        ADD_FAILURE() << "unexpected message \"" << text.toStdString() << "\" titled " << title.toStdString();
    }
    dorvent::SaveChoice askToSave(const QString& text, const QString& title) override
    {
        show(text, title);
        return dorvent::SaveChoice::cancel;
    }
};

}  // namespace

// One QApplication for every window test. The windows are drawn offscreen unless
// QT_QPA_PLATFORM names another platform, so the tests need no display, not even to be listed.
int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    UnexpectedMessages unexpected;
    dorvent::installMessageService(&unexpected);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
