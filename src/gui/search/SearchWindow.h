#pragma once

#include "core/search/CatalogueSearch.h"

#include <QIcon>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListView;

namespace sorabel {

class Catalogue;
class SearchResultModel;

// "すべての項目を検索": finds books by words in any field (or in one chosen
// field) while the user types, and shows the chosen book in the main window
// through recordChosen(). A modeless tool window that stays open and keeps
// its results after a choice.
//
// It reads the catalogue only through its own prepared copy of the texts:
// whoever changes the records calls catalogueChanged(), and the results are
// made again at once while the window is shown, or when it is next shown.
class SearchWindow : public QWidget {
    Q_OBJECT
public:
    explicit SearchWindow(const Catalogue& catalogue, QWidget* parent = nullptr);
    ~SearchWindow() override;

    // The icon of the menu entry and the tool button that open this window.
    static QIcon icon();

    // Shows the window, or brings it to the front, with the query selected.
    void execute();

public slots:
    // The records changed (a stored edit, add, delete, an applied sort, Open,
    // New, new captions): the prepared texts are dropped and the search runs again.
    void catalogueChanged();

signals:
    // The user chose this book (Enter or a double click).
    void recordChosen(int record);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();
    void search();
    void fillFieldBox();
    void chooseRow(int row);

    const Catalogue& catalogue_;
    CatalogueSearch search_;
    SearchResultModel* model_;
    QLineEdit* query_;
    QComboBox* fields_;
    QListView* view_;
    QLabel* count_;
    QLabel* why_; // under the box: why a query cannot find anything, when it cannot
    QCheckBox* loose_;
};

} // namespace sorabel
