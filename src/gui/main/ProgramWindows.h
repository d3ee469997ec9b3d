#pragma once

#include <memory>

namespace sorabel {

class AboutDialog;
class BookListWindow;
class IsbnLookupWindow;
class CatalogueSession;
class MainWindow;
class SearchWindow;
class SettingsDialog;
class StatisticsWindow;

// Builds the program's windows around one catalogue session and connects
// them: the only place that knows every window. The main window owns the
// modal dialogs; the book list is a window of its own.
class ProgramWindows {
public:
    explicit ProgramWindows(CatalogueSession& session);
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    MainWindow& mainWindow() { return *main_; }
    BookListWindow& bookList() { return *bookList_; }
    SettingsDialog& settingsDialog() { return *settings_; }
    AboutDialog& aboutDialog() { return *about_; }
    SearchWindow& searchWindow() { return *search_; }
    StatisticsWindow& statisticsWindow() { return *statistics_; }
    IsbnLookupWindow& isbnLookupWindow() { return *isbnLookup_; }

private:
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<BookListWindow> bookList_;
    SettingsDialog* settings_ = nullptr; // owned by the main window
    AboutDialog* about_ = nullptr;       // owned by the main window
    SearchWindow* search_ = nullptr;     // owned by the main window
    std::unique_ptr<StatisticsWindow> statistics_;
    IsbnLookupWindow* isbnLookup_ = nullptr; // owned by the main window
};

} // namespace sorabel
