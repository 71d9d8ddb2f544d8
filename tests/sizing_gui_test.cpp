#include "bench/networks.h"
#include "numtext/formatnumber.h"
#include "pipeline/pipesizing.h"
#include "tests/guitest.h"

namespace dorvent {
namespace {

class SizingWindow : public PipelineWindow {
protected:
    // The example park at its design load alone: its summer case no sizes serve.
    SizingWindow()
    {
        PipelineDocument park = example("industrial-park.dorvent");
        park.cases.clear();
        model->resetDocument(park);
    }

    /// Triggers 自动选管 and hands each modal window that comes up to look, until one says it is done.
    void sizeWith(const std::function<bool(QWidget&)>& look)
    {
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && look(*modal)) watch.stop();
        });
        watch.start(20);
        action("mzidongxuanguan");
        watch.stop();
    }
    /// Hands the proposal of 自动选管 to look, once, and closes it with the named button.
    void propose(const std::function<void(QWidget&)>& look, const char* close = "cmdquxiao")
    {
        int shown = 0;
        sizeWith([&](QWidget& dialog) {
            if (dialog.objectName() != QLatin1String("dlgxuanguan")) return false;
            ++shown;
            look(dialog);
            control<QPushButton>(dialog, close)->click();
            return true;
        });
        EXPECT_EQ(shown, 1);
    }
};

QString cellOf(QWidget& dialog, int row, int column) { return control<QTableWidget>(dialog, "tblxuanguan")->item(row, column)->text(); }

TEST_F(SizingWindow, ProposalShowsEveryPipeAndIsAppliedAsOneStep)
{
    // 食品支线 fixed through its check: it keeps DN200, which sizing would shrink.
    const QModelIndex fixed = cell(2, Column::fixed);
    ASSERT_TRUE(model->flags(fixed) & Qt::ItemIsUserCheckable);
    ASSERT_TRUE(model->setData(fixed, Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(std::tuple(text(2, Column::fixed), fixed.data(Qt::EditRole).toString(), fixed.data(Qt::CheckStateRole).value<Qt::CheckState>()),
              std::tuple(QString(), QStringLiteral("固定"), Qt::Checked));  // the check box alone shows it
    const PipelineDocument before = model->document();
    const SizingResult expected = sizeNetwork(before);
    ASSERT_EQ(expected.outcome, SizingOutcome::sized);

    QString says;
    propose([&](QWidget& dialog) {
        says = control<QLabel>(dialog, "lblxuanguan")->text();
        for (std::size_t i = 0; i < before.segments.size(); ++i) {
            const auto row = static_cast<int>(i);
            EXPECT_EQ(QStringList({cellOf(dialog, row, 3), cellOf(dialog, row, 4), cellOf(dialog, row, 6)}),
                      QStringList({QStringLiteral("DN%1").arg(before.segments[i].dn),
                                   QStringLiteral("DN%1").arg(expected.pipes[i].newDn) + (i == 2 ? "（固定）" : ""),
                                   QString::fromStdString(formatFixed(expected.pipes[i].massAfter, 1))}));
        }
        EXPECT_EQ(cellOf(dialog, 2, 0), QStringLiteral("3 食品支线"));
        EXPECT_EQ(control<QLabel>(dialog, "lblzhiliang")->text(), QString::fromStdString("钢材总质量：" + formatFixed(expected.massBefore, 1) + " kg → " +
                                                                                         formatFixed(expected.massAfter, 1) + " kg"));
    }, "cmdyingyong");
    EXPECT_EQ(text(2, Column::dn), "DN200");
    int changed = 0, slow = 0;
    for (std::size_t i = 0; i < before.segments.size(); ++i) {
        EXPECT_EQ(text(static_cast<int>(i), Column::dn), QStringLiteral("DN%1").arg(expected.pipes[i].newDn));
        changed += expected.pipes[i].newDn != before.segments[i].dn ? 1 : 0;
        // The proposal counted the sized pipes that the table now notes as slower than their band.
        slow += i != 2 && text(static_cast<int>(i), Column::remark).contains(QStringLiteral("提示：起点流速")) ? 1 : 0;
    }
    EXPECT_TRUE(changed >= 3 && slow >= 5) << changed << " " << slow;
    EXPECT_TRUE(says.contains(QStringLiteral("\n选管的管段中有 %1 根起点流速低于其管径的允许范围，再小一号时：").arg(slow))) << says.toStdString();
    EXPECT_TRUE(model->result().allComputed);
    EXPECT_EQ(model->undoStack()->undoText(), "自动选管");
    undo();  // every pipe back at once
    EXPECT_EQ(model->document(), before);

    // 取消 leaves the document as it is, with no step to undo.
    const int steps = model->undoStack()->count();
    propose([](QWidget&) {});
    EXPECT_EQ(std::pair(model->document(), model->undoStack()->count()), std::pair(before, steps));
}

TEST_F(SizingWindow, UnservedConsumersAreNamedAndNothingCanBeApplied)
{
    ASSERT_TRUE(model->setData(cell(0, Column::dn), "DN25"));
    ASSERT_TRUE(model->setData(cell(0, Column::fixed), Qt::Checked, Qt::CheckStateRole));
    const PipelineDocument before = model->document();
    const SizingResult expected = sizeNetwork(before);
    ASSERT_EQ(expected.outcome, SizingOutcome::unservable);
    propose([&](QWidget& dialog) {
        const QString says = control<QLabel>(dialog, "lblxuanguan")->text();
        EXPECT_TRUE(says.startsWith(QStringLiteral("以下要求不能满足，管径不变：\n")) && says.contains(QString::fromStdString(expected.problems.front())))
            << says.toStdString();
        EXPECT_FALSE(control<QPushButton>(dialog, "cmdyingyong")->isEnabled());
    });
    EXPECT_EQ(model->document(), before);
    // Every pipe fixed, and the source's pipe large again: served, but nothing to apply.
    QList<SheetModel::CellText> fixedAll{{0, static_cast<int>(Column::dn), "DN400"}};
    for (int row = 0; row < model->segmentCount(); ++row) fixedAll.append({row, static_cast<int>(Column::fixed), "固定"});
    ASSERT_TRUE(model->setCellTexts(fixedAll, "fix"));
    propose([&](QWidget& dialog) {
        EXPECT_TRUE(control<QLabel>(dialog, "lblxuanguan")->text().startsWith(QStringLiteral("每个节点都能得到所需的蒸汽参数")));
        EXPECT_EQ(cellOf(dialog, 0, 4), QStringLiteral("DN400（固定）"));
        EXPECT_FALSE(control<QPushButton>(dialog, "cmdyingyong")->isEnabled());
    });
    // A series main has nothing to size.
    ASSERT_TRUE(pipeline->openFile(exampleCopy(folder, "steam-main.dorvent")));
    EXPECT_FALSE(in<QAction>("mzidongxuanguan")->isEnabled());
}

TEST_F(SizingWindow, LongSizingShowsItsProgressAfterHalfASecondAndCanBeCancelled)
{
    model->resetDocument(bench::sizingNetwork(2000));  // about a second of sizing
    const PipelineDocument before = model->document();
    QElapsedTimer clock;
    qint64 shownAfter = -1;
    bool proposed = false;
    clock.start();
    sizeWith([&](QWidget& modal) {
        if (modal.objectName() == QLatin1String("dlgxuanguan")) proposed = true;
        auto* progress = qobject_cast<QProgressDialog*>(&modal);
        if (progress == nullptr) return false;
        shownAfter = clock.elapsed();
        EXPECT_EQ(progress->labelText(), "正在自动选管…");
        progress->findChild<QPushButton*>()->click();
        return true;
    });
    EXPECT_GE(shownAfter, frmguanxian::kQuietSizingMs);
    EXPECT_FALSE(proposed);
    EXPECT_EQ(std::pair(model->document(), model->undoStack()->count()), std::pair(before, 0));
}

}  // namespace
}  // namespace dorvent
