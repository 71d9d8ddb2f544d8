#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>

namespace dorvent {

/// A table of our own that a PipelineTableView edits as a spreadsheet: texts typed or pasted
/// into several cells at once, as one step that can be undone.
class SheetModel : public QAbstractTableModel {
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    struct CellText {
        int row;
        int column;
        QString text;
    };
    /// Texts typed or pasted into several cells, as one step; cells that cannot take their
    /// text keep theirs. With grow, rows beyond the last are added for them where the table
    /// can grow. False when no cell took its text.
    virtual bool setCellTexts(const QList<CellText>& cells, const QString& description, bool grow = false) = 0;
    /// Whether Delete empties the column: a typed input, not a pick from a list.
    virtual bool isClearable(int column) const = 0;

    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override
    {
        if (role != Qt::EditRole || !index.isValid()) return false;
        return setCellTexts({{index.row(), index.column(), value.toString()}}, editDescription(index.column()));
    }

protected:
    /// The rows follow a list of the document after each calculation: reset when their count
    /// changes, else every cell repainted.
    void followRows(int& rows, int count)
    {
        if (count != rows) {
            beginResetModel();
            rows = count;
            endResetModel();
        } else if (rows > 0) {
            emit dataChanged(index(0, 0), index(rows - 1, columnCount() - 1));
        }
    }
    /// The undo step's name for typing into a column: "编辑长度".
    virtual QString editDescription(int column) const = 0;
};

}  // namespace dorvent
