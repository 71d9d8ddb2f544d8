#include "netwin/nodemodel.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include "netwin/pipelinemodel.h"
#include "numtext/formatnumber.h"
#include "pipeline/casetable.h"
#include "pipeline/loadcases.h"

namespace dorvent {
namespace {

const QColor kProblemColour(248, 200, 200);  // as in the pipe table
const QColor kFlagColour(255, 200, 112);
const QColor kResultColour(244, 246, 250);
const QColor kTakenColour(110, 110, 110);  // a case's demand taken from the design demand

QString qs(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

NodeModel::NodeModel(PipelineModel* pipes, QObject* parent) : SheetModel(parent), pipes_(pipes)
{
    connect(pipes_, &PipelineModel::calculated, this, &NodeModel::calculated);
    calculated();
}

/// Rows come and go with the names the pipes give; otherwise every cell is repainted.
void NodeModel::calculated()
{
    // A demand column for each case after the design case, at the end, so that the columns
    // before keep their places.
    const int columns = kAllNodeColumnCount + static_cast<int>(pipes_->document().cases.size());
    if (columns > columns_) {
        beginInsertColumns({}, columns_, columns - 1);
        columns_ = columns;
        endInsertColumns();
    } else if (columns < columns_) {
        beginRemoveColumns({}, columns, columns_ - 1);
        columns_ = columns;
        endRemoveColumns();
    }
    if (columns_ > kAllNodeColumnCount) emit headerDataChanged(Qt::Horizontal, kAllNodeColumnCount, columns_ - 1);
    const int rows = static_cast<int>(pipes_->result().nodes.size());
    if (rows != rows_) {
        beginResetModel();
        rows_ = rows;
        endResetModel();
    } else if (rows > 0) {
        emit dataChanged(index(0, 0), index(rows - 1, columns_ - 1));
        emit headerDataChanged(Qt::Vertical, 0, rows - 1);
    }
}

int NodeModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }
// Every column; the window hides those of wet steam where the document does not compute it.
int NodeModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : columns_; }

std::size_t NodeModel::caseOf(int column) const
{
    return column >= kAllNodeColumnCount ? static_cast<std::size_t>(column - kAllNodeColumnCount + 1) : 0;
}

QVariant NodeModel::caseDemandData(const NodeRun& node, std::size_t index, int role) const
{
    const PipelineDocument& d = pipes_->document();
    const std::string typed = caseDemandText(d, index, node.name);
    switch (role) {
    case Qt::EditRole: return qs(typed);
    case Qt::DisplayRole: {
        if (!typed.empty()) return qs(typed);
        const std::optional<double> demand = caseDemand(d, index, node.name);
        return demand ? qs(formatShortest(*demand)) : QString();
    }
    case Qt::ForegroundRole: return typed.empty() ? QVariant(QBrush(kTakenColour)) : QVariant();
    case Qt::FontRole: {
        QFont font;
        font.setItalic(typed.empty());  // as a summed flow: not typed, taken
        return font;
    }
    case Qt::ToolTipRole:
        if (!typed.empty() && !readCellNumber(typed)) return qs(notNumberReason(typed));
        return typed.empty() ? QStringLiteral("设计用汽量 × 负荷系数 %1").arg(qs(formatShortest(caseFactor(d, index)))) : QString();
    case Qt::BackgroundRole:
        return !typed.empty() && !readCellNumber(typed) ? QVariant(QBrush(kProblemColour)) : QVariant();
    case Qt::TextAlignmentRole: return QVariant::fromValue(Qt::AlignVCenter | Qt::AlignRight);
    default: return {};
    }
}

QString NodeModel::problemOf(int row, int column) const
{
    const NodeRun& node = pipes_->result().nodes[static_cast<std::size_t>(row)];
    return qs(nodeCellProblem(pipes_->document(), node.name, static_cast<NodeColumn>(column)));
}

QVariant NodeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_) return {};
    const NodeRun& node = pipes_->result().nodes[static_cast<std::size_t>(index.row())];
    if (const std::size_t k = caseOf(index.column()); k > 0) return caseDemandData(node, k, role);
    const auto column = static_cast<NodeColumn>(index.column());
    const bool shortOf = (column == NodeColumn::p && node.pressureShort) ||
                         (column == NodeColumn::t && node.temperatureShort) ||
                         (column == NodeColumn::superheat && node.superheatShort);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return qs(nodeCellText(pipes_->document(), pipes_->result(), node, column));
    case Qt::ToolTipRole:
        if (column == NodeColumn::remark) return data(index, Qt::DisplayRole);
        if (const QString problem = problemOf(index.row(), index.column()); !problem.isEmpty()) return problem;
        return qs(unusedSourceInput(pipes_->document(), node.name, column));
    case Qt::ForegroundRole:  // a source's input that does nothing, greyed
        return unusedSourceInput(pipes_->document(), node.name, column).empty() ? QVariant() : QVariant(QBrush(kTakenColour));
    case Qt::BackgroundRole:
        if (!problemOf(index.row(), index.column()).isEmpty()) return QBrush(kProblemColour);
        if (shortOf) return QBrush(kFlagColour);
        if (isNodeResult(column)) return QBrush(kResultColour);
        return {};
    case Qt::FontRole:
        if (pipes_->result().critical == static_cast<std::size_t>(index.row())) {
            QFont bold;
            bold.setBold(true);
            return bold;  // the critical consumer
        }
        return {};
    case Qt::TextAlignmentRole: {
        const bool text = column == NodeColumn::name || column == NodeColumn::kind || column == NodeColumn::remark ||
                          column == NodeColumn::source || column == NodeColumn::feeders;
        return QVariant::fromValue(Qt::AlignVCenter | (text ? Qt::AlignLeft : Qt::AlignRight));
    }
    default: return {};
    }
}

QVariant NodeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return QString::number(section + 1);
    if (const std::size_t k = caseOf(section); k > 0) return qs(caseName(pipes_->document(), k)) + QStringLiteral("\n用汽量(t/h)");
    // With several cases, the demands typed here are the design case's, beside each case's own.
    if (static_cast<NodeColumn>(section) == NodeColumn::demand && !pipes_->document().cases.empty()) {
        return qs(pipes_->document().designCase) + QStringLiteral("\n用汽量(t/h)");
    }
    const auto [name, unit] = nodeColumnHeader(static_cast<NodeColumn>(section));
    return unit.empty() ? qs(std::string(name)) : qs(std::string(name)) + '\n' + qs(std::string(unit));
}

Qt::ItemFlags NodeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (caseOf(index.column()) > 0 || isNodeEditable(static_cast<NodeColumn>(index.column()))) flags |= Qt::ItemIsEditable;
    return flags;
}

bool NodeModel::setCellTexts(const QList<CellText>& cells, const QString& description, bool /*grow: nodes come from the pipes*/)
{
    PipelineDocument changed = pipes_->document();
    // The names as the rows show them, before any of these edits renames one.
    std::vector<std::string> names;
    for (const NodeRun& node : pipes_->result().nodes) names.push_back(node.name);
    bool any = false;
    for (const CellText& cell : cells) {
        if (cell.row < 0 || cell.row >= rows_ || cell.column < 0 || cell.column >= columns_) continue;
        const std::string before = names[static_cast<std::size_t>(cell.row)];
        if (const std::size_t k = caseOf(cell.column); k > 0) {
            any |= setCaseDemandText(changed, k, before, cell.text.trimmed().toStdString());
            continue;
        }
        const bool took = setNodeCellText(changed, before, static_cast<NodeColumn>(cell.column), cell.text.toStdString());
        if (took && static_cast<NodeColumn>(cell.column) == NodeColumn::name) {
            names[static_cast<std::size_t>(cell.row)] = cell.text.trimmed().toStdString();
        }
        any |= took;
    }
    pipes_->changeDocument(changed, description);
    return any;
}

bool NodeModel::isClearable(int column) const
{
    const auto c = static_cast<NodeColumn>(column);
    return caseOf(column) > 0 || (isNodeEditable(c) && c != NodeColumn::name);  // a node keeps its name
}

QString NodeModel::editDescription(int column) const
{
    if (const std::size_t k = caseOf(column); k > 0) return QStringLiteral("编辑%1用汽量").arg(qs(caseName(pipes_->document(), k)));
    return QStringLiteral("编辑%1").arg(qs(std::string(nodeColumnTitle(static_cast<NodeColumn>(column)))));
}

}  // namespace dorvent
