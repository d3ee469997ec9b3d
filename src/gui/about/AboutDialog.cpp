#include "gui/about/AboutDialog.h"
#include "core/support/TestHooks.h"

#include "gui/widgets/Icons.h"

#include "gui/widgets/Dialogs.h"
#include "gui/widgets/FontSubstitution.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace sorabel {

namespace {

const QString kFontFace = QStringLiteral("ＭＳ Ｐゴシック");
const QColor kNavy(0, 0, 128);

QFont boxFont(int pixels, bool bold = false, bool underline = false) {
    QFont font = FontSubstitution::designFont(kFontFace, pixels);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

QLabel* makeLabel(QWidget* parent, const QString& text, int left, int top, const QFont& font,
                  const QColor& colour = Qt::black) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->move(left, top);
    label->adjustSize();
    return label;
}

AboutDialog::UrlOpener& urlOpener() {
    static AboutDialog::UrlOpener opener;
    return opener;
}

} // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(298, 218);
    setFont(boxFont(15));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);

    auto* icon = new QLabel(this);
    icon->setGeometry(16, 16, 32, 32);
    icon->setPixmap(programIcon());

    makeLabel(this, QStringLiteral("ソラベル"), 88, 16, boxFont(19, true), kNavy);
    version_ = makeLabel(this, QStringLiteral("version"), 170, 40, boxFont(15));
    version_->setObjectName(QStringLiteral("version"));
    makeLabel(this, copyrightNotice(), 50, 62, boxFont(15));

    QLabel* comments = makeLabel(this, QStringLiteral("輾転反側"), 5, 98, boxFont(19));
    comments->setWordWrap(true);
    comments->setFixedWidth(288);
    comments->adjustSize();

    // Plain text on purpose: the button below is the way to the page.
    QLabel* address = makeLabel(this, webAddress(), 14, 124, boxFont(15, false, true), kNavy);
    address->setTextFormat(Qt::PlainText);
    address->setTextInteractionFlags(Qt::NoTextInteraction);

    auto* visit = new QPushButton(QStringLiteral("作者のサイトに行ってみる"), this);
    visit->setObjectName(QStringLiteral("webPageButton"));
    visit->setFont(boxFont(12));
    visit->setGeometry(127, 144, 140, 20);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("okButton"));
    ok_->setGeometry(121, 183, 56, 27);
    ok_->setDefault(true);

    setTabOrder(ok_, visit);

    connect(visit, &QPushButton::clicked, this, &AboutDialog::openWebPage);
    connect(ok_, &QPushButton::clicked, this, [this] { guarded(this, [this] { accept(); }); });
}

AboutDialog::~AboutDialog() = default;

QString AboutDialog::webAddress() {
    return QStringLiteral("https://sorabel.example.jp/");
}

QString AboutDialog::copyrightNotice() {
    return QStringLiteral("(C) 2026 ソラベル開発チーム");
}

QPixmap AboutDialog::programIcon() {
    return Icons::get("sorabel").pixmap(32, 32);
}

void AboutDialog::setUrlOpener(UrlOpener opener) {
    TestHooks::onReset(&urlOpener(), [] { urlOpener() = {}; });
    urlOpener() = std::move(opener);
}

void AboutDialog::fillVersion() {
    // "2.0.0.0" is shown as "2.0": release and build are not shown.
    const QStringList parts = QCoreApplication::applicationVersion().split(QLatin1Char('.'));
    version_->setText(QStringLiteral("Version ") + parts.mid(0, 2).join(QLatin1Char('.')));
    version_->adjustSize();
}

void AboutDialog::openWebPage() {
    guarded(this, [] {
        const QUrl url(webAddress());
        if (urlOpener())
            urlOpener()(url);
        else
            QDesktopServices::openUrl(url); // the outcome is not reported
    });
}

void AboutDialog::centreOnScreen() {
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    QRect frame = frameGeometry();
    frame.moveCenter(area.center());
    move(frame.topLeft());
}

void AboutDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    centreOnScreen();
    if (!shownBefore_) {
        shownBefore_ = true;
        ok_->setFocus();
    }
    fillVersion();
}

} // namespace sorabel
