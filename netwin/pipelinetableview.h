#pragma once

#include <QTableView>

#include <vector>

class QTimer;

namespace dorvent {

class SheetModel;

/// The segment table, used as a spreadsheet is: typing starts an edit, Enter moves down, Tab to
/// the next input; Delete empties the selected inputs; Ctrl+C and Ctrl+V copy and paste
/// tab-separated text, paste adding the rows it needs; the DN is picked or typed, the heat-loss
/// source picked.
class PipelineTableView : public QTableView {
    Q_OBJECT

public:
    explicit PipelineTableView(SheetModel* model, QWidget* parent = nullptr);

    /// The DN picked or typed, the heat-loss source picked from its list: the pipe table's.
    void pickPipesFromLists();

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
