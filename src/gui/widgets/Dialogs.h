#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace sorabel {

// A font as the font dialog returns it: face, size, style and colour.
struct FontChoice {
    QFont font;
    QColor colour = Qt::black;
};

// The one seam for every modal interaction: questions, notices, the
// application's error box and the file and font dialogs. In test mode nothing
// modal is ever shown: each call takes the next scripted answer (or a "no" /
// "cancel" when none is left) and is recorded, so tests never block.
class Dialogs {
public:
    enum class Kind { Question, Notice, Error, OpenFile, SaveFile, Font };
    struct Shown {
        Kind kind;
        QString text;    // message text, or the dialog's filter
        QString caption; // window caption, the dialog's initial folder or the font's points
    };

    // "はい(&Y)" / "いいえ(&N)", no icon, the application's title as caption.
    // True only for "はい(&Y)". Questions whose はい replaces or drops data
    // put the default (Enter) on いいえ.
    enum class Default { Yes, No };
    static bool question(QWidget* parent, const QString& text, Default byDefault = Default::Yes);
    enum class Answer { Yes, No, Cancel };
    // "はい(&Y)" / "いいえ(&N)" / "キャンセル"; Escape and the close box mean キャンセル.
    static Answer askYesNoCancel(QWidget* parent, const QString& text);
    // A question with buttons of its own: the index of the one clicked; the
    // last button is the way back (Escape, the close box). In test mode the
    // scripted Yes, No and Cancel take the first, second and last button.
    static int choose(QWidget* parent, const QString& text, const QStringList& buttons);
    // Plain notice with an "OK" button.
    static void notice(QWidget* parent, const QString& text);
    // The application's error box: error icon, "OK", the text after errorText().
    static void error(QWidget* parent, const QString& text);
    // "." is appended when the last character sorts after "."; a text ending
    // in a closing parenthesis gets none.
    static QString errorText(const QString& text);

    // Full path of the chosen file, or nothing when cancelled.
    static std::optional<QString> openFile(QWidget* parent, const QString& filter,
                                           const QString& folder);
    static std::optional<QString> saveFile(QWidget* parent, const QString& filter,
                                           const QString& folder, const QString& defaultSuffix);
    static std::optional<FontChoice> chooseFont(QWidget* parent, const FontChoice& initial);

    static QString applicationTitle();

    // Test seam.
    static void setTestMode(bool on);
    static bool testMode();
    static void setNextAnswer(bool yes);
    static void setNextAnswer(Answer answer);
    static void setNextFileName(std::optional<QString> path); // nothing = cancel
    static void setNextFont(std::optional<FontChoice> font);  // nothing = cancel
    static const std::vector<Shown>& shown();
    static std::vector<QString> shownTexts(Kind kind);
    static void reset(); // forget answers and the record of what was shown

private:
    static void record(Kind kind, const QString& text, const QString& caption);
};

// Runs a command; an error that leaves it is shown in the application's error
// box and the program goes on with the next event.
void guarded(QWidget* parent, const std::function<void()>& command);

} // namespace sorabel
