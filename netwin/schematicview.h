#pragma once

#include <QGraphicsScene>
#include <QGraphicsView>

#include <optional>
#include <vector>

#include "report/schematic.h"

namespace dorvent {

/// The network's schematic (管网图) in the window: a click on a pipe or a node names it, the
/// tables' selection is shown in it, the wheel zooms and fitToWindow shows it whole. The picture
/// is one item of the scene that paints it as the report does, its labels once they can be read.
class SchematicView : public QGraphicsView {
    Q_OBJECT

public:
    explicit SchematicView(QWidget* parent = nullptr);
    ~SchematicView() override;

    /// Draws a new schematic; the zoom stays, or the whole picture fits the view when fit is set.
    void setSchematic(Schematic schematic, bool fit);
    const Schematic& schematic() const { return schematic_; }

    /// Marks the pipe and the node of those indices, as the tables' current rows ask; none for none.
    void highlight(std::optional<std::size_t> pipe, std::optional<std::size_t> node);
    /// Whether the item of a pipe or a node is marked.
    bool isHighlighted(Schematic::Item::Kind kind, std::size_t index) const;

    void fitToWindow();

signals:
    void pipeClicked(std::size_t segment);
    void nodeClicked(std::size_t node);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    class Picture;

    QGraphicsScene scene_;
    Schematic schematic_;
    std::vector<bool> marked_;  // for every item of the schematic
    Picture* picture_;
};

}  // namespace dorvent
