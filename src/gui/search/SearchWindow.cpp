#include "gui/search/SearchWindow.h"

#include "core/catalogue/Catalogue.h"
#include "core/text/LookAlikes.h"
#include "gui/help/HelpViewer.h"
#include "gui/search/SearchResultDelegate.h"
#include "gui/search/SearchResultModel.h"
#include "gui/widgets/HelpKey.h"
#include "gui/widgets/Icons.h"
#include "gui/widgets/WindowFront.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QVBoxLayout>

namespace sorabel {

namespace {
constexpr int kAllFields = -1;
constexpr int kHelpContext = 27; // the help file's topic on this window
} // namespace

SearchWindow::SearchWindow(const Catalogue& catalogue, QWidget* parent)
    : QWidget(parent, Qt::Tool), catalogue_(catalogue),
      model_(new SearchResultModel(search_, this)), query_(new QLineEdit(this)),
      fields_(new QComboBox(this)), view_(new QListView(this)), count_(new QLabel(this)),
      why_(new QLabel(this)),
      loose_(new QCheckBox(QStringLiteral("名前や ISBN の中の空白とハイフンを無視(&H)"), this)) {
    setWindowTitle(QStringLiteral("すべての項目を検索"));
    setWindowIcon(icon());
    resize(520, 440);
    model_->setObjectName(QStringLiteral("resultModel"));
    query_->setObjectName(QStringLiteral("queryBox"));
    fields_->setObjectName(QStringLiteral("fieldBox"));
    view_->setObjectName(QStringLiteral("resultView"));
    count_->setObjectName(QStringLiteral("countLabel"));
    why_->setObjectName(QStringLiteral("queryNote"));
    loose_->setObjectName(QStringLiteral("looseBox"));

    query_->setPlaceholderText(QStringLiteral("探す言葉（空白で区切ると、すべてを含む本）"));
    query_->setClearButtonEnabled(true);
    query_->setAccessibleName(QStringLiteral("探す言葉"));
    fields_->setAccessibleName(QStringLiteral("検索する項目"));
    view_->setAccessibleName(QStringLiteral("見つかった本"));
    count_->setAccessibleName(QStringLiteral("見つかった冊数"));
    query_->installEventFilter(this);
    HelpKey::install(this,
                     [] { HelpViewer::showContext(QStringLiteral("sorabe.HLP"), kHelpContext); });
    count_->setMinimumWidth(count_->fontMetrics().horizontalAdvance(QStringLiteral("0000冊")));
    count_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    view_->setModel(model_);
    view_->setItemDelegate(new SearchResultDelegate(view_));
    view_->setUniformItemSizes(true);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("検索する項目："), this));
    bar->addWidget(fields_, 1);
    bar->addWidget(count_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(query_);
    why_->setWordWrap(true);
    why_->hide();
    layout->addWidget(why_);
    layout->addLayout(bar);
    layout->addWidget(loose_);
    layout->addWidget(view_, 1);

    fillFieldBox();
    connect(query_, &QLineEdit::textChanged, this, &SearchWindow::search);
    connect(fields_, &QComboBox::currentIndexChanged, this, &SearchWindow::search);
    connect(loose_, &QCheckBox::toggled, this, &SearchWindow::search);
    // Enter and a double click both activate a row.
    connect(view_, &QListView::activated, this,
            [this](const QModelIndex& index) { chooseRow(index.row()); });
}

SearchWindow::~SearchWindow() = default;

QIcon SearchWindow::icon() {
    return Icons::get("search");
}

void SearchWindow::execute() {
    bringToFront(this);
    query_->setFocus();
    query_->selectAll();
}

void SearchWindow::catalogueChanged() {
    search_.invalidate();
    if (isVisible()) {
        refresh();
    } else {
        // Shown again later: until then no result may point at a moved record.
        model_->clear();
        count_->clear();
    }
}

void SearchWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!search_.isPrepared())
        refresh();
}

void SearchWindow::refresh() {
    search_.prepare(catalogue_);
    fillFieldBox();
    search();
}

void SearchWindow::fillFieldBox() {
    // The captions may have changed; the chosen field stays chosen.
    const QVariant chosen = fields_->currentData();
    const QSignalBlocker quiet(fields_);
    fields_->clear();
    fields_->addItem(QStringLiteral("すべての項目"), kAllFields);
    for (const FieldInfo& info : fieldTable()) {
        QString text = search_.isPrepared()
                           ? search_.caption(info.field)
                           : QString::fromUtf8(info.defaultCaption.data(),
                                               static_cast<qsizetype>(info.defaultCaption.size()));
        if (search_.isPrepared() && !search_.isShown(info.field))
            text += QStringLiteral("（非表示）");
        fields_->addItem(text, index(info.field));
    }
    const int at = chosen.isValid() ? fields_->findData(chosen) : 0;
    fields_->setCurrentIndex(std::max(at, 0));
}

void SearchWindow::search() {
    if (!search_.isPrepared()) {
        if (!isVisible())
            return; // made when the window is shown
        search_.prepare(catalogue_);
    }
    const int previous = model_->record(view_->currentIndex().row());
    // Look-alikes (〜 for ～, ...) are searched as the characters the catalogue holds.
    auto query = CatalogueSearch::parse(toCodePageLookAlikes(query_->text()), loose_->isChecked());
    const int field = fields_->currentData().toInt();
    std::optional<Field> only;
    if (field != kAllFields)
        only = fieldAt(field);
    why_->setText(query.whyNothing);
    why_->setVisible(!query.whyNothing.isEmpty());
    auto books = search_.find(query, only);
    const auto found = books.size();
    model_->setResults(std::move(query), std::move(books));
    count_->setText(query_->text().trimmed().isEmpty() ? QString()
                                                       : QStringLiteral("%1冊").arg(found));
    // The book that was current stays current when it is still found.
    const int row = std::max(model_->rowOfRecord(previous), 0);
    if (row < model_->rowCount())
        view_->setCurrentIndex(model_->index(row));
}

void SearchWindow::chooseRow(int row) {
    const int record = model_->record(row);
    if (record > 0)
        emit recordChosen(record);
}

void SearchWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape || event->matches(QKeySequence::Close)) {
        close();
        return;
    }
    if (event->matches(QKeySequence::Find)) { // Ctrl+F again: back to the query
        query_->setFocus();
        query_->selectAll();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool SearchWindow::eventFilter(QObject* watched, QEvent* event) {
    // The query box keeps the focus while the arrow keys move through the
    // results and Enter chooses the current one.
    if (watched == query_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            chooseRow(view_->currentIndex().isValid() ? view_->currentIndex().row() : 0);
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown: {
            QKeyEvent copy(key->type(), key->key(), key->modifiers());
            QCoreApplication::sendEvent(view_, &copy);
            return true;
        }
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace sorabel
