#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace sorabel {

// F1 in a window opens that window's own help topic. A QShortcut would not
// do: the main window's F1 shortcut reaches its dialogs and tool windows too,
// and two shortcuts on one key cancel each other out. The key is therefore
// claimed before any shortcut sees it and handled as a plain key press.
class HelpKey : public QObject {
    Q_OBJECT
public:
    // `open` runs on F1 anywhere in `window`; the filter lives as long as it.
    static void install(QWidget* window, std::function<void()> open);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    HelpKey(QWidget* window, std::function<void()> open);
    std::function<void()> open_;
};

} // namespace sorabel
