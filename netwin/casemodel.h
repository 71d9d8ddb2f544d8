#pragma once

#include <QAbstractTableModel>

#include "netwin/sheetmodel.h"
#include "pipeline/casecomparison.h"
#include "pipeline/casetable.h"

namespace dorvent {

class PipelineModel;

/// The load cases (工况) of the pipeline model's document as a table: the design case first, then
/// the others. Edits go through the pipeline model's undo stack; a text the document cannot take
/// leaves its cell as it was, and refused says why.
class CaseModel : public SheetModel {
    Q_OBJECT

public:
    explicit CaseModel(PipelineModel* pipes, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setCellTexts(const QList<CellText>& cells, const QString& description, bool grow = false) override;
    bool isClearable(int column) const override;

signals:
    void refused(const QString& why);

protected:
    QString editDescription(int column) const override;

private:
    PipelineModel* pipes_;
    int rows_ = 0;
};

/// One table of the comparison (工况对比), read only: the worst case of each quantity bold, a
/// line above each consumer's (or pipe's) first row.
class ComparisonModel : public QAbstractTableModel {
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    void setTable(ComparisonTable table);
    const ComparisonTable& table() const { return table_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    ComparisonTable table_;
    std::vector<bool> shaded_;  // of each row
};

}  // namespace dorvent
