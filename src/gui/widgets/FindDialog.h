#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace sorabel {

// A modeless find dialog: a text box, "次を検索" and "閉じる". Case, whole
// word and direction are not offered; the window that owns the dialog decides
// how to search. Created once and only hidden, so the text stays for the run.
class FindDialog : public QDialog {
    Q_OBJECT
public:
    explicit FindDialog(QWidget* parent = nullptr);

    QString findText() const;
    void setFindText(const QString& text);

    // Shows the dialog, or brings it to the front when it is already open.
    void execute();

signals:
    // The find-next button was pressed with this text.
    void findNext(const QString& text);
    // F1: the owner opens the topic on its own find.
    void helpRequested();

private:
    void updateButton();

    QLabel* label_;
    QLineEdit* text_;
    QPushButton* findNext_;
    QPushButton* close_;
};

} // namespace sorabel
