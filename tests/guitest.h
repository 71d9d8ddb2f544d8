#pragma once

#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>
#include <functional>

#include "mainwin/frmdorvent.h"
#include "mainwin/messageservice.h"

/// Failure messages show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace dorvent {

/// Collects the messages the windows show instead of opening modal boxes, for as long as it lives.
struct RecordingMessages : MessageService {
    RecordingMessages() : previous(installMessageService(this)) {}
    ~RecordingMessages() override { installMessageService(previous); }
    void show(const QString& text, const QString& title) override { texts << text; titles << title; }

    SaveChoice askToSave(const QString& text, const QString& title) override { show(text, title); return answer; }
    bool askToRecover(const QString& text, const QString& title) override { show(text, title); return recover; }

    MessageService* previous;
    QStringList texts, titles;
    SaveChoice answer = SaveChoice::cancel;  ///< to every question whether to save
    bool recover = false;                    ///< to every offer of a document kept from a crash
};

/// Lets the program's real modal message boxes open, and closes each one with OK a moment later,
/// keeping its text: the box takes the activation and the focus as it does for the user, and
/// gives them back to the window it was opened over.
struct ClosingMessageBoxes {
    ClosingMessageBoxes() : previous(installMessageService(nullptr))
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isActiveWindow()) return;  // not until it has taken the activation
            texts << box->text();
            if (whileOpen) whileOpen();
            QWidget* back = box->parentWidget() != nullptr ? box->parentWidget()->window() : nullptr;
            box->accept();
            QApplication::setActiveWindow(back);  // as a window manager hands the activation back
        });
        timer.start(20);
    }
    ~ClosingMessageBoxes() { installMessageService(previous); }

    MessageService* previous;
    QTimer timer;
    QStringList texts;
    std::function<void()> whileOpen;  ///< runs while each box is open
};

/// The named control under root; the test fails if there is none.
template <typename Widget = QWidget>
Widget* control(const QObject& root, const char* name)
{
    auto* widget = root.findChild<Widget*>(QString::fromLatin1(name));
    if (widget == nullptr) ADD_FAILURE() << "no control " << name;
    return widget;
}

/// The text the named box, list or label under root shows.
inline QString shownIn(const QObject& root, const char* name)
{
    QWidget* widget = control(root, name);
    if (auto* list = qobject_cast<QComboBox*>(widget)) return list->currentText();
    if (auto* box = qobject_cast<QPlainTextEdit*>(widget)) return box->toPlainText();
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    return qobject_cast<QLineEdit*>(widget)->text();
}

/// The bytes of a file; "(unreadable)" if it cannot be read.
inline QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

/// Writes a file of these bytes, and gives its path.
inline QString written(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) ADD_FAILURE() << "cannot write " << path.toStdString();
    return path;
}

/// A copy of an example file in a folder of the test's own, so that nothing the test does with it (a
/// save, the folder the next dialog starts in) reaches the examples themselves.
inline QString exampleCopy(const QTemporaryDir& folder, const QString& name)
{
    const QString copy = folder.filePath(name);
    QFile::remove(copy);
    if (!QFile::copy(QStringLiteral(DORVENT_EXAMPLES "/") + name, copy)) ADD_FAILURE() << "cannot copy " << name.toStdString();
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    return copy;
}

/// poppler's pdftotext and pdffonts read the PDFs. The Windows build's tests run under Wine, which
/// cannot start them: scripts/windows reads the PDFs of the Windows dorvent-calc instead.
#ifdef _WIN32
#define SKIP_WITHOUT_POPPLER() GTEST_SKIP() << "poppler's tools do not run under Wine"
#else
#define SKIP_WITHOUT_POPPLER() static_cast<void>(0)
#endif

/// What a program (pdftotext, pdffonts) prints for these arguments.
inline QString outputOf(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

/// A shown main window, reached by the names of its controls. Without a RecordingMessages, any
/// message fails the test (see gui_main.cpp).
class MainWindow : public ::testing::Test {
protected:
    MainWindow() { window.show(); }

    template <typename Widget = QWidget>
    Widget* at(const char* name) { return control<Widget>(window, name); }
    void click(const char* name) { at<QAbstractButton>(name)->click(); }
    QString shown(const char* name) { return shownIn(window, name); }
    /// Sets each named box to its text at once, as a paste does.
    void fill(std::initializer_list<std::pair<const char*, const char*>> texts)
    {
        for (const auto& [name, text] : texts) at<QLineEdit>(name)->setText(text);
    }
    /// The named window while it is open, never more than one; nullptr else.
    static QWidget* openWindow(const char* name)
    {
        QWidgetList open = QApplication::topLevelWidgets();
        open.removeIf([name](QWidget* w) { return w->objectName() != QLatin1String(name) || !w->isVisible(); });
        EXPECT_LE(open.size(), 1);
        return open.value(0);
    }
    static QWidget* heatLossWindow() { return openWindow("frmresunshi"); }
    void typeWall(const QString& keys)  // over the whole text, key by key
    {
        wall->lineEdit()->setFocus();
        wall->lineEdit()->selectAll();
        QTest::keyClicks(wall->lineEdit(), keys);
    }

    frmdorvent window;
    QComboBox* wall = at<QComboBox>("Combo5");
};

}  // namespace dorvent
