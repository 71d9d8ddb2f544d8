#include "pipeline/pipelinemodel.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QUndoCommand>

#include "pipeline/pipelinetable.h"

namespace dorvent {
namespace {

const QColor kProblemColour(248, 200, 200);  // a cell that cannot be used
const QColor kFlagColour(255, 200, 112);     // a result outside what the design wants
const QColor kFlaggedRowColour(255, 248, 214);
const QColor kResultColour(244, 246, 250);   // read-only results
const QColor kTotalsColour(228, 228, 228);

/// One step of the undo history: the document before and after it.
class DocumentChange : public QUndoCommand {
public:
    DocumentChange(PipelineModel* model, PipelineDocument before, PipelineDocument after, const QString& text,
                   int mergeKey)
        : QUndoCommand(text), model_(model), before_(std::move(before)), after_(std::move(after)), mergeKey_(mergeKey)
    {
    }

    void redo() override { model_->applyDocument(after_); }
    void undo() override { model_->applyDocument(before_); }
    int id() const override { return mergeKey_ != 0 ? mergeKey_ : -1; }
    bool mergeWith(const QUndoCommand* other) override
    {
        after_ = static_cast<const DocumentChange*>(other)->after_;
        return true;
    }

private:
    PipelineModel* model_;
    PipelineDocument before_;
    PipelineDocument after_;
    int mergeKey_;
};

Column columnOf(SegmentField field)
{
    switch (field) {
    case SegmentField::pipe: return Column::dn;
    case SegmentField::outerDiameter: return Column::outerDiameter;
    case SegmentField::wall: return Column::wall;
    case SegmentField::length: return Column::length;
    case SegmentField::flow: return Column::flow;
    case SegmentField::zeta: return Column::zeta;
    case SegmentField::beta: return Column::beta;
    case SegmentField::phi: return Column::phi;
    case SegmentField::ambient: return Column::ambient;
    case SegmentField::dropPerKm: return Column::dropPerKm;
    case SegmentField::heatLoss: return Column::heatLoss;
    case SegmentField::none: break;
    }
    return Column::remark;
}

bool isTextColumn(Column column)
{
    return column == Column::label || column == Column::dn || column == Column::heatLossSource ||
           column == Column::remark;
}

QString qs(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

PipelineModel::PipelineModel(QObject* parent) : QAbstractTableModel(parent) { applyDocument({}); }

void PipelineModel::resetDocument(const PipelineDocument& document)
{
    undo_.clear();
    applyDocument(document);
    undo_.setClean();
}

void PipelineModel::changeDocument(const PipelineDocument& changed, const QString& description, int mergeKey)
{
    if (changed == document_) return;
    undo_.push(new DocumentChange(this, document_, changed, description, mergeKey));
}

void PipelineModel::applyDocument(const PipelineDocument& document)
{
    const bool sameRows = document.segments.size() == document_.segments.size();
    if (!sameRows) beginResetModel();
    document_ = document;
    result_ = calculatePipeline(document_);
    if (sameRows) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, kColumnCount - 1));
    } else {
        endResetModel();
    }
    emit calculated();
}

int PipelineModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : segmentCount() + 1; }
int PipelineModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QString PipelineModel::problemOf(int row, int column) const
{
    if (isTotalsRow(row) || row >= static_cast<int>(result_.segments.size())) return {};
    const SegmentRun& run = result_.segments[static_cast<std::size_t>(row)];
    if (run.status == SegmentStatus::computed) return {};
    if (static_cast<Column>(column) == Column::remark || columnOf(run.field) == static_cast<Column>(column)) {
        return qs(run.message);
    }
    return {};
}

QVariant PipelineModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) return {};
    const int row = index.row();
    const auto column = static_cast<Column>(index.column());
    const SegmentRun* run =
        row < static_cast<int>(result_.segments.size()) ? &result_.segments[static_cast<std::size_t>(row)] : nullptr;
    const bool flagged = run != nullptr && (run->velocityOutsideBand || run->superheatBelowMargin);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (isTotalsRow(row)) return qs(totalsText(result_, column));
        return qs(cellText(document_.segments[static_cast<std::size_t>(row)], run, column));
    case Qt::ToolTipRole:
        if (column == Column::remark) return data(index, Qt::DisplayRole);
        return problemOf(row, index.column());
    case Qt::BackgroundRole:
        if (isTotalsRow(row)) return QBrush(kTotalsColour);
        if (!problemOf(row, index.column()).isEmpty()) return QBrush(kProblemColour);
        if (run != nullptr && ((column == Column::velocity && run->velocityOutsideBand) ||
                               (column == Column::superheat && run->superheatBelowMargin))) {
            return QBrush(kFlagColour);
        }
        if (flagged) return QBrush(kFlaggedRowColour);
        if (column >= kFirstResultColumn) return QBrush(kResultColour);
        return {};
    case Qt::FontRole:
        if (isTotalsRow(row)) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter | (isTextColumn(column) ? Qt::AlignLeft : Qt::AlignRight));
    default:
        return {};
    }
}

QVariant PipelineModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) return qs(std::string(columnTitle(static_cast<Column>(section))));
    return isTotalsRow(section) ? QString() : QString::number(section + 1);
}

Qt::ItemFlags PipelineModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!isTotalsRow(index.row()) &&
        isEditable(document_.segments[static_cast<std::size_t>(index.row())], static_cast<Column>(index.column()))) {
        flags |= Qt::ItemIsEditable;
    }
    return flags;
}

bool PipelineModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid()) return false;
    return setCellTexts({{index.row(), index.column(), value.toString()}},
                        QStringLiteral("编辑%1").arg(qs(std::string(columnTitle(static_cast<Column>(index.column()))))));
}

bool PipelineModel::setCellTexts(const QList<CellText>& cells, const QString& description)
{
    PipelineDocument changed = document_;
    bool any = false;
    for (const CellText& cell : cells) {
        if (cell.row < 0 || cell.row >= segmentCount() || cell.column < 0 || cell.column >= kColumnCount) continue;
        any |= setCellText(changed.segments[static_cast<std::size_t>(cell.row)], static_cast<Column>(cell.column),
                           cell.text.toStdString());
    }
    changeDocument(changed, description);
    return any;
}

}  // namespace dorvent
