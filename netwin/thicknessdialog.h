#pragma once

#include <QDialog>

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "pipeline/pipelinedocument.h"
#include "pipeline/thicknessdesign.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace dorvent {

/// The thickness design of the selected insulated pipes (保温厚度计算), before it is applied: per
/// pipe the least and the economic thickness (by search and by the formula), and for the pipe
/// picked the table of its candidate thicknesses with q, Ts, Q and the yearly cost, the chosen one
/// marked. Another candidate may be chosen; 应用 accepts the choices.
class ThicknessDialog : public QDialog {
    Q_OBJECT

public:
    ThicknessDialog(const PipelineDocument& document, std::vector<ThicknessDesign> designs, QWidget* parent = nullptr);

    /// Each pipe: its index among the segments and the thickness chosen [mm]; none for a pipe without a design.
    std::vector<std::pair<std::size_t, std::optional<double>>> chosen() const;

private:
    void showPipe(int row);
    void showTrials(int row);
    void choose();

    const PipelineDocument& document_;
    std::vector<ThicknessDesign> designs_;
    QLabel* lblhoudu = nullptr;        // how the design is made, and what it lacks
    QTableWidget* tblhoudu = nullptr;  // a row per pipe
    QLabel* lblhouxuan = nullptr;      // the pipe whose candidates are shown, and its limits
    QTableWidget* tblhouxuan = nullptr;  // its candidate thicknesses
    QPushButton* cmdcaiyong = nullptr;   // choose the candidate selected
    QPushButton* apply_ = nullptr;       // 应用
};

}  // namespace dorvent
