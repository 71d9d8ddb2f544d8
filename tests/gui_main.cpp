#include <gtest/gtest.h>

#include <QApplication>

// One QApplication for every window test. The windows are drawn offscreen unless
// QT_QPA_PLATFORM names another platform, so the tests need no display, not even to be listed.
int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
