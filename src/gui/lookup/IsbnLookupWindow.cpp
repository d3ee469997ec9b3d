#include "gui/lookup/IsbnLookupWindow.h"

#include "core/catalogue/CatalogueSession.h"
#include "core/format/SettingsFile.h"
#include "core/lookup/BookProposal.h"
#include "core/text/ShiftJis.h"
#include "gui/help/HelpViewer.h"
#include "gui/lookup/LookupPreview.h"
#include "gui/widgets/Dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

namespace sorabel {

namespace {

QString titleOf(const std::vector<ProposedField>& fields) {
    for (const ProposedField& f : fields)
        if (f.field == Field::Title)
            return f.text;
    return {};
}

QString sourcesOf(const std::vector<ProposedField>& fields) {
    QStringList sources;
    for (const ProposedField& f : fields)
        if (f.field != Field::Note1 && !sources.contains(f.source))
            sources.append(f.source);
    return sources.join(QStringLiteral("・"));
}

} // namespace

IsbnLookupWindow::IsbnLookupWindow(CatalogueSession& session, QWidget* parent, QString settingsPath)
    : QDialog(parent), session_(session),
      settingsPath_(settingsPath.isEmpty() ? SettingsFile::defaultPath() : settingsPath),
      settings_(LookupSettings::read(settingsPath_)) {
    setObjectName(QStringLiteral("isbnLookupWindow"));
    setWindowTitle(QStringLiteral("ISBNで追加"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);

    auto* entry = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("ISBN(&B):"), this);
    isbnBox_ = new QLineEdit(this);
    isbnBox_->setObjectName(QStringLiteral("isbnBox"));
    isbnBox_->setAccessibleName(QStringLiteral("ISBN の番号"));
    isbnBox_->setPlaceholderText(QStringLiteral("978-4-… または バーコードを読み取り"));
    label->setBuddy(isbnBox_);
    search_ = new QPushButton(QStringLiteral("調べる(&S)"), this);
    search_->setAutoDefault(false);
    entry->addWidget(label);
    entry->addWidget(isbnBox_, 1);
    entry->addWidget(search_);
    layout->addLayout(entry);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("lookupStatus"));
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(status_);

    auto* modes = new QHBoxLayout;
    fillCurrent_ = new QCheckBox(this);
    continuous_ = new QCheckBox(QStringLiteral("続けて追加(&C)"), this);
    fillCurrent_->setObjectName(QStringLiteral("fillCurrentBox"));
    continuous_->setObjectName(QStringLiteral("continuousBox"));
    continuous_->setToolTip(QStringLiteral("見つかった本をその場で追加し、次の ISBN を待ちます"));
    modes->addWidget(fillCurrent_);
    modes->addStretch(1);
    modes->addWidget(continuous_);
    layout->addLayout(modes);

    preview_ = new LookupPreview(this);
    preview_->setObjectName(QStringLiteral("preview"));
    preview_->setAccessibleName(QStringLiteral("見つかった本の内容"));
    layout->addWidget(preview_, 1);
    layout->addWidget(buildShelf());
    layout->addWidget(buildOptions());

    auto* box = new QDialogButtonBox(this);
    take_ = box->addButton(QStringLiteral("追加(&A)"), QDialogButtonBox::AcceptRole);
    take_->setObjectName(QStringLiteral("takeButton"));
    auto* close = box->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
    auto* help = box->addButton(QStringLiteral("ヘルプ(&H)"), QDialogButtonBox::HelpRole);
    help->setShortcut(QKeySequence(Qt::Key_F1));
    // Enter belongs to the ISBN box: a scanner ends every code with it.
    take_->setAutoDefault(false);
    close->setAutoDefault(false);
    help->setAutoDefault(false);
    layout->addWidget(box);

    connect(isbnBox_, &QLineEdit::returnPressed, this, &IsbnLookupWindow::enterPressed);
    connect(search_, &QPushButton::clicked, this, [this] {
        guarded(this, [&] {
            shown_.reset();
            enterPressed();
        });
    });
    connect(take_, &QPushButton::clicked, this, [this] { guarded(this, [&] { takeShown(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this,
            [] { HelpViewer::showContext(QStringLiteral("sorabe.HLP"), kHelpContext); });
    connect(&lookup_, &IsbnLookup::finished, this, &IsbnLookupWindow::showOutcome);
    connect(continuous_, &QCheckBox::toggled, this, [this](bool on) {
        shelf_->setVisible(on);
        if (on)
            fillCurrent_->setChecked(false);
        updateTakeButton();
    });
    connect(fillCurrent_, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            continuous_->setChecked(false);
        if (shown_)
            preview_->showFields(shown_->fields, session_.catalogue(),
                                 on ? std::optional<int>(session_.currentIndex()) : std::nullopt);
        updateTakeButton();
    });
    connect(&session_, &CatalogueSession::currentRecordChanged, this,
            &IsbnLookupWindow::followCurrentRecord);
    connect(&session_, &CatalogueSession::recordsChanged, this,
            &IsbnLookupWindow::followCurrentRecord);
    shelf_->setVisible(false);
    resize(640, 560);
    updateTakeButton();
}

IsbnLookupWindow::~IsbnLookupWindow() = default;

QWidget* IsbnLookupWindow::buildShelf() {
    shelf_ = new QTabWidget(this);
    shelf_->setObjectName(QStringLiteral("shelfLists"));
    added_ = new QListWidget(shelf_);
    notFound_ = new QListWidget(shelf_);
    duplicates_ = new QListWidget(shelf_);
    added_->setObjectName(QStringLiteral("addedList"));
    notFound_->setObjectName(QStringLiteral("notFoundList"));
    duplicates_->setObjectName(QStringLiteral("duplicateList"));
    auto page = [this](QListWidget* list, QPushButton* button) {
        auto* w = new QWidget(shelf_);
        auto* l = new QVBoxLayout(w);
        l->setContentsMargins(4, 4, 4, 4);
        l->addWidget(list);
        if (button)
            l->addWidget(button, 0, Qt::AlignRight);
        return w;
    };
    retry_ = new QPushButton(QStringLiteral("もう一度調べる(&R)"), shelf_);
    addAnyway_ = new QPushButton(QStringLiteral("選んだ本も追加する(&D)"), shelf_);
    retry_->setObjectName(QStringLiteral("retryButton"));
    addAnyway_->setObjectName(QStringLiteral("addAnywayButton"));
    for (QPushButton* b : {retry_, addAnyway_})
        b->setAutoDefault(false);
    duplicates_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    shelf_->addTab(page(added_, nullptr), QStringLiteral("追加した本"));
    shelf_->addTab(page(notFound_, retry_), QStringLiteral("見つからなかった本"));
    shelf_->addTab(page(duplicates_, addAnyway_), QStringLiteral("重複"));
    connect(retry_, &QPushButton::clicked, this,
            [this] { guarded(this, [&] { retryNotFound(); }); });
    connect(addAnyway_, &QPushButton::clicked, this,
            [this] { guarded(this, [&] { addDuplicatesAnyway(); }); });
    shelf_->setMaximumHeight(180);
    return shelf_;
}

QWidget* IsbnLookupWindow::buildOptions() {
    options_ = new QGroupBox(QStringLiteral("問い合わせ先"), this);
    auto* form = new QFormLayout(options_);
    useOpenBd_ = new QCheckBox(QStringLiteral("openBD"), options_);
    useOpenBd_->setAccessibleName(QStringLiteral("openBD で調べる"));
    useNdl_ = new QCheckBox(QStringLiteral("国立国会図書館サーチ"), options_);
    openBdUrl_ = new QLineEdit(options_);
    ndlUrl_ = new QLineEdit(options_);
    openBdUrl_->setObjectName(QStringLiteral("openBdUrl"));
    ndlUrl_->setObjectName(QStringLiteral("ndlUrl"));
    useOpenBd_->setChecked(settings_.useOpenBd);
    useNdl_->setChecked(settings_.useNdl);
    openBdUrl_->setText(settings_.openBdUrl);
    ndlUrl_->setText(settings_.ndlUrl);
    form->addRow(useOpenBd_, openBdUrl_);
    form->addRow(useNdl_, ndlUrl_);
    // An address from the environment holds for this run only.
    if (LookupSettings::openBdOverridden() || LookupSettings::ndlOverridden()) {
        const LookupSettings env = settings_.withEnvironment();
        auto* note = new QLabel(
            QStringLiteral("この実行では環境変数のアドレスを使います: %1")
                .arg(QStringList{LookupSettings::openBdOverridden() ? env.openBdUrl : QString(),
                                 LookupSettings::ndlOverridden() ? env.ndlUrl : QString()}
                         .filter(QRegularExpression(QStringLiteral(".")))
                         .join(QStringLiteral("、"))),
            options_);
        note->setWordWrap(true);
        form->addRow(note);
    }
    for (QCheckBox* b : {useOpenBd_, useNdl_})
        connect(b, &QCheckBox::toggled, this, &IsbnLookupWindow::saveOptions);
    for (QLineEdit* e : {openBdUrl_, ndlUrl_})
        connect(e, &QLineEdit::editingFinished, this, &IsbnLookupWindow::saveOptions);
    return options_;
}

void IsbnLookupWindow::saveOptions() {
    LookupSettings s = settings_;
    s.useOpenBd = useOpenBd_->isChecked();
    s.useNdl = useNdl_->isChecked();
    s.openBdUrl = openBdUrl_->text().trimmed().isEmpty() ? LookupSettings::kOpenBdDefault
                                                         : openBdUrl_->text().trimmed();
    s.ndlUrl = ndlUrl_->text().trimmed().isEmpty() ? LookupSettings::kNdlDefault
                                                   : ndlUrl_->text().trimmed();
    if (s == settings_)
        return;
    settings_ = s;
    guarded(this, [&] { settings_.write(settingsPath_); });
}

void IsbnLookupWindow::followCurrentRecord() {
    const bool hasRecord = session_.hasRecord();
    fillCurrent_->setText(
        hasRecord
            ? QStringLiteral("表示中の記録（%1件目）に反映する(&F)").arg(session_.currentIndex())
            : QStringLiteral("表示中の記録に反映する(&F)"));
    fillCurrent_->setEnabled(hasRecord);
    if (!hasRecord)
        fillCurrent_->setChecked(false);
    // The "now" column follows the record the fields would go into.
    if (shown_ && fillCurrent_->isChecked())
        preview_->showFields(shown_->fields, session_.catalogue(), session_.currentIndex());
}

void IsbnLookupWindow::present() {
    followCurrentRecord();
    show();
    raise();
    activateWindow();
    isbnBox_->setFocus();
    isbnBox_->selectAll();
}

void IsbnLookupWindow::keyPressEvent(QKeyEvent* event) {
    // Enter never reaches a default button: the ISBN box has answered it
    // already, and elsewhere in the window it takes the shown book.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (focusWidget() != isbnBox_)
            guarded(this, [&] { takeShown(); });
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void IsbnLookupWindow::setStatus(const QString& text, bool error) {
    status_->setText(text);
    status_->setStyleSheet(error ? QStringLiteral("color: #b00000;") : QString());
}

void IsbnLookupWindow::updateTakeButton() {
    take_->setText(fillCurrent_->isChecked() ? QStringLiteral("反映(&A)")
                                             : QStringLiteral("追加(&A)"));
    take_->setEnabled(!continuous_->isChecked() && shown_.has_value());
}

void IsbnLookupWindow::enterPressed() {
    Isbn isbn;
    try {
        isbn = Isbn::parse(isbnBox_->text());
    } catch (const IsbnError& e) {
        // Named at once; nothing is sent.
        setStatus(e.message(), true);
        isbnBox_->selectAll();
        return;
    }
    // Enter on the book already shown takes it.
    if (!continuous_->isChecked() && shown_ && shown_->isbn == isbn && !lookup_.isRunning()) {
        guarded(this, [&] { takeShown(); });
        return;
    }
    if (continuous_->isChecked()) {
        isbnBox_->clear();
        queue_.push_back(isbn);
        if (!lookup_.isRunning())
            startNext();
        else
            setStatus(QStringLiteral("調べています（あと %1 冊）").arg(queue_.size()));
        return;
    }
    lookUp(isbn);
}

void IsbnLookupWindow::lookUp(const Isbn& isbn) {
    shown_.reset();
    preview_->clearFields();
    updateTakeButton();
    setStatus(QStringLiteral("%1 を調べています…").arg(isbn.hyphenated()));
    lookup_.start(isbn, settings_.withEnvironment());
}

void IsbnLookupWindow::startNext() {
    if (queue_.empty())
        return;
    const Isbn next = queue_.front();
    queue_.pop_front();
    lookUp(next);
}

void IsbnLookupWindow::showOutcome(const LookupOutcome& outcome) {
    if (continuous_->isChecked()) {
        guarded(this, [&] { takeIntoShelf(outcome); });
        emit outcomeShown();
        startNext();
        return;
    }
    if (outcome.status != LookupOutcome::Status::Found) {
        setStatus(outcome.message, true);
        isbnBox_->selectAll();
        emit outcomeShown();
        return;
    }
    shown_ = outcome;
    preview_->showFields(outcome.fields, session_.catalogue(),
                         fillCurrent_->isChecked() ? std::optional<int>(session_.currentIndex())
                                                   : std::nullopt);
    QString text =
        QStringLiteral("見つかりました（%1）。Enter で%2します")
            .arg(sourcesOf(outcome.fields),
                 fillCurrent_->isChecked() ? QStringLiteral("反映") : QStringLiteral("追加"));
    if (!outcome.message.isEmpty())
        text += u'\n' + outcome.message;
    setStatus(text);
    updateTakeButton();
    emit outcomeShown();
}

void IsbnLookupWindow::takeIntoShelf(const LookupOutcome& outcome) {
    const QString isbn = outcome.isbn.hyphenated();
    if (outcome.status != LookupOutcome::Status::Found) {
        auto* item = new QListWidgetItem(QStringLiteral("%1 — %2").arg(isbn, outcome.message));
        item->setData(Qt::UserRole, outcome.isbn.digits());
        notFound_->addItem(item);
        setStatus(outcome.message, true);
        return;
    }
    const QString title = titleOf(outcome.fields);
    if (const int same =
            BookProposal::findDuplicate(session_.catalogue(), outcome.isbn, outcome.fields)) {
        duplicates_->addItem(
            QStringLiteral("%1 「%2」 — %3件目と同じ本").arg(isbn, title).arg(same));
        duplicatesFound_.push_back(outcome);
        setStatus(
            QStringLiteral("「%1」はもう%2件目にあるので追加しませんでした").arg(title).arg(same),
            true);
        return;
    }
    if (addBook(outcome.fields)) {
        added_->addItem(QStringLiteral("%1 「%2」").arg(isbn, title));
        setStatus(
            QStringLiteral("「%1」を%2件目に追加しました").arg(title).arg(session_.recordCount()));
    }
}

bool IsbnLookupWindow::addBook(const std::vector<ProposedField>& fields) {
    // A new catalogue's one empty record takes the first book.
    const Catalogue& catalogue = session_.catalogue();
    if (catalogue.recordCount() == 1 && std::ranges::all_of(fieldTable(), [&](const FieldInfo& f) {
            return catalogue.field(f.field, 1).empty();
        })) {
        std::vector<std::pair<Field, Bytes>> changes;
        for (const ProposedField& p : fields)
            changes.emplace_back(p.field, BookProposal::toCatalogueText(p.text));
        session_.setRecordFields(1, changes, QStringLiteral("ISBNで追加"));
        session_.showRecord(1);
        return true;
    }
    if (!session_.appendRecords({BookProposal::toRecord(fields)})) {
        Dialogs::notice(this, QStringLiteral("記録できるのは２０００冊までです"));
        return false;
    }
    return true;
}

void IsbnLookupWindow::takeShown() {
    if (!shown_ || continuous_->isChecked())
        return;
    std::vector<ProposedField> fields = preview_->checkedFields();
    if (fields.empty()) {
        setStatus(QStringLiteral("反映する項目が選ばれていません"), true);
        return;
    }
    const Isbn isbn = shown_->isbn;
    if (fillCurrent_->isChecked() && session_.hasRecord()) {
        fillCurrentRecord(isbn, std::move(fields));
        return;
    }
    const QString title = titleOf(fields);
    if (const int same = BookProposal::findDuplicate(session_.catalogue(), isbn, fields))
        if (!Dialogs::question(this, QStringLiteral("この本は%1件目にもう記録されています。"
                                                    "それでも追加しますか？")
                                         .arg(same)))
            return;
    if (!addBook(fields))
        return;
    setStatus(
        QStringLiteral("「%1」を%2件目に追加しました").arg(title).arg(session_.recordCount()));
    shown_.reset();
    preview_->clearFields();
    updateTakeButton();
    isbnBox_->clear();
    isbnBox_->setFocus();
}

void IsbnLookupWindow::fillCurrentRecord(const Isbn& isbn, std::vector<ProposedField> fields) {
    const int record = session_.currentIndex();
    const Catalogue& catalogue = session_.catalogue();
    std::vector<std::pair<Field, Bytes>> changes;
    QStringList replaced;
    for (ProposedField& f : fields) {
        const Bytes now(catalogue.field(f.field, record));
        Bytes text = BookProposal::toCatalogueText(f.text);
        if (f.field == Field::Note1 && !now.empty()) {
            // The note keeps what the user wrote; the ISBN joins it once.
            if (sjis::decode(now).contains(isbn.hyphenated()))
                continue;
            text = now + sjis::fromUtf8("　") + text;
        } else if (!now.empty() && now != text) {
            replaced.append(
                QStringLiteral("%1: 「%2」→「%3」")
                    .arg(LookupPreview::captionOf(catalogue, f.field), sjis::decode(now), f.text));
        }
        if (text != now)
            changes.emplace_back(f.field, std::move(text));
    }
    if (changes.empty()) {
        setStatus(QStringLiteral("この記録はもう同じ内容です"));
        return;
    }
    if (!replaced.isEmpty() &&
        !Dialogs::question(this,
                           QStringLiteral("%1件目の次の項目を置き換えます。よろしいですか？\n\n%2")
                               .arg(record)
                               .arg(replaced.join(u'\n'))))
        return;
    session_.setRecordFields(record, changes, QStringLiteral("ISBNで反映"));
    setStatus(QStringLiteral("%1件目に%2項目を反映しました").arg(record).arg(changes.size()));
    preview_->showFields(shown_->fields, session_.catalogue(), record);
}

void IsbnLookupWindow::retryNotFound() {
    if (notFound_->count() == 0)
        return;
    while (notFound_->count() > 0) {
        std::unique_ptr<QListWidgetItem> item(notFound_->takeItem(0));
        queue_.push_back(Isbn::parse(item->data(Qt::UserRole).toString()));
    }
    if (!lookup_.isRunning())
        startNext();
}

void IsbnLookupWindow::addDuplicatesAnyway() {
    QList<QListWidgetItem*> chosen = duplicates_->selectedItems();
    if (chosen.isEmpty()) {
        setStatus(QStringLiteral("追加する本を「重複」の一覧で選んでください"), true);
        return;
    }
    std::vector<int> rows;
    for (QListWidgetItem* item : chosen)
        rows.push_back(duplicates_->row(item));
    std::sort(rows.rbegin(), rows.rend());
    std::vector<std::array<Bytes, kFieldCount>> records;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        records.push_back(
            BookProposal::toRecord(duplicatesFound_[static_cast<size_t>(*it)].fields));
    if (!session_.appendRecords(records)) {
        Dialogs::notice(this, QStringLiteral("記録できるのは２０００冊までです"));
        return;
    }
    for (const int row : rows) {
        const LookupOutcome& o = duplicatesFound_[static_cast<size_t>(row)];
        added_->addItem(QStringLiteral("%1 「%2」").arg(o.isbn.hyphenated(), titleOf(o.fields)));
        delete duplicates_->takeItem(row);
        duplicatesFound_.erase(duplicatesFound_.begin() + row);
    }
    setStatus(QStringLiteral("重複していた %1 冊を追加しました").arg(records.size()));
}

} // namespace sorabel
