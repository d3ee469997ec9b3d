#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace sorabel {

// The book list's modeless find dialog: a text box, find-next and close. The
// text stays between openings; opening it while it is open brings it to the
// front.
class ListFindDialog : public QDialog {
    Q_OBJECT
public:
    explicit ListFindDialog(QWidget* parent = nullptr);

    QString findText() const;
    void setFindText(const QString& text);
    // Shows the dialog, or brings it to the front when it is open.
    void execute();

    QLineEdit* textBox() const { return text_; }
    QPushButton* findNextButton() const { return findNext_; }

signals:
    void find();

private:
    QLineEdit* text_;
    QPushButton* findNext_;
    QPushButton* close_;
};

} // namespace sorabel
