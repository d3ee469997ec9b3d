#include "gui/help/HelpWindow.h"

#include "gui/widgets/ReadableColour.h"

#include <QShortcut>

#include "core/storage/FileIo.h"
#include "gui/widgets/FontSubstitution.h"
#include "gui/widgets/WindowFront.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <exception>

namespace sorabel {

namespace {
constexpr int kContextRole = Qt::UserRole;
const QString kWindowTitle = QStringLiteral("ソラベル ヘルプ");

QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}
} // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(kWindowTitle);
    resize(880, 600);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    connect(new QShortcut(QKeySequence::Close, this), &QShortcut::activated, this, &QWidget::close);
    setFont(FontSubstitution::designFont(QStringLiteral("ＭＳ Ｐゴシック"), 14));

    finder_ = new QTabWidget;
    contents_ = new QTreeWidget;
    finder_->setObjectName(QStringLiteral("finder"));
    contents_->setObjectName(QStringLiteral("contents"));
    contents_->setHeaderHidden(true);
    contents_->setRootIsDecorated(true);
    finder_->addTab(contents_, QStringLiteral("目次(&C)"));

    auto* searchPage = new QWidget;
    auto* searchLayout = new QVBoxLayout(searchPage);
    auto* searchLabel = new QLabel(QStringLiteral("探したい語句を入力してください(&W):"));
    searchBox_ = new QLineEdit;
    searchBox_->setObjectName(QStringLiteral("searchBox"));
    searchLabel->setBuddy(searchBox_);
    searchButton_ = new QPushButton(QStringLiteral("検索(&S)"));
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(searchBox_, 1);
    searchRow->addWidget(searchButton_);
    searchNote_ = new QLabel;
    searchNote_->setWordWrap(true);
    results_ = new QListWidget;
    results_->setObjectName(QStringLiteral("searchResults"));
    searchLayout->addWidget(searchLabel);
    searchLayout->addLayout(searchRow);
    searchLayout->addWidget(searchNote_);
    searchLayout->addWidget(results_, 1);
    finder_->addTab(searchPage, QStringLiteral("検索(&F)"));

    topicView_ = new QTextBrowser;
    topicView_->setObjectName(QStringLiteral("topicView"));
    topicView_->setOpenLinks(false);
    topicView_->setOpenExternalLinks(false);

    backButton_ = new QPushButton(QStringLiteral("戻る(&B)"));
    forwardButton_ = new QPushButton(QStringLiteral("進む(&N)"));
    auto* closeButton = new QPushButton(QStringLiteral("閉じる"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(backButton_);
    buttons->addWidget(forwardButton_);
    buttons->addStretch(1);
    buttons->addWidget(closeButton);

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(finder_);
    splitter->addWidget(topicView_);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({290, 590});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);

    connect(contents_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item && item->data(0, kContextRole).toInt() > 0)
            display(item->data(0, kContextRole).toInt(), true);
    });
    connect(searchButton_, &QPushButton::clicked, this, &HelpWindow::runSearch);
    connect(searchBox_, &QLineEdit::returnPressed, this, &HelpWindow::runSearch);
    connect(results_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item)
            display(item->data(kContextRole).toInt(), true);
    });
    connect(topicView_, &QTextBrowser::anchorClicked, this, &HelpWindow::openLink);
    connect(backButton_, &QPushButton::clicked, this, &HelpWindow::goBack);
    connect(forwardButton_, &QPushButton::clicked, this, &HelpWindow::goForward);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    updateButtons();
}

void HelpWindow::load(const QString& path) {
    const QFileInfo info(path);
    const QDateTime modified = info.exists() ? info.lastModified() : QDateTime();
    if (loaded_ && path == path_ && modified == modified_)
        return;
    const bool samePath = path == path_;
    path_ = path;
    modified_ = modified;
    try {
        file_ = HelpFile::load(path);
        loaded_ = true;
    } catch (const std::exception&) {
        file_ = HelpFile();
        loaded_ = false;
    }
    if (!samePath) {
        back_.clear();
        forward_.clear();
        current_ = 0;
    }
    if (loaded_ && !file_.styleSheet().isEmpty())
        topicView_->document()->setDefaultStyleSheet(
            ReadableColour::styleSheetFor(file_.styleSheet(), topicView_->palette()));
    fillContents();
    results_->clear();
    searchNote_->clear();
}

void HelpWindow::fillContents() {
    const QSignalBlocker blocker(contents_);
    contents_->clear();
    QTreeWidgetItem* chapter = nullptr;
    for (const HelpFile::Topic& topic : file_.topics()) {
        QTreeWidgetItem* item = nullptr;
        if (topic.chapter.isEmpty()) {
            chapter = nullptr;
            item = new QTreeWidgetItem(contents_);
        } else {
            if (!chapter || chapter->text(0) != topic.chapter) {
                chapter = new QTreeWidgetItem(contents_);
                chapter->setText(0, topic.chapter);
                chapter->setData(0, kContextRole, 0);
                QFont font = chapter->font(0);
                font.setBold(true);
                chapter->setFont(0, font);
                chapter->setExpanded(true);
            }
            item = new QTreeWidgetItem(chapter);
        }
        item->setText(0, topic.title);
        item->setData(0, kContextRole, topic.context);
    }
    contents_->expandAll();
}

void HelpWindow::showMessage(const QString& html) {
    topicView_->setHtml(QStringLiteral("<h2>%1</h2>%2").arg(kWindowTitle, html));
}

void HelpWindow::display(int context, bool remember) {
    if (remember && current_ > 0 && current_ != context) {
        back_.push_back(current_);
        forward_.clear();
    }
    if (!loaded_) {
        current_ = 0;
        showMessage(QStringLiteral("<p>ヘルプファイル「%1」が見つからないか、読み込めません。</p>"
                                   "<p>ソラベルのプログラムと同じフォルダに sorabe.HLP "
                                   "があるか確かめてください。</p>")
                        .arg(escaped(QDir::toNativeSeparators(path_))));
        setWindowTitle(kWindowTitle);
        updateButtons();
        return;
    }
    const HelpFile::Topic* topic = file_.topic(context);
    if (!topic) {
        current_ = 0;
        showMessage(
            QStringLiteral("<p>このヘルプファイルには、求められたトピック（コンテキスト番号 "
                           "%1）がありません。</p><p>左の目次または検索から目的の説明を"
                           "選んでください。</p><p>ヘルプファイル: %2</p>")
                .arg(context)
                .arg(escaped(QDir::toNativeSeparators(path_))));
        selectInContents(0);
        setWindowTitle(kWindowTitle);
        updateButtons();
        return;
    }
    current_ = context;
    topicView_->setHtml(QStringLiteral("<h1>%1</h1>%2").arg(escaped(topic->title), topic->html));
    selectInContents(context);
    const QString title = file_.title().isEmpty() ? kWindowTitle : file_.title();
    setWindowTitle(QStringLiteral("%1 - %2").arg(title, topic->title));
    updateButtons();
}

void HelpWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Light and dark desktops: the headings and tables take the new colours.
    if ((event->type() == QEvent::PaletteChange ||
         event->type() == QEvent::ApplicationPaletteChange) &&
        loaded_ && !file_.styleSheet().isEmpty()) {
        // The theme's palette for the topic view: the view itself may hear
        // of the change only after this window.
        topicView_->document()->setDefaultStyleSheet(
            ReadableColour::styleSheetFor(file_.styleSheet(), QApplication::palette(topicView_)));
        if (current_ > 0)
            display(current_, false);
    }
}

void HelpWindow::selectInContents(int context) {
    const QSignalBlocker blocker(contents_);
    contents_->setCurrentItem(nullptr);
    if (context <= 0)
        return;
    for (QTreeWidgetItemIterator it(contents_); *it; ++it) {
        if ((*it)->data(0, kContextRole).toInt() == context) {
            contents_->setCurrentItem(*it);
            contents_->scrollToItem(*it);
            return;
        }
    }
}

void HelpWindow::updateButtons() {
    backButton_->setEnabled(!back_.empty());
    forwardButton_->setEnabled(!forward_.empty());
}

void HelpWindow::goBack() {
    if (back_.empty())
        return;
    if (current_ > 0)
        forward_.push_back(current_);
    const int context = back_.back();
    back_.pop_back();
    display(context, false);
}

void HelpWindow::goForward() {
    if (forward_.empty())
        return;
    if (current_ > 0)
        back_.push_back(current_);
    const int context = forward_.back();
    forward_.pop_back();
    display(context, false);
}

void HelpWindow::openLink(const QUrl& url) {
    if (url.scheme() == QLatin1String("topic")) {
        bool ok = false;
        const int context = url.path().toInt(&ok);
        if (ok)
            display(context, true);
    }
}

void HelpWindow::runSearch() {
    const QSignalBlocker blocker(results_);
    results_->clear();
    const QString query = searchBox_->text().trimmed();
    if (query.isEmpty()) {
        searchNote_->setText(QStringLiteral("語句を入力してから［検索］を押してください。"));
        return;
    }
    const auto found = file_.search(query);
    for (const HelpFile::Topic* topic : found) {
        auto* item = new QListWidgetItem(topic->title, results_);
        item->setData(kContextRole, topic->context);
    }
    searchNote_->setText(
        found.empty() ? QStringLiteral("「%1」を含むトピックは見つかりませんでした。").arg(query)
                      : QStringLiteral("%1 件のトピックが見つかりました。").arg(found.size()));
}

QString HelpWindow::topicText() const {
    return topicView_->toPlainText();
}

void HelpWindow::showContext(const QString& path, int context) {
    load(path);
    display(context, true);
    bringToFront(this);
}

void HelpWindow::showFinder(const QString& path) {
    load(path);
    finder_->setCurrentWidget(contents_);
    if (current_ == 0) {
        if (loaded_ && !file_.topics().empty())
            display(file_.topics().front().context, false);
        else
            display(0, false);
    }
    bringToFront(this);
    contents_->setFocus();
}

} // namespace sorabel
