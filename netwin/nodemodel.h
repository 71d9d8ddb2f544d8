#pragma once

#include "netwin/sheetmodel.h"
#include "pipeline/nodetable.h"

namespace dorvent {

class PipelineModel;

/// The nodes of a network as a table, over the pipeline model's document and results: a row per
/// node in the order the pipes name them, and after the node columns a demand column for each case
/// after the design case. Edits go through the pipeline model's undo stack.
class NodeModel : public SheetModel {
    Q_OBJECT

public:
    explicit NodeModel(PipelineModel* pipes, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setCellTexts(const QList<CellText>& cells, const QString& description, bool grow = false) override;
    bool isClearable(int column) const override;

protected:
    QString editDescription(int column) const override;

private:
    void calculated();
    QString problemOf(int row, int column) const;

    /// The case of a case's demand column; 0 for the node columns.
    std::size_t caseOf(int column) const;
    QVariant caseDemandData(const NodeRun& node, std::size_t index, int role) const;

    PipelineModel* pipes_;
    int rows_ = 0;
    int columns_ = kAllNodeColumnCount;
};

}  // namespace dorvent
