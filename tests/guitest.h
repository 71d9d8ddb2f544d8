#pragma once

#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>
#include <functional>

#include "mainwin/frmdorvent.h"
#include "mainwin/messageservice.h"
#include "netwin/frmguanxian.h"
#include "netwin/pipelinemodel.h"
#include "netwin/pipelinetableview.h"
#include "pipeline/pipelinefile.h"
#include "pipeline/pipelinetable.h"

/// Failure messages show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace dorvent {

/// Failure messages show a document as its file.
inline void PrintTo(const PipelineDocument& d, std::ostream* out) { *out << writePipelineFile(d); }

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

/// Keys to whatever has the focus, one by one; what no key gives (Chinese, full-width digits) as
/// an input method commits it.
inline void press(const QString& keys)
{
    for (const QChar key : keys) {
        if (key.unicode() < 128) {
            QTest::keyClicks(QApplication::focusWidget(), QString(key));
            continue;
        }
        QInputMethodEvent committed;
        committed.setCommitString(QString(key));
        QApplication::sendEvent(QApplication::focusWidget(), &committed);
    }
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

/// The document of an example file; the test fails if it cannot be read.
inline PipelineDocument example(const QString& name)
{
    const PipelineFileRead read = readPipelineFile(bytesOf(QStringLiteral(DORVENT_EXAMPLES "/") + name).toStdString());
    if (!read.document) ADD_FAILURE() << name.toStdString() << ": " << read.error;
    return read.document.value_or(PipelineDocument{});
}

/// How many pixels of an image within a rectangle are so.
inline int pixelsIn(const QImage& image, const QRect& within, const std::function<bool(const QColor&)>& so)
{
    int count = 0;
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x) count += so(image.pixelColor(x, y)) ? 1 : 0;
    return count;
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

/// The text of a PDF as pdftotext gives it, by default in its layout.
inline QString pdfText(const QString& pdf, bool layout = true)
{
    return outputOf("pdftotext", layout ? QStringList{"-layout", pdf, "-"} : QStringList{pdf, "-"});
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

/// The main window at 1 MPa, 250 ℃ and its pipeline window, opened from the menu and active: keys
/// reach the editors of the active window only. Its changes are discarded at the end.
class PipelineWindow : public MainWindow {
protected:
    PipelineWindow()
    {
        fill({{"Text1", "1"}, {"Text2", "250"}});
        at<QAction>("m31")->trigger();
        EXPECT_EQ(openWindow("frmguanxian"), pipeline);
        QCoreApplication::processEvents();
        QApplication::setActiveWindow(pipeline);
    }
    ~PipelineWindow() override
    {
        messages.answer = SaveChoice::discard;
        pipeline->close();
    }

    template <typename Widget = QWidget>
    Widget* in(const char* name) { return control<Widget>(*pipeline, name); }
    void button(const char* name) { in<QPushButton>(name)->click(); }
    void action(const char* name) { in<QAction>(name)->trigger(); }
    void undo(int steps = 1) { while (steps-- > 0) model->undoStack()->undo(); }
    std::string now() const { return writePipelineFile(model->document()); }
    QString shows(const char* name) const { return shownIn(*pipeline, name); }

    QModelIndex cell(int row, Column column) const { return model->index(row, static_cast<int>(column)); }
    QString text(int row, Column column) const { return cell(row, column).data().toString(); }
    QString tip(int row, Column column) const { return cell(row, column).data(Qt::ToolTipRole).toString(); }
    QColor background(int row, Column column) const { return cell(row, column).data(Qt::BackgroundRole).value<QBrush>().color(); }
    QVariant header(int row, int role = Qt::DisplayRole) const { return model->headerData(row, Qt::Vertical, role); }
    /// The texts of a row's cells from one column to another.
    QStringList texts(int row, Column first, Column last) const
    {
        QStringList shown;
        for (int c = static_cast<int>(first); c <= static_cast<int>(last); ++c) shown << text(row, static_cast<Column>(c));
        return shown;
    }
    void pick(int row, Column column, const QString& choice) { model->setData(cell(row, column), choice); }
    /// Selects the block of pipe cells from one corner to the other.
    void select(int top, Column left, int bottom, Column right)
    {
        table->selectionModel()->select(QItemSelection(cell(top, left), cell(bottom, right)), QItemSelectionModel::ClearAndSelect);
    }
    /// Pastes at the cell, with the keys of Paste.
    static void paste(QAbstractItemView* view, int row, int column, const QString& text)
    {
        QApplication::clipboard()->setText(text);
        view->setFocus();
        view->setCurrentIndex(view->model()->index(row, column));
        QTest::keySequence(view, QKeySequence::Paste);
    }
    void paste(int row, Column column, const QString& text) { paste(table, row, static_cast<int>(column), text); }
    /// Types into a pipe cell as the keyboard does: the first key starts the edit, Enter ends it and moves down.
    void type(int row, Column column, const QString& keys)
    {
        table->setFocus();
        table->setCurrentIndex(cell(row, column));
        press(keys);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCoreApplication::processEvents();  // the edit ends after the key
    }
    /// Types each value into the next pipe cell of the row, Tab from cell to cell, and leaves with Esc.
    void typeAcross(int row, Column first, std::initializer_list<const char*> values)
    {
        table->setCurrentIndex(cell(row, first));
        for (const char* value : values) {
            press(value);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    }
    /// Types over the named box's whole text, key by key; with focus, as the box has it.
    void typeOver(const char* name, const QString& keys, bool focus = true)
    {
        auto* box = in<QLineEdit>(name);
        if (focus) box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, keys);
        if (focus) QCoreApplication::processEvents();
    }

    RecordingMessages messages;
    QTemporaryDir folder;
    frmguanxian* pipeline = window.pipelineWindow();
    PipelineModel* model = pipeline->model();
    PipelineTableView* table = in<PipelineTableView>("tblguanduan");
};

}  // namespace dorvent
