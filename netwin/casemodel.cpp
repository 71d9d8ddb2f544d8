#include "netwin/casemodel.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include "netwin/pipelinemodel.h"
#include "pipeline/loadcases.h"
#include "pipeline/pipelinefile.h"

namespace dorvent {
namespace {

const QColor kProblemColour(248, 200, 200);  // as in the pipe table
const QColor kGroupColour(240, 242, 246);    // every other consumer's rows

QString qs(const std::string& text) { return QString::fromStdString(text); }

/// Why a case cannot take a name.
QString nameRefusal(const QString& typed)
{
    const QString name = typed.trimmed();
    if (name.isEmpty()) return QStringLiteral("工况名称不能为空");
    if (name.toUtf8().size() > static_cast<qsizetype>(kMostNodeNameBytes)) return QStringLiteral("工况名称“%1”过长：至多 20 个汉字").arg(name);
    return QStringLiteral("已有名为“%1”的工况").arg(name);
}

}  // namespace

CaseModel::CaseModel(PipelineModel* pipes, QObject* parent) : SheetModel(parent), pipes_(pipes)
{
    const auto follow = [this] {
        followRows(rows_, static_cast<int>(caseCount(pipes_->document())));
        emit headerDataChanged(Qt::Horizontal, 0, kCaseColumnCount - 1);  // the units follow the header's
    };
    connect(pipes_, &PipelineModel::calculated, this, follow);
    follow();
}

int CaseModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }
int CaseModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kCaseColumnCount; }

QVariant CaseModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_) return {};
    const auto row = static_cast<std::size_t>(index.row());
    const auto column = static_cast<CaseColumn>(index.column());
    const PipelineDocument& d = pipes_->document();
    // A case's empty source or factor takes the design case's: shown in grey, typed over empty.
    const bool inherited = row > 0 && column != CaseColumn::name && caseCellText(d, row, column).empty();
    switch (role) {
    case Qt::DisplayRole:
        if (inherited) return qs(column == CaseColumn::factor ? std::string("1") : caseCellText(d, 0, column));
        return qs(caseCellText(d, row, column));
    case Qt::EditRole: return qs(caseCellText(d, row, column));
    case Qt::ForegroundRole: return inherited ? QVariant(QBrush(QColor(110, 110, 110))) : QVariant();
    case Qt::ToolTipRole: {
        const std::string problem = caseCellProblem(d, row, column);
        if (!problem.empty()) return qs(problem);
        if (row == 0 && column != CaseColumn::name) return QStringLiteral("设计工况的汽源参数即表头的起点压力和温度，负荷系数为 1");
        if (row > 0 && column != CaseColumn::name) return QStringLiteral("空白：与设计工况相同");
        return {};
    }
    case Qt::BackgroundRole:
        if (!caseCellProblem(d, row, column).empty()) return QBrush(kProblemColour);
        return {};
    case Qt::FontRole: {
        QFont font;
        font.setBold(row == pipes_->shownCase());  // the case the tables show
        font.setItalic(inherited);
        return font;
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter | (column == CaseColumn::name ? Qt::AlignLeft : Qt::AlignRight));
    default: return {};
    }
}

QVariant CaseModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return QString::number(section + 1);
    return qs(caseColumnTitle(pipes_->document(), static_cast<CaseColumn>(section)));
}

Qt::ItemFlags CaseModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (isCaseEditable(static_cast<std::size_t>(index.row()), static_cast<CaseColumn>(index.column()))) flags |= Qt::ItemIsEditable;
    return flags;
}

bool CaseModel::setCellTexts(const QList<CellText>& cells, const QString& description, bool /*grow: 添加 adds cases*/)
{
    PipelineDocument changed = pipes_->document();
    QString why;
    bool any = false;
    for (const CellText& cell : cells) {
        if (cell.row < 0 || cell.row >= rows_ || cell.column < 0 || cell.column >= kCaseColumnCount) continue;
        const auto column = static_cast<CaseColumn>(cell.column);
        const bool took = setCaseCellText(changed, static_cast<std::size_t>(cell.row), column, cell.text.toStdString());
        if (!took && why.isEmpty()) {
            why = column == CaseColumn::name ? nameRefusal(cell.text)
                  : cell.row == 0            ? QStringLiteral("设计工况的起点参数应为数值：“%1”").arg(cell.text)
                                             : QStringLiteral("“%1”过长").arg(cell.text);
        }
        any |= took;
    }
    pipes_->changeDocument(changed, description);
    emit refused(why);
    return any;
}

bool CaseModel::isClearable(int column) const { return static_cast<CaseColumn>(column) != CaseColumn::name; }

QString CaseModel::editDescription(int column) const
{
    return QStringLiteral("编辑%1").arg(qs(caseColumnTitle(pipes_->document(), static_cast<CaseColumn>(column))));
}

void ComparisonModel::setTable(ComparisonTable table)
{
    beginResetModel();
    table_ = std::move(table);
    // Consumers alternate in shade, so that a consumer's cases read as one block.
    shaded_.assign(table_.rows.size(), false);
    for (std::size_t r = 1; r < shaded_.size(); ++r) shaded_[r] = table_.groupStart[r] ? !shaded_[r - 1] : shaded_[r - 1];
    endResetModel();
}

int ComparisonModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : static_cast<int>(table_.rows.size()); }
int ComparisonModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(table_.header.size());
}

QVariant ComparisonModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) return {};
    const auto row = static_cast<std::size_t>(index.row());
    const auto column = static_cast<std::size_t>(index.column());
    switch (role) {
    case Qt::DisplayRole: return qs(table_.rows[row][column]);
    case Qt::FontRole:
        if (table_.worst[row][column]) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::BackgroundRole: return shaded_[row] ? QVariant(QBrush(kGroupColour)) : QVariant();
    case Qt::TextAlignmentRole: {
        const bool text = column < 2 || column + 1 == table_.header.size();
        return QVariant::fromValue(Qt::AlignVCenter | (text ? Qt::AlignLeft : Qt::AlignRight));
    }
    default: return {};
    }
}

QVariant ComparisonModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return {};
    const QString title = qs(table_.header[static_cast<std::size_t>(section)]);
    const qsizetype unit = title.indexOf('(');
    return unit > 0 ? title.left(unit) + '\n' + title.mid(unit + 1).chopped(1) : title;
}

}  // namespace dorvent
