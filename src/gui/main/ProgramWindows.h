#pragma once

#include <QFont>

#include <memory>
#include <optional>

class QDialog;
class QTimer;
class QWidget;

namespace sorabel {

class AboutDialog;
class BookListWindow;
class CatalogueSession;
class MainWindow;
class SearchWindow;
class SettingsDialog;

// Builds the program's windows around one catalogue session and connects
// them: the only place that knows every window. Only the main window is made
// at start; every other window is made and connected the first time it is
// asked for, so that start-up pays for nothing the user has not opened. The
// main window owns the modal dialogs; the book list and the statistics are
// windows of their own. The statistics and the ISBN lookup come from modules
// loaded on first use (LoadableModules).
class ProgramWindows {
public:
    explicit ProgramWindows(CatalogueSession& session);
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    MainWindow& mainWindow() { return *main_; }
    BookListWindow& bookList();
    SettingsDialog& settingsDialog();
    AboutDialog& aboutDialog();
    SearchWindow& searchWindow();
    QWidget& statisticsWindow();
    QDialog& isbnLookupWindow();

private:
    void catalogueChanged();
    void placeBesideMain(QWidget* window, const char* section);

    CatalogueSession& session_;
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<BookListWindow> bookList_;
    SettingsDialog* settings_ = nullptr; // owned by the main window
    AboutDialog* about_ = nullptr;       // owned by the main window
    SearchWindow* search_ = nullptr;     // owned by the main window
    std::unique_ptr<QWidget> statistics_;
    QDialog* isbnLookup_ = nullptr; // owned by the main window
    // The fields' font and line height last announced, for a list made later.
    std::optional<std::pair<QFont, int>> cellFont_;
};

} // namespace sorabel
