#include "gui/widgets/Dialogs.h"
#include "core/support/TestHooks.h"

#include "gui/widgets/FileDialogDates.h"
#include "gui/widgets/FontColourDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <exception>

namespace sorabel {

namespace {
struct TestState {
    bool on = false;
    std::deque<Dialogs::Answer> answers;
    std::deque<std::optional<QString>> files;
    std::deque<std::optional<FontChoice>> fonts;
    std::vector<Dialogs::Shown> shown;
};

TestState& state() {
    static TestState s;
    return s;
}

// The next scripted answer, or `fallback` (no, cancel) when none is left.
template <typename T> T takeFront(std::deque<T>& queue, T fallback) {
    if (queue.empty())
        return fallback;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}
} // namespace

QString Dialogs::applicationTitle() {
    // Fixed: the application's name stays the plain "sorabel" of its files
    // and folders, and no display name is set (Qt would add it to every title).
    return QStringLiteral("ソラベル");
}

void Dialogs::record(Kind kind, const QString& text, const QString& caption) {
    state().shown.push_back({kind, text, caption});
}

bool Dialogs::question(QWidget* parent, const QString& text, Default byDefault) {
    if (state().on) {
        record(Kind::Question, text, applicationTitle());
        return takeFront(state().answers, Answer::No) == Answer::Yes;
    }
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
    box.setDefaultButton(byDefault == Default::Yes ? yes : no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

Dialogs::Answer Dialogs::askYesNoCancel(QWidget* parent, const QString& text) {
    if (state().on) {
        record(Kind::Question, text, applicationTitle());
        return takeFront(state().answers, Answer::No);
    }
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    // Escape and the close box take the way back, never the loss of the changes.
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes)
        return Answer::Yes;
    return box.clickedButton() == no ? Answer::No : Answer::Cancel;
}

int Dialogs::choose(QWidget* parent, const QString& text, const QStringList& buttons) {
    const int last = static_cast<int>(buttons.size()) - 1;
    if (state().on) {
        record(Kind::Question, text, applicationTitle());
        switch (takeFront(state().answers, Answer::Cancel)) {
        case Answer::Yes:
            return 0;
        case Answer::No:
            return std::min(1, last);
        case Answer::Cancel:
            break;
        }
        return last;
    }
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::NoButton, parent);
    QList<QPushButton*> added;
    for (int i = 0; i <= last; ++i)
        added << box.addButton(buttons[i],
                               i == last ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
    box.setDefaultButton(added.front());
    box.setEscapeButton(added.back());
    box.exec();
    const int clicked = static_cast<int>(added.indexOf(box.clickedButton()));
    return clicked < 0 ? last : clicked;
}

void Dialogs::notice(QWidget* parent, const QString& text) {
    if (state().on) {
        record(Kind::Notice, text, applicationTitle());
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::NoButton, parent);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

QString Dialogs::errorText(const QString& text) {
    if (!text.isEmpty() && text.back() > QChar('.'))
        return text + QLatin1Char('.');
    return text;
}

void Dialogs::error(QWidget* parent, const QString& text) {
    const QString shownText = errorText(text);
    if (state().on) {
        record(Kind::Error, shownText, applicationTitle());
        return;
    }
    QMessageBox box(QMessageBox::Critical, applicationTitle(), shownText, QMessageBox::NoButton,
                    parent);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

std::optional<QString> Dialogs::openFile(QWidget* parent, const QString& filter,
                                         const QString& folder) {
    if (state().on) {
        record(Kind::OpenFile, filter, folder);
        return takeFront<std::optional<QString>>(state().files, std::nullopt);
    }
    QFileDialog dialog(parent, QString(), folder, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    FileDialogDates::apply(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}

std::optional<QString> Dialogs::saveFile(QWidget* parent, const QString& filter,
                                         const QString& folder, const QString& defaultSuffix) {
    if (state().on) {
        record(Kind::SaveFile, filter, folder);
        return takeFront<std::optional<QString>>(state().files, std::nullopt);
    }
    QFileDialog dialog(parent, QString(), folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    // Replacing an existing file is asked by the command, which knows the current file.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    FileDialogDates::apply(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}

std::optional<FontChoice> Dialogs::chooseFont(QWidget* parent, const FontChoice& initial) {
    if (state().on) {
        record(Kind::Font, initial.font.family(), QString::number(initial.font.pointSize()));
        return takeFront<std::optional<FontChoice>>(state().fonts, std::nullopt);
    }
    return FontColourDialog::choose(parent, initial);
}

void Dialogs::setTestMode(bool on) {
    // Only tests switch modes; at rest they answer from an empty script.
    TestHooks::onReset(&state(), [] {
        reset();
        state().on = true;
    });
    state().on = on;
}
bool Dialogs::testMode() {
    return state().on;
}
void Dialogs::setNextAnswer(bool yes) {
    state().answers.push_back(yes ? Answer::Yes : Answer::No);
}
void Dialogs::setNextAnswer(Answer answer) {
    state().answers.push_back(answer);
}
void Dialogs::setNextFileName(std::optional<QString> path) {
    state().files.push_back(std::move(path));
}
void Dialogs::setNextFont(std::optional<FontChoice> font) {
    state().fonts.push_back(std::move(font));
}
const std::vector<Dialogs::Shown>& Dialogs::shown() {
    return state().shown;
}

std::vector<QString> Dialogs::shownTexts(Kind kind) {
    std::vector<QString> out;
    for (const auto& s : state().shown)
        if (s.kind == kind)
            out.push_back(s.text);
    return out;
}

void Dialogs::reset() {
    const bool on = state().on;
    state() = TestState{};
    state().on = on;
}

void guarded(QWidget* parent, const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        Dialogs::error(parent, QString::fromUtf8(e.what()));
    } catch (...) {
        Dialogs::error(parent, QStringLiteral("不明なエラー"));
    }
}

} // namespace sorabel
