#include "netwin/filedialog.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>

namespace dorvent {
namespace {

/// The columns of Qt's file dialog after the name, written as a Chinese desktop writes them.
class ChineseColumns : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || index.column() == 0 || files == nullptr) return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        const QFileInfo info = files->fileInfo(source);
        switch (index.column()) {
        case 1: return info.isDir() ? QString() : chinese_.formattedDataSize(info.size());
        case 2: return typeOf(info);
        case 3: return chinese_.toString(files->lastModified(source), QLocale::ShortFormat);
        default: return QIdentityProxyModel::data(index, role);
        }
    }

private:
    static QString typeOf(const QFileInfo& info)
    {
        if (info.isDir()) return QStringLiteral("文件夹");
        if (info.suffix().compare(QStringLiteral("dorvent"), Qt::CaseInsensitive) == 0) return QStringLiteral("Dorvent 管线文件");
        return info.suffix().isEmpty() ? QStringLiteral("文件") : QStringLiteral("%1 文件").arg(info.suffix().toUpper());
    }

    QLocale chinese_{QLocale::Chinese, QLocale::China};
};

QString ask(QWidget* parent, const QString& caption, const QString& start, const QString& filter, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, caption, start, filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setProxyModel(new ChineseColumns(&dialog));  // used by Qt's own dialog only
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles().value(0);
}

}  // namespace

QString askOpenPath(QWidget* parent, const QString& caption, const QString& folder, const QString& filter)
{
    return ask(parent, caption, folder, filter, QFileDialog::AcceptOpen);
}

QString askSavePath(QWidget* parent, const QString& caption, const QString& start, const QString& filter)
{
    return ask(parent, caption, start, filter, QFileDialog::AcceptSave);
}

}  // namespace dorvent
