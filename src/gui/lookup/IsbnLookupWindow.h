#pragma once

#include "core/lookup/IsbnLookup.h"

#include <QDialog>
#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace sorabel {

class CatalogueSession;
class LookupPreview;

// "データ → ISBNで追加(&I)…": the user types or scans an ISBN, the sources
// are asked, and the preview shows what each field would get. Enter adds the
// book as a new record, or fills the shown record's checked fields. In the
// "続けて追加" mode every scanned book is added at once and the window stays
// open for the next, keeping lists of what was added, what was not found
// (to look up again later) and what the catalogue already holds.
class IsbnLookupWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 28;

    // `settingsPath` is the settings file holding the sources (tests give their own).
    IsbnLookupWindow(CatalogueSession& session, QWidget* parent = nullptr,
                     QString settingsPath = {});
    ~IsbnLookupWindow() override;

    // Shows the window in front, ready for an ISBN.
    void present();

signals:
    // A lookup's outcome is on screen (the preview filled or the message shown).
    void outcomeShown();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void enterPressed();
    void lookUp(const Isbn& isbn);
    void startNext();
    void showOutcome(const LookupOutcome& outcome);
    void takeIntoShelf(const LookupOutcome& outcome);
    void takeShown();
    bool addBook(const std::vector<ProposedField>& fields);
    void fillCurrentRecord(const Isbn& isbn, std::vector<ProposedField> fields);
    void retryNotFound();
    void addDuplicatesAnyway();
    void updateTakeButton();
    void followCurrentRecord();
    void saveOptions();
    void setStatus(const QString& text, bool error = false);
    QWidget* buildOptions();
    QWidget* buildShelf();

    CatalogueSession& session_;
    QString settingsPath_;
    LookupSettings settings_;
    IsbnLookup lookup_;
    std::deque<Isbn> queue_; // scanned while another lookup ran
    std::optional<LookupOutcome> shown_;
    std::vector<LookupOutcome> duplicatesFound_; // parallel to the duplicates list

    QLineEdit* isbnBox_ = nullptr;
    QPushButton* search_ = nullptr;
    QLabel* status_ = nullptr;
    QCheckBox* continuous_ = nullptr;
    QCheckBox* fillCurrent_ = nullptr;
    LookupPreview* preview_ = nullptr;
    QPushButton* take_ = nullptr;
    QTabWidget* shelf_ = nullptr;
    QListWidget* added_ = nullptr;
    QListWidget* notFound_ = nullptr;
    QListWidget* duplicates_ = nullptr;
    QPushButton* retry_ = nullptr;
    QPushButton* addAnyway_ = nullptr;
    QGroupBox* options_ = nullptr;
    QCheckBox* useOpenBd_ = nullptr;
    QCheckBox* useNdl_ = nullptr;
    QLineEdit* openBdUrl_ = nullptr;
    QLineEdit* ndlUrl_ = nullptr;
};

} // namespace sorabel
