#include "gui/csv/CsvImportDialog.h"

#include "core/storage/DialogFolder.h"
#include "gui/help/HelpViewer.h"
#include "gui/widgets/Dialogs.h"

#include <QCheckBox>
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
constexpr int kToNotes = -2;

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
    encoding_->setObjectName(QStringLiteral("encodingBox"));
    for (CsvEncoding e : kEncodings)
        encoding_->addItem(csv_encoding::displayName(e), static_cast<int>(e));
    encodingLabel->setBuddy(encoding_);
    detected_ = new QLabel(this);
    encodingRow->addWidget(encodingLabel);
    encodingRow->addWidget(encoding_);
    encodingRow->addWidget(detected_, 1);
    layout->addLayout(encodingRow);

    auto* presetRow = new QHBoxLayout;
    auto* presetLabel = new QLabel(QStringLiteral("ファイルの種類(&K):"), this);
    preset_ = new QComboBox(this);
    preset_->setObjectName(QStringLiteral("presetBox"));
    for (CsvPresetId id : CsvPreset::all())
        preset_->addItem(QString::fromUtf8(CsvPreset::get(id).displayName), static_cast<int>(id));
    presetLabel->setBuddy(preset_);
    firstRowIsData_ = new QCheckBox(QStringLiteral("1行目はデータ(&D)"), this);
    firstRowIsData_->setObjectName(QStringLiteral("firstRowIsDataBox"));
    presetRow->addWidget(presetLabel);
    presetRow->addWidget(preset_);
    presetRow->addWidget(firstRowIsData_);
    presetRow->addStretch(1);
    layout->addLayout(presetRow);

    layout->addWidget(new QLabel(
        QStringLiteral("各列の取り込み先を選んでください（ファイルの先頭 %1 行を表示しています）:")
            .arg(kPreviewRows),
        this));
    preview_ = new QTableWidget(this);
    preview_->setObjectName(QStringLiteral("preview"));
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview_->setWordWrap(false);
    preview_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(preview_, 3);

    auto* policy =
        new QGroupBox(QStringLiteral("読書録に記録できない文字（Shift-JIS にない文字）"), this);
    auto* policyLayout = new QVBoxLayout(policy);
    replace_ = new QRadioButton(QStringLiteral("「〓」に置き換えて取り込む(&R)"), policy);
    skip_ = new QRadioButton(QStringLiteral("その文字を含む行を取り込まない(&S)"), policy);
    replace_->setObjectName(QStringLiteral("replaceButton"));
    skip_->setObjectName(QStringLiteral("skipButton"));
    replace_->setChecked(true);
    policyLayout->addWidget(replace_);
    policyLayout->addWidget(skip_);
    layout->addWidget(policy);

    layout->addWidget(new QLabel(QStringLiteral("置き換える文字と取り込まない行:"), this));
    report_ = new QPlainTextEdit(this);
    report_->setObjectName(QStringLiteral("report"));
    report_->setReadOnly(true);
    report_->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(report_, 2);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("summary"));
    summary_->setWordWrap(true);
    layout->addWidget(summary_);

    auto* box = new QDialogButtonBox(this);
    import_ = box->addButton(QStringLiteral("取り込む(&I)"), QDialogButtonBox::AcceptRole);
    auto* cancel = box->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    help_ = box->addButton(QStringLiteral("ヘルプ(&H)"), QDialogButtonBox::HelpRole);
    import_->setObjectName(QStringLiteral("importButton"));
    cancel->setObjectName(QStringLiteral("cancelButton"));
    help_->setObjectName(QStringLiteral("helpButton"));
    help_->setShortcut(QKeySequence(Qt::Key_F1));
    import_->setDefault(true);
    import_->setEnabled(false);
    layout->addWidget(box);

    connect(box, &QDialogButtonBox::accepted, this, &CsvImportDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &CsvImportDialog::reject);
    connect(help_, &QPushButton::clicked, this,
            [] { HelpViewer::showContext(QStringLiteral("sorabe.HLP"), kHelpContext); });
    connect(encoding_, &QComboBox::currentIndexChanged, this, &CsvImportDialog::encodingChosen);
    connect(preset_, &QComboBox::currentIndexChanged, this, [this] {
        // A service that writes no header makes the first row data.
        const QSignalBlocker block(firstRowIsData_);
        firstRowIsData_->setChecked(
            CsvPreset::get(static_cast<CsvPresetId>(preset_->currentData().toInt())).headerless);
        reread();
    });
    connect(firstRowIsData_, &QCheckBox::toggled, this, &CsvImportDialog::reread);
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
    // A file of one line is one book rather than a header: shown as data, with
    // "1行目はデータ" ticked, for the user to judge.
    if (read.error && read.error->line == 1 &&
        read.error->message.startsWith(QStringLiteral("見出しの行しかありません")))
        read = CsvImport::read(bytes, CsvReadOptions{{}, {}, true});
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
        const QSignalBlocker blockPreset(preset_);
        preset_->setCurrentIndex(preset_->findData(static_cast<int>(document_.preset)));
        const QSignalBlocker blockFirstRow(firstRowIsData_);
        firstRowIsData_->setChecked(document_.headerless);
    }
    loaded_ = true;
    showDocument();
    return true;
}

void CsvImportDialog::encodingChosen() {
    reread();
}

void CsvImportDialog::reread() {
    if (!loaded_)
        return;
    const auto encoding = static_cast<CsvEncoding>(encoding_->currentData().toInt());
    CsvRead read = CsvImport::read(
        bytes_, CsvReadOptions{encoding, static_cast<CsvPresetId>(preset_->currentData().toInt()),
                               firstRowIsData_->isChecked()});
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
    presetPlan_ = CsvPreset::get(document_.preset).plan(document_.header, catalogue_);
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
        combo->setObjectName(QStringLiteral("mappingBox%1").arg(c));
        combo->addItem(QStringLiteral("取り込まない"), kNotImported);
        combo->addItem(QStringLiteral("備考に「%1: 値」")
                           .arg(presetPlan_[size_t(c)].label.isEmpty()
                                    ? headerLabels[c]
                                    : presetPlan_[size_t(c)].label),
                       kToNotes);
        for (const auto& info : fieldTable())
            combo->addItem(HeaderMapping::captionText(catalogue_, info.field), index(info.field));
        const ColumnPlan& p = presetPlan_[static_cast<size_t>(c)];
        const int data = p.role == ColumnRole::Ignore ? kNotImported
                         : p.field                    ? index(*p.field)
                                                      : kToNotes;
        combo->setCurrentIndex(combo->findData(data));
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
        if (data >= 0) // not "取り込まない" nor a note
            out[c] = fieldAt(data);
    }
    return out;
}

ImportPlan CsvImportDialog::plan() const {
    ImportPlan out(document_.header.size());
    for (size_t c = 0; c < out.size(); ++c) {
        const QComboBox* combo = mappingBox(static_cast<int>(c));
        const int data = combo ? combo->currentData().toInt() : kNotImported;
        const ColumnPlan preset = c < presetPlan_.size() ? presetPlan_[c] : ColumnPlan{};
        const QString label = preset.label.isEmpty() ? document_.header[c] : preset.label;
        if (data == kNotImported)
            out[c] = {ColumnRole::Ignore, std::nullopt, label};
        else if (data == kToNotes)
            // The service's own way with the column (a reading state, an ISBN)
            // when it has one; a plain note otherwise.
            out[c] = {preset.field || preset.role == ColumnRole::Ignore ? ColumnRole::Note
                                                                        : preset.role,
                      std::nullopt, label};
        else if (preset.role == ColumnRole::Genres && fieldAt(data) == Field::Genre1)
            out[c] = preset;
        else
            out[c] = {ColumnRole::Field, fieldAt(data), label};
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
    const ImportPlan how = plan();
    // Columns kept in the notes are taken in, though in no field of their own.
    auto taken = cols;
    bool toNotes = false;
    for (size_t c = 0; c < taken.size(); ++c)
        if (!taken[c] && how[c].role != ColumnRole::Ignore) {
            taken[c] = Field::Note1;
            toNotes = true;
        }
    QStringList lines = HeaderMapping::notes(document_.header, taken, catalogue_);
    const bool anyField =
        std::any_of(cols.begin(), cols.end(), [](const auto& f) { return f.has_value(); });
    if (auto error = HeaderMapping::check(cols, catalogue_); error && (anyField || !toNotes)) {
        report_->setPlainText(lines.join(QLatin1Char('\n')));
        summary_->setText(error->message);
        return;
    }
    result_ = CsvImport::prepare(
        document_, how, skip_->isChecked() ? UnencodablePolicy::Skip : UnencodablePolicy::Replace,
        catalogue_, document_.preset);
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
