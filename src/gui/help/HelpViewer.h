#pragma once

#include <QString>
#include <vector>

namespace sorabel {

class HelpWindow;

// The program's help: topics of our own HTML help file shown in a help
// window, plus a finder (contents and search) over the same file.
class HelpViewer {
public:
    // The application-wide help file (start-up sets a fixed absolute path ending in "SORABE.HLP";
    // the main window's 目次 command sets it to the bare "sorabe.HLP").
    static void setApplicationHelpFile(const QString& file);
    static QString applicationHelpFile();
    // Show topic `context` of `helpFile` (a bare name: see resolve()).
    static void showContext(const QString& helpFile, int context);
    // Open the finder (contents and search) of `helpFile`.
    static void showFinder(const QString& helpFile);
    // Test seam: in test mode requests are recorded instead of opening a window.
    struct Request {
        enum Kind { Context, Finder } kind;
        QString file;
        int context;
    };
    static void setTestMode(bool on);
    static const std::vector<Request>& requests();
    static void clearRequests();

    // Full path of a help file: a relative name is looked up beside the
    // program, then in the installed data folder (DataLocation); a name
    // differing from an existing file in letter case only finds that file.
    static QString resolve(const QString& helpFile);
    // The help window, once a request has opened it (tests look inside).
    static HelpWindow* window();
};

} // namespace sorabel
