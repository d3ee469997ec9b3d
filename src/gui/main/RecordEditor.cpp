#include "gui/main/RecordEditor.h"

#include "core/catalogue/CatalogueSession.h"
#include "core/format/CatalogueFile.h"
#include "core/text/LookAlikes.h"
#include "core/text/ShiftJis.h"
#include "gui/main/ImpressionsSearch.h"
#include "gui/widgets/DisplayFont.h"
#include "gui/widgets/FileDrop.h"
#include "gui/widgets/FontSubstitution.h"
#include "gui/widgets/ImpressionsEdit.h"
#include "gui/widgets/ReadableColour.h"
#include "gui/widgets/ShiftJisValidator.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTextDocument>

#include <limits>
#include <utility>

namespace sorabel {

namespace {

QFont designFont(const char* family, int pixels) {
    return FontSubstitution::designFont(QString::fromUtf8(family), pixels);
}

QString singleLine(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

// A typed character, as opposed to a key that moves or deletes.
bool isCharacter(const QKeyEvent* e) {
    if (e->text().isEmpty())
        return false;
    switch (e->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
        return false;
    default:
        return true;
    }
}

void applyFont(QWidget* w, const FontValues& values, FontStylePitch style,
               QPalette::ColorRole role) {
    const QFont f = DisplayFont::font(w->font(), values, style);
    // An equal font set again would still count as a change (its attributes
    // marked as set) and lay the widget and its text out anew.
    if (w->font() != f)
        w->setFont(f);
    ReadableColour::apply(w, values.colour, role);
}

} // namespace

RecordEditor::RecordEditor(CatalogueSession& session, QWidget* parent)
    : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("recordEditor"));
    createFields();
    connect(&session_, &CatalogueSession::recordChanged, this, [this](int record) {
        // A change made elsewhere (undo, redo, a lookup) shows at once; the
        // editor's own typing is already on screen.
        if (writing_ == 0 && record == session_.currentIndex())
            showCurrentRecord();
    });
    connect(&session_, &CatalogueSession::currentRecordChanged, this,
            &RecordEditor::showCurrentRecord);
    connect(&session_, &CatalogueSession::headerChanged, this,
            &RecordEditor::refreshCaptionsAndLists);
    installEventFilter(this);
    refreshCaptionsAndLists();
    showCurrentRecord();
}

RecordEditor::~RecordEditor() {
    // Nothing the fields do while they go counts as the user's doing.
    ++settingTexts_;
    removeEventFilter(this);
    for (QWidget* w : controls_) {
        w->removeEventFilter(this);
        if (auto* combo = qobject_cast<QComboBox*>(w))
            combo->lineEdit()->removeEventFilter(this);
    }
}

void RecordEditor::createFields() {
    const FieldGeometry design = FieldGeometry::design();
    const QFont gothic13 = designFont("ＭＳ ゴシック", 13);
    const QFont pgothic13 = designFont("ＭＳ Ｐゴシック", 13);
    const QFont pgothic15 = designFont("ＭＳ Ｐゴシック", 15);
    // Most captions and fields use the editor's own font and inherit it: a
    // font set on each would be resolved and announced to each again.
    setFont(gothic13);
    // A file dropped on a field opens, as it does on the rest of the window.
    auto* files = new FileDrop(this);
    connect(files, &FileDrop::dropped, this, &RecordEditor::fileDropped);

    for (int k = 1; k <= kCaptionCount; ++k) {
        auto* l = new QLabel(this);
        l->setObjectName(QStringLiteral("caption%1").arg(k));
        if (k == 2)
            l->setFont(designFont("ＭＳ ゴシック", 15));
        const Box& b = design.label(k);
        l->move(b.left, b.top - kToolBarHeight);
        labels_[static_cast<size_t>(k - 1)] = l;
    }

    auto validate = [this](ShiftJisValidator* validator) {
        validator->onRefused = [this](const QString& c) { refuseInput(c); };
        validator->programmatic = [this] { return settingTexts_ > 0; };
    };
    for (const FieldInfo& info : fieldTable()) {
        const Field f = info.field;
        QWidget* w = nullptr;
        if (f == Field::Impressions) {
            impressions_ = new ImpressionsEdit(this);
            impressions_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            impressions_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            impressions_->setTabChangesFocus(true);
            impressions_->onRefused = [this](const QString& c) { refuseInput(c); };
            impressions_->setFont(pgothic15);
            connect(impressions_->document(), &QTextDocument::contentsChange, this,
                    [this](int, int removed, int added) {
                        if (settingTexts_ > 0 || (removed == 0 && added == 0))
                            return;
                        writeField(Field::Impressions, QStringLiteral("入力"));
                        emit edited();
                    });
            w = impressions_;
        } else if (isCombo(f)) {
            auto* combo = new QComboBox(this);
            // Editable through a line edit of its own rather than
            // setEditable(), which also builds the drop-down list at once;
            // now it is built when first opened (a millisecond at start).
            combo->setLineEdit(new QLineEdit(combo));
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setCompleter(nullptr);
            combo->setMaxVisibleItems(16);
            combo->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
            auto* validator = new ShiftJisValidator(combo->lineEdit(), combo);
            validate(validator);
            combo->setValidator(validator);
            combo->lineEdit()->installEventFilter(this);
            connect(combo, &QComboBox::editTextChanged, this, [this, f, combo] {
                if (settingTexts_ > 0)
                    return;
                emit touched();
                // A word taken from the list is a choice; letters typed are typing.
                const bool chosen = combo->currentIndex() >= 0 &&
                                    combo->itemText(combo->currentIndex()) == combo->currentText();
                writeField(f, chosen ? QStringLiteral("選択") : QStringLiteral("入力"));
            });
            w = combo;
        } else {
            auto* edit = new QLineEdit(this);
            // No limit below the file format's: a long text is never cut.
            edit->setMaxLength(std::numeric_limits<int>::max());
            if (f == Field::Price) {
                edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
                edit->setFont(pgothic15);
            } else if (f == Field::Title || f == Field::Subtitle) {
                edit->setFont(pgothic13);
            }
            auto* validator = new ShiftJisValidator(edit, edit);
            validate(validator);
            edit->setValidator(validator);
            // Whatever the user does to the text (typing, pasting, deleting,
            // dropping, the input method) goes into the catalogue at once.
            connect(edit, &QLineEdit::textEdited, this, [this, f] {
                writeField(f, QStringLiteral("入力"));
                emit edited();
            });
            w = edit;
        }
        w->setObjectName(
            QString::fromUtf8(info.key.data(), static_cast<qsizetype>(info.key.size())));
        const Box& b = design.control(f);
        w->setGeometry(b.left, b.top - kToolBarHeight, b.width, b.height);
        w->installEventFilter(this);
        QWidget* text = w;
        if (auto* combo = qobject_cast<QComboBox*>(w))
            text = combo->lineEdit();
        files->watch(text == impressions_ ? impressions_->viewport() : text);
        text->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(text, &QWidget::customContextMenuRequested, this, [this, text](QPoint pos) {
            QWidget* from = text == impressions_ ? impressions_->viewport() : text;
            showContextMenu(text, from->mapToGlobal(pos));
        });
        controls_[static_cast<size_t>(index(f))] = w;
    }
    // Tab order: display order.
    for (int i = 0; i + 1 < kFieldCount; ++i)
        setTabOrder(controls_[static_cast<size_t>(i)], controls_[static_cast<size_t>(i + 1)]);
}

// ---------------------------------------------------------------- texts

QString RecordEditor::text(Field f) const {
    if (f == Field::Impressions) {
        QString text = impressions_->toPlainText();
        text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        return text;
    }
    if (auto* combo = qobject_cast<QComboBox*>(control(f)))
        return combo->currentText();
    return static_cast<QLineEdit*>(control(f))->text();
}

void RecordEditor::setText(Field f, const QString& text) {
    putText(f, text);
    // A text the program puts in has no stored bytes to keep.
    shown(f) = sjis::encodeSpanned(this->text(f));
}

void RecordEditor::putText(Field f, const QString& text) {
    ++settingTexts_;
    if (f == Field::Impressions) {
        QString plain = text;
        plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        impressions_->setPlainText(plain);
    } else if (auto* combo = qobject_cast<QComboBox*>(control(f))) {
        // The list follows the text, so that the arrow keys move on from its entry.
        const QString line = singleLine(text);
        combo->setCurrentIndex(combo->findText(line, Qt::MatchExactly | Qt::MatchCaseSensitive));
        combo->setEditText(line);
    } else {
        static_cast<QLineEdit*>(control(f))->setText(singleLine(text));
    }
    --settingTexts_;
}

void RecordEditor::showStored(Field f, std::string_view bytes) {
    const sjis::SpannedText stored = sjis::decodeSpanned(bytes);
    putText(f, stored.text);
    shown(f) = sjis::withLineBreaks(stored, f == Field::Impressions ? sjis::LineBreaks::AsCrLf
                                                                    : sjis::LineBreaks::AsSpace);
}

RecordEditor::DisplayHold::~DisplayHold() {
    if (!editor_.displayHeld_)
        return;
    try {
        editor_.releaseDisplay(false);
    } catch (...) {
        // Already unwinding from an error, which is what gets reported.
    }
}

void RecordEditor::releaseDisplay(bool show) {
    displayHeld_ = false;
    if (std::exchange(showPending_, false) || show)
        showCurrentRecord();
}

void RecordEditor::showCurrentRecord() {
    if (displayHeld_) {
        showPending_ = true;
        return;
    }
    const bool any = session_.hasRecord();
    const Catalogue& catalogue = session_.catalogue();
    for (int i = 0; i < kFieldCount; ++i) {
        const Field f = fieldAt(i);
        showStored(f, any ? catalogue.field(f, session_.currentIndex()) : std::string_view());
        // With no record there is nowhere to type into.
        control(f)->setEnabled(any);
    }
}

void RecordEditor::writeField(Field f, const QString& stepName) {
    if (settingTexts_ > 0 || !session_.hasRecord())
        return;
    ++writing_;
    sjis::SpannedText& before = shown(f);
    before = sjis::applyEdit(before, text(f));
    session_.editField(f, before.bytes, stepName);
    --writing_;
}

void RecordEditor::refreshCaptionsAndLists() {
    const Catalogue& catalogue = session_.catalogue();
    for (int k = 1; k <= kCaptionCount; ++k) {
        QLabel* l = label(k);
        l->setText(sjis::decode(catalogue.liveCaptions[static_cast<size_t>(k - 1)]));
        l->adjustSize();
        const Field f = fieldOfCaption(k);
        l->setBuddy(control(f));
        nameForScreenReaders(f, l->text());
    }
    for (Field f : {Field::Genre1, Field::Genre2, Field::Format})
        nameForScreenReaders(f, sjis::decode(catalogue.heading(choiceListOf(f))));
    ++settingTexts_;
    for (Field f : {Field::Genre1, Field::Genre2, Field::Format}) {
        auto* combo = static_cast<QComboBox*>(control(f));
        const QString shown = combo->currentText();
        QStringList items;
        for (const Bytes& entry : catalogue.list(choiceListOf(f)))
            items << sjis::decode(entry);
        // A list read again unchanged (most catalogues keep the defaults) is
        // left as it is: filling a box anew measures every entry again.
        bool same = combo->count() == items.size();
        for (int i = 0; same && i < items.size(); ++i)
            same = combo->itemText(i) == items.at(i);
        if (!same) {
            combo->clear();
            combo->addItems(items);
        }
        combo->setCurrentIndex(combo->findText(shown, Qt::MatchExactly | Qt::MatchCaseSensitive));
        combo->setEditText(shown);
    }
    --settingTexts_;
}

void RecordEditor::nameForScreenReaders(Field f, QString name) {
    // A caption the user emptied still leaves the field a name.
    if (name.trimmed().isEmpty()) {
        const std::string_view fallback = fieldInfo(f).defaultCaption;
        name = QString::fromUtf8(fallback.data(), qsizetype(fallback.size()));
    }
    QWidget* w = control(f);
    w->setAccessibleName(name);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        combo->lineEdit()->setAccessibleName(name);
        combo->setAccessibleDescription(QStringLiteral("一覧から選ぶか、直接入力します"));
    }
}

void RecordEditor::focusTitle() {
    QWidget* title = control(Field::Title);
    if (!title->isHidden())
        title->setFocus(Qt::OtherFocusReason);
}

void RecordEditor::findInImpressions(const QString& needle) {
    ImpressionsSearch::findInControl(impressions_, needle);
}

// ---------------------------------------------------------------- fonts and layout

void RecordEditor::applyFonts(FontStylePitch captionStyle, FontStylePitch contentsStyle) {
    appliedStyles_ = {captionStyle, contentsStyle};
    ++settingTexts_; // a new font is no edit
    const Catalogue& catalogue = session_.catalogue();
    for (QLabel* l : labels_)
        applyFont(l, catalogue.captionFont, captionStyle, QPalette::WindowText);
    for (int i = 0; i < kFieldCount; ++i) {
        // The choice boxes keep their own style: only face, size and colour change.
        const FontStylePitch style =
            isCombo(fieldAt(i))
                ? FontStylePitch{DisplayFont::style(controls_[static_cast<size_t>(i)]->font()), 0}
                : contentsStyle;
        applyFont(controls_[static_cast<size_t>(i)], catalogue.contentsFont, style, QPalette::Text);
    }
    --settingTexts_;
}

int RecordEditor::captionStyleBits() const {
    return DisplayFont::style(label(1)->font());
}

int RecordEditor::contentsStyleBits() const {
    return DisplayFont::style(control(Field::Title)->font());
}

QFont RecordEditor::captionFont() const {
    return label(1)->font();
}

QFont RecordEditor::contentsFont() const {
    return control(Field::Title)->font();
}

int RecordEditor::lineHeight() const {
    return control(Field::Title)->height();
}

int RecordEditor::layOut(int windowWidth, int windowHeight, bool hasFileName) {
    FieldGeometry g;
    for (int k = 1; k <= kCaptionCount; ++k) {
        QLabel* l = label(k);
        l->adjustSize();
        g.label(k) = Box{l->x(), l->y() + kToolBarHeight, l->width(), l->height(), !l->isHidden()};
    }
    for (int i = 0; i < kFieldCount; ++i) {
        const Field f = fieldAt(i);
        QWidget* w = control(f);
        int height = w->height();
        // Edits and combo boxes take the height their font gives them.
        if (f != Field::Impressions && f != Field::Price)
            height = w->sizeHint().height();
        g.control(f) = Box{w->x(), w->y() + kToolBarHeight, w->width(), height, !w->isHidden()};
    }

    const Catalogue& catalogue = session_.catalogue();
    LayoutInputs in;
    in.windowWidth = windowWidth;
    in.windowHeight = windowHeight;
    in.editHeight = g.control(Field::Title).height;
    in.flags = catalogue.flags;
    in.spacing = catalogue.spacing;
    in.hasFileName = hasFileName;
    const LayoutOutcome out = computeFieldLayout(g, in);

    for (int k = 1; k <= kCaptionCount; ++k) {
        const Box& b = g.label(k);
        label(k)->setGeometry(b.left, b.top - kToolBarHeight, b.width, b.height);
        label(k)->setHidden(!b.visible);
    }
    for (int i = 0; i < kFieldCount; ++i) {
        const Field f = fieldAt(i);
        const Box& b = g.control(f);
        control(f)->setGeometry(b.left, b.top - kToolBarHeight, b.width, b.height);
        control(f)->setHidden(!b.visible);
    }
    session_.setSpacing(out.spacing);
    for (Field f : {Field::Genre1, Field::Genre2, Field::Format})
        if (out.showHeading[static_cast<size_t>(choiceListOf(f))])
            setText(f, sjis::decode(catalogue.heading(choiceListOf(f))));
    return out.statusPanelWidth;
}

// ---------------------------------------------------------------- user input

int RecordEditor::fieldOfWidget(const QObject* o) const {
    for (int i = 0; i < kFieldCount; ++i) {
        QWidget* w = controls_[static_cast<size_t>(i)];
        if (o == w)
            return i;
        if (auto* combo = qobject_cast<QComboBox*>(w); combo && o == combo->lineEdit())
            return i;
    }
    return -1;
}

void RecordEditor::moveFocus(QWidget* from, bool forward) {
    const int start = fieldOfWidget(from);
    if (start < 0)
        return;
    for (int step = 1; step < kFieldCount; ++step) {
        const int i =
            ((start + (forward ? step : -step)) % kFieldCount + kFieldCount) % kFieldCount;
        QWidget* w = controls_[static_cast<size_t>(i)];
        if (!w->isHidden() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

void RecordEditor::refuseInput(const QString& characters) {
    emit refused(characters == QStringLiteral("\n")
                     ? QStringLiteral("この欄には改行を入力できません")
                     : QStringLiteral("「%1」は読書録データに記録できない文字です")
                           .arg(QString(characters).remove(QLatin1Char('\n'))));
}

void RecordEditor::confirmChoice(QComboBox* combo) {
    // A new word confirmed with Enter joins the box's choice list.
    const QString typed = combo->currentText();
    const Field f = fieldAt(fieldOfWidget(combo));
    const Bytes entry = sjis::tryEncode(typed).bytes;
    if (isListEndMarker(entry)) {
        // The file would read it as the end of the list.
        emit refused(QStringLiteral("「%1」は選択肢にできません").arg(typed));
        return;
    }
    if (!typed.isEmpty() && session_.addListEntry(choiceListOf(f), entry)) {
        ++settingTexts_;
        if (combo->findText(typed, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
            combo->addItem(typed);
        if (combo->currentText() != typed)
            combo->setEditText(typed);
        --settingTexts_;
    }
}

void RecordEditor::stepRecord(int step) {
    // Page Up and Page Down move without counting a change.
    const int target = session_.currentIndex() + step;
    if (step < 0 && session_.currentIndex() > 1 && session_.recordCount() > 0)
        session_.showRecord(target);
    else if (step > 0 && session_.currentIndex() < session_.recordCount())
        session_.showRecord(target);
    else if (step > 0)
        emit addRequested();
}

bool RecordEditor::handleKey(Field f, QKeyEvent* key) {
    // Alt with a letter that is no menu's mnemonic (those never arrive here)
    // types nothing.
    if ((key->modifiers() & Qt::AltModifier) && !(key->modifiers() & Qt::ControlModifier) &&
        !key->text().isEmpty())
        return true;
    const bool edit = !isCombo(f) && f != Field::Impressions;
    if (edit)
        emit touched();
    switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (!edit)
            return false;
        moveFocus(control(f), key->key() == Qt::Key_Down);
        return false;
    case Qt::Key_PageDown:
        stepRecord(1);
        return true;
    case Qt::Key_PageUp:
        if (!edit)
            return false;
        stepRecord(-1);
        return true;
    default:
        break;
    }
    if (!isCharacter(key))
        return false;
    const QString typed = key->text();
    if (f == Field::Impressions) {
        // Counted as a change when the text changes; look-alikes go in as the
        // field maps them (〜 as ～, £ as ￡).
        return !impressions_->accepts(toCodePageLookAlikes(typed));
    }
    emit edited();
    if (typed.front() != QLatin1Char('\r'))
        return false;
    if (!edit)
        confirmChoice(static_cast<QComboBox*>(control(f)));
    moveFocus(control(f), true);
    return true; // Enter only moves on: no line break, no default button
}

namespace {
// The keys that undo and redo the catalogue's history, whichever field has the focus.
bool isHistoryKey(const QKeyEvent* key) {
    const QKeyCombination ctrlY(Qt::ControlModifier, Qt::Key_Y);
    const QKeyCombination ctrlShiftZ(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
    return key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
           key->keyCombination() == ctrlY || key->keyCombination() == ctrlShiftZ;
}
} // namespace

void RecordEditor::showContextMenu(QWidget* field, const QPoint& globalPos) {
    QMenu* menu = nullptr;
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        menu = edit->createStandardContextMenu();
    else if (field == impressions_)
        menu = impressions_->createStandardContextMenu();
    if (!menu)
        return;
    // The field's own undo gives way to the catalogue's history.
    const QList<QAction*> actions = menu->actions();
    for (int i = 0; i < actions.size(); ++i) {
        QAction* own = actions[i];
        const bool undo = own->objectName() == QLatin1String("edit-undo");
        if (!undo && own->objectName() != QLatin1String("edit-redo"))
            continue;
        auto* replacement = new QAction(menu);
        replacement->setText(undo ? QStringLiteral("元に戻す(&U)")
                                  : QStringLiteral("やり直し(&R)"));
        replacement->setEnabled(undo ? session_.canUndo() : session_.canRedo());
        connect(replacement, &QAction::triggered, this,
                undo ? &RecordEditor::undoRequested : &RecordEditor::redoRequested);
        menu->insertAction(own, replacement);
        menu->removeAction(own);
    }
    menu->exec(globalPos);
    delete menu;
}

bool RecordEditor::eventFilter(QObject* watched, QEvent* event) {
    const int fi = fieldOfWidget(watched);
    switch (event->type()) {
    case QEvent::ApplicationPaletteChange:
        // The desktop switched between light and dark: the colours follow.
        if (watched == this && appliedStyles_)
            applyFonts(appliedStyles_->first, appliedStyles_->second);
        break;
    case QEvent::ShortcutOverride:
        // Left unaccepted, the keys reach the window's undo and redo entries.
        if (fi >= 0 && isHistoryKey(static_cast<QKeyEvent*>(event)))
            return true;
        break;
    case QEvent::FocusOut:
        if (fi >= 0)
            session_.endTyping();
        break;
    case QEvent::MouseButtonPress:
        if (watched == this || (fi >= 0 && fieldAt(fi) != Field::Impressions))
            emit touched();
        break;
    case QEvent::KeyPress:
        // With nothing to undo the entry is disabled; the field must not undo on its own.
        if (fi >= 0 && isHistoryKey(static_cast<QKeyEvent*>(event)))
            return true;
        // A combo box holds the focus and hands its keys to its line edit
        // directly, past this filter: they are taken here at the combo box.
        if (fi >= 0 && handleKey(fieldAt(fi), static_cast<QKeyEvent*>(event)))
            return true;
        break;
    case QEvent::FocusIn: {
        // The edits keep their text unselected when the focus comes by Tab or Enter.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (fi >= 0 && qobject_cast<QLineEdit*>(watched) == control(fieldAt(fi)) &&
            (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
             reason == Qt::ShortcutFocusReason)) {
            QFocusEvent plain(QEvent::FocusIn, Qt::OtherFocusReason);
            QApplication::sendEvent(watched, &plain);
            return true;
        }
        break;
    }
    case QEvent::InputMethod: {
        // As with keys, a combo box's input-method text arrives at the combo box.
        const QString commit = static_cast<QInputMethodEvent*>(event)->commitString();
        if (fi < 0 || commit.isEmpty())
            break;
        if (fieldAt(fi) != Field::Impressions)
            emit edited();
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace sorabel
