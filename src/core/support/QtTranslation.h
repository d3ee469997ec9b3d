#pragma once

class QCoreApplication;

namespace sorabel {

// Qt's own Japanese texts (qtbase_ja from the Debian package
// qt6-translations-l10n): the buttons, file, font and colour dialogs and
// the edit controls' context menus then speak Japanese like the rest of the
// program, whatever the user's locale.
class QtTranslation {
public:
    // Installs the translation once and makes Japanese the default locale;
    // false when the translation is not installed.
    static bool install(QCoreApplication& app);
};

} // namespace sorabel
