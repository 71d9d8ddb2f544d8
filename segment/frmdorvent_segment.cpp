// The main window's segment calculation handler (Command5, Text22).

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "mainwin/frmdorvent.h"
#include "segment/segmentcommand.h"

namespace dorvent {
namespace {

/// The wait cursor for as long as the calculation blocks the window.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

void frmdorvent::Command5_Click()
{
    Text22->clear();
    const SegmentTexts texts{
        .dn = Combo3->currentText().toStdString(),
        .waijing = Combo4->currentText().toStdString(),
        .bihou = Combo5->currentText().toStdString(),
        .length = Text7->text().toStdString(),
        .zeta = Text8->text().toStdString(),
        .beta = Text9->text().toStdString(),
        .phi = Text10->text().toStdString(),
        .ambient = Text11->text().toStdString(),
        .heatLoss = Combo6->currentText().toStdString(),
        .drop = Text12->text().toStdString(),
        .flow = Text4->text().toStdString(),
        .friction = Text6->text().toStdString(),
    };
    const BusyCursor busy;
    Text22->setPlainText(QString::fromStdString(runSegmentCalculation(texts, state_)));
}

}  // namespace dorvent
