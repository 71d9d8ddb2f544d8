#include "netwin/pipelinemodel.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QUndoCommand>

#include <tuple>
#include <utility>

#include "numtext/formatnumber.h"
#include "pipeline/loadcases.h"
#include "pipeline/pipelinefile.h"
#include "pipeline/pipelinetable.h"

namespace dorvent {
namespace {

const QColor kProblemColour(248, 200, 200);  // a cell that cannot be used
const QColor kFlagColour(255, 200, 112);     // a result outside what the design wants
const QColor kFlaggedRowColour(255, 248, 214);
const QColor kNoteColour(226, 234, 246);     // a note, quieter than a flag: a velocity below its band
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
    case SegmentField::from: return Column::from;
    case SegmentField::to: return Column::to;
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


QString qs(const std::string& text) { return QString::fromStdString(text); }

/// What a row's header shows: its label, and whether it is marked as failed and why.
std::tuple<std::string_view, bool, std::string_view> headerKey(const PipelineDocument& d, const PipelineResult& r, int row)
{
    const auto i = static_cast<std::size_t>(row);
    const bool failed = i < r.segments.size() && r.segments[i].status == SegmentStatus::failed && !isBlank(d.segments[i]);
    return {d.segments[i].label, failed, failed ? std::string_view(r.segments[i].message) : std::string_view()};
}

}  // namespace

PipelineModel::PipelineModel(QObject* parent) : SheetModel(parent) { applyDocument({}); }

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
    const PipelineDocument before = std::exchange(document_, document);
    const std::vector<PipelineResult> old = std::exchange(results_, calculateCases(document_));
    static const PipelineResult none;
    const PipelineResult& was = old.empty() ? none : old[shown_];
    // The case shown stays shown by its name, or where it stood when it was renamed.
    const std::size_t named = old.empty() ? 0 : caseIndex(document_, caseName(before, shown_));
    shown_ = named < caseCount(document_) ? named : std::min(shown_, caseCount(document_) - 1);
    repaint(before, was, sameRows);
}

void PipelineModel::showCase(std::size_t index)
{
    if (index >= results_.size() || index == shown_) return;
    const PipelineResult& was = results_[shown_];
    shown_ = index;
    repaint(document_, was, true);
}

void PipelineModel::repaint(const PipelineDocument& before, const PipelineResult& was, bool sameRows)
{
    if (sameRows) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, kColumnCount - 1));
        // The row headers whose label or failure mark changed; all of them would cost the header
        // a measure of a thousand sections after every edit.
        int first = segmentCount(), last = -1;
        for (int row = 0; row < segmentCount(); ++row) {
            if (headerKey(before, was, row) != headerKey(document_, result(), row)) {
                first = std::min(first, row);
                last = row;
            }
        }
        if (last >= 0) emit headerDataChanged(Qt::Vertical, first, last);
    } else {
        endResetModel();
    }
    emit calculated();
}

int PipelineModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : segmentCount() + 1; }
int PipelineModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

/// A row nobody has typed into yet is not marked before it is.
bool PipelineModel::isBlank(int row) const { return dorvent::isBlank(document_.segments[static_cast<std::size_t>(row)]); }

std::optional<double> PipelineModel::scaledFlow(int row, Column column) const
{
    const SegmentRun* run = runOf(row);
    if (shown_ == 0 || column != Column::flow || run == nullptr || isTotalsRow(row) || !run->flow) return std::nullopt;
    const std::optional<double>& typed = document_.segments[static_cast<std::size_t>(row)].flow;
    return typed && *typed != *run->flow ? run->flow : std::nullopt;
}

bool PipelineModel::isSummedFlow(int row, Column column) const
{
    const SegmentRun* run = runOf(row);
    return column == Column::flow && run != nullptr && run->flowSummed && !isTotalsRow(row) &&
           !document_.segments[static_cast<std::size_t>(row)].flow;
}

const SegmentRun* PipelineModel::runOf(int row) const
{
    return row >= 0 && row < static_cast<int>(result().segments.size()) ? &result().segments[static_cast<std::size_t>(row)]
                                                                        : nullptr;
}

QString PipelineModel::problemOf(int row, int column) const
{
    const SegmentRun* run = runOf(row);
    if (isTotalsRow(row) || run == nullptr || isBlank(row)) return {};
    const auto c = static_cast<Column>(column);
    const PipelineSegment& segment = document_.segments[static_cast<std::size_t>(row)];
    if (run->status == SegmentStatus::failed && (c == Column::remark || c == Column::label || columnOf(run->field) == c)) {
        return qs(run->message);
    }
    return qs(cellProblem(segment, c));  // a text kept in a number cell, wherever the calculation stopped
}

QVariant PipelineModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) return {};
    const int row = index.row();
    const auto column = static_cast<Column>(index.column());
    const SegmentRun* run = runOf(row);
    const bool flagged = run != nullptr && run->flagged();
    switch (role) {
    case Qt::DisplayRole:
        if (column == Column::fixed) return QString();  // its check box says it
        if (const auto scaled = scaledFlow(row, column)) return qs(formatShortest(*scaled));
        [[fallthrough]];
    case Qt::EditRole:
        if (isTotalsRow(row)) return qs(totalsText(result(), column));
        if (column == Column::remark && isBlank(row)) return QString();
        return qs(cellText(document_.segments[static_cast<std::size_t>(row)], run, column));
    case Qt::ToolTipRole:
        if (column == Column::remark) return data(index, Qt::DisplayRole);
        if (run != nullptr && column == Column::velocity) return qs(run->velocityNote);
        if (run != nullptr && column == Column::superheat) return qs(run->superheatNote);
        if (run != nullptr && run->insulation && (column == Column::heatLossSource || isInsulationColumn(column))) {
            return qs(run->insulation->warnings);
        }
        if (run != nullptr && column == Column::flow && !run->flowNote.empty()) return qs(run->flowNote);
        if (run != nullptr && column == Column::heatLossLawTend && run->balance && !run->balance->heatLossLawTend()) {
            return run->balance->startDryness < 1 ? QStringLiteral("起点为湿蒸汽，按热损失不能计算")
                                                  : QStringLiteral("按热损失不能算出：蒸汽未到末端已冷却至饱和温度");
        }
        if (scaledFlow(row, column)) {
            return QStringLiteral("设计流量 %1 t/h × 负荷系数 %2")
                .arg(qs(formatShortest(*document_.segments[static_cast<std::size_t>(row)].flow)),
                     qs(formatShortest(caseFactor(document_, shown_))));
        }
        return problemOf(row, index.column());
    case Qt::BackgroundRole:
        if (isTotalsRow(row)) return QBrush(kTotalsColour);
        if (!problemOf(row, index.column()).isEmpty()) return QBrush(kProblemColour);
        if (run != nullptr && ((column == Column::velocity && run->velocityAboveBand) ||
                               (column == Column::superheat && run->superheatBelowMargin) ||
                               (column == Column::flow && !run->flowNote.empty()) ||
                               (column == Column::surfaceTemperature && run->insulation && run->insulation->surfaceTooHot) ||
                               (column == Column::lossPerSquareMetre && run->insulation && run->insulation->lossTooHigh) ||
                               (column == Column::heatLossSource && run->insulation && !run->insulation->warnings.empty()))) {
            return QBrush(kFlagColour);
        }
        if (run != nullptr && column == Column::velocity && run->velocityBelowBand) return QBrush(kNoteColour);
        if (flagged) return QBrush(kFlaggedRowColour);
        if (column >= kFirstResultColumn) return QBrush(kResultColour);
        return {};
    case Qt::FontRole:
        if (isTotalsRow(row) || isSummedFlow(row, column)) {
            QFont font;
            font.setBold(isTotalsRow(row));
            font.setItalic(!isTotalsRow(row));  // a summed flow is set apart from a typed one
            return font;
        }
        return {};
    case Qt::ForegroundRole:
        if (isSummedFlow(row, column)) return QBrush(QColor(90, 90, 160));
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter | (isTextColumn(column) ? Qt::AlignLeft : Qt::AlignRight));
    case Qt::CheckStateRole:
        if (column != Column::fixed || isTotalsRow(row)) return {};
        return document_.segments[static_cast<std::size_t>(row)].fixed ? Qt::Checked : Qt::Unchecked;
    default:
        return {};
    }
}

bool PipelineModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole) return SheetModel::setData(index, value, role);
    if (!index.isValid() || static_cast<Column>(index.column()) != Column::fixed || isTotalsRow(index.row())) return false;
    const bool fixed = value.value<Qt::CheckState>() == Qt::Checked;
    return setCellTexts({{index.row(), index.column(), fixed ? qs(std::string(kFixedMark)) : QString()}},
                        editDescription(index.column()));
}

/// Rows are numbered and named in the header, which stays in view while the table scrolls to the
/// right; a failed row's header is marked, with the message as its tool tip.
QVariant PipelineModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (role != Qt::DisplayRole) return {};
        const auto [name, unit] = columnHeader(static_cast<Column>(section));
        return unit.empty() ? qs(std::string(name)) : qs(std::string(name)) + '\n' + qs(std::string(unit));
    }
    if (section < 0 || section >= segmentCount()) return role == Qt::DisplayRole ? QVariant(QStringLiteral("合计")) : QVariant();
    const QString failed = problemOf(section, static_cast<int>(Column::label));
    switch (role) {
    case Qt::DisplayRole: {
        const std::string& label = document_.segments[static_cast<std::size_t>(section)].label;
        const QString name = QString::fromStdString(label).simplified();
        return name.isEmpty() ? QString::number(section + 1)
                              : QStringLiteral("%1 %2").arg(section + 1).arg(name.size() > 12 ? name.left(11) + "…" : name);
    }
    case Qt::ToolTipRole: return failed.isEmpty() ? QVariant() : QVariant(failed);
    case Qt::BackgroundRole: return failed.isEmpty() ? QVariant() : QVariant(QBrush(kProblemColour));
    case Qt::ForegroundRole: return failed.isEmpty() ? QVariant() : QVariant(QBrush(QColor(160, 0, 0)));
    default: return {};
    }
}

Qt::ItemFlags PipelineModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!isTotalsRow(index.row()) &&
        isEditable(document_.segments[static_cast<std::size_t>(index.row())], static_cast<Column>(index.column()))) {
        flags |= Qt::ItemIsEditable;
    }
    if (!isTotalsRow(index.row()) && static_cast<Column>(index.column()) == Column::fixed) flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QString PipelineModel::editDescription(int column) const
{
    return QStringLiteral("编辑%1").arg(qs(std::string(columnTitle(static_cast<Column>(column)))));
}

bool PipelineModel::isClearable(int column) const
{
    const auto c = static_cast<Column>(column);
    return c != Column::dn && c != Column::heatLossSource && c < kFirstResultColumn;
}

bool PipelineModel::setCellTexts(const QList<CellText>& cells, const QString& description, bool grow)
{
    PipelineDocument changed = document_;
    bool any = false;
    for (const CellText& cell : cells) {
        while (grow && cell.row >= static_cast<int>(changed.segments.size()) && changed.segments.size() < kMostSegments) {
            changed.segments.emplace_back();
        }
        if (cell.row >= static_cast<int>(changed.segments.size())) continue;
        if (cell.row < 0 || cell.column < 0 || cell.column >= kColumnCount) continue;
        PipelineSegment& segment = changed.segments[static_cast<std::size_t>(cell.row)];
        const PipelineSegment before = segment;
        if (!setCellText(segment, static_cast<Column>(cell.column), cell.text.toStdString())) continue;
        // A pipe is insulated only by a construction the document has.
        if (segment.heatLossSource == HeatLossSource::insulated && findConstruction(changed, segment.construction) == nullptr) {
            segment = before;
            continue;
        }
        any = true;
    }
    changeDocument(changed, description);
    return any;
}

}  // namespace dorvent
