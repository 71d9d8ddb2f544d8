// The pipeline window as a desktop document: a file from the command line or dropped onto the
// window, the recent files, the remembered layout, saves that fail, and recovery after a crash.

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <csignal>
#include <filesystem>

#include "guitest.h"
#include "netwin/frmguanxian.h"
#include "netwin/pipelinemodel.h"
#include "netwin/recentfiles.h"
#include "netwin/recoverycopy.h"
#include "netwin/startup.h"
#include "pipeline/pipelinetable.h"

namespace dorvent {
namespace {

const QString kExample = QStringLiteral(DORVENT_EXAMPLES "/worked-case.dorvent");

QModelIndex labelCell(frmguanxian* window) { return window->model()->index(0, static_cast<int>(Column::label)); }
QString labelOf(frmguanxian* window) { return labelCell(window).data().toString(); }

QString copyOf(const QString& path) { return written(path, bytesOf(kExample)); }

QStringList recentMenu(frmguanxian* window)
{
    auto* menu = control<QMenu>(*window, "mzuijin");
    emit menu->aboutToShow();
    QStringList texts;
    for (const QAction* entry : menu->actions()) texts << entry->text();
    return texts;
}

class Documents : public MainWindow {
protected:
    RecordingMessages messages;
    frmguanxian* pipeline = window.pipelineWindow();
    QTemporaryDir folder;
};

TEST_F(Documents, AFileFromTheCommandLineOpensAndABadOneLeavesTheProgramRunning)
{
    const QString working = QDir::currentPath(), copy = exampleCopy(folder, "worked-case.dorvent");
    QDir::setCurrent(folder.path());
    startWith(window, {"worked-case.dorvent"});  // as a terminal gives it
    QDir::setCurrent(working);
    EXPECT_EQ(recentFiles().value(0), QFileInfo(copy).absoluteFilePath());  // the file wherever the next start is
    EXPECT_EQ(std::tuple(pipeline->isVisible(), pipeline->windowTitle(), labelOf(pipeline), messages.texts.size()),
              std::tuple(true, QString("管线计算 - worked-case.dorvent[*]"), QString("A-B"), 0));

    // Missing or broken: the message of 打开…, and the main window alone.
    for (const QString& path : {folder.filePath("missing.dorvent"), written(folder.filePath("broken.dorvent"), "{\"format\"")}) {
        frmdorvent other;
        other.show();
        startWith(other, {path});
        EXPECT_EQ(std::pair(other.isVisible(), other.pipelineWindow()->isVisible()), std::pair(true, false));
    }
    ASSERT_EQ(messages.texts.size(), 2);
    EXPECT_EQ(messages.texts[0], "无法打开管线文件 missing.dorvent：\r\n无法读取该文件");
    EXPECT_TRUE(messages.texts[1].startsWith("无法打开管线文件 broken.dorvent：\r\n文件不是有效的 JSON 文档")) << messages.texts[1].toStdString();
}

TEST_F(Documents, RecentFilesAreTheEightNewestAndAGoneOneDropsOut)
{
    QStringList paths;
    for (int i = 1; i <= 9; ++i) {
        paths << copyOf(folder.filePath(QString("f%1.dorvent").arg(i)));
        ASSERT_TRUE(pipeline->openFile(paths.last()));
    }
    ASSERT_TRUE(pipeline->openFile(paths[4]));
    ASSERT_TRUE(pipeline->saveFile(folder.filePath("saved.dorvent")));
    EXPECT_TRUE(control<QMenu>(*pipeline, "mzuijin")->isEnabled());
    const QString home = QDir::toNativeSeparators(QDir(folder.path()).absolutePath());
    QStringList entries;  // each with its folder
    for (const char* name : {"saved", "f5", "f9", "f8", "f7", "f6", "f4", "f3"}) {
        entries << QString("&%1 %2.dorvent（%3）").arg(entries.size() + 1).arg(name, home);
    }
    EXPECT_EQ(recentMenu(pipeline), entries);

    // Picked once gone, it says so and drops out; picked while there, it opens.
    QFile::remove(paths[8]);
    control<QMenu>(*pipeline, "mzuijin")->actions()[2]->trigger();
    EXPECT_EQ(std::tuple(messages.texts, recentMenu(pipeline).size(), pipeline->windowTitle()),
              std::tuple(QStringList({"找不到文件 " + paths[8] + "，已将它从最近打开的文件中移去"}), 7, QString("管线计算 - saved.dorvent[*]")));
    control<QMenu>(*pipeline, "mzuijin")->actions()[2]->trigger();
    EXPECT_EQ(pipeline->windowTitle(), "管线计算 - f8.dorvent[*]");

    // The next window, as on the next start, knows them too, has this one's size and splitters, and opens its
    // dialogs in their folder. 另存为 offers the document's own file; a name typed without the extension gains it, once.
    pipeline->show();
    pipeline->resize(900, 560);
    auto* split = pipeline->findChildren<QSplitter*>().front();
    split->setSizes({120, 380});
    const QList<int> sizes = split->sizes();
    pipeline->close();
    frmguanxian next(&window.steamState());
    next.show();
    EXPECT_EQ(std::tuple(recentMenu(&next).first(), next.size(), next.findChildren<QSplitter*>().front()->sizes()),
              std::tuple(QString("&1 f8.dorvent（%1）").arg(home), QSize(900, 560), sizes));
    QStringList shown, typed = {"", "", "x", "y.dorvent"};  // into each dialog in turn; nothing: 取消
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&shown, &typed] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        shown << dialog->directory().absolutePath() + " " + QFileInfo(dialog->selectedFiles().value(0)).fileName();
        const QString name = typed.takeFirst();
        if (name.isEmpty()) return dialog->reject();
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(name);
        static_cast<QDialog*>(dialog)->accept();  // as the 保存 button does
    });
    answer.start(20);
    for (const char* action : {"mdakai", "mdaochucsv"}) next.findChild<QAction*>(action)->trigger();
    for (int i = 0; i < 2; ++i) pipeline->findChild<QAction*>("mlingcun")->trigger();
    const QString in = QDir(folder.path()).absolutePath() + " ";
    EXPECT_EQ(shown, QStringList({in, in + "管线.csv", in + "f8.dorvent", in + "x.dorvent"}));
    EXPECT_EQ(QDir(folder.path()).entryList({"x*", "y*"}), QStringList({"x.dorvent", "y.dorvent"}));

    // Two files of one name in two folders are told apart by their folders, an & in one shown as it is, and in
    // a file's name too.
    ASSERT_TRUE(QDir(folder.path()).mkdir("甲&乙"));
    ASSERT_TRUE(next.openFile(copyOf(folder.filePath("甲&乙/a&b.dorvent"))));
    EXPECT_EQ(recentMenu(&next).first(), QString("&1 a&&b.dorvent（%1）").arg(QDir::toNativeSeparators(home + "/甲&&乙")));
    ASSERT_TRUE(next.openFile(copyOf(folder.filePath("甲&乙/f8.dorvent"))));
    const QStringList both = recentMenu(&next).mid(0, 3);
    EXPECT_EQ(both, QStringList({QString("&1 f8.dorvent（%1）").arg(QDir::toNativeSeparators(home + "/甲&&乙")),
                                 QString("&2 a&&b.dorvent（%1）").arg(QDir::toNativeSeparators(home + "/甲&&乙")),
                                 QString("&3 y.dorvent（%1）").arg(home)}));
    EXPECT_TRUE(recentMenu(&next).contains(QString("&5 f8.dorvent（%1）").arg(home))) << recentMenu(&next).join(' ').toStdString();
}

TEST_F(Documents, EveryExportProposesANameOfItsOwnInADialogThatSpeaksChinese)
{
    ASSERT_TRUE(pipeline->openFile(exampleCopy(folder, "industrial-park.dorvent")));
    ASSERT_TRUE(pipeline->saveFile(folder.filePath("park.dorvent")) && QDir(folder.path()).mkdir("子目录"));
    QStringList proposed, columns;  // the names offered; the type and date of a folder in Qt's own dialog
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&proposed, &columns, this] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        if (columns.isEmpty()) {
            const auto* view = dialog->findChild<QTreeView*>("treeView");
            const QModelIndexList found = view->model()->match(view->model()->index(0, 0, view->rootIndex()), Qt::DisplayRole, "子目录");
            if (found.isEmpty()) return;  // the folder is still being read
            columns << found[0].siblingAtColumn(2).data().toString() << found[0].siblingAtColumn(3).data().toString();
        }
        proposed << QFileInfo(dialog->selectedFiles().value(0)).fileName();
        if (proposed.size() < 6) return dialog->reject();
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(folder.filePath("图"));  // a name without its ending
        static_cast<QDialog*>(dialog)->accept();
    });
    answer.start(20);
    for (const char* action : {"mdaochucsv", "mdaochujiedian", "mdaochutu", "mdaochuguanwang", "mjisuanshu", "mdaochutu"}) {
        pipeline->findChild<QAction*>(action)->trigger();
    }
    EXPECT_EQ(proposed, QStringList({"park.csv", "park-节点.csv", "park-沿程分布.png", "park-管网图.png", "park-计算书.pdf", "park-沿程分布.png"}));
    EXPECT_TRUE(QFileInfo(folder.filePath("图.png")).isFile());  // the chart takes the ending of its kind
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    const QDateTime made = QFileInfo(folder.filePath("子目录")).lastModified();
    EXPECT_EQ(columns, QStringList({"文件夹", chinese.toString(made, QLocale::ShortFormat)}));
    EXPECT_FALSE(columns.value(1).contains(QRegularExpression("[A-Za-z]")));  // no "8 Dec"
}

TEST_F(Documents, AFileDroppedOntoTheWindowOpensOnceChangesAreDealtWith)
{
    // Dropped onto a widget of the window: whether it takes the drop. File managers send the path as text too.
    const auto drop = [](const QStringList& paths, QWidget* onto) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
        data.setUrls(urls);
        data.setText(paths.join('\n'));
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        enter.setAccepted(false);
        QApplication::sendEvent(onto, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(onto, &dropped);
        QCoreApplication::processEvents();
        return true;
    };
    const QString path = copyOf(folder.filePath("dropped.dorvent"));
    EXPECT_FALSE(drop({written(folder.filePath("notes.txt"), "250")}, pipeline));
    EXPECT_FALSE(drop({path, path}, pipeline));  // which of them?
    pipeline->model()->setData(labelCell(pipeline), "typed");
    EXPECT_TRUE(drop({path}, pipeline));
    EXPECT_EQ(std::pair(labelOf(pipeline), messages.texts), std::pair(QString("typed"), QStringList({"管线“未命名”有未保存的修改。是否保存？"})));  // 取消
    messages.answer = SaveChoice::discard;
    auto* project = control<QLineEdit>(*pipeline, "txtxiangmu");
    EXPECT_TRUE(drop({path}, project));  // the window opens it; the box takes no path as text
    EXPECT_EQ(std::tuple(labelOf(pipeline), pipeline->windowTitle(), project->text()),
              std::tuple(QString("A-B"), QString("管线计算 - dropped.dorvent[*]"), QString("例题：DN200 架空管段")));
    EXPECT_TRUE(drop({copyOf(folder.filePath("UPPER.DORVENT"))}, pipeline));
    EXPECT_EQ(pipeline->windowTitle(), "管线计算 - UPPER.DORVENT[*]");
}

TEST_F(Documents, AFailedSaveKeepsTheOldFileAndTheDocumentUnsaved)
{
    const QString path = copyOf(folder.filePath("main.dorvent"));
    ASSERT_TRUE(pipeline->openFile(path));
    pipeline->model()->setData(labelCell(pipeline), "changed");
    const QByteArray old = bytesOf(path);

    // A folder that has gone; on Linux also past a file-size limit, as on a full disk, a full device,
    // and a file system that is read-only even to root.
    QTemporaryDir gone;
    const QString inGone = gone.filePath("x.dorvent");
    gone.remove();
    EXPECT_FALSE(pipeline->saveFile(inGone));
    QStringList expected = {"无法保存管线文件 x.dorvent"};
#ifndef _WIN32
    rlimit unlimited{};
    getrlimit(RLIMIT_FSIZE, &unlimited);
    const rlimit small{100, unlimited.rlim_max};
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    const bool saved = pipeline->saveFile(path);
    setrlimit(RLIMIT_FSIZE, &unlimited);
    std::signal(SIGXFSZ, handler);
    EXPECT_EQ(std::tuple(saved, bytesOf(path), QDir(folder.path()).entryList(QDir::Files)),  // no temporary file left
              std::tuple(false, old, QStringList({"main.dorvent"})));
    for (const QString& target : {QString("/dev/full"), QString("/proc/version")}) EXPECT_FALSE(pipeline->saveFile(target));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));  // written to, never replaced
    expected << "无法保存管线文件 main.dorvent" << "无法保存管线文件 full" << "无法保存管线文件 version";
#endif
    EXPECT_EQ(bytesOf(path), old);
    EXPECT_EQ(messages.texts, expected);
    EXPECT_EQ(std::tuple(pipeline->windowTitle(), pipeline->isWindowModified(), labelOf(pipeline)),
              std::tuple(QString("管线计算 - main.dorvent[*]"), true, QString("changed")));
}

#ifndef _WIN32  // the probes find their data folder through XDG_DATA_HOME
/// Points this program at another data folder for as long as it lives.
struct DataFolder {
    explicit DataFolder(const QString& path) : previous(qgetenv("XDG_DATA_HOME")) { qputenv("XDG_DATA_HOME", QFile::encodeName(path)); }
    ~DataFolder() { qputenv("XDG_DATA_HOME", previous); }
    QByteArray previous;
};

/// A program of its own that edits a file, autosaving every second, and has changed it once more
/// since its recovery copy (whose folder it printed first).
struct Probe {
    Probe(const char* mode, const QString& file, const QString& data)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_DATA_HOME", data);
        environment.insert("DORVENT_AUTOSAVE_SECONDS", "1");
        process.setProcessEnvironment(environment);
        process.start(DORVENT_RECOVERY_PROBE, {mode, file});
        while (!lines.contains("edited") && process.waitForReadyRead(30000))
            while (process.canReadLine()) lines << QString::fromUtf8(process.readLine()).trimmed();
    }
    ~Probe() { process.kill(); process.waitForFinished(); }
    QString folder() const { return lines.value(0); }

    QProcess process;
    QStringList lines;
};

TEST(Recovery, KilledProgramsOfferTheirDocumentsAsTheyWereAtTheLastAutosave)
{
    EXPECT_EQ(autosaveSeconds(), 60);
    QTemporaryDir folder;
    const QString data = folder.filePath("data");
    const QString a = copyOf(folder.filePath("a.dorvent")), b = copyOf(folder.filePath("b.dorvent")),
                  c = copyOf(folder.filePath("c.dorvent"));
    Probe first("crash", a, data), second("crash", b, data), third("crash", c, data);
    ASSERT_EQ(first.lines.size() + second.lines.size() + third.lines.size(), 6)
        << first.process.readAllStandardError().toStdString();
    // A program that closes in order leaves no copy: nothing of d.dorvent is offered below.
    Probe closed("close", copyOf(folder.filePath("d.dorvent")), data);
    ASSERT_TRUE(closed.process.waitForFinished(30000));
    EXPECT_EQ(std::tuple(closed.process.exitCode(), closed.lines.size(), QFileInfo::exists(closed.folder())),
              std::tuple(0, 2, false));
    const DataFolder theirs(data);
    EXPECT_TRUE(leftCopies().empty());  // while they run, their copies are their own
    for (Probe* probe : {&first, &second, &third}) {
        ::kill(static_cast<pid_t>(probe->process.processId()), SIGKILL);
        probe->process.waitForFinished();
    }
    // A copy of a program that still runs, listed before the others, is passed over.
    const QString running = data + "/Dorvent/dorvent/recovery/!running";
    QDir().mkpath(running);
    QFile::copy(first.folder() + "/document.dorvent", running + "/document.dorvent");
    QLockFile lock(running + "/lock");
    ASSERT_TRUE(lock.tryLock(0));

    struct : RecordingMessages {  // a is declined, b and c are recovered
        bool askToRecover(const QString& text, const QString& title) override { show(text, title); return !text.contains("a.dorvent"); }
    } messages;
    frmdorvent main;
    main.show();
    startWith(main, {});
    const QRegularExpression offer("^管线“[abc]\\.dorvent”有未保存的修改，程序上次未能正常退出。\r\n"
                                   "自动保存于 20\\d\\d-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d。是否恢复？$");
    ASSERT_EQ(messages.texts.size(), 3);
    for (const QString& text : messages.texts) EXPECT_TRUE(offer.match(text).hasMatch()) << text.toStdString();

    // Each recovered document in a window of its own, as it was at its program's last copy, unsaved.
    const auto shownWindows = [] {
        std::map<QString, frmguanxian*> shown;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* window = qobject_cast<frmguanxian*>(w); window != nullptr && window->isVisible()) shown[window->windowTitle()] = window;
        return shown;
    };
    std::map<QString, frmguanxian*> windows = shownWindows();
    ASSERT_EQ(windows.size(), 2);
    std::string error;
    PipelineDocument expected = *readDocumentFile(kExample, error);
    expected.segments[0].label = "自动保存前";
    for (const char* title : {"管线计算 - b.dorvent[*]", "管线计算 - c.dorvent[*]"}) {
        frmguanxian* recovered = windows[title];
        ASSERT_NE(recovered, nullptr) << title;
        EXPECT_TRUE(recovered->isWindow() && recovered->isWindowModified());
        EXPECT_EQ(recovered->model()->document(), expected);
        EXPECT_TRUE(QFileInfo::exists(recovered->recoveryCopy().folder() + "/document.dorvent"));  // kept once more, now as ours
    }
    EXPECT_EQ(bytesOf(b), bytesOf(kExample));  // saved only when the user saves
    for (const Probe* probe : {&first, &second, &third}) EXPECT_FALSE(QFileInfo::exists(probe->folder()));
    EXPECT_TRUE(QFileInfo::exists(running + "/document.dorvent"));
    // 管线计算 shows the window it has, recovered document and all.
    main.findChild<QAction*>("m31")->trigger();
    EXPECT_EQ(shownWindows(), windows);

    // Undone back to the file, a document has nothing left to recover; closed unsaved, neither.
    frmguanxian* recovered = windows["管线计算 - b.dorvent[*]"];
    recovered->model()->undoStack()->undo();
    EXPECT_TRUE(recovered->recoveryCopy().folder().isEmpty());
    messages.answer = SaveChoice::discard;
    EXPECT_TRUE(windows["管线计算 - c.dorvent[*]"]->close());
    lock.unlock();
    QDir(running).removeRecursively();
    messages.texts.clear();
    frmdorvent next;
    startWith(next, {});
    EXPECT_TRUE(messages.texts.isEmpty());
}

#endif

TEST(Recovery, TheQuestionIsAnsweredByItsButtonsAlone)
{
    MessageService* previous = installMessageService(nullptr);
    QList<bool> answers;
    for (const QString choice : {"恢复", "放弃"}) {
        bool escaped = false;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return;
            if (!escaped) {  // Esc decides nothing: the box waits for one of its buttons
                QTest::keyClick(box, Qt::Key_Escape);
                escaped = true;
                return;
            }
            for (QAbstractButton* button : box->buttons()) if (button->text() == choice) button->click();
        });
        timer.start(20);
        answers << askToRecover("管线“a.dorvent”……是否恢复？", "恢复管线");
    }
    installMessageService(previous);
    EXPECT_EQ(answers, QList<bool>({true, false}));
}

}  // namespace
}  // namespace dorvent
