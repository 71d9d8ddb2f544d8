#pragma once

#include <QDialog>

#include <functional>
#include <optional>

#include "pipeline/pipelinedocument.h"
#include "pipeline/pipesizing.h"

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace dorvent {

/// The proposal of automatic sizing (自动选管), shown before it is applied: per pipe its DN before
/// and after and its steel, the total steel before and after; or who cannot be served and why.
/// 应用 accepts it, only when it sizes something anew.
class SizingDialog : public QDialog {
    Q_OBJECT

public:
    /// size: sizes the document with or without telescoping; none when the user cancelled it.
    SizingDialog(const PipelineDocument& document, std::function<std::optional<SizingResult>(bool)> size,
                 QWidget* parent = nullptr);

    /// Sizes the document and shows the proposal; false when the user cancelled the sizing.
    bool propose();
    const SizingResult& result() const { return result_; }

private:
    void show(const SizingResult& result);

    const PipelineDocument& document_;
    std::function<std::optional<SizingResult>(bool)> size_;
    SizingResult result_;
    QLabel* lblxuanguan = nullptr;     // what the sizing found
    QTableWidget* tblxuanguan = nullptr;  // the pipes, before and after
    QLabel* lblzhiliang = nullptr;     // the steel before and after
    QCheckBox* chkshensuo = nullptr;   // telescoping
    QDialogButtonBox* buttons_ = nullptr;
    QPushButton* apply_ = nullptr;          // 应用
};

}  // namespace dorvent
