#pragma once

#include "core/catalogue/Catalogue.h"
#include "core/format/SettingsFile.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/SettingsExchange.h"

#include <QDialog>
#include <array>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolButton;
class QWidget;

namespace sorabel {

class CatalogueSession;

// 環境設定: which fields the main window shows and their captions, the three
// choice lists, the two display fonts, the field spacing and the start-up
// options. Shown modally by the main window's settings command; it keeps no
// data of its own beyond the values being edited and reads everything afresh
// from the session (and from what prepare() handed over) on every opening.
class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    // The dialog only edits values: it changes neither the catalogue nor any
    // file itself. Whoever opens it applies the outcome.
    explicit SettingsDialog(CatalogueSession& session, QWidget* parent = nullptr);

    // What the dialog gives back if it closed now.
    SettingsOutcome outcome() const;

public slots:
    // Called before each opening with the settings file's values and the
    // fonts the main window shows now.
    void prepare(const SettingsDialogInput& input);

signals:
    // The dialog closed (OK, キャンセル, Escape or the close box).
    void settingsFinished(const SettingsOutcome& outcome);

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    enum class Step { Closer, Wider };

    void buildFieldsPage();
    void buildListsPage();
    void buildOthersPage();
    void fill();
    void showHeadingsOnFieldsPage();
    void placePreview();
    void showSamples();
    void stepSpacing(Step step);
    void storeStartupOptions();
    // The font dialog for one of the two fonts; true when a font was chosen.
    bool chooseFont(FontValues& font, FontStylePitch& style, const QFont& shown);
    void chooseCaptionFont();
    void chooseContentsFont();
    // False (after telling the user where) when a list holds an end marker.
    bool listsAreWritable();
    void applyAndClose();

    CatalogueSession& session_;
    SettingsDialogInput input_;
    // Filled by OK: captions, lists, flags and spacing as confirmed.
    std::optional<HeaderValues> confirmed_;

    QTabWidget* pages_ = nullptr;
    QWidget* fieldsPage_ = nullptr; // 表示する項目
    QWidget* listsPage_ = nullptr;  // 選択項目の設定
    QWidget* othersPage_ = nullptr; // その他の設定

    // Field order: one visibility box a field; caption order: 16 caption edits.
    std::array<QCheckBox*, kFieldCount> visibleBoxes_{};
    std::array<QLineEdit*, kCaptionCount> captionEdits_{};
    std::array<QLabel*, kListCount> listCaptions_{}; // the headings shown on page 1
    std::array<QLineEdit*, kListCount> headingEdits_{};
    std::array<QPlainTextEdit*, kListCount> listEdits_{};

    std::array<QButtonGroup*, 3> startupGroups_{};
    QLabel* captionSample_ = nullptr;
    QLabel* contentsSample_ = nullptr;
    std::array<QLineEdit*, 2> spacingPreview_{};

    int spacing_ = 0;
    FontValues captionFont_;
    FontValues contentsFont_;
    FontStylePitch captionStyle_;
    FontStylePitch contentsStyle_;
};

} // namespace sorabel
