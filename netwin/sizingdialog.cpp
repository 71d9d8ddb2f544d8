#include "netwin/sizingdialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "numtext/formatnumber.h"
#include "pipeline/pipelinetable.h"
#include "pipeline/sizingtext.h"

namespace dorvent {
namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

QTableWidgetItem* item(const QString& text, bool number = false)
{
    auto* cell = new QTableWidgetItem(text);
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    cell->setTextAlignment(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    return cell;
}

}  // namespace

SizingDialog::SizingDialog(const PipelineDocument& document, std::function<std::optional<SizingResult>(bool)> size,
                           QWidget* parent)
    : QDialog(parent), document_(document), size_(std::move(size))
{
    setObjectName(QStringLiteral("dlgxuanguan"));
    setWindowTitle(QStringLiteral("自动选管"));
    lblxuanguan = new QLabel(this);
    lblxuanguan->setObjectName(QStringLiteral("lblxuanguan"));
    lblxuanguan->setWordWrap(true);
    lblxuanguan->setTextFormat(Qt::PlainText);
    tblxuanguan = new QTableWidget(0, 8, this);
    tblxuanguan->setObjectName(QStringLiteral("tblxuanguan"));
    tblxuanguan->setHorizontalHeaderLabels({QStringLiteral("管段"), QStringLiteral("起点"), QStringLiteral("终点"),
                                            QStringLiteral("原管径"), QStringLiteral("新管径"),
                                            QStringLiteral("原钢材(kg)"), QStringLiteral("新钢材(kg)"),
                                            QStringLiteral("决定工况")});
    tblxuanguan->verticalHeader()->hide();
    tblxuanguan->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tblxuanguan->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    lblzhiliang = new QLabel(this);
    lblzhiliang->setObjectName(QStringLiteral("lblzhiliang"));
    chkshensuo = new QCheckBox(QStringLiteral("管径沿流向不增大（下游管道不大于上游管道）"), this);
    chkshensuo->setObjectName(QStringLiteral("chkshensuo"));
    chkshensuo->setChecked(true);
    buttons_ = new QDialogButtonBox(this);
    apply_ = buttons_->addButton(QStringLiteral("应用"), QDialogButtonBox::AcceptRole);
    apply_->setObjectName(QStringLiteral("cmdyingyong"));
    buttons_->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("cmdquxiao"));
    // Many reasons scroll within a few lines, so that the buttons stay on the screen.
    auto* reasons = new QScrollArea(this);
    reasons->setWidget(lblxuanguan);
    reasons->setWidgetResizable(true);
    reasons->setFrameShape(QFrame::NoFrame);
    reasons->setMaximumHeight(fontMetrics().lineSpacing() * 12);
    reasons->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(reasons);
    layout->addWidget(tblxuanguan, 1);
    layout->addWidget(lblzhiliang);
    layout->addWidget(chkshensuo);
    layout->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(chkshensuo, &QCheckBox::toggled, this, [this] {
        if (!propose()) {  // cancelled: the proposal shown stays, and so does the choice it was made with
            const QSignalBlocker blocker(chkshensuo);
            chkshensuo->setChecked(!chkshensuo->isChecked());
        }
    });
    resize(640, 480);
}

bool SizingDialog::propose()
{
    const std::optional<SizingResult> sized = size_(chkshensuo->isChecked());
    if (!sized) return false;
    show(*sized);
    return true;
}

void SizingDialog::show(const SizingResult& result)
{
    result_ = result;
    QStringList lines;
    switch (result.outcome) {
    case SizingOutcome::sized:
        lines << (document_.cases.empty() ? QStringLiteral("每个节点都能得到所需的蒸汽参数。“应用”后可以撤销。")
                                          : QStringLiteral("每个工况中每个节点都能得到所需的蒸汽参数。“应用”后可以撤销。"));
        break;
    case SizingOutcome::unservable: lines << QStringLiteral("以下要求不能满足，管径不变："); break;
    case SizingOutcome::cannotStart: lines << QStringLiteral("自动选管不能进行："); break;
    case SizingOutcome::cancelled: break;
    }
    for (const std::string& problem : result.problems) lines << qs(problem);
    if (const std::string below = belowBandLine(result.belowBand); !below.empty()) lines << qs(below);
    lblxuanguan->setText(lines.join(QLatin1Char('\n')));

    tblxuanguan->setRowCount(static_cast<int>(result.pipes.size()));
    QFont changed = font();
    changed.setBold(true);
    for (int row = 0; row < tblxuanguan->rowCount(); ++row) {
        const SizedPipe& pipe = result.pipes[static_cast<std::size_t>(row)];
        const PipelineSegment& s = document_.segments[pipe.segment];
        const QString label = qs(s.label).simplified();
        tblxuanguan->setItem(row, 0, item(label.isEmpty() ? QString::number(pipe.segment + 1)
                                                           : QStringLiteral("%1 %2").arg(pipe.segment + 1).arg(label)));
        tblxuanguan->setItem(row, 1, item(qs(s.from)));
        tblxuanguan->setItem(row, 2, item(qs(s.to)));
        tblxuanguan->setItem(row, 3, item(qs(dnName(pipe.oldDn))));
        QTableWidgetItem* newDn = item(pipe.kept ? QStringLiteral("%1（固定）").arg(qs(dnName(pipe.newDn))) : qs(dnName(pipe.newDn)));
        if (pipe.newDn != pipe.oldDn) newDn->setFont(changed);
        tblxuanguan->setItem(row, 4, newDn);
        tblxuanguan->setItem(row, 5, item(qs(formatFixed(pipe.massBefore, 1)), true));
        tblxuanguan->setItem(row, 6, item(qs(formatFixed(pipe.massAfter, 1)), true));
        tblxuanguan->setItem(row, 7, item(qs(pipe.boundBy)));
    }
    // The case that wants each pipe no smaller, where the document has several.
    tblxuanguan->setColumnHidden(7, document_.cases.empty());
    tblxuanguan->setVisible(result.outcome != SizingOutcome::cannotStart);
    lblzhiliang->setText(result.outcome == SizingOutcome::cannotStart
                             ? QString()
                             : qs("钢材总质量：" + formatFixed(result.massBefore, 1) + " kg → " +
                                  formatFixed(result.massAfter, 1) + " kg"));
    const bool anew = result.outcome == SizingOutcome::sized &&
                      std::any_of(result.pipes.begin(), result.pipes.end(),
                                  [](const SizedPipe& pipe) { return pipe.newDn != pipe.oldDn; });
    apply_->setEnabled(anew);
}

}  // namespace dorvent
