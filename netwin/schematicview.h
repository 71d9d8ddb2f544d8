#pragma once

#include <QGraphicsScene>
#include <QGraphicsView>

#include <optional>
#include <vector>

#include "report/schematic.h"

namespace dorvent {

/// The network's schematic (管网图) in the window, its legend above it: a click on or beside a
/// pipe or a node names it, the tables' selection is shown in it, the wheel zooms and
/// fitToWindow shows it whole, or legible. The picture is one item of the scene that paints it as
/// the report does, its labels once they can be read.
class SchematicView : public QGraphicsView {
    Q_OBJECT

public:
    explicit SchematicView(QWidget* parent = nullptr);
    ~SchematicView() override;

    /// Draws a new schematic; the zoom stays, or the picture is fitted when fit is set.
    void setSchematic(Schematic schematic, bool fit);
    const Schematic& schematic() const { return schematic_; }

    /// Marks the pipe and the node of those indices, as the tables' current rows ask; none for none.
    void highlight(std::optional<std::size_t> pipe, std::optional<std::size_t> node);
    /// Whether the item of a pipe or a node is marked.
    bool isHighlighted(Schematic::Item::Kind kind, std::size_t index) const;

    /// The whole picture where its nodes can still be told apart; a larger one as small as its
    /// labels can be read, from its source on, the rest a scroll away. A view not yet shown, or
    /// not yet of its size, is fitted once it is; and it stays fitted as it is resized, until
    /// the user zooms or scrolls.
    void fitToWindow();

signals:
    void pipeClicked(std::size_t segment);
    void nodeClicked(std::size_t node);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    class Picture;
    class Legend;

    void fit();
    void placeLegend();

    QGraphicsScene scene_;
    Schematic schematic_;
    std::vector<bool> marked_;  // for every item of the schematic
    Picture* picture_;
    Legend* legend_;
    bool fitted_ = false;
};

}  // namespace dorvent
