#include "gui/settings/SettingsDialog.h"

#include "core/catalogue/CatalogueSession.h"
#include "core/format/CatalogueFile.h"
#include "core/text/LookAlikes.h"
#include "core/text/ShiftJis.h"
#include "gui/help/HelpViewer.h"
#include "gui/widgets/DisplayFont.h"
#include "gui/widgets/FontSubstitution.h"
#include "gui/widgets/HelpKey.h"
#include "gui/widgets/ImpressionsEdit.h"
#include "gui/widgets/ShiftJisValidator.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolButton>
#include <QToolTip>
#include <algorithm>

namespace sorabel {

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
    QString text = toCodePageLookAlikes(box->toPlainText());
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
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& typed) {
        const QString before = edit->property(kAcceptedText).toString();
        // Look-alikes from input methods and web pages become the characters
        // the catalogue holds (〜 for ～, − for －, ...).
        const QString text = toCodePageLookAlikes(typed);
        if (text != typed) {
            const int cursor = edit->cursorPosition();
            edit->setText(text);
            edit->setCursorPosition(cursor);
        }
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

QPushButton* helpButton(QWidget* page, int context) {
    auto* button = new QPushButton(QStringLiteral("ヘルプ"), page);
    button->setObjectName(QStringLiteral("helpButton"));
    button->setGeometry(433, 267, 59, 22);
    button->setAutoDefault(false);
    // The dialog carries the program's help file as its own.
    QObject::connect(button, &QPushButton::clicked, button,
                     [context] { HelpViewer::showContext(QStringLiteral("sorabe.HLP"), context); });
    // F1 opens the topic of the page shown, as its button does.
    page->setProperty("helpContext", context);
    return button;
}

QString listName(int list) {
    const std::string_view key = fieldInfo(fieldOfList(static_cast<ChoiceList>(list))).key;
    return QString::fromLatin1(key.data(), qsizetype(key.size()));
}

} // namespace

SettingsDialog::SettingsDialog(CatalogueSession& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setWindowTitle(QStringLiteral("環境設定"));
    setModal(true);
    setFixedSize(539, 394);
    setFont(FontSubstitution::designFont(QStringLiteral("ＭＳ Ｐゴシック"), 12));

    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("pages"));
    pages_->setGeometry(5, 5, 529, 321);
    fieldsPage_ = new QWidget;
    listsPage_ = new QWidget;
    othersPage_ = new QWidget;
    pages_->addTab(fieldsPage_, QStringLiteral("表示する項目"));
    pages_->addTab(listsPage_, QStringLiteral("選択項目の設定"));
    pages_->addTab(othersPage_, QStringLiteral("その他の設定"));

    buildFieldsPage();
    buildListsPage();
    buildOthersPage();
    HelpKey::install(this, [this] {
        const int context = pages_->currentWidget()->property("helpContext").toInt();
        guarded(this,
                [context] { HelpViewer::showContext(QStringLiteral("sorabe.HLP"), context); });
    });

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setGeometry(376, 338, 75, 25);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setGeometry(459, 338, 75, 25);
    cancel->setAutoDefault(false);

    connect(ok, &QPushButton::clicked, this, &SettingsDialog::applyAndClose);
    connect(cancel, &QPushButton::clicked, this, &SettingsDialog::reject);
    connect(pages_, &QTabWidget::currentChanged, this, [this](int page) {
        if (page == 0)
            showHeadingsOnFieldsPage();
        else if (page == 2)
            placePreview();
    });

    // The first opening shows the last page; later ones the page last shown.
    pages_->setCurrentIndex(2);

    // Until the main window says otherwise the samples start from the dialog's own faces.
    input_.captionFont = captionSample_->font();
    input_.contentsFont = spacingPreview_[0]->font();
    hide();
}

void SettingsDialog::buildFieldsPage() {
    QWidget* previous = nullptr;
    auto chain = [&previous](QWidget* w) {
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    };

    for (int i = 0; i < kFieldCount; ++i) {
        const Field f = fieldAt(i);
        const FieldInfo& info = fieldInfo(f);
        const QString key = QString::fromLatin1(info.key.data(), qsizetype(info.key.size()));
        const Cell cell = kCells[static_cast<size_t>(i)];
        const int top = kRowTop + (cell.row - 1) * kRowStep;
        const QString design = QString::fromUtf8(kDesignTexts[static_cast<size_t>(i)]);
        const QRect captionBounds(cell.left + kCaptionOffset, top, kCaptionWidth, kRowHeight);

        QWidget* captionControl = nullptr;
        if (isCombo(f)) {
            auto* label = new QLabel(design, fieldsPage_);
            label->setGeometry(captionBounds);
            listCaptions_[static_cast<size_t>(choiceListOf(f))] = label;
        } else {
            auto* edit = new QLineEdit(design, fieldsPage_);
            edit->setObjectName(key + QStringLiteral("Caption"));
            edit->setAccessibleName(QStringLiteral("「%1」の項目名").arg(design));
            edit->setGeometry(captionBounds);
            keepToCodePage(edit);
            captionEdits_[static_cast<size_t>(info.caption - 1)] = edit;
            captionControl = edit;
        }

        auto* box = new QCheckBox(fieldsPage_);
        box->setObjectName(key + QStringLiteral("Shown"));
        box->setGeometry(cell.left, top, kCaptionOffset - 2, kRowHeight);
        box->setAccessibleName(design);
        visibleBoxes_[static_cast<size_t>(i)] = box;

        // Each caption edit comes before its check box.
        if (captionControl)
            chain(captionControl);
        chain(box);
    }

    auto* note = new QLabel(QStringLiteral("チェックをはずした項目は表示されません"), fieldsPage_);
    QFont noteFont = note->font();
    noteFont.setPixelSize(21);
    noteFont.setBold(true);
    note->setFont(noteFont);
    setTextColour(note, QPalette::WindowText, kMaroon);
    note->adjustSize();
    note->move(520 - note->width(), kRowTop + 7 * kRowStep + 6);

    chain(helpButton(fieldsPage_, 6));
}

void SettingsDialog::buildListsPage() {
    auto* note = new QLabel(QStringLiteral("各選択項目の内容を編集できます"), listsPage_);
    QFont noteFont = note->font();
    noteFont.setPixelSize(15);
    note->setFont(noteFont);
    setTextColour(note, QPalette::WindowText, kMaroon);
    note->adjustSize();
    note->move(24, 14);

    QWidget* previous = nullptr;
    for (int i = 0; i < kListCount; ++i) {
        const int left = 24 + i * 168;
        auto* heading = new QLineEdit(listsPage_);
        heading->setObjectName(listName(i) + QStringLiteral("Heading"));
        heading->setGeometry(left, 44, 129, 21);
        keepToCodePage(heading);
        auto* items = new ImpressionsEdit(listsPage_);
        items->setObjectName(listName(i) + QStringLiteral("Items"));
        items->onRefused = [items](const QString& c) { refuse(items, c); };
        items->setGeometry(left, 72, 129, 185);
        items->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        items->setTabChangesFocus(true);
        const std::string_view field = fieldInfo(fieldOfList(ChoiceList(i))).defaultCaption;
        const QString listField = QString::fromUtf8(field.data(), qsizetype(field.size()));
        heading->setAccessibleName(QStringLiteral("「%1」の見出し").arg(listField));
        items->setAccessibleName(QStringLiteral("「%1」の選択肢").arg(listField));
        headingEdits_[static_cast<size_t>(i)] = heading;
        listEdits_[static_cast<size_t>(i)] = items;
        if (previous)
            QWidget::setTabOrder(previous, heading);
        QWidget::setTabOrder(heading, items);
        previous = items;
    }
    QWidget::setTabOrder(previous, helpButton(listsPage_, 7));
}

void SettingsDialog::buildOthersPage() {
    const struct {
        const char* title;
        const char* first;
        const char* second;
        QRect bounds;
    } options[3] = {
        {"終了時の位置", "記憶する", "記憶しない", QRect(18, 16, 120, 73)},
        {"終了時のサイズ", "記憶する", "記憶しない", QRect(185, 16, 119, 73)},
        {"現在の読書録を", "自動的に読み込む", "読み込まない", QRect(337, 16, 153, 73)},
    };
    const char* const names[3] = {"positionOption", "sizeOption", "reopenOption"};
    for (size_t i = 0; i < 3; ++i) {
        QGroupBox* group = optionGroup(
            othersPage_, QString::fromUtf8(options[i].title), QString::fromUtf8(options[i].first),
            QString::fromUtf8(options[i].second), options[i].bounds, startupGroups_[i]);
        group->setObjectName(QString::fromLatin1(names[i]));
        for (QAbstractButton* b : startupGroups_[i]->buttons()) // "positionOption0", ...
            b->setObjectName(group->objectName() + QString::number(startupGroups_[i]->id(b)));
        connect(startupGroups_[i], &QButtonGroup::idClicked, this,
                &SettingsDialog::storeStartupOptions);
    }

    // Children of the two groups are placed in page coordinates minus the
    // group's own position.
    auto* fonts = new QGroupBox(QStringLiteral("フォント変更"), othersPage_);
    fonts->setGeometry(18, 103, 193, 164);
    auto* captionButton = new QPushButton(QStringLiteral("項目名のフォント変更"), fonts);
    captionButton->setObjectName(QStringLiteral("captionFontButton"));
    captionButton->setGeometry(39 - 18, 127 - 103, 145, 25);
    captionButton->setAutoDefault(false);
    captionSample_ = new QLabel(QStringLiteral("現在のフォント"), fonts);
    captionSample_->setObjectName(QStringLiteral("captionSample"));
    captionSample_->move(42 - 18, 159 - 103);
    captionSample_->adjustSize();
    auto* contentsButton = new QPushButton(QStringLiteral("内容表示のフォント変更"), fonts);
    contentsButton->setObjectName(QStringLiteral("contentsFontButton"));
    contentsButton->setGeometry(39 - 18, 186 - 103, 145, 25);
    contentsButton->setAutoDefault(false);
    contentsSample_ = new QLabel(QStringLiteral("現在のフォント"), fonts);
    contentsSample_->setObjectName(QStringLiteral("contentsSample"));
    contentsSample_->move(44 - 18, 220 - 103);
    contentsSample_->adjustSize();
    connect(captionButton, &QPushButton::clicked, this, &SettingsDialog::chooseCaptionFont);
    connect(contentsButton, &QPushButton::clicked, this, &SettingsDialog::chooseContentsFont);

    auto* spacing = new QGroupBox(QStringLiteral("項目の間隔の設定"), othersPage_);
    spacing->setGeometry(225, 103, 265, 162);
    auto* arrows = new QWidget(spacing);
    arrows->setGeometry(247 - 225, 127 - 103, 16, 49);
    auto* closer = new QToolButton(arrows);
    closer->setObjectName(QStringLiteral("spacingUpButton"));
    closer->setArrowType(Qt::UpArrow);
    closer->setGeometry(0, 0, 16, 24);
    auto* wider = new QToolButton(arrows);
    wider->setObjectName(QStringLiteral("spacingDownButton"));
    wider->setArrowType(Qt::DownArrow);
    wider->setGeometry(0, 25, 16, 24);
    for (QToolButton* arrow : {closer, wider}) {
        // Held down, an arrow repeats like a spin box's; Tab reaches it and
        // Space presses it.
        arrow->setAutoRepeat(true);
        arrow->setFocusPolicy(Qt::StrongFocus);
    }
    closer->setAccessibleName(QStringLiteral("項目の間隔を狭める"));
    wider->setAccessibleName(QStringLiteral("項目の間隔を広げる"));
    connect(closer, &QToolButton::clicked, this, [this] { stepSpacing(Step::Closer); });
    connect(wider, &QToolButton::clicked, this, [this] { stepSpacing(Step::Wider); });

    const char* const previewTexts[2] = {"左のボタンで", "間隔を変更"};
    for (size_t i = 0; i < 2; ++i) {
        auto* edit = new QLineEdit(QString::fromUtf8(previewTexts[i]), spacing);
        edit->setObjectName(QStringLiteral("spacingPreview%1").arg(i + 1));
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::NoFocus);
        edit->setGeometry(275 - 225, 128 - 103 + 32 * int(i), 193, 20);
        spacingPreview_[i] = edit;
    }

    for (QGroupBox* group : {fonts, spacing}) {
        // Only the group's caption is drawn in the larger face.
        const QFont inner = group->font();
        QFont caption = inner;
        caption.setPixelSize(15);
        group->setFont(caption);
        for (QWidget* child : group->findChildren<QWidget*>())
            child->setFont(inner);
    }

    helpButton(othersPage_, 8);
}

void SettingsDialog::prepare(const SettingsDialogInput& input) {
    input_ = input;
}

void SettingsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    guarded(this, [this] { fill(); });
}

void SettingsDialog::fill() {
    const Catalogue& cat = session_.catalogue();
    confirmed_.reset();

    for (size_t l = 0; l < kListCount; ++l) {
        showText(headingEdits_[l], sjis::decode(cat.heading(static_cast<ChoiceList>(l))));
        listEdits_[l]->setPlainText(itemsText(cat.lists[l]));
    }

    // Taken as stored; the first arrow press brings it into 1..50.
    spacing_ = cat.spacing;

    const StartupOptions& o = input_.settings.startup;
    const bool options[3] = {o.restorePosition, o.restoreSize, o.reopenLastCatalogue};
    for (size_t i = 0; i < 3; ++i)
        startupGroups_[i]->button(options[i] ? 0 : 1)->setChecked(true);

    // The samples follow the catalogue's fonts (which a font button changes
    // at once), so a second OK in a run hands over the font chosen earlier
    // instead of undoing it.
    captionFont_ = cat.captionFont;
    contentsFont_ = cat.contentsFont;
    captionStyle_ = input_.settings.captionFont;
    contentsStyle_ = input_.settings.contentsFont;
    showSamples();
    placePreview();

    for (size_t i = 0; i < kFieldCount; ++i)
        visibleBoxes_[i]->setChecked(cat.flags[i] == "TRUE");
    for (size_t k = 0; k < kCaptionCount; ++k)
        showText(captionEdits_[k], sjis::decode(cat.liveCaptions[k]));
    showHeadingsOnFieldsPage();
}

void SettingsDialog::showSamples() {
    captionSample_->setFont(DisplayFont::font(input_.captionFont, captionFont_, captionStyle_));
    setTextColour(captionSample_, QPalette::WindowText, DisplayFont::colour(captionFont_.colour));
    captionSample_->adjustSize();

    const QFont contents = DisplayFont::font(input_.contentsFont, contentsFont_, contentsStyle_);
    const QColor contentsColour = DisplayFont::colour(contentsFont_.colour);
    contentsSample_->setFont(contents);
    setTextColour(contentsSample_, QPalette::WindowText, contentsColour);
    contentsSample_->adjustSize();
    for (QLineEdit* edit : spacingPreview_) {
        edit->setFont(contents);
        setTextColour(edit, QPalette::Text, contentsColour);
    }
}

void SettingsDialog::placePreview() {
    // The edits grow with their font, as one-line fields do.
    QLineEdit* upper = spacingPreview_[0];
    const int height = std::max(20, QFontMetrics(upper->font()).height() + 6);
    upper->resize(upper->width(), height);
    spacingPreview_[1]->setGeometry(upper->x(), upper->y() + height + spacing_, upper->width(),
                                    height);
}

void SettingsDialog::showHeadingsOnFieldsPage() {
    // A heading edited on the second page shows here at once.
    for (size_t l = 0; l < kListCount; ++l)
        listCaptions_[l]->setText(headingEdits_[l]->text());
}

void SettingsDialog::stepSpacing(Step step) {
    if (step == Step::Closer)
        --spacing_;
    if (spacing_ <= 0)
        spacing_ = 1;
    if (step == Step::Wider)
        ++spacing_;
    if (spacing_ > 50)
        spacing_ = 50;
    placePreview();
}

void SettingsDialog::storeStartupOptions() {
    StartupOptions& o = input_.settings.startup;
    o.restorePosition = startupGroups_[0]->checkedId() != 1;
    o.restoreSize = startupGroups_[1]->checkedId() != 1;
    o.reopenLastCatalogue = startupGroups_[2]->checkedId() != 1;
}

bool SettingsDialog::chooseFont(FontValues& font, FontStylePitch& style, const QFont& shown) {
    // The dialog opens at the font being changed, as it is shown now.
    const FontChoice now{DisplayFont::font(shown, font, style), DisplayFont::colour(font.colour)};
    const auto chosen = Dialogs::chooseFont(this, now);
    if (!chosen)
        return false;
    // Converted first: a face the catalogue cannot name changes nothing.
    const FontValues values = DisplayFont::values(*chosen);
    font = values;
    style.style = DisplayFont::style(chosen->font);
    showSamples();
    return true;
}

void SettingsDialog::chooseCaptionFont() {
    guarded(this, [this] {
        if (!chooseFont(captionFont_, captionStyle_, input_.captionFont))
            return;
        input_.settings.captionFont = captionStyle_;
    });
}

void SettingsDialog::chooseContentsFont() {
    guarded(this, [this] {
        if (!chooseFont(contentsFont_, contentsStyle_, input_.contentsFont))
            return;
        placePreview();
        input_.settings.contentsFont = contentsStyle_;
    });
}

bool SettingsDialog::listsAreWritable() {
    for (size_t l = 0; l < kListCount; ++l) {
        QWidget* where = nullptr;
        QString entry = headingEdits_[l]->text();
        if (isListEndMarker(sjis::tryEncode(entry).bytes)) {
            where = headingEdits_[l];
        } else {
            const QStringList lines = itemLines(listEdits_[l]);
            const auto found = std::find_if(lines.begin(), lines.end(), [](const QString& line) {
                return isListEndMarker(sjis::tryEncode(line).bytes);
            });
            if (found == lines.end())
                continue;
            entry = *found;
            where = listEdits_[l];
            // The offending line is selected, ready to be typed over.
            QTextCursor cursor(
                listEdits_[l]->document()->findBlockByNumber(int(found - lines.begin())));
            cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            listEdits_[l]->setTextCursor(cursor);
        }
        pages_->setCurrentWidget(listsPage_);
        where->setFocus();
        Dialogs::notice(this,
                        QStringLiteral("「%1」は選択項目の区切りを表す行なので、項目には使えません")
                            .arg(entry));
        return false;
    }
    return true;
}

void SettingsDialog::applyAndClose() {
    if (!listsAreWritable())
        return;
    const Catalogue& cat = session_.catalogue();
    HeaderValues header = cat.header();
    for (size_t k = 0; k < kCaptionCount; ++k)
        header.captions[k] = encodeKeeping(captionEdits_[k]->text(), {cat.liveCaptions[k]});
    for (size_t l = 0; l < kListCount; ++l) {
        auto& list = header.lists[l];
        list.clear();
        // The heading is always there, empty or not.
        list.push_back(encodeKeeping(headingEdits_[l]->text(), cat.lists[l]));
        for (const QString& line : itemLines(listEdits_[l]))
            list.push_back(encodeKeeping(line, cat.lists[l]));
    }
    for (size_t i = 0; i < kFieldCount; ++i)
        header.flags[i] = visibleBoxes_[i]->isChecked() ? "TRUE" : "FALSE";
    header.spacing = spacing_;
    confirmed_ = std::move(header);
    accept();
}

SettingsOutcome SettingsDialog::outcome() const {
    SettingsOutcome out;
    out.accepted = confirmed_.has_value();
    out.header = confirmed_ ? *confirmed_ : session_.catalogue().header();
    // A font chosen holds even on キャンセル.
    out.header.captionFont = captionFont_;
    out.header.contentsFont = contentsFont_;
    out.settings = input_.settings;
    out.settings.captionFont = captionStyle_;
    out.settings.contentsFont = contentsStyle_;
    return out;
}

void SettingsDialog::done(int result) {
    QDialog::done(result);
    emit settingsFinished(outcome());
}

} // namespace sorabel
