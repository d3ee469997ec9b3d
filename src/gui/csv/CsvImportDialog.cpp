#include "gui/csv/CsvImportDialog.h"

#include "core/storage/DialogFolder.h"
#include "gui/help/HelpViewer.h"
#include "gui/widgets/Dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace sorabel {

namespace {
constexpr CsvEncoding kEncodings[] = {CsvEncoding::Utf8Bom, CsvEncoding::Utf8,
                                      CsvEncoding::ShiftJis};
constexpr int kNotImported = -1;

// A cell on one line of the preview.
QString previewText(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("↵"));
    text.replace(QLatin1Char('\n'), QStringLiteral("↵"));
    text.replace(QLatin1Char('\r'), QStringLiteral("↵"));
    return text;
}
} // namespace

CsvImportDialog::CsvImportDialog(const Catalogue& catalogue, QWidget* parent)
    : QDialog(parent), catalogue_(catalogue) {
    setWindowTitle(QStringLiteral("CSV ファイルからのインポート"));
    resize(760, 560);
    auto* layout = new QVBoxLayout(this);
    file_ = new QLabel(this);
    file_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(file_);

    auto* encodingRow = new QHBoxLayout;
    auto* encodingLabel = new QLabel(QStringLiteral("文字コード(&C):"), this);
    encoding_ = new QComboBox(this);
    for (CsvEncoding e : kEncodings)
        encoding_->addItem(csv_encoding::displayName(e), static_cast<int>(e));
    encodingLabel->setBuddy(encoding_);
    detected_ = new QLabel(this);
    encodingRow->addWidget(encodingLabel);
    encodingRow->addWidget(encoding_);
    encodingRow->addWidget(detected_, 1);
    layout->addLayout(encodingRow);

    layout->addWidget(new QLabel(
        QStringLiteral("各列の取り込み先を選んでください（ファイルの先頭 %1 行を表示しています）:")
            .arg(kPreviewRows),
        this));
    preview_ = new QTableWidget(this);
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview_->setWordWrap(false);
    preview_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(preview_, 3);

    auto* policy =
        new QGroupBox(QStringLiteral("読書録に記録できない文字（Shift-JIS にない文字）"), this);
    auto* policyLayout = new QVBoxLayout(policy);
    replace_ = new QRadioButton(QStringLiteral("「〓」に置き換えて取り込む(&R)"), policy);
    skip_ = new QRadioButton(QStringLiteral("その文字を含む行を取り込まない(&S)"), policy);
    replace_->setChecked(true);
    policyLayout->addWidget(replace_);
    policyLayout->addWidget(skip_);
    layout->addWidget(policy);

    layout->addWidget(new QLabel(QStringLiteral("置き換える文字と取り込まない行:"), this));
    report_ = new QPlainTextEdit(this);
    report_->setReadOnly(true);
    report_->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(report_, 2);
    summary_ = new QLabel(this);
    summary_->setWordWrap(true);
    layout->addWidget(summary_);

    auto* box = new QDialogButtonBox(this);
    import_ = box->addButton(QStringLiteral("取り込む(&I)"), QDialogButtonBox::AcceptRole);
    cancel_ = box->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    help_ = box->addButton(QStringLiteral("ヘルプ(&H)"), QDialogButtonBox::HelpRole);
    help_->setShortcut(QKeySequence(Qt::Key_F1));
    import_->setDefault(true);
    import_->setEnabled(false);
    layout->addWidget(box);

    connect(box, &QDialogButtonBox::accepted, this, &CsvImportDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &CsvImportDialog::reject);
    connect(help_, &QPushButton::clicked, this,
            [] { HelpViewer::showContext(QStringLiteral("sorabe.HLP"), kHelpContext); });
    connect(encoding_, &QComboBox::currentIndexChanged, this, &CsvImportDialog::encodingChosen);
    connect(replace_, &QRadioButton::toggled, this, &CsvImportDialog::update);
}

std::optional<std::vector<Record>> CsvImportDialog::run(QWidget* parent,
                                                        const Catalogue& catalogue) {
    const auto path = Dialogs::openFile(
        parent, QStringLiteral("CSV ファイル (*.csv *.txt);;すべてのファイル (*)"),
        DialogFolder::forDialog(QString()));
    if (!path)
        return std::nullopt;
    CsvImportDialog dialog(catalogue, parent);
    if (!dialog.loadFile(*path) || dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.importResult().records;
}

bool CsvImportDialog::loadFile(const QString& path) {
    std::string bytes;
    if (auto error = CsvImport::load(path, bytes)) {
        Dialogs::error(this, error->message);
        return false;
    }
    CsvRead read = CsvImport::read(bytes);
    if (read.error) {
        Dialogs::error(this, read.error->message);
        return false;
    }
    bytes_ = std::move(bytes);
    document_ = std::move(read.document);
    file_->setText(QStringLiteral("ファイル: %1").arg(QDir::toNativeSeparators(path)));
    detected_->setText(
        QStringLiteral("（自動判別: %1）").arg(csv_encoding::displayName(document_.encoding)));
    {
        const QSignalBlocker block(encoding_);
        encoding_->setCurrentIndex(encoding_->findData(static_cast<int>(document_.encoding)));
    }
    loaded_ = true;
    showDocument();
    return true;
}

void CsvImportDialog::encodingChosen() {
    if (!loaded_)
        return;
    const auto encoding = static_cast<CsvEncoding>(encoding_->currentData().toInt());
    CsvRead read = CsvImport::read(bytes_, encoding);
    if (read.error) {
        document_ = CsvDocument{};
        document_.encoding = encoding;
        showDocument();
        summary_->setText(read.error->message);
        return;
    }
    document_ = std::move(read.document);
    showDocument();
}

void CsvImportDialog::showDocument() {
    const auto guessed = HeaderMapping::guess(document_.header, catalogue_);
    const int columns = static_cast<int>(document_.header.size());
    const int rows = static_cast<int>(std::min<size_t>(document_.rows.size(), kPreviewRows));
    preview_->clear();
    preview_->setColumnCount(columns);
    preview_->setRowCount(columns ? rows + 1 : 0);
    QStringList headerLabels;
    for (int c = 0; c < columns; ++c) {
        const QString& name = document_.header[static_cast<size_t>(c)];
        headerLabels << (name.isEmpty() ? QStringLiteral("（%1 列目）").arg(c + 1) : name);
    }
    preview_->setHorizontalHeaderLabels(headerLabels);
    QStringList rowLabels{QStringLiteral("取り込み先")};
    for (int r = 0; r < rows; ++r)
        rowLabels << QStringLiteral("%1 行目").arg(document_.rows[static_cast<size_t>(r)].line);
    preview_->setVerticalHeaderLabels(rowLabels);

    for (int c = 0; c < columns; ++c) {
        auto* combo = new QComboBox(preview_);
        combo->addItem(QStringLiteral("取り込まない"), kNotImported);
        for (const auto& info : fieldTable())
            combo->addItem(HeaderMapping::captionText(catalogue_, info.field), index(info.field));
        const auto& f = guessed[static_cast<size_t>(c)];
        combo->setCurrentIndex(combo->findData(f ? index(*f) : kNotImported));
        connect(combo, &QComboBox::currentIndexChanged, this, &CsvImportDialog::update);
        preview_->setCellWidget(0, c, combo);
        for (int r = 0; r < rows; ++r) {
            const auto& cells = document_.rows[static_cast<size_t>(r)].cells;
            const QString text = static_cast<size_t>(c) < cells.size()
                                     ? previewText(document_.text(cells[static_cast<size_t>(c)]))
                                     : QString();
            preview_->setItem(r + 1, c, new QTableWidgetItem(text));
        }
    }
    preview_->resizeColumnsToContents();
    for (int c = 0; c < columns; ++c)
        preview_->setColumnWidth(c, std::clamp(preview_->columnWidth(c), 110, 260));
    update();
}

QComboBox* CsvImportDialog::mappingBox(int column) const {
    return qobject_cast<QComboBox*>(preview_->cellWidget(0, column));
}

HeaderMapping::Columns CsvImportDialog::columns() const {
    HeaderMapping::Columns out(document_.header.size());
    for (size_t c = 0; c < out.size(); ++c) {
        const QComboBox* combo = mappingBox(static_cast<int>(c));
        const int data = combo ? combo->currentData().toInt() : kNotImported;
        if (data != kNotImported)
            out[c] = fieldAt(data);
    }
    return out;
}

void CsvImportDialog::update() {
    result_ = CsvImportResult{};
    import_->setEnabled(false);
    report_->clear();
    if (document_.header.empty()) {
        summary_->clear();
        return;
    }
    const auto cols = columns();
    QStringList lines = HeaderMapping::notes(document_.header, cols, catalogue_);
    if (auto error = HeaderMapping::check(cols, catalogue_)) {
        report_->setPlainText(lines.join(QLatin1Char('\n')));
        summary_->setText(error->message);
        return;
    }
    result_ = CsvImport::prepare(
        document_, cols, skip_->isChecked() ? UnencodablePolicy::Skip : UnencodablePolicy::Replace,
        catalogue_);
    lines << CsvImport::reportLines(result_);
    report_->setPlainText(lines.isEmpty()
                              ? QStringLiteral("置き換える文字や取り込まない行はありません。")
                              : lines.join(QLatin1Char('\n')));
    const int n = static_cast<int>(result_.records.size());
    if (n == 0) {
        summary_->setText(QStringLiteral("取り込める行がありません。"));
        return;
    }
    QString text = QStringLiteral("%1 件を記録 %2〜%3 として最後に追加します。")
                       .arg(n)
                       .arg(result_.firstRecord)
                       .arg(result_.firstRecord + n - 1);
    if (result_.skipped + result_.overLimit > 0)
        text += QStringLiteral("%1 行は取り込みません。").arg(result_.skipped + result_.overLimit);
    summary_->setText(text);
    import_->setEnabled(true);
}

} // namespace sorabel
