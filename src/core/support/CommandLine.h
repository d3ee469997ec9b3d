#pragma once

#include <QString>
#include <QStringList>

namespace sorabel {

// What the user asked for on the command line:
//   sorabel [-h | --help] [-v | --version] [FILE.srb]
// Qt's built-in help and version options answer in English, so the options
// and their texts are our own.
struct CommandLine {
    enum class Action {
        Run,         // start the windows
        ShowHelp,    // print `output` on standard output and end with 0
        ShowVersion, // the same
        Fail,        // print `output` on standard error and end with 2
    };
    Action action = Action::Run;
    QString output;
    // The catalogue to open at start instead of the remembered one, as an
    // absolute path; empty when none was named.
    QString fileToOpen;

    // `arguments` as QCoreApplication::arguments() gives them (the program
    // first, the toolkit's own options already taken out).
    static CommandLine parse(const QStringList& arguments);
    static QString helpText(const QString& program);
    static QString versionText();
};

} // namespace sorabel
