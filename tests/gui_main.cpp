#include <clocale>
#include <cstdio>
#include <string_view>

#include <QSettings>
#include <QStandardPaths>

#include "guitest.h"
#include "netwin/startup.h"

/// A message no test asked for fails the test instead of blocking it on a modal box.
struct UnexpectedMessages : dorvent::RecordingMessages {
    void show(const QString& text, const QString& title) override
    {
        ADD_FAILURE() << "unexpected message \"" << text.toStdString() << "\" titled " << title.toStdString();
    }
};

// One QApplication for every window test, offscreen unless QT_QPA_PLATFORM names another platform: no display
// needed, not even to list them. ctest runs them once more under a German locale: numbers keep their points.
int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings, recent files and recovery copies of the tests' own, never the user's.
    const QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath("config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath("data")));
#ifdef Q_OS_WIN  // where the registry and AppData would hold them
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.filePath("config"));
    QStandardPaths::setTestModeEnabled(true);
    qputenv("QT_QPA_FONTDIR", qgetenv("WINDIR") + "\\Fonts");  // the offscreen platform's, else Qt's own folder
#endif
    QApplication app(argc, argv);
    dorvent::nameTheProgram();
    if (qEnvironmentVariableIsSet("DORVENT_EXPECT_LOCALE_COMMA") && std::string_view(std::localeconv()->decimal_point) != ",")
        qFatal("the German locale did not take effect");
    const UnexpectedMessages unexpected;  // answers Cancel to every question, and recovers nothing
    testing::InitGoogleTest(&argc, argv);
    // The examples are read, never written: a test that saves there, or leaves a dialog there, fails the run.
    const auto examples = [] {
        QStringList files;
        for (const QFileInfo& file : QDir(DORVENT_EXAMPLES).entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name))
            files << file.fileName() + " " + QString::number(file.size()) + " " + file.lastModified().toString(Qt::ISODateWithMs);
        return files;
    };
    const QStringList before = examples();
    const int failed = RUN_ALL_TESTS();
    if (examples() != before) {
        std::fprintf(stderr, "docs/examples changed during the tests:\n%s\n", qPrintable(examples().join('\n')));
        return 1;
    }
    return failed;
}
