#pragma once

#include <QUndoStack>

#include "netwin/sheetmodel.h"
#include "pipeline/pipelinecalc.h"
#include "pipeline/pipelinedocument.h"
#include "pipeline/pipelinetable.h"

namespace dorvent {

/// The segments of a pipeline document as a table, with their results: one row per segment and
/// a totals row at the end. Every change of the document goes through the undo stack, and every
/// change is calculated at once.
class PipelineModel : public SheetModel {
    Q_OBJECT

public:
    explicit PipelineModel(QObject* parent = nullptr);

    const PipelineDocument& document() const { return document_; }
    /// The results of the case shown, and of every case: each edit computes them all.
    const PipelineResult& result() const { return results_[shown_]; }
    const std::vector<PipelineResult>& results() const { return results_; }
    std::size_t shownCase() const { return shown_; }
    /// Shows another case's results, without calculating anything.
    void showCase(std::size_t index);
    QUndoStack* undoStack() { return &undo_; }

    /// A document opened or begun afresh: no undo history, nothing unsaved.
    void resetDocument(const PipelineDocument& document);
    /// Any change of the document, as one step that can be undone. Steps with the same
    /// nonzero mergeKey that follow each other become one (typing into one header field).
    void changeDocument(const PipelineDocument& changed, const QString& description, int mergeKey = 0);

    /// Applies a document without an undo step; for the undo commands.
    void applyDocument(const PipelineDocument& document);

    int segmentCount() const { return static_cast<int>(document_.segments.size()); }
    bool isTotalsRow(int row) const { return row == segmentCount(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    /// Also the check of the 固定 column.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    /// Rows beyond the last are added as many as a document may hold.
    bool setCellTexts(const QList<CellText>& cells, const QString& description, bool grow = false) override;
    bool isClearable(int column) const override;

    /// Why the row's cell is marked (a failed segment's label, remark and input; a text kept in a
    /// number cell); empty when it is not.
    QString problemOf(int row, int column) const;

signals:
    /// The results were calculated anew.
    void calculated();

protected:
    QString editDescription(int column) const override;

private:
    /// Repaints what a new document or another case's results change, and says they are there.
    void repaint(const PipelineDocument& before, const PipelineResult& was, bool sameRows);
    bool isBlank(int row) const;
    const SegmentRun* runOf(int row) const;
    bool isSummedFlow(int row, Column column) const;
    /// The flow a typed flow becomes in the case shown, where that is another than the design case's.
    std::optional<double> scaledFlow(int row, Column column) const;

    PipelineDocument document_;
    std::vector<PipelineResult> results_;
    std::size_t shown_ = 0;
    QUndoStack undo_;
};

}  // namespace dorvent
