#include "gui/settings/SettingsDialog.h"

#include "gui/main/ImpressionsEdit.h"
#include "gui/main/MainWindow.h"
#include "core/text/ShiftJis.h"
#include "gui/help/HelpViewer.h"
#include "gui/widgets/ShiftJisValidator.h"
#include "core/format/HandoffFile.h"
#include "gui/widgets/DisplayFont.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QToolButton>
#include <QToolTip>
#include <algorithm>

namespace sorabel {

SettingsDialog* Form4 = nullptr;

namespace {

constexpr int kRowTop = 16;
constexpr int kRowStep = 30;
constexpr int kRowHeight = 21;
constexpr int kCaptionOffset = 20; // caption control after its check box
constexpr int kCaptionWidth = 80;

const QColor kMaroon(128, 0, 0);

// Row and left edge of each field's check box on page 1, in field-number order.
struct Cell {
    int row;
    int left;
};
constexpr std::array<Cell, kFieldCount> kCells{{
    {1, 16},  {1, 272}, {2, 16},  {2, 144}, {2, 272}, {2, 400}, {3, 16},
    {3, 272}, {4, 16},  {4, 192}, {4, 400}, {5, 16},  {5, 272}, {6, 16},
    {7, 16},  {7, 192}, {7, 400}, {8, 16},  {9, 16},
}};

// Design texts of the caption controls, replaced on every opening.
constexpr std::array<const char*, kFieldCount> kDesignTexts{
    "書名",   "副題",       "よみ",   "ジャンル１", "ジャンル２",     "判型",     "著作者・編者",
    "訳者",   "出版社",     "叢書名", "定価",       "初版（第１刷）", "読んだ版", "感想",
    "読了日", "読書開始日", "購入日", "備考１",     "備考２",
};

// The dialog carries the program's help file as its own.
void showHelp(int context) {
    HelpViewer::showContext(QStringLiteral("sorabe.HLP"), context);
}

// The items of a choice list below its heading, one a line. A trailing empty
// item gets a line break of its own so that it survives the way back.
QString itemsText(const std::vector<Bytes>& list) {
    QStringList lines;
    for (size_t i = 1; i < list.size(); ++i)
        lines << sjis::decode(list[i]);
    QString text = lines.join(QLatin1Char('\n'));
    if (list.size() > 1 && list.back().empty())
        text += QLatin1Char('\n');
    return text;
}

// Lines of a box as list items: empty lines count, the final line break
// closes the last line and opens no new item.
QStringList itemLines(const QPlainTextEdit* box) {
    QString text = box->toPlainText();
    text.remove(QLatin1Char('\r'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

// Told next to the control when typed or pasted text is refused.
void refuse(QWidget* where, const QString& characters) {
    const QString text = characters == QStringLiteral("\n")
                             ? QStringLiteral("この欄には改行を入力できません")
                             : QStringLiteral("「%1」は読書録データに記録できない文字です")
                                   .arg(QString(characters).remove(QLatin1Char('\n')));
    QToolTip::showText(where->mapToGlobal(QPoint(0, where->height())), text, where);
}

const char* const kAcceptedText = "acceptedText";

// Only what code page 932 can hold enters an edit: an edit that adds other
// characters (typed, pasted, dropped) is taken back at once. Characters of
// that kind already shown (from a damaged file) do not block other edits.
void keepToCodePage(QLineEdit* edit) {
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
        const QString before = edit->property(kAcceptedText).toString();
        const QString refused = ShiftJisValidator::refusedCharacters(text, before, false);
        if (refused.isEmpty()) {
            edit->setProperty(kAcceptedText, text);
            return;
        }
        const int cursor = edit->cursorPosition() - int(text.size() - before.size());
        edit->setText(before);
        edit->setCursorPosition(std::clamp(cursor, 0, int(before.size())));
        refuse(edit, refused);
    });
}

// Sets a text from the program, which the edit then counts as accepted.
void showText(QLineEdit* edit, const QString& text) {
    edit->setProperty(kAcceptedText, text);
    edit->setText(text);
}

// A text as the catalogue keeps it. A text shown unchanged keeps its stored
// bytes, so that bytes a damaged file brought in survive an OK untouched.
Bytes encodeKeeping(const QString& text, const std::vector<Bytes>& stored) {
    for (const Bytes& bytes : stored)
        if (sjis::decode(bytes) == text)
            return bytes;
    return sjis::tryEncode(text).bytes;
}

void setTextColour(QWidget* w, QPalette::ColorRole role, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(role, colour);
    w->setPalette(p);
}

QGroupBox* optionGroup(QWidget* page, const QString& title, const QString& first,
                       const QString& second, QRect bounds, QButtonGroup*& buttons) {
    auto* group = new QGroupBox(title, page);
    group->setGeometry(bounds);
    QFont f = group->font();
    f.setPixelSize(15);
    group->setFont(f);
    buttons = new QButtonGroup(group);
    const QString texts[2] = {first, second};
    for (int i = 0; i < 2; ++i) {
        auto* item = new QRadioButton(texts[i], group);
        item->setGeometry(10, 22 + 24 * i, bounds.width() - 16, 22);
        buttons->addButton(item, i);
    }
    return group;
}

} // namespace

SettingsDialog::SettingsDialog(QWidget* parent) : QDialog(parent) {
    Form4 = this;
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("環境設定"));
    setModal(true);
    setFixedSize(539, 394);
    QFont dialogFont(QStringLiteral("ＭＳ Ｐゴシック"));
    dialogFont.setPixelSize(12);
    setFont(dialogFont);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(5, 5, 529, 321);
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    TabSheet3 = new QWidget;
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    PageControl1->addTab(TabSheet1, QStringLiteral("表示する項目"));
    PageControl1->addTab(TabSheet2, QStringLiteral("選択項目の設定"));
    PageControl1->addTab(TabSheet3, QStringLiteral("その他の設定"));

    buildPage1();
    buildPage2();
    buildPage3();

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(376, 338, 75, 25);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("キャンセル"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(459, 338, 75, 25);
    CancelBtn->setAutoDefault(false);

    connect(OKBtn, &QPushButton::clicked, this, &SettingsDialog::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &SettingsDialog::CancelBtnClick);
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int page) {
        if (page == 0)
            TabSheet1Show();
        else if (page == 2)
            TabSheet3Show();
    });

    // The first opening shows the last page; later ones the page last shown.
    PageControl1->setCurrentIndex(2);

    lastChosen_.font = QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9);
    lastChosen_.colour = DisplayFont::colour(DisplayFont::kWindowText);
    hide();
}

SettingsDialog::~SettingsDialog() {
    if (Form4 == this)
        Form4 = nullptr;
}

void SettingsDialog::buildPage1() {
    QCheckBox** boxes[kFieldCount] = {
        &CheckBox1,  &CheckBox2,  &CheckBox3,  &CheckBox4,  &CheckBox5,  &CheckBox6,  &CheckBox7,
        &CheckBox8,  &CheckBox9,  &CheckBox10, &CheckBox11, &CheckBox12, &CheckBox13, &CheckBox14,
        &CheckBox15, &CheckBox16, &CheckBox17, &CheckBox18, &CheckBox19,
    };
    QLineEdit** edits[kFieldCount] = {
        &shomei,   &hukudai,    &yomi,    nullptr, nullptr, nullptr,   &sakusha,
        &yakusha,  &shuppansha, &sousho,  &teika,  &shohan, &yondahan, &kansou,
        &dokuryou, &kaisi,      &kounyuu, &bikou1, &bikou2,
    };
    QLabel** headings[kListCount] = {&Label8, &Label9, &Label10};

    QWidget* previous = nullptr;
    auto chain = [&previous](QWidget* w) {
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    };

    for (int i = 0; i < kFieldCount; ++i) {
        const Field f = fieldAt(i);
        const Cell cell = kCells[static_cast<size_t>(i)];
        const int top = kRowTop + (cell.row - 1) * kRowStep;
        const QString design = QString::fromUtf8(kDesignTexts[static_cast<size_t>(i)]);

        QWidget* captionControl = nullptr;
        if (isCombo(f)) {
            const int list = static_cast<int>(choiceListOf(f));
            auto* label = new QLabel(design, TabSheet1);
            label->setObjectName(QStringLiteral("Label%1").arg(8 + list));
            label->setGeometry(cell.left + kCaptionOffset, top, kCaptionWidth, kRowHeight);
            *headings[list] = label;
        } else {
            auto* edit = new QLineEdit(design, TabSheet1);
            edit->setObjectName(
                QString::fromLatin1(fieldInfo(f).key.data(), fieldInfo(f).key.size()));
            edit->setGeometry(cell.left + kCaptionOffset, top, kCaptionWidth, kRowHeight);
            keepToCodePage(edit);
            *edits[i] = edit;
            captionControl = edit;
        }

        auto* box = new QCheckBox(TabSheet1);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
        box->setGeometry(cell.left, top, kCaptionOffset - 2, kRowHeight);
        box->setAccessibleName(design);
        *boxes[i] = box;
        CheckBox[static_cast<size_t>(i)] = box;

        // Each caption edit comes before its check box.
        if (captionControl)
            chain(captionControl);
        chain(box);
    }

    Note1 = new QLabel(QStringLiteral("チェックをはずした項目は表示されません"), TabSheet1);
    Note1->setObjectName(QStringLiteral("Note1"));
    QFont noteFont = Note1->font();
    noteFont.setPixelSize(21);
    noteFont.setBold(true);
    Note1->setFont(noteFont);
    setTextColour(Note1, QPalette::WindowText, kMaroon);
    Note1->adjustSize();
    Note1->move(520 - Note1->width(), kRowTop + 7 * kRowStep + 6);

    HelpBtn1 = new QPushButton(QStringLiteral("ヘルプ"), TabSheet1);
    HelpBtn1->setObjectName(QStringLiteral("HelpBtn1"));
    HelpBtn1->setGeometry(433, 267, 59, 22);
    HelpBtn1->setAutoDefault(false);
    chain(HelpBtn1);
    connect(HelpBtn1, &QPushButton::clicked, this, &SettingsDialog::HelpBtn1Click);
}

void SettingsDialog::buildPage2() {
    Note2 = new QLabel(QStringLiteral("各選択項目の内容を編集できます"), TabSheet2);
    Note2->setObjectName(QStringLiteral("Note2"));
    QFont noteFont = Note2->font();
    noteFont.setPixelSize(15);
    Note2->setFont(noteFont);
    setTextColour(Note2, QPalette::WindowText, kMaroon);
    Note2->adjustSize();
    Note2->move(24, 14);

    QLineEdit** heads[kListCount] = {&me1, &me2, &me3};
    QPlainTextEdit** boxes[kListCount] = {&memo1, &memo2, &memo3};
    for (int i = 0; i < kListCount; ++i) {
        const int left = 24 + i * 168;
        auto* head = new QLineEdit(TabSheet2);
        head->setObjectName(QStringLiteral("me%1").arg(i + 1));
        head->setGeometry(left, 44, 129, 21);
        keepToCodePage(head);
        auto* items = new ImpressionsEdit(TabSheet2);
        items->onRefused = [items](const QString& c) { refuse(items, c); };
        items->setObjectName(QStringLiteral("memo%1").arg(i + 1));
        items->setGeometry(left, 72, 129, 185);
        items->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        items->setTabChangesFocus(true);
        *heads[i] = head;
        *boxes[i] = items;
    }
    QWidget::setTabOrder(me1, memo1);
    QWidget::setTabOrder(memo1, me2);
    QWidget::setTabOrder(me2, memo2);
    QWidget::setTabOrder(memo2, me3);
    QWidget::setTabOrder(me3, memo3);

    HelpBtn2 = new QPushButton(QStringLiteral("ヘルプ"), TabSheet2);
    HelpBtn2->setObjectName(QStringLiteral("HelpBtn2"));
    HelpBtn2->setGeometry(433, 267, 59, 22);
    HelpBtn2->setAutoDefault(false);
    QWidget::setTabOrder(memo3, HelpBtn2);
    connect(HelpBtn2, &QPushButton::clicked, this, &SettingsDialog::HelpBtn2Click);
}

void SettingsDialog::buildPage3() {
    RadioGroup1 = optionGroup(TabSheet3, QStringLiteral("終了時の位置"), QStringLiteral("記憶する"),
                              QStringLiteral("記憶しない"), QRect(18, 16, 120, 73), Kioku1);
    RadioGroup2 =
        optionGroup(TabSheet3, QStringLiteral("終了時のサイズ"), QStringLiteral("記憶する"),
                    QStringLiteral("記憶しない"), QRect(185, 16, 119, 73), Kioku2);
    RadioGroup3 =
        optionGroup(TabSheet3, QStringLiteral("現在の読書録を"), QStringLiteral("自動的に読み込む"),
                    QStringLiteral("読み込まない"), QRect(337, 16, 153, 73), Kioku3);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup2->setObjectName(QStringLiteral("RadioGroup2"));
    RadioGroup3->setObjectName(QStringLiteral("RadioGroup3"));
    connect(Kioku1, &QButtonGroup::idClicked, this, &SettingsDialog::RadioGroup1Click);
    connect(Kioku2, &QButtonGroup::idClicked, this, &SettingsDialog::RadioGroup2Click);
    connect(Kioku3, &QButtonGroup::idClicked, this, &SettingsDialog::RadioGroup3Click);

    // Children of the two groups are placed in page coordinates minus the
    // group's own position.
    GroupBox1 = new QGroupBox(QStringLiteral("フォント変更"), TabSheet3);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(18, 103, 193, 164);
    Button1 = new QPushButton(QStringLiteral("項目名のフォント変更"), GroupBox1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(39 - 18, 127 - 103, 145, 25);
    Button1->setAutoDefault(false);
    CaptionSample = new QLabel(QStringLiteral("現在のフォント"), GroupBox1);
    CaptionSample->setObjectName(QStringLiteral("CaptionSample"));
    CaptionSample->move(42 - 18, 159 - 103);
    CaptionSample->adjustSize();
    Button5 = new QPushButton(QStringLiteral("内容表示のフォント変更"), GroupBox1);
    Button5->setObjectName(QStringLiteral("Button5"));
    Button5->setGeometry(39 - 18, 186 - 103, 145, 25);
    Button5->setAutoDefault(false);
    ContentsSample = new QLabel(QStringLiteral("現在のフォント"), GroupBox1);
    ContentsSample->setObjectName(QStringLiteral("ContentsSample"));
    ContentsSample->move(44 - 18, 220 - 103);
    ContentsSample->adjustSize();
    connect(Button1, &QPushButton::clicked, this, &SettingsDialog::Button1Click);
    connect(Button5, &QPushButton::clicked, this, &SettingsDialog::Button5Click);

    GroupBox2 = new QGroupBox(QStringLiteral("項目の間隔の設定"), TabSheet3);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setGeometry(225, 103, 265, 162);
    UpDown1 = new QWidget(GroupBox2);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setGeometry(247 - 225, 127 - 103, 16, 49);
    UpArrow = new QToolButton(UpDown1);
    UpArrow->setObjectName(QStringLiteral("UpArrow"));
    UpArrow->setArrowType(Qt::UpArrow);
    UpArrow->setGeometry(0, 0, 16, 24);
    DownArrow = new QToolButton(UpDown1);
    DownArrow->setObjectName(QStringLiteral("DownArrow"));
    DownArrow->setArrowType(Qt::DownArrow);
    DownArrow->setGeometry(0, 25, 16, 24);
    for (QToolButton* arrow : {UpArrow, DownArrow}) {
        // Held down, an arrow repeats like the platform's spin control.
        arrow->setAutoRepeat(true);
        arrow->setFocusPolicy(Qt::NoFocus);
    }
    connect(UpArrow, &QToolButton::clicked, this, [this] { UpDown1Click(SpinButton::Upper); });
    connect(DownArrow, &QToolButton::clicked, this, [this] { UpDown1Click(SpinButton::Lower); });

    Edit1 = new QLineEdit(QStringLiteral("左のボタンで"), GroupBox2);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit2 = new QLineEdit(QStringLiteral("間隔を変更"), GroupBox2);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    for (QLineEdit* edit : {Edit1, Edit2}) {
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::NoFocus);
    }
    Edit1->setGeometry(275 - 225, 128 - 103, 193, 20);
    Edit2->setGeometry(275 - 225, 160 - 103, 193, 20);

    for (QGroupBox* group : {GroupBox1, GroupBox2}) {
        // Only the group's caption is drawn in the larger face.
        const QFont inner = group->font();
        QFont caption = inner;
        caption.setPixelSize(15);
        group->setFont(caption);
        for (QWidget* child : group->findChildren<QWidget*>())
            child->setFont(inner);
    }

    HelpBtn3 = new QPushButton(QStringLiteral("ヘルプ"), TabSheet3);
    HelpBtn3->setObjectName(QStringLiteral("HelpBtn3"));
    HelpBtn3->setGeometry(433, 267, 59, 22);
    HelpBtn3->setAutoDefault(false);
    connect(HelpBtn3, &QPushButton::clicked, this, &SettingsDialog::HelpBtn3Click);
}

QLineEdit* SettingsDialog::captionEdit(int caption) const {
    const std::array<QLineEdit*, kCaptionCount> edits{
        shomei, hukudai,  yomi,   sakusha,  yakusha, shuppansha, sousho, teika,
        shohan, yondahan, kansou, dokuryou, kaisi,   kounyuu,    bikou1, bikou2,
    };
    return edits.at(static_cast<size_t>(caption - 1));
}

void SettingsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    guarded(this, [this] { FormShow(); });
}

void SettingsDialog::FormShow() {
    if (!Form1)
        return;
    Catalogue& cat = Form1->catalogue();

    memo1->clear();
    memo2->clear();
    memo3->clear();

    showText(me2, sjis::decode(cat.heading(ChoiceList::Genre2)));
    showText(me3, sjis::decode(cat.heading(ChoiceList::Format)));
    showText(me1, sjis::decode(cat.heading(ChoiceList::Genre1)));

    memo1->setPlainText(itemsText(cat.list(ChoiceList::Genre1)));
    memo2->setPlainText(itemsText(cat.list(ChoiceList::Genre2)));
    memo3->setPlainText(itemsText(cat.list(ChoiceList::Format)));

    // Taken as stored; the first arrow press brings it into 1..50.
    spacing_ = cat.spacing;

    Kioku1->button(Form1->Ki1 == 0 ? 0 : 1)->setChecked(true);
    Kioku2->button(Form1->Ki2 == 0 ? 0 : 1)->setChecked(true);
    Kioku3->button(Form1->Ki3 == 0 ? 0 : 1)->setChecked(true);

    // The samples follow the catalogue's fonts (which a font button changes
    // at once) rather than the main window's controls, so a second OK in a
    // run hands over the font chosen earlier instead of undoing it.
    const SettingsValues held = Form1->settingsValues();
    captionFont_ = cat.captionFont;
    contentsFont_ = cat.contentsFont;
    captionStyle_ = held.captionFont;
    contentsStyle_ = held.contentsFont;
    showSamples();
    placePreview();

    for (int i = 0; i < kFieldCount; ++i)
        CheckBox[static_cast<size_t>(i)]->setChecked(cat.flags[static_cast<size_t>(i)] == "TRUE");

    for (int k = 1; k <= kCaptionCount; ++k)
        showText(captionEdit(k), Form1->label(k)->text());

    Label8->setText(me1->text());
    Label9->setText(me2->text());
    Label10->setText(me3->text());
}

void SettingsDialog::showSamples() {
    const QFont captionBase = Form1 ? Form1->label(1)->font() : CaptionSample->font();
    const QFont contentsBase = Form1 ? Form1->shomei->font() : Edit1->font();

    CaptionSample->setFont(DisplayFont::font(captionBase, captionFont_, captionStyle_));
    setTextColour(CaptionSample, QPalette::WindowText, DisplayFont::colour(captionFont_.colour));
    CaptionSample->adjustSize();

    const QFont contents = DisplayFont::font(contentsBase, contentsFont_, contentsStyle_);
    const QColor contentsColour = DisplayFont::colour(contentsFont_.colour);
    ContentsSample->setFont(contents);
    setTextColour(ContentsSample, QPalette::WindowText, contentsColour);
    ContentsSample->adjustSize();
    for (QLineEdit* edit : {Edit1, Edit2}) {
        edit->setFont(contents);
        setTextColour(edit, QPalette::Text, contentsColour);
    }
}

void SettingsDialog::placePreview() {
    // The edits grow with their font like the platform's auto-sized edits.
    const int height = std::max(20, QFontMetrics(Edit1->font()).height() + 6);
    Edit1->resize(Edit1->width(), height);
    Edit2->setGeometry(Edit1->x(), Edit1->y() + height + spacing_, Edit1->width(), height);
}

void SettingsDialog::TabSheet1Show() {
    // A heading edited on the second page shows here at once.
    Label8->setText(me1->text());
    Label9->setText(me2->text());
    Label10->setText(me3->text());
}

void SettingsDialog::TabSheet3Show() {
    placePreview();
}

void SettingsDialog::UpDown1Click(SpinButton button) {
    if (button == SpinButton::Upper)
        --spacing_;
    if (spacing_ <= 0)
        spacing_ = 1;
    if (button == SpinButton::Lower)
        ++spacing_;
    if (spacing_ > 50)
        spacing_ = 50;
    placePreview();
}

void SettingsDialog::RadioGroup1Click() {
    if (Form1)
        Form1->Ki1 = Kioku1->checkedId();
}

void SettingsDialog::RadioGroup2Click() {
    if (Form1)
        Form1->Ki2 = Kioku2->checkedId();
}

void SettingsDialog::RadioGroup3Click() {
    if (Form1)
        Form1->Ki3 = Kioku3->checkedId();
}

bool SettingsDialog::chooseFont(FontValues& font, FontStylePitch& style) {
    const auto chosen = Dialogs::chooseFont(this, lastChosen_);
    if (!chosen)
        return false;
    // Converted first: a face the catalogue cannot name changes nothing.
    const FontValues values = DisplayFont::values(*chosen);
    lastChosen_ = *chosen;
    font = values;
    style.style = DisplayFont::style(chosen->font);
    showSamples();
    return true;
}

void SettingsDialog::Button1Click() {
    guarded(this, [this] {
        if (!chooseFont(captionFont_, captionStyle_) || !Form1)
            return;
        Form1->catalogue().captionFont = captionFont_;
        Form1->setCaptionStylePitch(captionStyle_);
    });
}

void SettingsDialog::Button5Click() {
    guarded(this, [this] {
        if (!chooseFont(contentsFont_, contentsStyle_))
            return;
        placePreview();
        if (!Form1)
            return;
        Form1->catalogue().contentsFont = contentsFont_;
        Form1->setContentsStylePitch(contentsStyle_);
    });
}

void SettingsDialog::applyOk() {
    if (!Form1)
        return;
    Catalogue& cat = Form1->catalogue();
    cat.modifiedCount += 1;

    HandoffValues handoff;
    handoff.captionFont = captionFont_;
    handoff.contentsFont = contentsFont_;
    for (int i = 0; i < kFieldCount; ++i)
        handoff.flags[static_cast<size_t>(i)] =
            CheckBox[static_cast<size_t>(i)]->isChecked() ? "TRUE" : "FALSE";
    handoff.spacing = spacing_;
    HandoffFile::write(HandoffFile::defaultPath(), handoff);

    for (int k = 1; k <= kCaptionCount; ++k) {
        Bytes& stored = cat.liveCaptions[static_cast<size_t>(k - 1)];
        const QString caption = captionEdit(k)->text();
        Form1->label(k)->setText(caption);
        stored = encodeKeeping(caption, {stored});
    }

    const std::array<std::pair<QLineEdit*, QPlainTextEdit*>, kListCount> sources{{
        {me1, memo1},
        {me2, memo2},
        {me3, memo3},
    }};
    for (int l = 0; l < kListCount; ++l) {
        auto& list = cat.lists[static_cast<size_t>(l)];
        const std::vector<Bytes> before = std::move(list);
        list.clear();
        // The heading is always there, empty or not.
        list.push_back(encodeKeeping(sources[static_cast<size_t>(l)].first->text(), before));
        for (const QString& line : itemLines(sources[static_cast<size_t>(l)].second))
            list.push_back(encodeKeeping(line, before));
    }
    Form1->refreshChoiceLists();

    SettingsValues values = Form1->settingsValues();
    values.captionFont = captionStyle_;
    values.contentsFont = contentsStyle_;
    values.ki1 = Kioku1->checkedId() == 1 ? 1 : 0;
    values.ki2 = Kioku2->checkedId() == 1 ? 1 : 0;
    values.ki3 = Kioku3->checkedId() == 1 ? 1 : 0;
    // The exit recording keeps the style and pitch confirmed here.
    Form1->setCaptionStylePitch(captionStyle_);
    Form1->setContentsStylePitch(contentsStyle_);
    SettingsFile::writeOnOk(SettingsFile::defaultPath(), values);
}

void SettingsDialog::OKBtnClick() {
    // A failure stops the remaining steps, yet OK has ended the dialog.
    guarded(this, [this] { applyOk(); });
    accept();
}

void SettingsDialog::CancelBtnClick() {
    reject();
}

void SettingsDialog::FormClose() {
    reject();
}

void SettingsDialog::closeEvent(QCloseEvent* event) {
    event->accept();
    if (isVisible())
        FormClose();
}

void SettingsDialog::reject() {
    QDialog::reject();
    if (Form1) {
        Form1->raise();
        Form1->activateWindow();
    }
}

void SettingsDialog::done(int result) {
    QDialog::done(result);
    // The main window takes over the fonts chosen here (already in the catalogue).
    if (Form1)
        guarded(Form1, [] { Form1->applyFonts(); });
}

void SettingsDialog::HelpBtn1Click() {
    showHelp(6);
}
void SettingsDialog::HelpBtn2Click() {
    showHelp(7);
}
void SettingsDialog::HelpBtn3Click() {
    showHelp(8);
}

} // namespace sorabel
