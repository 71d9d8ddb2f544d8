#include "netwin/constructionmodel.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include "insulation/jackets.h"
#include "insulation/materials.h"
#include "netwin/pipelinemodel.h"
#include "numtext/formatnumber.h"
#include "pipeline/pipeinsulation.h"
#include "pipeline/pipelinefile.h"

namespace dorvent {
namespace {

const QColor kProblemColour(248, 200, 200);  // as in the pipe table
const QColor kNoteColour(226, 234, 246);
const QColor kResultColour(244, 246, 250);
const QColor kTakenColour(90, 90, 160);      // a value the program takes, not typed: as a summed flow

QString qs(const std::string& text) { return QString::fromStdString(text); }
QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }

const QString kWindHint = QStringLiteral("风速低于约 1 m/s 时宜输入 0：静止空气与有风时的对流换热公式在此不相衔接，"
                                         "0.1 m/s 的对流换热远小于静止空气的");

QString twoLines(const std::array<std::string_view, 2>& header)
{
    return header[1].empty() ? qs(header[0]) : qs(header[0]) + '\n' + qs(header[1]);
}

/// What a material is, for its cell's tip.
QString materialTip(const PipelineDocument& d, const std::string& name)
{
    if (const auto m = insulation::findMaterial(name)) {
        return QStringLiteral("%1 %2，推荐使用温度不高于 %3 ℃").arg(qs(m->name), qs(m->density), qs(formatShortest(m->useUpTo)));
    }
    if (const OwnMaterial* own = findOwnMaterial(d, name)) {
        const QString limit = own->useUpTo ? qs(formatShortest(*own->useUpTo)) : QStringLiteral("（未给出）");
        return QStringLiteral("自定义材料，λ = a + b·tm + c·tm²，推荐使用温度不高于 %1 ℃").arg(limit);
    }
    return {};
}

QVariant alignment(bool text) { return QVariant::fromValue(Qt::AlignVCenter | (text ? Qt::AlignLeft : Qt::AlignRight)); }

}  // namespace

// ---- Constructions

ConstructionModel::ConstructionModel(PipelineModel* pipes, QObject* parent) : SheetModel(parent), pipes_(pipes)
{
    connect(pipes_, &PipelineModel::calculated, this, &ConstructionModel::calculated);
    calculated();
}

void ConstructionModel::calculated()
{
    followRows(rows_, static_cast<int>(pipes_->document().constructions.size()));
}

int ConstructionModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }
int ConstructionModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kConstructionColumnCount; }

QString ConstructionModel::problemOf(int row, int column) const
{
    const InsulationConstruction& c = pipes_->document().constructions[static_cast<std::size_t>(row)];
    const bool outer = !c.outer.material.empty() || c.outer.thickness;
    switch (static_cast<ConstructionColumn>(column)) {
    case ConstructionColumn::innerMaterial: return c.inner.material.empty() ? QStringLiteral("请选择内层材料") : QString();
    case ConstructionColumn::innerThickness: return c.inner.thickness ? QString() : QStringLiteral("请输入内层厚度");
    case ConstructionColumn::outerMaterial:
        return outer && c.outer.material.empty() ? QStringLiteral("请选择外层材料；单层保温时清除外层厚度") : QString();
    case ConstructionColumn::outerThickness: return outer && !c.outer.thickness ? QStringLiteral("请输入外层厚度") : QString();
    case ConstructionColumn::emissivity: return emissivityOf(c) ? QString() : QStringLiteral("请选择外护层或输入黑度");
    case ConstructionColumn::wind: return c.wind ? QString() : QStringLiteral("请输入风速；室内或无风时输入 0");
    default: return {};
    }
}

QVariant ConstructionModel::data(const QModelIndex& index, int role) const
{
    const PipelineDocument& d = pipes_->document();
    if (!index.isValid() || index.row() >= rows_ || index.row() >= static_cast<int>(d.constructions.size())) return {};
    const auto row = static_cast<std::size_t>(index.row());
    const InsulationConstruction& c = d.constructions[row];
    const auto column = static_cast<ConstructionColumn>(index.column());
    const bool taken = column == ConstructionColumn::emissivity && !c.emissivity && emissivityOf(c);  // from the jacket
    const bool lightWind = column == ConstructionColumn::wind && c.wind && *c.wind > 0 && *c.wind < 1;
    const bool text = column == ConstructionColumn::name || column == ConstructionColumn::innerMaterial ||
                      column == ConstructionColumn::outerMaterial || column == ConstructionColumn::jacket ||
                      column == ConstructionColumn::pipes;
    switch (role) {
    case Qt::DisplayRole: return qs(constructionCellText(d, row, column));
    case Qt::EditRole: return qs(constructionInputText(d, row, column));
    case Qt::ToolTipRole: {
        if (const QString problem = problemOf(index.row(), index.column()); !problem.isEmpty()) return problem;
        if (column == ConstructionColumn::innerMaterial) return materialTip(d, c.inner.material);
        if (column == ConstructionColumn::outerMaterial) return materialTip(d, c.outer.material);
        if (column == ConstructionColumn::wind) return kWindHint;
        if (taken) {
            const insulation::Jacket jacket = *insulation::findJacket(c.jacket);
            return QStringLiteral("按外护层“%1”的黑度 %2~%3 取中值；可输入黑度代替")
                .arg(qs(jacket.name), qs(formatShortest(jacket.emissivityLow)), qs(formatShortest(jacket.emissivityHigh)));
        }
        if (column == ConstructionColumn::pipes) return qs(pipeList(d, pipesUsing(d, c.name)));
        return {};
    }
    case Qt::BackgroundRole:
        if (!problemOf(index.row(), index.column()).isEmpty()) return QBrush(kProblemColour);
        if (lightWind) return QBrush(kNoteColour);
        if (column == ConstructionColumn::pipes) return QBrush(kResultColour);
        return {};
    case Qt::ForegroundRole: return taken ? QVariant(QBrush(kTakenColour)) : QVariant();
    case Qt::FontRole: {
        if (!taken) return {};
        QFont font;
        font.setItalic(true);
        return font;
    }
    case Qt::TextAlignmentRole: return alignment(text);
    default: return {};
    }
}

QVariant ConstructionModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) return role == Qt::DisplayRole ? QVariant(QString::number(section + 1)) : QVariant();
    const auto column = static_cast<ConstructionColumn>(section);
    if (role == Qt::DisplayRole) return twoLines(constructionColumnHeader(column));
    if (role != Qt::ToolTipRole) return {};
    switch (column) {
    case ConstructionColumn::outerMaterial: return QStringLiteral("单层保温时外层材料和外层厚度都不填");
    case ConstructionColumn::emissivity:
        return QStringLiteral("外护层表面的黑度 ε。选了外护层时显示计算所用的值（其黑度范围的中值），输入数值可代替；"
                              "不用外护层时须输入");
    case ConstructionColumn::wind: return kWindHint;
    case ConstructionColumn::pipes: return QStringLiteral("热损失取值为该保温做法的管段");
    default: return {};
    }
}

Qt::ItemFlags ConstructionModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (static_cast<ConstructionColumn>(index.column()) != ConstructionColumn::pipes) flags |= Qt::ItemIsEditable;
    return flags;
}

bool ConstructionModel::setCellTexts(const QList<CellText>& cells, const QString& description, bool grow)
{
    PipelineDocument changed = pipes_->document();
    bool any = false;
    QString why;
    for (const CellText& cell : cells) {
        if (cell.column < 0 || cell.column >= kConstructionColumnCount || cell.row < 0) continue;
        while (grow && cell.row >= static_cast<int>(changed.constructions.size()) && changed.constructions.size() < kMostConstructions) {
            changed.constructions.push_back({.name = newConstructionName(changed)});
        }
        if (cell.row >= static_cast<int>(changed.constructions.size())) continue;
        const std::string refusal = setConstructionCellText(changed, static_cast<std::size_t>(cell.row),
                                                            static_cast<ConstructionColumn>(cell.column), cell.text.toStdString());
        any |= refusal.empty();  // a cell refused leaves the document as it was
        if (why.isEmpty()) why = qs(refusal);
    }
    pipes_->changeDocument(changed, description);
    emit refused(why);
    return any;
}

bool ConstructionModel::isClearable(int column) const
{
    const auto c = static_cast<ConstructionColumn>(column);
    return c != ConstructionColumn::name && c != ConstructionColumn::pipes;  // a construction keeps its name
}

QString ConstructionModel::editDescription(int column) const
{
    return QStringLiteral("编辑保温做法的%1").arg(qs(constructionColumnHeader(static_cast<ConstructionColumn>(column))[0]));
}

// ---- Own materials

OwnMaterialModel::OwnMaterialModel(PipelineModel* pipes, QObject* parent) : SheetModel(parent), pipes_(pipes)
{
    connect(pipes_, &PipelineModel::calculated, this, &OwnMaterialModel::calculated);
    calculated();
}

void OwnMaterialModel::calculated()
{
    followRows(rows_, static_cast<int>(pipes_->document().ownMaterials.size()));
}

int OwnMaterialModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }
int OwnMaterialModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kMaterialColumnCount; }

QString OwnMaterialModel::problemOf(int row, int column) const
{
    const OwnMaterial& m = pipes_->document().ownMaterials[static_cast<std::size_t>(row)];
    switch (static_cast<MaterialColumn>(column)) {
    case MaterialColumn::a: return m.a ? QString() : QStringLiteral("请输入 a；没有这一项时输入 0");
    case MaterialColumn::b: return m.b ? QString() : QStringLiteral("请输入 b；没有这一项时输入 0");
    case MaterialColumn::c: return m.c ? QString() : QStringLiteral("请输入 c；没有这一项时输入 0");
    case MaterialColumn::useUpTo: return m.useUpTo ? QString() : QStringLiteral("请输入推荐使用温度");
    default: return {};
    }
}

QVariant OwnMaterialModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_ || index.row() >= static_cast<int>(pipes_->document().ownMaterials.size())) return {};
    const auto column = static_cast<MaterialColumn>(index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return qs(materialCellText(pipes_->document(), static_cast<std::size_t>(index.row()), column));
    case Qt::ToolTipRole: {
        const QString problem = problemOf(index.row(), index.column());
        return problem.isEmpty() && column == MaterialColumn::constructions ? data(index) : QVariant(problem);
    }
    case Qt::BackgroundRole:
        if (!problemOf(index.row(), index.column()).isEmpty()) return QBrush(kProblemColour);
        return column == MaterialColumn::constructions ? QVariant(QBrush(kResultColour)) : QVariant();
    case Qt::TextAlignmentRole: return alignment(column == MaterialColumn::name || column == MaterialColumn::constructions);
    default: return {};
    }
}

QVariant OwnMaterialModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) return role == Qt::DisplayRole ? QVariant(QString::number(section + 1)) : QVariant();
    if (role == Qt::DisplayRole) return twoLines(materialColumnHeader(static_cast<MaterialColumn>(section)));
    if (role == Qt::ToolTipRole && section >= static_cast<int>(MaterialColumn::a) && section <= static_cast<int>(MaterialColumn::c)) {
        return QStringLiteral("导热系数 λ = a + b·tm + c·tm² W/(m·K)，tm 为保温层的平均温度(℃)");
    }
    return {};
}

Qt::ItemFlags OwnMaterialModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (static_cast<MaterialColumn>(index.column()) != MaterialColumn::constructions) flags |= Qt::ItemIsEditable;
    return flags;
}

bool OwnMaterialModel::setCellTexts(const QList<CellText>& cells, const QString& description, bool grow)
{
    PipelineDocument changed = pipes_->document();
    bool any = false;
    QString why;
    for (const CellText& cell : cells) {
        if (cell.column < 0 || cell.column >= kMaterialColumnCount || cell.row < 0) continue;
        while (grow && cell.row >= static_cast<int>(changed.ownMaterials.size()) && changed.ownMaterials.size() < kMostConstructions) {
            changed.ownMaterials.push_back({.name = newMaterialName(changed)});
        }
        if (cell.row >= static_cast<int>(changed.ownMaterials.size())) continue;
        const std::string refusal = setMaterialCellText(changed, static_cast<std::size_t>(cell.row),
                                                        static_cast<MaterialColumn>(cell.column), cell.text.toStdString());
        any |= refusal.empty();  // a cell refused leaves the document as it was
        if (why.isEmpty()) why = qs(refusal);
    }
    pipes_->changeDocument(changed, description);
    emit refused(why);
    return any;
}

bool OwnMaterialModel::isClearable(int column) const
{
    const auto c = static_cast<MaterialColumn>(column);
    return c != MaterialColumn::name && c != MaterialColumn::constructions;
}

QString OwnMaterialModel::editDescription(int column) const
{
    return QStringLiteral("编辑自定义材料的%1").arg(qs(materialColumnHeader(static_cast<MaterialColumn>(column))[0]));
}

}  // namespace dorvent
