#pragma once

#include "core/catalogue/Catalogue.h"
#include "gui/main/FieldLayout.h"
#include "core/format/SettingsFile.h"

#include <QMainWindow>
#include <QString>
#include <array>
#include <functional>
#include <optional>

class QAction;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QToolBar;
class QToolButton;

namespace sorabel {
class FindDialog;
class ImpressionsEdit;
} // namespace sorabel

// The main window: the one catalogue, the record view of its 19 fields, the
// record and file commands, the field layout, start-up and shutdown.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // The original window's client area starts with a 30 pixel tool bar, and
    // every designed Top counts from the top of that client area. Our tool bar
    // is held at the same height and the fields live in the central widget
    // just below it, so a designed Top t sits at y = t - kToolBarHeight there
    // and every field keeps its distance from the window's client top.
    static constexpr int kToolBarHeight = 30;
    static constexpr int kDesignLeft = 174;
    static constexpr int kDesignTop = 121;
    static constexpr int kDesignWidth = 711;
    static constexpr int kDesignHeight = 611;

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    sorabel::Catalogue& catalogue() { return catalogue_; }
    const sorabel::Catalogue& catalogue() const { return catalogue_; }

    // Field controls, named after their fields.
    QLineEdit *shomei = nullptr, *hukudai = nullptr, *yomi = nullptr, *sakusha = nullptr,
              *yakusha = nullptr, *shuppansha = nullptr, *sousho = nullptr, *shohan = nullptr,
              *yondahan = nullptr, *dokuryou = nullptr, *kaisi = nullptr, *kounyuu = nullptr,
              *bikou1 = nullptr, *bikou2 = nullptr;
    QComboBox *janru1 = nullptr, *janru2 = nullptr, *hangata = nullptr;
    QLineEdit* teika = nullptr;       // the price: one line, right-aligned
    QPlainTextEdit* kansou = nullptr; // the impressions: several lines (CR LF in the catalogue)
    QWidget* control(sorabel::Field f) const;

    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr,
           *Label5 = nullptr, *Label6 = nullptr, *Label7 = nullptr, *Label8 = nullptr,
           *Label9 = nullptr, *Label10 = nullptr, *Label11 = nullptr, *Label12 = nullptr,
           *Label13 = nullptr, *Label14 = nullptr, *Label15 = nullptr, *Label16 = nullptr;
    QLabel* label(int caption) const; // 1..16

    // The text a control shows; the impressions with CR LF line breaks, as
    // the catalogue keeps them. Setting a text here fires no change handler.
    QString controlText(sorabel::Field f) const;
    void setControlText(sorabel::Field f, const QString& text);

    // Shared operations of the record view.
    void showCurrentRecord();                    // show the current record
    void storeShownRecord();                         // store the controls into the current record
    void updateStatusBar();                        // the status bar
    void updateNavigationActions();                        // enabled state of first/previous/next/last
    void layOutFields();                        // lay the fields out
    void loadCatalogue(const QString& path); // read a catalogue file and show it
    void writeCatalogue(const QString& path);      // write the catalogue file
    void askToSave();                       // the save question
    void shutDown();                   // the shutdown sequence

    void setStatusPanelText(int panel, const QString& text);
    QString statusPanelText(int panel) const;
    int statusPanelWidth(int panel) const;

    // Reloads the three combo boxes' lists from the catalogue, keeping their texts.
    void refreshChoiceLists();

    // Tool bar buttons (those of the command map).
    QToolButton *ToolButton1 = nullptr, *ToolButton2 = nullptr, *ToolButton3 = nullptr,
                *ToolButton4 = nullptr, *ToolButton5 = nullptr, *ToolButton7 = nullptr,
                *ToolButton8 = nullptr, *ToolButton9 = nullptr, *ToolButton10 = nullptr,
                *ToolButton12 = nullptr, *ToolButton14 = nullptr, *ToolButton16 = nullptr,
                *ToolButton17 = nullptr, *ToolButton18 = nullptr, *ToolButton19 = nullptr,
                *ToolButton20 = nullptr, *ToolButton21 = nullptr;
    QToolBar* ToolBar1 = nullptr;

    // Menus and their entries.
    QMenu *File1 = nullptr, *N2 = nullptr, *T1 = nullptr, *Help1 = nullptr;
    QAction *New1 = nullptr, *Open1 = nullptr, *Save1 = nullptr, *SaveAs1 = nullptr,
            *Exit1 = nullptr;
    QAction *Save2 = nullptr, *N3 = nullptr, *N8 = nullptr, *N9 = nullptr, *N10 = nullptr,
            *N11 = nullptr, *V1 = nullptr;
    QAction *O1 = nullptr, *N1 = nullptr, *N4 = nullptr, *S2 = nullptr;
    QAction *Contents1 = nullptr, *S1 = nullptr, *About1 = nullptr;

    // Windows created after this one; the program entry (or a test) sets them.
    void setListWindow(QWidget* w) { listWindow_ = w; }
    QWidget* listWindow() const { return listWindow_; }
    void setSettingsDialog(QDialog* d) { settingsDialog_ = d; }
    QDialog* settingsDialog() const { return settingsDialog_; }
    void setAboutBox(QDialog* d) { aboutBox_ = d; }
    QDialog* aboutBox() const { return aboutBox_; }

    // Start-up options and values of the settings file.
    int Ki1 = 0, Ki2 = 0, Ki3 = 0, Rubi = 0;
    sorabel::SettingsValues settingsValues() const;
    void setCaptionStylePitch(sorabel::FontStylePitch sp);
    void setContentsStylePitch(sorabel::FontStylePitch sp);
    // Gives the catalogue's fonts (name, size, colour) to the labels and field
    // controls: at start-up, and when the settings dialog has closed.
    void applyFonts();

    // Outer bounds (frame included) as the settings file keeps them.
    QRect outerBounds() const;
    void setOuterBounds(const QRect& r);

    // Help: the window's own help file and context (F1).
    static QString helpFile() { return QStringLiteral("sorabe.HLP"); }
    static constexpr int kHelpContext = 1;
    // The modeless search dialog of the impressions.
    sorabel::FindDialog* FindDialog1 = nullptr;

    // Whether the start-up sequence has run (it runs on the first show).
    bool startedUp() const { return startedUp_; }

public slots:
    // File commands.
    void New1Click();
    void ToolButton9Click();
    void ToolButton4Click();
    void Open1Click();
    void ToolButton5Click();
    void Save1Click();
    void SaveAs1Click();
    void ToolButton18Click();
    void Exit1Click();
    void ToolButton19Click();

    // Record commands.
    void ToolButton2Click(); // add
    void Save2Click();
    void ToolButton3Click(); // delete
    void N3Click();
    void ToolButton10Click(); // first
    void N8Click();
    void ToolButton7Click(); // previous
    void N9Click();
    void ToolButton8Click(); // next
    void N10Click();
    void ToolButton12Click(); // last
    void N11Click();
    void ToolButton20Click(); // copy to the end
    void V1Click();

    // Tools.
    void O1Click(); // settings
    void ToolButton16Click();
    void N1Click(); // layout
    void ToolButton14Click();
    void N4Click(); // book list
    void ToolButton17Click();

    // Impressions search, About and help.
    void ToolButton21Click(); // show the search dialog
    void S2Click();
    void FindDialog1Find(const QString& text);
    void About1Click();
    void Contents1Click(); // help contents
    void ToolButton1Click();
    void S1Click(); // help on this window
    void helpKey(); // F1

    // Window events.
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void FormClose();

    // Record view events; `sender` is the control the event happened in.
    void shomeiKeyPress(QWidget* sender, QChar key);
    void kansouKeyPress(int characters);
    void janru1KeyPress(QChar key);
    void janru2KeyPress(QChar key);
    void hangataKeyPress(QChar key);
    bool shomeiKeyDown(QWidget* sender, int key); // true when the key was used up
    bool janru1KeyDown(QWidget* sender, int key);
    void janru1Change();
    void shomeiClick();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createFields();
    void createActions();
    void createStatusBar();
    void createSearchAndHelp();
    QToolButton* addToolButton(const QString& name, const QString& hint, int icon);

    void comboKeyPress(QComboBox* combo, QChar key);
    void enableAddDelete();
    void moveFocus(QWidget* from, bool forward);
    int fieldOfWidget(const QObject* o) const; // index(Field) or -1
    void hideListWindow();
    void refuseInput(const QString& characters);
    void runStartUp();
    void saveWithBackup(const QString& path);
    void setFileNames(const QString& fullPath, bool bareName);
    bool hasRecord() const;
    void navigate(int target);
    QString fileNameText() const;
    // Runs a command's body; only the outermost command turns an error into the error box.
    void command(const std::function<void()>& body);

    sorabel::Catalogue catalogue_;
    std::array<QWidget*, sorabel::kFieldCount> controls_{};
    std::array<QLabel*, sorabel::kCaptionCount> labels_{};
    // What showCurrentRecord showed in each control: a field whose text is still
    // this one keeps its stored bytes at storeShownRecord.
    std::array<QString, sorabel::kFieldCount> shownTexts_{};
    QLabel* panels_[2] = {nullptr, nullptr};
    std::array<int, 2> panelWidths_{};
    int commandDepth_ = 0;
    QWidget* listWindow_ = nullptr;
    QDialog* settingsDialog_ = nullptr;
    QDialog* aboutBox_ = nullptr;
    sorabel::FontStylePitch captionStylePitch_;
    sorabel::FontStylePitch contentsStylePitch_;
    QRect savedPlacement_; // the placement read from the settings file
    // Outer bounds set before the window manager framed the window: applied
    // again once the frame is known, so the window does not grow by its frame
    // from one run to the next.
    std::optional<QRect> pendingOuter_;
    int settingTexts_ = 0; // >0 while the program itself sets control texts
    bool startedUp_ = false;
};

extern MainWindow* Form1;
