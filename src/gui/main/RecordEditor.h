#pragma once

#include "core/catalogue/FieldTable.h"
#include "core/format/SettingsFile.h"
#include "core/text/ShiftJis.h"
#include "gui/main/FieldLayout.h"

#include <QString>
#include <QWidget>
#include <array>
#include <optional>
#include <utility>

class QComboBox;
class QLabel;
class QKeyEvent;

namespace sorabel {

class CatalogueSession;
class ImpressionsEdit;

// The 19 field controls and their 16 captions: the only editor of a record.
// It shows the session's current record whenever that changes, and writes
// each edit into the session as it is made (the session groups typing into
// steps of its history). A field the user left alone keeps its stored bytes
// exactly, even bytes that are not valid Shift-JIS.
class RecordEditor : public QWidget {
    Q_OBJECT

public:
    // The main window's tool bar is this tall; every designed field position
    // counts from the top of the window's client area, above the tool bar.
    static constexpr int kToolBarHeight = 30;

    RecordEditor(CatalogueSession& session, QWidget* parent = nullptr);
    ~RecordEditor() override;

    // The text a control shows; the impressions with CR LF line breaks, as the
    // catalogue keeps them. Setting a text here counts as no user edit.
    QString text(Field f) const;
    void setText(Field f, const QString& text);

    // Lays the fields out for a window of the given outer size; returns the
    // width the status bar's panels take.
    int layOut(int windowWidth, int windowHeight, bool hasFileName);

    // Gives the catalogue's fonts (face, size, colour) and the settings file's
    // style and pitch to the captions and the controls.
    void applyFonts(FontStylePitch captionStyle, FontStylePitch contentsStyle);
    // Style bits of the fonts shown now (1 bold, 2 italic, 4 underline, 8 strike-out).
    int captionStyleBits() const;
    int contentsStyleBits() const;
    QFont captionFont() const;
    QFont contentsFont() const;
    // Height of a one-line field in the contents font.
    int lineHeight() const;

    // Focus on the title when it is shown (a new record).
    void focusTitle();
    // The impressions search's find-next step.
    void findInImpressions(const QString& needle);

    // While a start-up reads a catalogue, applies its fonts and lays the
    // fields out, the record is shown once at the end rather than at each
    // step (showing lays out and shapes every text). A hold ended by an
    // exception shows what changed meanwhile, so the fields never stay frozen.
    class DisplayHold {
    public:
        explicit DisplayHold(RecordEditor& editor) : editor_(editor) {
            editor_.displayHeld_ = true;
        }
        ~DisplayHold();
        DisplayHold(const DisplayHold&) = delete;
        DisplayHold& operator=(const DisplayHold&) = delete;
        // Ends the hold: the record is shown when it changed meanwhile or `show` asks.
        void release(bool show) { editor_.releaseDisplay(show); }

    private:
        RecordEditor& editor_;
    };

public slots:
    void showCurrentRecord();
    // Captions and choice lists from the catalogue, keeping what the boxes show.
    void refreshCaptionsAndLists();

signals:
    // The user typed, pasted or chose something in a field.
    void edited();
    // A click or key in a field other than the impressions, or a choice box changed.
    void touched();
    // Page Down on the last record.
    void addRequested();
    // Input was refused: the note to show.
    void refused(const QString& note);
    // Undo or redo asked for in a field's right-click menu.
    void undoRequested();
    void redoRequested();
    // A file was dropped on a field (text dropped there goes into the field).
    void fileDropped(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createFields();
    QWidget* control(Field f) const { return controls_[static_cast<size_t>(index(f))]; }
    QLabel* label(int caption) const { return labels_[static_cast<size_t>(caption - 1)]; }
    int fieldOfWidget(const QObject* o) const; // index(Field) or -1
    void moveFocus(QWidget* from, bool forward);
    void refuseInput(const QString& characters);
    void confirmChoice(QComboBox* combo);
    bool handleKey(Field f, QKeyEvent* key); // true when the key was used up
    void stepRecord(int step);
    void writeField(Field f, const QString& stepName);
    void putText(Field f, const QString& text); // shows text, keeps shown_ as it is
    void showStored(Field f, std::string_view bytes);
    sjis::SpannedText& shown(Field f) { return shown_[static_cast<size_t>(index(f))]; }
    void showContextMenu(QWidget* field, const QPoint& globalPos);
    // The name a screen reader gives the field: its caption or heading.
    void nameForScreenReaders(Field f, QString name);

    CatalogueSession& session_;
    std::array<QWidget*, kFieldCount> controls_{};
    std::array<QLabel*, kCaptionCount> labels_{};
    ImpressionsEdit* impressions_ = nullptr;
    // What each control shows, as text() gives it, and the bytes behind each
    // character: an edit re-encodes only the characters it changed.
    std::array<sjis::SpannedText, kFieldCount> shown_{};
    int settingTexts_ = 0; // >0 while the program itself sets control texts
    int writing_ = 0;      // >0 while an edit goes into the session
    bool displayHeld_ = false;
    bool showPending_ = false;
    void releaseDisplay(bool show);
    // The styles last applied, for a change of the desktop's colours.
    std::optional<std::pair<FontStylePitch, FontStylePitch>> appliedStyles_;
};

} // namespace sorabel
