#pragma once

#include "core/stats/ReadingStatistics.h"
#include "gui/stats/BookRowsModel.h"

#include <QWidget>
#include <array>
#include <functional>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTableView;
class QTableWidget;

namespace sorabel {

class Catalogue;
class CountChart;

// "読書統計": how much has been read. Books finished (or bought) per month of
// a chosen year and per year, a breakdown by genre and format, the books in
// each reading status and the books whose date cannot be counted. A double
// click on a book asks for it to be shown in the main window.
//
// The window reads the catalogue it was given and never changes it; call
// catalogueChanged() whenever the records change (stored edits, Open, New, an
// applied sort). While hidden it only notes the change and recounts when shown.
class StatisticsWindow : public QWidget {
    Q_OBJECT
public:
    enum Page { MonthPage, YearPage, GroupPage, StatusPage, UndatedPage };

    explicit StatisticsWindow(const Catalogue& catalogue, QWidget* parent = nullptr);
    ~StatisticsWindow() override;

    const ReadingStatistics& statistics() const { return stats_; }
    DateBasis basis() const;
    int chosenYear() const;   // 0 when no year has a date
    bool wholePeriod() const; // the breakdown covers all years

    // The shown page as tab-separated text, a header row first.
    QString pageAsText() const;

    // The open catalogue's file (empty when untitled): a picture is never
    // saved over it or its backup.
    void setOpenCatalogue(std::function<QString()> file) { openCatalogue_ = std::move(file); }

signals:
    // The user asked to see this record (1..recordCount) in the main window.
    void recordChosen(int record);

public slots:
    void catalogueChanged();
    void showStatus(sorabel::ReadingStatus status);
    void savePicture();
    void copyPage();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QTableWidget* groupTable(ChoiceList list) const {
        return groupTables_[static_cast<size_t>(list)];
    }
    void recount();
    void fillYears();
    void refresh();
    void fillMonthAndYear();
    void fillGroups();
    void fillStatus();
    void fillUndated();
    std::vector<BookRowsModel::Column> bookColumns(const QString& titleHeader) const;
    std::function<QString(int, int)> fieldText(Field field) const;
    QString dateCaption() const;

    const Catalogue& catalogue_;
    ReadingStatistics stats_;
    bool stale_ = false;
    ReadingStatus shownStatus_ = ReadingStatus::Finished;

    QComboBox* basisBox_ = nullptr;
    QComboBox* yearBox_ = nullptr;
    QComboBox* scopeBox_ = nullptr;
    QLabel* totals_ = nullptr;
    QTabWidget* pages_ = nullptr;
    CountChart* monthChart_ = nullptr;
    CountChart* yearChart_ = nullptr;
    std::array<QTableWidget*, kListCount> groupTables_{};
    QListWidget* statusList_ = nullptr;
    BookRowsModel* statusRows_ = nullptr;
    QTableView* statusTable_ = nullptr;
    QLabel* undatedSummary_ = nullptr;
    BookRowsModel* undatedRows_ = nullptr;
    QTableView* undatedTable_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    std::function<QString()> openCatalogue_;
    QPushButton* copyButton_ = nullptr;
};

} // namespace sorabel
