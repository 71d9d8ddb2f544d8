// The main window's pipe-sizing handlers: the proposal by velocity limit (Command3, List1) and
// the chosen pipe (Combo3, Combo4, Combo5, Text5, Text6).

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QScopedValueRollback>

#include "mainwin/frmdorvent.h"
#include "mainwin/messageservice.h"
#include "pipes/chosenpipe.h"
#include "pipes/proposal.h"

namespace dorvent {
void frmdorvent::Command3_Click()
{
    List1->clear();
    const std::string flow = Text4->text().toStdString();
    const PipeProposal proposal = proposePipeSizes(state_, flow);
    for (const std::string& row : proposal.rows) List1->addItem(QString::fromStdString(row));
    if (!proposal.message.empty()) showMessage(QString::fromUtf8(proposal.message.data(), proposal.message.size()));
}

// A row chosen in Combo3 or Combo4 moves all three lists to it, empties the results and
// evaluates the pipe once, so that a refusal is shown once per choice.
void frmdorvent::Combo3_Click()
{
    const int row = Combo3->currentIndex();
    if (row < 0) return;
    Text5->clear();
    Text6->clear();
    {
        const QScopedValueRollback<bool> sync(syncingPipes_, true);
        Combo4->setCurrentIndex(row);
        selectWallRow(row);
    }
    showChosenPipe();
}

void frmdorvent::Combo4_Click()
{
    const int row = Combo4->currentIndex();
    if (row < 0) return;
    Combo3->setCurrentIndex(row);  // runs Combo3_Click, which evaluates
    const QScopedValueRollback<bool> sync(syncingPipes_, true);
    selectWallRow(row);
}

void frmdorvent::Combo5_Click()
{
    wallTyped_ = false;
    if (!syncingPipes_) showChosenPipe();
}

void frmdorvent::Combo5_Activated()
{
    // Picking the row that was current before typing: the list has put the row's text back.
    if (wallTyped_) Combo5_Click();
}

void frmdorvent::Combo5_Change()
{
    wallTyped_ = true;
    showChosenPipe();
}

/// Selects a row of the wall-thickness list; after typing, even the current row counts as a
/// new selection and brings its text back.
void frmdorvent::selectWallRow(int row)
{
    if (Combo5->currentIndex() != row) {
        Combo5->setCurrentIndex(row);
    } else if (wallTyped_) {
        Combo5->setEditText(Combo5->itemText(row));
        Combo5_Click();
    }
}

void frmdorvent::showChosenPipe()
{
    const std::string flow = Text4->text().toStdString();
    const std::string dn = Combo3->currentText().toStdString();
    const std::string waijing = Combo4->currentText().toStdString();
    const std::string bihou = Combo5->currentText().toStdString();
    const ChosenPipeResult result = evaluateChosenPipe(state_, {flow, dn, waijing, bihou});
    // The message first: the old results stay in view while it is open.
    if (!result.message.empty()) showMessage(QString::fromUtf8(result.message.data(), result.message.size()));
    if (result.computed) {
        Text5->setText(QString::fromStdString(result.velocity));
        Text6->setText(QString::fromStdString(result.friction));
    }
}

}  // namespace dorvent
