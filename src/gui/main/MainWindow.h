#pragma once

#include "core/format/SettingsFile.h"
#include "gui/main/SaveQuestions.h"
#include "gui/widgets/SettingsExchange.h"

#include <QMainWindow>
#include <QString>
#include <array>
#include <functional>
#include <optional>

class QAction;
class QDialog;
class QLabel;
class QMenu;
class QToolBar;
class QToolButton;

namespace sorabel {

class CatalogueSession;
class FindDialog;
class RecentFilesMenu;
class RecordEditor;
class SessionSafety;
class WindowFrame;

// The main window: menus, tool bar and status bar around the record editor;
// the file, record and tool commands; start-up and shutdown. It changes the
// catalogue only through the session, and reaches the other windows only
// through the signals below, which the program entry connects.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kDesignLeft = 174;
    static constexpr int kDesignTop = 121;
    static constexpr int kDesignWidth = 711;
    static constexpr int kDesignHeight = 611;
    // Help context of this window (F1).
    static constexpr int kHelpContext = 1;
    static constexpr int kImpressionsFindHelpContext = 25; // the help topic on finding in 感想

    explicit MainWindow(CatalogueSession& session, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The settings dialog and the About box are shown modally from here; the
    // program's window factory makes them when they are first wanted.
    using DialogMaker = std::function<QDialog*()>;
    void setSettingsDialog(DialogMaker make) { settingsDialog_ = std::move(make); }
    void setAboutDialog(DialogMaker make) { aboutDialog_ = std::move(make); }

    // A catalogue named on the command line: opened at start instead of the
    // remembered one.
    void setCatalogueToOpen(const QString& path) { catalogueToOpen_ = path; }
    // The recovery copy and the catalogue lock (the program entry makes them).
    void setSafety(SessionSafety* safety);

    // Outer bounds (frame included) as the settings file keeps them.
    QRect outerBounds() const;
    void setOuterBounds(const QRect& r);

    // What the settings file keeps of this window and of the options.
    SettingsValues settingsValues() const;
    StartupOptions startupOptions() const { return startup_; }
    bool startedUp() const { return startedUp_; }

    // The help file beside the program.
    static QString helpFile() { return QStringLiteral("sorabe.HLP"); }

public slots:
    // File commands.
    void newCatalogue();
    void openCatalogue();
    void save();
    void saveAs();
    void exportCsv();
    void importCsv();
    void addByIsbn();
    void exit();
    // Ends the program as a close does, but without any question or message
    // box: the settings file is written, unsaved changes are not saved (a
    // termination signal, a session that is going away).
    void endWithoutQuestions();

    // Record commands.
    void addRecord();
    void deleteRecord();
    void goToFirstRecord();
    void goToPreviousRecord();
    void goToNextRecord();
    void goToLastRecord();
    void copyRecordToEnd();
    void undo();
    void redo();

    // Tools.
    void openSettings();
    void layOutFields();
    void showBookList();
    void showImpressionsSearch();
    void showSearch();
    void showStatistics();
    void showAbout();
    void showHelpContents();
    void showHelpForWindow();

    // From the settings dialog.
    // The settings dialog closed: its outcome goes into the catalogue as one
    // step, and on OK into the settings file.
    void finishSettings(const SettingsOutcome& outcome);
    // From the book list: the row shown and the number of rows.
    void showListPosition(int row, int rows);

signals:
    // The window has closed for good: the program ends.
    void closed();
    void bookListRequested();
    void searchRequested();
    // The CSV commands, with the shown record stored.
    void csvExportRequested();
    void csvImportRequested();
    void isbnLookupRequested();
    void statisticsRequested();
    // Before the settings dialog opens: what it starts from.
    void settingsDialogOpening(const SettingsDialogInput& input);
    // The fields' font and the height of a one-line field (the book list's cells follow them).
    void fieldFontChanged(const QFont& font, int lineHeight);

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createActions();
    void createStatusBar();
    QToolButton* addToolButton(const QString& name, const QString& hint, const char* icon,
                               void (MainWindow::*slot)());
    QAction* menuEntry(QMenu* menu, const char* caption, void (MainWindow::*slot)());

    // Runs a command's body; only the outermost command turns an error into the error box.
    void command(const std::function<void()>& body);
    void updateStatusBar();
    void updateNavigationActions();
    void enableAddDelete();
    // Undo or redo, laying the fields out again when the step changed which show.
    void takeHistoryStep(void (CatalogueSession::*step)());
    void showNote(const QString& note);
    // `layOut` false leaves laying out the fields to the caller (start-up
    // does it once the fonts are applied).
    void loadCatalogue(const QString& path, bool remembered, bool layOut = true);
    void openFile(const QString& path); // Open's steps after the dialog
    void runStartUp();
    // The shutdown sequence; false when the window is to stay open.
    bool shutDown();

    CatalogueSession& session_;
    SaveQuestions files_;
    SessionSafety* safety_ = nullptr;
    RecordEditor* editor_ = nullptr;
    FindDialog* impressionsFind_ = nullptr;
    RecentFilesMenu* recentFiles_ = nullptr;
    DialogMaker settingsDialog_;
    DialogMaker aboutDialog_;

    QToolBar* toolBar_ = nullptr;
    QToolButton* addButton_ = nullptr;
    QToolButton* deleteButton_ = nullptr;
    // First, previous, next and last: the menu entry and the tool button of each.
    std::array<std::pair<QAction*, QToolButton*>, 4> navigation_{};
    QAction* helpContentsAction_ = nullptr;

    std::array<QLabel*, 2> panels_{};
    // Notes and long hints, beside the two panels so that they hide neither.
    QLabel* note_ = nullptr;
    std::array<int, 2> panelWidths_{};
    int commandDepth_ = 0;

    StartupOptions startup_;
    int rubi_ = 0; // kept in the settings file for the program's own use
    // The last catalogue opened or saved: the settings file keeps it, also
    // while an untitled catalogue is open.
    QString lastCatalogue_;
    FontStylePitch captionStyle_;
    FontStylePitch contentsStyle_;
    WindowFrame* frame_ = nullptr;
    QString catalogueToOpen_;
    // A start maximized lays the fields out again once the window has its size.
    bool layOutWhenMaximized_ = false;
    bool startedUp_ = false;
    bool endingWithoutQuestions_ = false;
};

} // namespace sorabel
