#pragma once

#include "core/support/HelpFile.h"

#include <QDateTime>
#include <QWidget>
#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

namespace sorabel {

// The help window: the finder (contents and search) on the left, the topic
// on the right. A help file that cannot be read or a topic it does not hold
// is reported here, in the topic pane.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // `path` is a full path; the file is read again when it has changed.
    void showContext(const QString& path, int context);
    void showFinder(const QString& path);

    QString loadedPath() const { return path_; }
    bool fileLoaded() const { return loaded_; }
    int currentContext() const { return current_; } // 0 when no topic is shown
    QString topicText() const;                      // the topic pane as plain text
    const HelpFile& helpFile() const { return file_; }

public slots:
    void runSearch();
    void goBack();
    void goForward();

protected:
    void changeEvent(QEvent* event) override;

private:
    void load(const QString& path);
    void fillContents();
    // Shows a topic; `remember` puts the previous one on the back list.
    void display(int context, bool remember);
    void showMessage(const QString& html);
    void selectInContents(int context);
    void updateButtons();
    void openLink(const QUrl& url);

    QTabWidget* finder_;
    QTreeWidget* contents_;
    QLineEdit* searchBox_;
    QPushButton* searchButton_;
    QLabel* searchNote_;
    QListWidget* results_;
    QTextBrowser* topicView_;
    QPushButton* backButton_;
    QPushButton* forwardButton_;

    HelpFile file_;
    QString path_;
    QDateTime modified_;
    bool loaded_ = false;
    int current_ = 0;
    std::vector<int> back_;
    std::vector<int> forward_;
};

} // namespace sorabel
