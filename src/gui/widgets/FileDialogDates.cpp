#include "gui/widgets/FileDialogDates.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QLocale>

namespace sorabel {

namespace {
constexpr int kModifiedColumn = 3; // name, size, type, date modified
}

void FileDialogDates::apply(QFileDialog& dialog) {
    dialog.setProxyModel(new FileDialogDates(&dialog));
}

QVariant FileDialogDates::data(const QModelIndex& index, int role) const {
    if (role == Qt::DisplayRole && index.column() == kModifiedColumn)
        if (const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel()))
            return QLocale().toString(files->lastModified(mapToSource(index)),
                                      QLocale::ShortFormat);
    return QIdentityProxyModel::data(index, role);
}

} // namespace sorabel
