#pragma once

#include "core/catalogue/Catalogue.h"
#include "gui/widgets/Dialogs.h"
#include "core/format/SettingsFile.h"

#include <QDialog>
#include <array>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolButton;
class QWidget;

namespace sorabel {

// 環境設定: which fields the main window shows and their captions, the three
// choice lists, the two display fonts, the field spacing and the start-up
// options. Created hidden once at start-up and shown modally by the main
// window's settings command; it keeps no data of its own beyond the values
// being edited and reads everything afresh on every opening.
class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit SettingsDialog(QWidget* parent = nullptr);
    ~SettingsDialog() override;

    enum class SpinButton { Upper, Lower };

    // Page control and pages.
    QTabWidget* PageControl1;
    QWidget* TabSheet1; // 表示する項目
    QWidget* TabSheet2; // 選択項目の設定
    QWidget* TabSheet3; // その他の設定

    // Page 1: visibility check boxes in field-number order, the caption
    // edits of the 16 labelled fields and the headings of the three lists.
    std::array<QCheckBox*, kFieldCount> CheckBox{};
    QCheckBox *CheckBox1, *CheckBox2, *CheckBox3, *CheckBox4, *CheckBox5, *CheckBox6, *CheckBox7,
        *CheckBox8, *CheckBox9, *CheckBox10, *CheckBox11, *CheckBox12, *CheckBox13, *CheckBox14,
        *CheckBox15, *CheckBox16, *CheckBox17, *CheckBox18, *CheckBox19;
    QLineEdit *shomei, *hukudai, *yomi, *sakusha, *yakusha, *shuppansha, *sousho, *teika, *shohan,
        *yondahan, *kansou, *dokuryou, *kaisi, *kounyuu, *bikou1, *bikou2;
    QLabel *Label8, *Label9, *Label10;
    QLabel* Note1;
    QPushButton* HelpBtn1;

    // Page 2: heading and items of each choice list.
    QLabel* Note2;
    QLineEdit *me1, *me2, *me3;
    QPlainTextEdit *memo1, *memo2, *memo3;
    QPushButton* HelpBtn2;

    // Page 3.
    QGroupBox *RadioGroup1, *RadioGroup2, *RadioGroup3;
    QButtonGroup *Kioku1, *Kioku2, *Kioku3;
    QGroupBox* GroupBox1; // フォント変更
    QPushButton* Button1; // 項目名のフォント変更
    QLabel* CaptionSample;
    QPushButton* Button5; // 内容表示のフォント変更
    QLabel* ContentsSample;
    QGroupBox* GroupBox2; // 項目の間隔の設定
    QWidget* UpDown1;
    QToolButton *UpArrow, *DownArrow;
    QLineEdit *Edit1, *Edit2; // the spacing preview
    QPushButton* HelpBtn3;

    QPushButton* OKBtn;
    QPushButton* CancelBtn;

    // The caption edit of caption k (1..16) and the caption control of a field.
    QLineEdit* captionEdit(int caption) const;

    // The values being edited.
    int spacingValue() const { return spacing_; }
    const FontValues& captionFontValues() const { return captionFont_; }
    const FontValues& contentsFontValues() const { return contentsFont_; }
    FontStylePitch captionStylePitch() const { return captionStyle_; }
    FontStylePitch contentsStylePitch() const { return contentsStyle_; }

public slots:
    void FormShow();
    void TabSheet1Show();
    void TabSheet3Show();
    void UpDown1Click(SettingsDialog::SpinButton button);
    void RadioGroup1Click();
    void RadioGroup2Click();
    void RadioGroup3Click();
    void Button1Click();
    void Button5Click();
    void OKBtnClick();
    void CancelBtnClick();
    void FormClose();
    void HelpBtn1Click();
    void HelpBtn2Click();
    void HelpBtn3Click();
    void reject() override;
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildPage1();
    void buildPage2();
    void buildPage3();
    void placePreview();
    void showSamples();
    // The font dialog for one of the two fonts; true when a font was chosen.
    bool chooseFont(FontValues& font, FontStylePitch& style);
    void leave();
    void applyOk();

    int spacing_ = 0;
    FontValues captionFont_;
    FontValues contentsFont_;
    FontStylePitch captionStyle_;
    FontStylePitch contentsStyle_;
    // The font dialog starts from the font last chosen in it during the run.
    FontChoice lastChosen_;
};

extern SettingsDialog* Form4;

} // namespace sorabel
