#pragma once

#include <QTableView>

#include <functional>
#include <string>
#include <vector>

class QTimer;

namespace dorvent {

class SheetModel;

/// An entry of a cell's list: what the list shows ("岩棉（≤400 ℃）"), and the text it puts into the cell.
struct ListChoice {
    QString shown;
    QString text;
};
using ListChoices = std::function<QList<ListChoice>()>;

/// The segment table, used as a spreadsheet is: typing starts an edit, Enter moves down, Tab to
/// the next input; Delete empties the selected inputs; Ctrl+C and Ctrl+V copy and paste
/// tab-separated text, paste adding the rows it needs; the DN is picked or typed, the heat-loss
/// source picked.
class PipelineTableView : public QTableView {
    Q_OBJECT

public:
    explicit PipelineTableView(SheetModel* model, QWidget* parent = nullptr);

    /// The DN picked or typed, the heat-loss source picked from its list: the pipe table's. The
    /// sources end in the document's constructions ("保温：名称"), as they are when the list opens.
    void pickPipesFromLists(std::function<std::vector<std::string>()> constructions);
    /// The column's cells picked from a list made as each edit begins; with typed, also typed.
    void pickFromList(int column, ListChoices choices, bool typed = false);

    void copySelection();
    void paste();
    void clearSelectedCells();

    /// Every column as wide as its header and the texts of the rows in view; with widenOnly, none
    /// narrower than it is.
    void fitColumns(bool widenOnly = false);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void moveDown();

    SheetModel* model_;
    QTimer* fit_;  // once the model's changes of one edit have all come
    std::vector<int> headerWidths_;  // of every column's header
};

}  // namespace dorvent
