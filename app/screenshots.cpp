// Saves a picture of each of the program's windows, filled in as in a typical design, into the
// folder given as the first argument. Run by scripts/screenshot on a virtual display.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QTimer>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>

#include "mainwin/frmdorvent.h"
#include "netwin/frmguanxian.h"
#include "netwin/pipelinemodel.h"
#include "refwin/frmliusufanwei.h"

namespace {

bool save(QWidget& window, const QDir& folder, const QString& name)
{
    QApplication::processEvents();
    const QString path = folder.filePath(name);
    const bool saved = window.grab().save(path);
    qInfo("%s %s", saved ? "saved" : "could not save", qPrintable(path));
    return saved;
}

template <typename Widget>
Widget* find(QWidget& root, const char* name)
{
    return root.findChild<Widget*>(QString::fromLatin1(name));
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    bool saved = true;

    dorvent::frmdorvent main;
    main.show();
    QTest::keyClicks(find<QLineEdit>(main, "Text1"), "1");
    QTest::keyClicks(find<QLineEdit>(main, "Text2"), "250");
    QTest::keyClicks(find<QLineEdit>(main, "Text4"), "10");
    saved &= save(main, folder, QStringLiteral("frmdorvent.png"));

    find<QPushButton>(main, "Command1")->click();
    QWidget* heatLoss = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("frmresunshi")) heatLoss = window;
    }
    if (heatLoss != nullptr) {
        find<QRadioButton>(*heatLoss, "optjiakong")->click();
        find<QRadioButton>(*heatLoss, "opt200300")->click();
        find<QPushButton>(*heatLoss, "cmdchaxun")->click();
        find<QListWidget>(*heatLoss, "lstresunshi")->setCurrentRow(8);
        saved &= save(*heatLoss, folder, QStringLiteral("frmresunshi.png"));
        heatLoss->close();
    }

    // The pipeline window with the example steam main of the documentation.
    main.findChild<QAction*>(QStringLiteral("m31"))->trigger();
    auto* pipeline = main.findChild<dorvent::frmguanxian*>();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* found = qobject_cast<dorvent::frmguanxian*>(window)) pipeline = found;
    }
    const QString example = folder.filePath(QStringLiteral("../examples/steam-main.dorvent"));
    if (pipeline != nullptr && pipeline->openFile(example)) {
        pipeline->resize(1400, 760);
        saved &= save(*pipeline, folder, QStringLiteral("frmguanxian.png"));
        // The chart as exported, and the report, whose first page scripts/screenshot turns into a picture.
        saved &= pipeline->exportChart(folder.filePath(QStringLiteral("profile.png")));
        saved &= pipeline->exportReport(folder.filePath(QStringLiteral("report.pdf")));
    } else {
        saved = false;
    }
    // The example network with its schematic, and the report of it.
    const QString network = folder.filePath(QStringLiteral("../examples/industrial-park.dorvent"));
    if (pipeline != nullptr && pipeline->openFile(network)) {
        // Room for the schematic to be read whole, and a pipe selected, as the user shapes the window.
        pipeline->resize(1400, 1000);
        for (QSplitter* split : pipeline->findChildren<QSplitter*>()) {
            split->setSizes(split->orientation() == Qt::Vertical ? QList<int>{260, 640} : QList<int>{400, 1000});
        }
        find<QTabWidget>(*pipeline, "tabtu")->setCurrentIndex(1);
        auto* pipes = find<QAbstractItemView>(*pipeline, "tblguanduan");
        pipes->setCurrentIndex(pipes->model()->index(7, 0));
        QApplication::processEvents();
        pipeline->findChild<QAction*>(QStringLiteral("mshiying"))->trigger();
        saved &= save(*pipeline, folder, QStringLiteral("frmguanxian-network.png"));
        saved &= pipeline->exportNetwork(folder.filePath(QStringLiteral("network.png")));
        saved &= pipeline->exportReport(folder.filePath(QStringLiteral("network-report.pdf")));
        // The proposal of automatic sizing for it at its design load (no sizes serve its summer case
        // too), grabbed while it waits for 应用.
        dorvent::PipelineDocument designLoad = pipeline->model()->document();
        designLoad.cases.clear();
        pipeline->model()->resetDocument(designLoad);
        QTimer grabber;
        QObject::connect(&grabber, &QTimer::timeout, [&] {
            auto* proposal = QApplication::activeModalWidget();
            if (proposal == nullptr || proposal->objectName() != QLatin1String("dlgxuanguan")) return;
            grabber.stop();
            saved &= save(*proposal, folder, QStringLiteral("sizing.png"));
            static_cast<QDialog*>(proposal)->reject();
        });
        grabber.start(100);
        pipeline->findChild<QAction*>(QStringLiteral("mzidongxuanguan"))->trigger();
    } else {
        saved = false;
    }
    // Two plants on a ring: the schematic from the site plan, and where each node's steam comes from.
    if (pipeline != nullptr && pipeline->openFile(folder.filePath(QStringLiteral("../examples/two-plant-ring.dorvent")))) {
        pipeline->resize(1400, 1000);
        for (QSplitter* split : pipeline->findChildren<QSplitter*>()) {
            split->setSizes(split->orientation() == Qt::Vertical ? QList<int>{300, 600} : QList<int>{620, 780});
        }
        find<QTabWidget>(*pipeline, "tabtu")->setCurrentIndex(1);
        QApplication::processEvents();
        pipeline->findChild<QAction*>(QStringLiteral("mshiying"))->trigger();
        saved &= save(*pipeline, folder, QStringLiteral("frmguanxian-ring.png"));
    } else {
        saved = false;
    }
    // Its two cases side by side: the comparison page, with the summer case shown in the tables.
    if (pipeline != nullptr && pipeline->openFile(network)) {
        pipeline->resize(1400, 1000);
        for (QSplitter* split : pipeline->findChildren<QSplitter*>()) {
            if (split->orientation() == Qt::Horizontal) split->setSizes({330, 1070});
        }
        auto* tabs = find<QTabWidget>(*pipeline, "tabtu");
        tabs->setCurrentIndex(tabs->count() - 1);
        auto* shown = find<QComboBox>(*pipeline, "cbogongkuang");
        shown->setCurrentIndex(1);
        emit shown->activated(1);
        QApplication::processEvents();
        saved &= save(*pipeline, folder, QStringLiteral("frmguanxian-cases.png"));
    } else {
        saved = false;
    }
    // The insulated example main: the page of its constructions, and the thickness design of its pipes.
    const QString insulated = folder.filePath(QStringLiteral("../examples/insulated-main.dorvent"));
    if (pipeline != nullptr && pipeline->openFile(insulated)) {
        pipeline->resize(1400, 940);
        const QList<QSplitter*> splits = pipeline->findChildren<QSplitter*>();  // the window's, then the page's
        if (splits.size() >= 3) {
            splits[0]->setSizes({260, 680});
            splits[1]->setSizes({160, 1240});
            splits.back()->setSizes({300, 300});
        }
        find<QTabWidget>(*pipeline, "tabtu")->setCurrentIndex(2);
        auto* pipes = find<QAbstractItemView>(*pipeline, "tblguanduan");
        pipes->setCurrentIndex(pipes->model()->index(0, 0));
        pipes->selectionModel()->select(QItemSelection(pipes->model()->index(0, 0), pipes->model()->index(2, 0)),
                                        QItemSelectionModel::ClearAndSelect);
        saved &= save(*pipeline, folder, QStringLiteral("frmguanxian-insulation.png"));
        QTimer grabber;
        QObject::connect(&grabber, &QTimer::timeout, [&] {
            auto* design = QApplication::activeModalWidget();
            if (design == nullptr || design->objectName() != QLatin1String("dlghoudu")) return;
            grabber.stop();
            // The pipe of one layer: the formula's economic thickness beside the search's.
            if (auto* pipes = design->findChild<QAbstractItemView*>(QStringLiteral("tblhoudu"))) pipes->setCurrentIndex(pipes->model()->index(2, 0));
            saved &= save(*design, folder, QStringLiteral("thickness.png"));
            static_cast<QDialog*>(design)->reject();
        });
        grabber.start(100);
        pipeline->findChild<QAction*>(QStringLiteral("mbaowenhoudu"))->trigger();
    } else {
        saved = false;
    }
    // The example whose branch turns wet under 按焓平衡: the window with its schematic, and the profile
    // to its critical consumer with the dryness.
    const QString wet = folder.filePath(QStringLiteral("../examples/wet-branch.dorvent"));
    if (pipeline != nullptr && pipeline->openFile(wet)) {
        pipeline->resize(1400, 860);
        const QList<QSplitter*> splits = pipeline->findChildren<QSplitter*>();
        if (splits.size() >= 2) {
            splits[0]->setSizes({200, 660});
            splits[1]->setSizes({560, 840});
        }
        find<QTabWidget>(*pipeline, "tabtu")->setCurrentIndex(1);
        QApplication::processEvents();
        pipeline->findChild<QAction*>(QStringLiteral("mshiying"))->trigger();
        saved &= save(*pipeline, folder, QStringLiteral("frmguanxian-wet.png"));
        auto* path = find<QComboBox>(*pipeline, "cbolujing");  // to the consumer the wet branch feeds
        path->setCurrentIndex(path->findText(QStringLiteral("用户乙")));
        emit path->activated(path->currentIndex());
        saved &= pipeline->exportChart(folder.filePath(QStringLiteral("wet-profile.png")));
    } else {
        saved = false;
    }
    if (pipeline != nullptr) pipeline->close();

    dorvent::frmliusufanwei ranges(&main);
    ranges.show();
    ranges.activateWindow();
    QApplication::setActiveWindow(&ranges);
    saved &= save(ranges, folder, QStringLiteral("frmliusufanwei.png"));
    return saved && heatLoss != nullptr ? 0 : 1;
}
