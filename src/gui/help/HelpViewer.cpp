#include "gui/help/HelpViewer.h"
#include "core/support/TestHooks.h"

#include "core/storage/DataLocation.h"
#include "gui/help/HelpWindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>

namespace sorabel {

namespace {
struct State {
    QString applicationFile;
    bool testMode = false;
    std::vector<HelpViewer::Request> requests;
    QPointer<HelpWindow> window;
};

State& state() {
    static State s;
    return s;
}

HelpWindow& helpWindow() {
    if (!state().window) {
        state().window = new HelpWindow;
        state().window->setAttribute(Qt::WA_DeleteOnClose, false);
        // The program ends with its main window, an open help window or not.
        state().window->setAttribute(Qt::WA_QuitOnClose, false);
    }
    // A modal dialog blocks every window but its own: help asked for from a
    // dialog becomes the dialog's window for as long as it is open, so that
    // it stays usable and in front.
    HelpWindow* window = state().window;
    QWidget* owner = QApplication::activeModalWidget();
    if (window->parentWidget() != owner) {
        const bool shown = window->isVisible();
        const QRect where = window->geometry();
        window->setParent(owner, Qt::Window);
        if (shown) {
            window->setGeometry(where);
            window->show();
        }
    }
    return *window;
}
} // namespace

QString HelpViewer::resolve(const QString& helpFile) {
    if (QFileInfo(helpFile).isRelative())
        return DataLocation::find(helpFile);
    const QString path = QDir::cleanPath(helpFile);
    const QString found = DataLocation::existing(path);
    return found.isEmpty() ? path : found;
}

void HelpViewer::setApplicationHelpFile(const QString& file) {
    state().applicationFile = file;
}

QString HelpViewer::applicationHelpFile() {
    return state().applicationFile;
}

void HelpViewer::showContext(const QString& helpFile, int context) {
    if (state().testMode) {
        state().requests.push_back({Request::Context, helpFile, context});
        return;
    }
    helpWindow().showContext(resolve(helpFile), context);
}

void HelpViewer::showFinder(const QString& helpFile) {
    if (state().testMode) {
        state().requests.push_back({Request::Finder, helpFile, 0});
        return;
    }
    helpWindow().showFinder(resolve(helpFile));
}

void HelpViewer::setTestMode(bool on) {
    // Only tests switch modes; at rest they record, and nothing is recorded yet.
    TestHooks::onReset(&state(), [] {
        state().requests.clear();
        state().testMode = true;
    });
    state().testMode = on;
}

const std::vector<HelpViewer::Request>& HelpViewer::requests() {
    return state().requests;
}

void HelpViewer::clearRequests() {
    state().requests.clear();
}

HelpWindow* HelpViewer::window() {
    return state().window;
}

} // namespace sorabel
