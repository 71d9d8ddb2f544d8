#pragma once

#include "netwin/sheetmodel.h"
#include "pipeline/constructiontable.h"

namespace dorvent {

class PipelineModel;

/// The insulation constructions (保温做法) of the pipeline model's document as a table: a row per
/// construction. Edits go through the pipeline model's undo stack, each typing or paste one step;
/// a text the document cannot take leaves its cell as it was, and refused says why.
class ConstructionModel : public SheetModel {
    Q_OBJECT

public:
    explicit ConstructionModel(PipelineModel* pipes, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    /// With grow, rows beyond the last are new constructions, named as 添加 names them.
    bool setCellTexts(const QList<CellText>& cells, const QString& description, bool grow = false) override;
    bool isClearable(int column) const override;

    /// Why a cell is marked: an input a pipe using the construction cannot do without; empty else.
    QString problemOf(int row, int column) const;

signals:
    /// After every edit: why the first cell that did not take its text refused it; empty when all took theirs.
    void refused(const QString& why);

protected:
    QString editDescription(int column) const override;

private:
    void calculated();

    PipelineModel* pipes_;
    int rows_ = 0;
};

/// The document's own materials (自定义材料) as a table, in the same way: λ = a + b·tm + c·tm².
class OwnMaterialModel : public SheetModel {
    Q_OBJECT

public:
    explicit OwnMaterialModel(PipelineModel* pipes, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setCellTexts(const QList<CellText>& cells, const QString& description, bool grow = false) override;
    bool isClearable(int column) const override;

    QString problemOf(int row, int column) const;

signals:
    void refused(const QString& why);

protected:
    QString editDescription(int column) const override;

private:
    void calculated();

    PipelineModel* pipes_;
    int rows_ = 0;
};

}  // namespace dorvent
