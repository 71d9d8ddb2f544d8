#include "netwin/pipelinetableview.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTimer>

#include "netwin/sheetmodel.h"
#include "pipeline/pipelinetable.h"
#include "pipes/guanjing.h"

namespace dorvent {
namespace {

/// A cell whose value is picked from a list, or, where typed is set, also typed ("200" or
/// "DN200" for the DN). The list is made anew as each edit begins.
class ChoiceDelegate : public QStyledItemDelegate {
public:
    ChoiceDelegate(ListChoices choices, bool typed, QObject* parent)
        : QStyledItemDelegate(parent), choices_(std::move(choices)), typed_(typed)
    {
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        auto* list = new QComboBox(parent);
        const QList<ListChoice> choices = choices_();
        for (const ListChoice& choice : choices) list->addItem(choice.shown, choice.text);
        list->setMaxVisibleItems(static_cast<int>(choices.size()));
        if (typed_) {  // the text goes to the model as typed, on Enter or on leaving the cell
            list->setEditable(true);
            list->setInsertPolicy(QComboBox::NoInsert);
            list->setCompleter(nullptr);
            return list;
        }
        // A pick is the whole edit: it goes to the model at once.
        connect(list, &QComboBox::activated, this, [this, list] {
            auto* self = const_cast<ChoiceDelegate*>(this);
            emit self->commitData(list);
            emit self->closeEditor(list);
        });
        return list;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        auto* list = static_cast<QComboBox*>(editor);
        const QString text = index.data(Qt::EditRole).toString();
        if (list->isEditable()) {
            list->setCurrentText(text);
            list->lineEdit()->selectAll();  // typing replaces, as in any cell
        } else {
            list->setCurrentIndex(list->findData(text));
        }
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        auto* list = static_cast<QComboBox*>(editor);
        if (list->isEditable()) {
            model->setData(index, list->currentText());
        } else if (list->currentIndex() >= 0) {
            model->setData(index, list->currentData());
        }
    }

private:
    ListChoices choices_;
    bool typed_;
};

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }

QList<ListChoice> dnChoices()
{
    QList<ListChoice> choices{{qs(kOwnPipeName), qs(kOwnPipeName)}};
    for (const PipeSize& pipe : guanjing) choices.append({QString::fromStdString(dnText(pipe)), QString::fromStdString(dnText(pipe))});
    return choices;
}

}  // namespace

PipelineTableView::PipelineTableView(SheetModel* model, QWidget* parent) : QTableView(parent), model_(model)
{
    setModel(model);
    // No edit on a click into the current cell: its delayed start would swallow the keys typed
    // right after the click. Typing replaces, F2 and a double click edit.
    setEditTriggers(AnyKeyPressed | DoubleClicked | EditKeyPressed);
    setSelectionMode(ContiguousSelection);
    verticalHeader()->setDefaultSectionSize(24);
    // Widths fit the texts after every edit, so that nothing typed or computed shows cut. Only the
    // rows in view are measured, which keeps an edit of a thousand rows fast; scrolling widens a
    // column for longer texts further down.
    horizontalHeader()->setResizeContentsPrecision(0);
    fit_ = new QTimer(this);
    fit_->setSingleShot(true);
    fit_->setInterval(0);
    connect(fit_, &QTimer::timeout, this, [this] { fitColumns(); });
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
        headerWidths_.clear();
        fit_->start();
    });
    connect(model, &QAbstractItemModel::dataChanged, fit_, qOverload<>(&QTimer::start));
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { fitColumns(true); });
    fitColumns();
}

void PipelineTableView::fitColumns(bool widenOnly)
{
    // The headers' texts never change: measured once, and again only for a new document. A hidden
    // column's header measures nothing: it is measured once it shows.
    if (headerWidths_.size() != static_cast<std::size_t>(model_->columnCount())) headerWidths_.assign(static_cast<std::size_t>(model_->columnCount()), 0);
    for (int c = 0; c < model_->columnCount(); ++c) {
        if (isColumnHidden(c)) continue;
        int& header = headerWidths_[static_cast<std::size_t>(c)];
        if (header <= 0) header = horizontalHeader()->sectionSizeHint(c);
        const int wanted = std::max(sizeHintForColumn(c), header);
        if (wanted > columnWidth(c) || (!widenOnly && wanted < columnWidth(c))) setColumnWidth(c, wanted);
    }
}

void PipelineTableView::pickFromList(int column, ListChoices choices, bool typed)
{
    QAbstractItemDelegate* before = itemDelegateForColumn(column);
    setItemDelegateForColumn(column, new ChoiceDelegate(std::move(choices), typed, this));
    delete before;
}

void PipelineTableView::pickPipesFromLists(std::function<std::vector<std::string>()> constructions)
{
    const QList<ListChoice> dn = dnChoices();
    pickFromList(static_cast<int>(Column::dn), [dn] { return dn; }, true);
    pickFromList(static_cast<int>(Column::heatLossSource), [constructions = std::move(constructions)] {
        // The table's laying methods and the typed value, then each construction of the document.
        QList<ListChoice> choices;
        for (const HeatLossSource source : {HeatLossSource::typed, HeatLossSource::overhead, HeatLossSource::nonWalkableTrench,
                                            HeatLossSource::walkableTrench}) {
            const QString name = qs(kHeatLossSourceNames[static_cast<std::size_t>(source)]);
            choices.append({name, name});
        }
        for (const std::string& name : constructions()) {
            const QString text = qs(kInsulatedPrefix) + QString::fromStdString(name);
            choices.append({text, text});
        }
        return choices;
    });
}

void PipelineTableView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
    } else if (event->matches(QKeySequence::Paste)) {
        paste();
    } else if (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) {
        clearSelectedCells();
    } else if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && state() != EditingState) {
        moveDown();
    } else {
        QTableView::keyPressEvent(event);
    }
}

/// Tab and Backtab go to the next cell that takes input, over the results and the catalogue's
/// dimensions, to the next row at the end of one.
QModelIndex PipelineTableView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    if (action != MoveNext && action != MovePrevious) return QTableView::moveCursor(action, modifiers);
    const int columns = model_->columnCount();
    const int cells = model_->rowCount() * columns;
    const QModelIndex current = currentIndex();
    int at = current.isValid() ? current.row() * columns + current.column() : -1;
    for (int step = 0; step < cells; ++step) {
        at = action == MoveNext ? at + 1 : at - 1;
        if (at < 0 || at >= cells) break;
        const QModelIndex index = model_->index(at / columns, at % columns);
        if (index.flags() & Qt::ItemIsEditable) return index;
    }
    return current;
}

void PipelineTableView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    QTableView::closeEditor(editor, hint);
    if (hint == QAbstractItemDelegate::SubmitModelCache) moveDown();  // Enter ends the edit
}

void PipelineTableView::moveDown()
{
    const QModelIndex current = currentIndex();
    if (current.isValid() && current.row() + 1 < model_->rowCount()) {
        setCurrentIndex(model_->index(current.row() + 1, current.column()));
    }
}

/// The selected block as tab-separated lines.
void PipelineTableView::copySelection()
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty()) return;
    int top = selected.first().row(), bottom = top, left = selected.first().column(), right = left;
    for (const QModelIndex& index : selected) {
        top = std::min(top, index.row());
        bottom = std::max(bottom, index.row());
        left = std::min(left, index.column());
        right = std::max(right, index.column());
    }
    QStringList lines;
    for (int row = top; row <= bottom; ++row) {
        QStringList cells;
        for (int column = left; column <= right; ++column) cells << model_->index(row, column).data(Qt::EditRole).toString();
        lines << cells.join('\t');
    }
    QApplication::clipboard()->setText(lines.join('\n'));
}

/// Tab-separated lines from the clipboard, from the current cell to the right and down; rows are
/// added for lines beyond the last one, in the same step.
void PipelineTableView::paste()
{
    const QModelIndex current = currentIndex();
    if (!current.isValid()) return;
    QList<SheetModel::CellText> cells;
    const QStringList lines = QApplication::clipboard()->text().split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith('\r')) line.chop(1);
        if (line.isEmpty() && i == lines.size() - 1) break;  // the line break after the last line
        const QStringList texts = line.split('\t');
        for (int j = 0; j < texts.size(); ++j) cells.append({current.row() + i, current.column() + j, texts[j]});
    }
    model_->setCellTexts(cells, QStringLiteral("粘贴"), true);
}

void PipelineTableView::clearSelectedCells()
{
    QList<SheetModel::CellText> cells;
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
        if (model_->isClearable(index.column())) cells.append({index.row(), index.column(), QString()});
    }
    model_->setCellTexts(cells, QStringLiteral("清除"));
}

}  // namespace dorvent
