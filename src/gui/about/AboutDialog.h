#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>
#include <QUrl>
#include <functional>

class QLabel;
class QPushButton;

namespace sorabel {

// The About box: the program's name and version, a comment line and the
// maker's web address, with a button that opens the maker's page. Created
// once at start-up, shown modally, hidden between uses.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
    ~AboutDialog() override;

    // The maker's page: shown in the box and opened by its button.
    static QString webAddress();
    static QString copyrightNotice();
    // The program's icon at 32 by 32 pixels.
    static QPixmap programIcon();

    // Test seam: how Button1 opens a page (the default asks the desktop).
    using UrlOpener = std::function<void(const QUrl&)>;
    static void setUrlOpener(UrlOpener opener); // empty restores the desktop

public slots:
    void openWebPage();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Fills the version label from the application's version.
    void fillVersion();
    void centreOnScreen();

    QLabel* version_ = nullptr;
    QPushButton* ok_ = nullptr;
    bool shownBefore_ = false;
};

} // namespace sorabel
