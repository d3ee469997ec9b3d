#include "gui/csv/CsvExportDialog.h"

#include "core/csv/CsvWriter.h"
#include "core/storage/DialogFolder.h"
#include "gui/help/HelpViewer.h"
#include "gui/widgets/ChosenFile.h"
#include "gui/widgets/Dialogs.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace sorabel {

namespace {
constexpr std::array<CsvEncoding, 3> kEncodings{CsvEncoding::Utf8Bom, CsvEncoding::Utf8,
                                                CsvEncoding::ShiftJis};

size_t slotOf(CsvEncoding e) {
    for (size_t i = 0; i < kEncodings.size(); ++i)
        if (kEncodings[i] == e)
            return i;
    return 0;
}

} // namespace

CsvExportDialog::CsvExportDialog(const Catalogue& catalogue, QWidget* parent,
                                 const QString& openCatalogue)
    : QDialog(parent), catalogue_(catalogue), openCatalogue_(openCatalogue) {
    setWindowTitle(QStringLiteral("CSV ファイルへのエクスポート"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("すべての記録（%1 件）を 19 の項目とも CSV ファイルに書き出します。\n"
                       "一行目は項目名です。")
            .arg(catalogue.recordCount()),
        this));

    auto* group = new QGroupBox(QStringLiteral("文字コード"), this);
    auto* groupLayout = new QVBoxLayout(group);
    auto* buttons = new QButtonGroup(this);
    const char* names[] = {"utf8BomButton", "utf8Button", "shiftJisButton"};
    const QString hints[] = {
        QStringLiteral("（表計算ソフトで開くならこれ）"),
        QStringLiteral("（ほかのプログラムで読むなら）"),
        QStringLiteral("（古いソフト向け。読書録と同じ文字コード）"),
    };
    for (size_t i = 0; i < kEncodings.size(); ++i) {
        encodings_[i] =
            new QRadioButton(QStringLiteral("&%1 %2 %3")
                                 .arg(i + 1)
                                 .arg(csv_encoding::displayName(kEncodings[i]), hints[i]),
                             group);
        encodings_[i]->setObjectName(QString::fromLatin1(names[i]));
        buttons->addButton(encodings_[i]);
        groupLayout->addWidget(encodings_[i]);
    }
    encodings_[0]->setChecked(true);
    layout->addWidget(group);

    auto* box = new QDialogButtonBox(this);
    export_ = box->addButton(QStringLiteral("エクスポート(&E)…"), QDialogButtonBox::AcceptRole);
    auto* cancel = box->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    help_ = box->addButton(QStringLiteral("ヘルプ(&H)"), QDialogButtonBox::HelpRole);
    export_->setObjectName(QStringLiteral("exportButton"));
    cancel->setObjectName(QStringLiteral("cancelButton"));
    help_->setObjectName(QStringLiteral("helpButton"));
    help_->setShortcut(QKeySequence(Qt::Key_F1));
    export_->setDefault(true);
    connect(box, &QDialogButtonBox::accepted, this, &CsvExportDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &CsvExportDialog::reject);
    connect(help_, &QPushButton::clicked, this,
            [] { HelpViewer::showContext(QStringLiteral("sorabe.HLP"), kHelpContext); });
    layout->addWidget(box);
}

std::optional<QString> CsvExportDialog::run(QWidget* parent, const Catalogue& catalogue,
                                            const QString& openCatalogue) {
    CsvExportDialog dialog(catalogue, parent, openCatalogue);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.writtenPath();
}

CsvEncoding CsvExportDialog::encoding() const {
    for (size_t i = 0; i < kEncodings.size(); ++i)
        if (encodings_[i]->isChecked())
            return kEncodings[i];
    return CsvEncoding::Utf8Bom;
}

void CsvExportDialog::setEncoding(CsvEncoding encoding) {
    encodings_[slotOf(encoding)]->setChecked(true);
}

void CsvExportDialog::accept() {
    const auto path = Dialogs::saveFile(this, QStringLiteral("CSV ファイル (*.csv)"),
                                        DialogFolder::forDialog(QString()), QStringLiteral("csv"));
    if (!path || !ChosenFile::mayWrite(this, *path, openCatalogue_))
        return; // back to the dialog
    try {
        ChosenFile::write(*path, CsvWriter::write(catalogue_, encoding()));
    } catch (const std::exception& e) {
        Dialogs::error(this, QString::fromUtf8(e.what()));
        return;
    }
    written_ = *path;
    QDialog::accept();
}

} // namespace sorabel
