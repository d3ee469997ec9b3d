#pragma once

#include <QIdentityProxyModel>

class QFileDialog;

namespace sorabel {

// Qt's own file dialog writes the "modified" column in the system locale,
// taken from LANG ("8 Dec 2026 04:45:00" under LANG=C), while the rest of the
// program is Japanese whatever LANG says. This view of the dialog's files
// writes those dates in the program's locale ("2026/12/08 4:45").
class FileDialogDates : public QIdentityProxyModel {
    Q_OBJECT
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    // Puts the view into a dialog that shows Qt's own widgets; a desktop's
    // native dialog keeps its own dates.
    static void apply(QFileDialog& dialog);

    QVariant data(const QModelIndex& index, int role) const override;
};

} // namespace sorabel
