#include "gui/stats/StatisticsWindow.h"

#include "core/storage/DialogFolder.h"

#include "core/catalogue/Catalogue.h"
#include "core/storage/FileIo.h"
#include "core/text/ShiftJis.h"
#include "gui/help/HelpViewer.h"
#include "gui/stats/BookRowsModel.h"
#include "gui/stats/CountChart.h"
#include "gui/widgets/ChosenFile.h"
#include "gui/widgets/Dialogs.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <numeric>

namespace sorabel {

namespace {

const QString kHelpFile = QStringLiteral("sorabe.HLP");
constexpr int kHelpContext = 11;

const std::array<ReadingStatus, kStatusCount> kStatuses = {
    ReadingStatus::Finished, ReadingStatus::Reading, ReadingStatus::Stacked,
    ReadingStatus::Unsorted};

QString statusName(ReadingStatus s) {
    switch (s) {
    case ReadingStatus::Finished:
        return QStringLiteral("読了");
    case ReadingStatus::Reading:
        return QStringLiteral("読書中");
    case ReadingStatus::Stacked:
        return QStringLiteral("積読");
    case ReadingStatus::Unsorted:
        break;
    }
    return QStringLiteral("未分類");
}

QString books(int n) {
    return QStringLiteral("%1冊").arg(n);
}

template <class Table> Table* newTable(QWidget* parent) {
    auto* t = new Table(parent);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->verticalHeader()->hide();
    t->horizontalHeader()->setStretchLastSection(true);
    t->setAlternatingRowColors(true);
    return t;
}

QTableWidgetItem* cell(const QString& text, Qt::Alignment align = Qt::AlignLeft) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(align | Qt::AlignVCenter);
    return item;
}

// A table whose rows are many books: its columns are fitted to the first
// rows only, so that a long list is not measured cell by cell.
QTableView* newBookTable(QWidget* parent, BookRowsModel* rows) {
    QTableView* t = newTable<QTableView>(parent);
    t->setModel(rows);
    t->horizontalHeader()->setResizeContentsPrecision(200);
    return t;
}

// Header row and rows of a table, tab-separated.
QString tableText(const QAbstractItemModel* m) {
    QStringList lines;
    QStringList header;
    for (int c = 0; c < m->columnCount(); ++c)
        header << m->headerData(c, Qt::Horizontal).toString();
    lines << header.join(u'\t');
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < m->columnCount(); ++c)
            row << m->index(r, c).data().toString();
        lines << row.join(u'\t');
    }
    return lines.join(u'\n') + u'\n';
}

} // namespace

StatisticsWindow::StatisticsWindow(const Catalogue& catalogue, QWidget* parent)
    : QWidget(parent, Qt::Window), catalogue_(catalogue) {
    setWindowTitle(QStringLiteral("読書統計"));
    setAttribute(Qt::WA_QuitOnClose, false); // never keeps the program alive
    resize(820, 560);

    basisBox_ = new QComboBox(this);
    yearBox_ = new QComboBox(this);
    scopeBox_ = new QComboBox(this);
    basisBox_->setObjectName(QStringLiteral("basisBox"));
    yearBox_->setObjectName(QStringLiteral("yearBox"));
    scopeBox_->setObjectName(QStringLiteral("scopeBox"));
    scopeBox_->addItems(
        {QStringLiteral("選んだ年"), QStringLiteral("全期間"), QStringLiteral("すべての本")});
    auto* top = new QHBoxLayout;
    const auto labelled = [&](const QString& text, QWidget* w) {
        auto* l = new QLabel(text, this);
        l->setBuddy(w);
        top->addWidget(l);
        top->addWidget(w);
    };
    labelled(QStringLiteral("数える日付(&D):"), basisBox_);
    labelled(QStringLiteral("年(&Y):"), yearBox_);
    labelled(QStringLiteral("内訳の期間(&P):"), scopeBox_);
    top->addStretch();

    totals_ = new QLabel(this);
    totals_->setObjectName(QStringLiteral("totals"));
    totals_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    pages_ = new QTabWidget(this);
    monthChart_ = new CountChart(pages_);
    yearChart_ = new CountChart(pages_);
    pages_->setObjectName(QStringLiteral("pages"));
    monthChart_->setObjectName(QStringLiteral("monthChart"));
    yearChart_->setObjectName(QStringLiteral("yearChart"));
    pages_->addTab(monthChart_, QStringLiteral("月別(&1)"));
    pages_->addTab(yearChart_, QStringLiteral("年別(&2)"));

    auto* groups = new QWidget(pages_);
    auto* groupRow = new QHBoxLayout(groups);
    const char* const groupNames[kListCount] = {"genre1Table", "genre2Table", "formatTable"};
    for (size_t l = 0; l < groupTables_.size(); ++l) {
        QTableWidget* t = groupTables_[l] = newTable<QTableWidget>(groups);
        t->setObjectName(QString::fromLatin1(groupNames[l]));
        t->horizontalHeader()->setStretchLastSection(false);
        groupRow->addWidget(t);
    }
    pages_->addTab(groups, QStringLiteral("ジャンル・判型別(&3)"));

    auto* status = new QWidget(pages_);
    auto* statusRow = new QHBoxLayout(status);
    statusList_ = new QListWidget(status);
    statusList_->setObjectName(QStringLiteral("statusList"));
    statusList_->setMaximumWidth(150);
    statusList_->setSpacing(3);
    for (ReadingStatus s : kStatuses) {
        auto* item = new QListWidgetItem(statusList_);
        item->setData(Qt::UserRole, static_cast<int>(s));
    }
    statusRows_ = new BookRowsModel(this);
    statusTable_ = newBookTable(status, statusRows_);
    statusTable_->setObjectName(QStringLiteral("statusTable"));
    statusRow->addWidget(statusList_);
    statusRow->addWidget(statusTable_, 1);
    pages_->addTab(status, QStringLiteral("読書状況(&4)"));

    auto* undated = new QWidget(pages_);
    auto* undatedColumn = new QVBoxLayout(undated);
    undatedSummary_ = new QLabel(undated);
    undatedSummary_->setObjectName(QStringLiteral("undatedSummary"));
    undatedSummary_->setWordWrap(true);
    undatedRows_ = new BookRowsModel(this);
    undatedTable_ = newBookTable(undated, undatedRows_);
    undatedTable_->setObjectName(QStringLiteral("undatedTable"));
    undatedColumn->addWidget(undatedSummary_);
    undatedColumn->addWidget(undatedTable_, 1);
    pages_->addTab(undated, QStringLiteral("日付のない本(&5)"));

    saveButton_ = new QPushButton(QStringLiteral("画像で保存(&S)..."), this);
    copyButton_ = new QPushButton(QStringLiteral("表をコピー(&C)"), this);
    saveButton_->setObjectName(QStringLiteral("saveButton"));
    copyButton_->setObjectName(QStringLiteral("copyButton"));
    auto* help = new QPushButton(QStringLiteral("ヘルプ(&H)"), this);
    auto* close = new QPushButton(QStringLiteral("閉じる(&X)"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(saveButton_);
    buttons->addWidget(copyButton_);
    buttons->addStretch();
    buttons->addWidget(help);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(totals_);
    layout->addWidget(pages_, 1);
    layout->addLayout(buttons);

    connect(basisBox_, &QComboBox::currentIndexChanged, this, [this] {
        fillYears();
        refresh();
    });
    connect(yearBox_, &QComboBox::currentIndexChanged, this, &StatisticsWindow::refresh);
    connect(scopeBox_, &QComboBox::currentIndexChanged, this, &StatisticsWindow::fillGroups);
    connect(statusList_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            showStatus(kStatuses[static_cast<size_t>(row)]);
    });
    // Double click (or Enter) on a book shows it in the main window.
    for (QTableView* t : {statusTable_, undatedTable_}) {
        connect(t, &QTableView::activated, this, [this](const QModelIndex& index) {
            emit recordChosen(index.data(Qt::UserRole).toInt());
        });
    }
    connect(saveButton_, &QPushButton::clicked, this, &StatisticsWindow::savePicture);
    connect(copyButton_, &QPushButton::clicked, this, &StatisticsWindow::copyPage);
    const auto showHelp = [this] {
        guarded(this, [] { HelpViewer::showContext(kHelpFile, kHelpContext); });
    };
    connect(help, &QPushButton::clicked, this, showHelp);
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this, showHelp);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, this, &QWidget::close);
    connect(new QShortcut(QKeySequence::Close, this), &QShortcut::activated, this, &QWidget::close);

    recount();
}

StatisticsWindow::~StatisticsWindow() = default;

DateBasis StatisticsWindow::basis() const {
    return basisBox_->currentIndex() == 1 ? DateBasis::Bought : DateBasis::Finished;
}

int StatisticsWindow::chosenYear() const {
    return yearBox_->currentData().toInt();
}

bool StatisticsWindow::wholePeriod() const {
    return scopeBox_->currentIndex() >= 1;
}

void StatisticsWindow::catalogueChanged() {
    if (isVisible())
        recount();
    else
        stale_ = true;
}

void StatisticsWindow::showEvent(QShowEvent* event) {
    if (stale_)
        recount();
    QWidget::showEvent(event);
}

void StatisticsWindow::recount() {
    stale_ = false;
    stats_ = ReadingStatistics(catalogue_);
    // The captions follow the user's names for the two date fields.
    const int basisIndex = std::max(0, basisBox_->currentIndex());
    basisBox_->blockSignals(true);
    basisBox_->clear();
    for (Field f : {Field::DateFinished, Field::DateBought}) {
        const int caption = fieldInfo(f).caption;
        QString text = sjis::decode(catalogue_.liveCaptions[static_cast<size_t>(caption - 1)]);
        if (text.trimmed().isEmpty())
            text = QString::fromUtf8(fieldInfo(f).defaultCaption);
        basisBox_->addItem(text);
    }
    basisBox_->setCurrentIndex(basisIndex);
    basisBox_->blockSignals(false);
    fillYears();
    refresh();
}

// The years with a date, newest first; the chosen one stays chosen while it
// still has books.
void StatisticsWindow::fillYears() {
    const int chosen = chosenYear();
    const std::vector<int> years = stats_.years(basis());
    yearBox_->blockSignals(true);
    yearBox_->clear();
    for (auto y = years.rbegin(); y != years.rend(); ++y)
        yearBox_->addItem(QStringLiteral("%1年").arg(*y), *y);
    yearBox_->setCurrentIndex(std::max(0, yearBox_->findData(chosen)));
    yearBox_->setEnabled(!years.empty());
    yearBox_->blockSignals(false);
}

void StatisticsWindow::refresh() {
    fillMonthAndYear();
    fillGroups();
    fillStatus();
    fillUndated();
}

QString StatisticsWindow::dateCaption() const {
    return basisBox_->currentText();
}

void StatisticsWindow::fillMonthAndYear() {
    const DateBasis b = basis();
    const QString what =
        b == DateBasis::Finished ? QStringLiteral("読み終えた本") : QStringLiteral("買った本");
    const int year = chosenYear();
    QStringList months;
    for (int m = 1; m <= 12; ++m)
        months << QStringLiteral("%1月").arg(m);
    const auto perMonth = stats_.perMonth(b, year);
    monthChart_->setCounts(year ? QStringLiteral("%1年に%2（月別）").arg(year).arg(what)
                                : QStringLiteral("%1（月別）").arg(what),
                           months, std::vector<int>(perMonth.begin(), perMonth.end()));

    QStringList years;
    std::vector<int> counts;
    for (const YearCount& y : stats_.perYear(b)) {
        years << QString::number(y.year);
        counts.push_back(y.count);
    }
    yearChart_->setCounts(QStringLiteral("年ごとの%1").arg(what), years, counts);

    const int yearTotal = stats_.yearTotal(b, year);
    const int noMonth = yearTotal - std::accumulate(perMonth.begin(), perMonth.end(), 0);
    QString text;
    if (year) {
        text = QStringLiteral("%1年: %2").arg(year).arg(books(yearTotal));
        if (noMonth > 0)
            text += QStringLiteral("（うち月の分からない本 %1）").arg(books(noMonth));
        text += QStringLiteral("　　");
    }
    text += QStringLiteral("全期間: %1　　登録した本: %2")
                .arg(books(stats_.datedCount(b)), books(stats_.bookCount()));
    totals_->setText(text);
}

void StatisticsWindow::fillGroups() {
    const std::optional<int> year =
        wholePeriod() || chosenYear() == 0 ? std::nullopt : std::optional<int>(chosenYear());
    for (int l = 0; l < kListCount; ++l) {
        const auto list = static_cast<ChoiceList>(l);
        QTableWidget* t = groupTable(list);
        QString heading = sjis::decode(catalogue_.heading(list));
        if (heading.trimmed().isEmpty())
            heading = QString::fromUtf8(fieldInfo(fieldOfList(list)).defaultCaption);
        // "すべての本" counts undated books too.
        const auto groups = scopeBox_->currentIndex() == 2 ? stats_.byGroupOfAllBooks(list)
                                                           : stats_.byGroup(basis(), list, year);
        const int total = std::accumulate(groups.begin(), groups.end(), 0,
                                          [](int n, const GroupCount& g) { return n + g.count; });
        t->clear();
        t->setColumnCount(3);
        t->setHorizontalHeaderLabels({heading, QStringLiteral("冊数"), QStringLiteral("割合")});
        t->setRowCount(static_cast<int>(groups.size()));
        for (int r = 0; r < t->rowCount(); ++r) {
            const GroupCount& g = groups[static_cast<size_t>(r)];
            t->setItem(r, 0, cell(g.name.isEmpty() ? QStringLiteral("（空欄）") : g.name));
            t->setItem(r, 1, cell(QString::number(g.count), Qt::AlignRight));
            t->setItem(r, 2,
                       cell(QStringLiteral("%1%").arg(100.0 * g.count / total, 0, 'f', 1),
                            Qt::AlignRight));
        }
        t->resizeColumnsToContents();
        t->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    }
}

void StatisticsWindow::fillStatus() {
    for (int i = 0; i < kStatusCount; ++i) {
        const ReadingStatus s = kStatuses[static_cast<size_t>(i)];
        statusList_->item(i)->setText(
            QStringLiteral("%1　%2").arg(statusName(s), books(int(stats_.withStatus(s).size()))));
    }
    showStatus(shownStatus_);
}

void StatisticsWindow::showStatus(ReadingStatus status) {
    shownStatus_ = status;
    const int row = static_cast<int>(status);
    if (statusList_->currentRow() != row) {
        statusList_->blockSignals(true);
        statusList_->setCurrentRow(row);
        statusList_->blockSignals(false);
    }
    std::vector<BookRowsModel::Column> columns =
        bookColumns(QString::fromUtf8(fieldInfo(Field::Title).defaultCaption));
    for (Field f : {Field::Author, Field::DateFinished, Field::DateStarted, Field::DateBought})
        columns.push_back({QString::fromUtf8(fieldInfo(f).defaultCaption), fieldText(f)});
    if (statusRows_->setRows(std::move(columns), stats_.withStatus(status)))
        statusTable_->resizeColumnsToContents();
}

void StatisticsWindow::fillUndated() {
    const auto& undated = stats_.undated(basis());
    const Field field = basis() == DateBasis::Finished ? Field::DateFinished : Field::DateBought;
    const auto unreadable = std::count_if(undated.begin(), undated.end(),
                                          [](const UndatedRecord& u) { return !u.empty; });
    undatedSummary_->setText(QStringLiteral("%1が空欄の本 %2、日付として読めない本 %3。"
                                            "ダブルクリックでその本をメイン画面に表示します。")
                                 .arg(dateCaption(),
                                      books(int(undated.size() - size_t(unreadable))),
                                      books(int(unreadable))));
    std::vector<int> records;
    for (const UndatedRecord& u : undated)
        records.push_back(u.record);
    std::vector<BookRowsModel::Column> columns = bookColumns(QStringLiteral("書名"));
    columns.push_back({dateCaption(), fieldText(field)});
    columns.push_back({QStringLiteral("状態"), [this](int row, int) {
                           return stats_.undated(basis())[static_cast<size_t>(row)].empty
                                      ? QStringLiteral("空欄")
                                      : QStringLiteral("読めない日付");
                       }});
    if (undatedRows_->setRows(std::move(columns), std::move(records)))
        undatedTable_->resizeColumnsToContents();
}

// Number and title, first in both tables of books.
std::vector<BookRowsModel::Column> StatisticsWindow::bookColumns(const QString& titleHeader) const {
    return {{QStringLiteral("番号"), [](int, int record) { return QString::number(record); },
             Qt::AlignRight},
            {titleHeader, fieldText(Field::Title)}};
}

std::function<QString(int, int)> StatisticsWindow::fieldText(Field field) const {
    return [this, field](int, int record) { return sjis::decode(catalogue_.field(field, record)); };
}

QString StatisticsWindow::pageAsText() const {
    const auto chartText = [](const CountChart* chart, const QString& unit, int total) {
        QString text = unit + QStringLiteral("\t冊数\n");
        int sum = 0;
        for (int i = 0; i < chart->categories().size(); ++i) {
            const int n = chart->counts()[static_cast<size_t>(i)];
            text += chart->categories()[i] + u'\t' + QString::number(n) + u'\n';
            sum += n;
        }
        if (total > sum)
            text += QStringLiteral("不明\t%1\n").arg(total - sum);
        return text + QStringLiteral("合計\t%1\n").arg(total);
    };
    switch (pages_->currentIndex()) {
    case MonthPage:
        return chartText(monthChart_, QStringLiteral("月"),
                         stats_.yearTotal(basis(), chosenYear()));
    case YearPage:
        return chartText(yearChart_, QStringLiteral("年"), stats_.datedCount(basis()));
    case GroupPage: {
        QStringList parts;
        for (const QTableWidget* t : groupTables_)
            parts << tableText(t->model());
        return parts.join(u'\n');
    }
    case StatusPage:
        return tableText(statusRows_);
    default:
        return tableText(undatedRows_);
    }
}

void StatisticsWindow::copyPage() {
    QApplication::clipboard()->setText(pageAsText());
}

void StatisticsWindow::savePicture() {
    guarded(this, [this] {
        const QString folder = DialogFolder::forDialog(QString());
        const auto path = Dialogs::saveFile(this, QStringLiteral("PNG 画像 (*.png)"), folder,
                                            QStringLiteral("png"));
        if (!path ||
            !ChosenFile::mayWrite(this, *path, openCatalogue_ ? openCatalogue_() : QString()))
            return;
        // Encoded in memory first, so the file is written whole or not at all.
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!pages_->currentWidget()->grab().save(&buffer, "PNG")) {
            Dialogs::error(this, QStringLiteral("画像を保存できません: %1").arg(*path));
            return;
        }
        try {
            ChosenFile::write(*path,
                              std::string_view(png.constData(), static_cast<size_t>(png.size())));
        } catch (const IoError& e) {
            Dialogs::error(this, QStringLiteral("画像を保存できません: %1\n%2")
                                     .arg(*path, QString::fromUtf8(e.what())));
        }
    });
}

} // namespace sorabel
