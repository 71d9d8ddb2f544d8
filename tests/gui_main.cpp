#include <gtest/gtest.h>

#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstring>

#include "mainwin/messageservice.h"

/// A message no test asked for fails the test instead of blocking it on a modal box.
struct UnexpectedMessages : dorvent::MessageService {
    void show(const QString& text, const QString& title) override
    {
        ADD_FAILURE() << "unexpected message \"" << text.toStdString() << "\" titled " << title.toStdString();
    }
};

// One QApplication for every window test. The windows are drawn offscreen unless
// QT_QPA_PLATFORM names another platform, so the tests need no display, not even to be listed.
// ctest runs them once more under a German locale, where typed and shown numbers keep their points.
int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("DORVENT_EXPECT_LOCALE_COMMA") && std::strcmp(std::localeconv()->decimal_point, ",") != 0) {
        std::fputs("the German locale did not take effect\n", stderr);
        return 1;
    }
    UnexpectedMessages unexpected;
    dorvent::installMessageService(&unexpected);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
