#include "gui/main/MainWindow.h"

#include "core/format/CatalogueFile.h"
#include "gui/main/ImpressionsEdit.h"
#include "gui/main/ImpressionsSearch.h"
#include "core/storage/FileIo.h"
#include "core/storage/ProgramFolder.h"
#include "core/text/ShiftJis.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/FindDialog.h"
#include "gui/widgets/FontSubstitution.h"
#include "gui/help/HelpViewer.h"
#include "gui/widgets/ShiftJisValidator.h"
#include "core/format/HandoffFile.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QRandomGenerator>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <utility>

MainWindow* Form1 = nullptr;

using namespace sorabel;

namespace {

const QString kFilter = QStringLiteral("読書録データ(*.srb)");
const QString kLimitMessage = QStringLiteral("記録できるのは２０００冊までです");
const QString kDeleteQuestion = QStringLiteral("この本の記録を削除しますか？");
const QString kSaveQuestion = QStringLiteral("現在の内容を保存しますか？");

// Icons drawn here for the commands the style has no picture of.
enum DrawnIcon { kPlus = -1, kCross = -2, kCopy = -3, kMagnifier = -4, kLayout = -5, kHelp = -6 };

QIcon drawnIcon(int kind) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (kind) {
    case kPlus:
        p.setPen(QPen(QColor(0, 128, 0), 3));
        p.drawLine(8, 2, 8, 14);
        p.drawLine(2, 8, 14, 8);
        break;
    case kCross:
        p.setPen(QPen(QColor(192, 0, 0), 3));
        p.drawLine(3, 3, 13, 13);
        p.drawLine(13, 3, 3, 13);
        break;
    case kCopy:
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRect(1, 1, 9, 11);
        p.drawRect(5, 4, 9, 11);
        p.setPen(QPen(QColor(0, 0, 160), 1));
        p.drawLine(7, 8, 12, 8);
        p.drawLine(7, 11, 12, 11);
        break;
    case kMagnifier:
        p.setPen(QPen(Qt::black, 2));
        p.drawEllipse(2, 2, 8, 8);
        p.setPen(QPen(QColor(128, 64, 0), 3));
        p.drawLine(10, 10, 14, 14);
        break;
    case kLayout:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 160));
        for (int y : {2, 7, 12}) {
            p.drawRect(1, y, 5, 3);
            p.drawRect(8, y, 7, 3);
        }
        break;
    case kHelp: {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 96, 192));
        p.drawEllipse(0, 0, 16, 16);
        QFont f = p.font();
        f.setPixelSize(13);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    default:
        break;
    }
    return QIcon(pm);
}

QFont designFont(const char* family, int pixels) {
    QFont f{QString::fromUtf8(family)};
    f.setPixelSize(pixels);
    return f;
}

// A colour value: 0x00BBGGRR, or 0x80000000 plus a system colour index.
std::optional<QColor> colourOf(int32_t value) {
    if (value >= 0)
        return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
    const QPalette pal = QApplication::palette();
    switch (value & 0xFF) {
    case 5: // window
        return pal.color(QPalette::Base);
    case 8: // window text
        return pal.color(QPalette::Text);
    case 15: // button face
        return pal.color(QPalette::Button);
    case 18: // button text
        return pal.color(QPalette::ButtonText);
    case 13: // highlight
        return pal.color(QPalette::Highlight);
    case 14: // highlighted text
        return pal.color(QPalette::HighlightedText);
    case 17: // grey text
        return pal.color(QPalette::Disabled, QPalette::Text);
    default:
        return std::nullopt;
    }
}

int styleBits(const QFont& f) {
    return (f.bold() ? 1 : 0) | (f.italic() ? 2 : 0) | (f.underline() ? 4 : 0) |
           (f.strikeOut() ? 8 : 0);
}

void applyStylePitch(QWidget* w, FontStylePitch sp) {
    QFont f = w->font();
    f.setBold(sp.style & 1);
    f.setItalic(sp.style & 2);
    f.setUnderline(sp.style & 4);
    f.setStrikeOut(sp.style & 8);
    if (sp.pitch == 2) {
        f.setFixedPitch(true);
        f.setStyleHint(QFont::Monospace);
    } else if (sp.pitch == 1) {
        f.setFixedPitch(false);
    }
    w->setFont(f);
}

QString singleLine(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

QString pathText(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

std::string pathBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// A typed character, as opposed to a key that moves or deletes.
bool isCharacter(const QKeyEvent* e) {
    if (e->text().isEmpty())
        return false;
    switch (e->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
        return false;
    default:
        return true;
    }
}

} // namespace

// ---------------------------------------------------------------- creation

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    Form1 = this;
    FontSubstitution::install();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("ソラベル"));
    setFont(designFont("ＭＳ Ｐゴシック", 15));

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    createActions();
    createStatusBar();
    createFields();
    createSearchAndHelp();

    // The platform window exists from here on, so that its frame can be
    // taken into account when the outer bounds are set.
    create();
    // Designed outer bounds; the settings file may replace them on the first show.
    setOuterBounds(QRect(kDesignLeft, kDesignTop, kDesignWidth, kDesignHeight));

    client->installEventFilter(this);
    ToolBar1->installEventFilter(this);
    FormCreate();
}

MainWindow::~MainWindow() {
    // The fields go first, while the window they report to is still whole;
    // nothing they do on the way counts as the user's doing.
    ++settingTexts_;
    ToolBar1->removeEventFilter(this);
    centralWidget()->removeEventFilter(this);
    for (QWidget* w : controls_) {
        w->removeEventFilter(this);
        if (auto* combo = qobject_cast<QComboBox*>(w))
            combo->lineEdit()->removeEventFilter(this);
    }
    delete takeCentralWidget();
    if (Form1 == this)
        Form1 = nullptr;
}

QToolButton* MainWindow::addToolButton(const QString& name, const QString& hint, int icon) {
    auto* b = new QToolButton(ToolBar1);
    b->setObjectName(name);
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    b->setToolTip(bar < 0 ? hint : hint.left(bar));
    b->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
    b->setIcon(icon >= 0 ? style()->standardIcon(static_cast<QStyle::StandardPixmap>(icon))
                         : drawnIcon(icon));
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    ToolBar1->addWidget(b);
    return b;
}

void MainWindow::createActions() {
    auto action = [this](QMenu* menu, const char* name, const char* caption) {
        auto* a = new QAction(QString::fromUtf8(caption), this);
        a->setObjectName(QString::fromUtf8(name));
        menu->addAction(a);
        return a;
    };
    auto menu = [this](const char* name, const char* caption) {
        QMenu* m = menuBar()->addMenu(QString::fromUtf8(caption));
        m->setObjectName(QString::fromUtf8(name));
        return m;
    };

    File1 = menu("File1", "ファイル(&F)");
    New1 = action(File1, "New1", "新規作成(&N)");
    Open1 = action(File1, "Open1", "開く(&O)");
    Save1 = action(File1, "Save1", "上書き保存(&S)");
    SaveAs1 = action(File1, "SaveAs1", "名前をつけて保存(&A)");
    Exit1 = action(File1, "Exit1", "終了(&X)");

    N2 = menu("N2", "データ(&D)");
    Save2 = action(N2, "Save2", "追加(&A)");
    N3 = action(N2, "N3", "削除(&D)");
    N8 = action(N2, "N8", "先頭へ(&T)");
    N9 = action(N2, "N9", "一つ前へ(&B)");
    N10 = action(N2, "N10", "次へ(&N)");
    N11 = action(N2, "N11", "最後尾へ(&E)");
    V1 = action(N2, "V1", "コピーして最後尾へ追加(&V)");

    T1 = menu("T1", "ツール(&T)");
    O1 = action(T1, "O1", "環境設定(&T)");
    N1 = action(T1, "N1", "表示最適化(&R)");
    N4 = action(T1, "N4", "一覧表示(&O)");
    S2 = action(T1, "S2", "「感想」の中を検索(&S)");

    Help1 = menu("Help1", "ヘルプ(&H)");
    Contents1 = action(Help1, "Contents1", "目次(&C)");
    S1 = action(Help1, "S1", "この画面の説明(&H)");
    About1 = action(Help1, "About1", "バージョン情報(&A)");

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setFixedHeight(kToolBarHeight);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, ToolBar1);

    ToolButton9 = addToolButton("ToolButton9", "新規|新規ファイルの作成", QStyle::SP_FileIcon);
    ToolButton4 = addToolButton("ToolButton4", "開く|ファイルを開く", QStyle::SP_DialogOpenButton);
    ToolButton5 =
        addToolButton("ToolButton5", "保存|現在のファイルを保存", QStyle::SP_DialogSaveButton);
    ToolButton18 = addToolButton("ToolButton18", "名前をつけて保存|保存", QStyle::SP_DriveFDIcon);
    ToolButton19 = addToolButton("ToolButton19", "終了", QStyle::SP_DialogCloseButton);
    ToolBar1->addSeparator();
    ToolButton2 = addToolButton("ToolButton2", "追加|データ追加", kPlus);
    ToolButton3 = addToolButton("ToolButton3", "削除|データ削除", kCross);
    ToolButton10 =
        addToolButton("ToolButton10", "先頭へ|先頭のデータへ", QStyle::SP_MediaSkipBackward);
    ToolButton7 = addToolButton("ToolButton7", "前へ|前のデータへ", QStyle::SP_ArrowLeft);
    ToolButton8 = addToolButton("ToolButton8", "次へ|次のデータへ", QStyle::SP_ArrowRight);
    ToolButton12 =
        addToolButton("ToolButton12", "最後尾|最後のデータへ", QStyle::SP_MediaSkipForward);
    ToolBar1->addSeparator();
    ToolButton20 = addToolButton("ToolButton20", "データをコピーして最後尾に追加|コピー", kCopy);
    ToolBar1->addSeparator();
    ToolButton16 = addToolButton("ToolButton16", "環境設定|設定", QStyle::SP_ComputerIcon);
    ToolButton14 = addToolButton("ToolButton14", "表示最適化|最適化", kLayout);
    ToolButton17 = addToolButton("ToolButton17", "一覧表示", QStyle::SP_FileDialogListView);
    ToolButton21 = addToolButton("ToolButton21", "「感想」の中を検索", kMagnifier);
    ToolBar1->addSeparator();
    ToolButton1 = addToolButton("ToolButton1", "ヘルプ|ヘルプの表示", kHelp);
    ToolBar1->addSeparator();

    for (QToolButton* b :
         {ToolButton2, ToolButton3, ToolButton10, ToolButton7, ToolButton8, ToolButton12})
        b->setEnabled(false);
    for (QAction* a : {N8, N9, N10, N11})
        a->setEnabled(false);

    // One handler a command: the menu entry and the tool button meet in it.
    connect(New1, &QAction::triggered, this, &MainWindow::New1Click);
    connect(ToolButton9, &QToolButton::clicked, this, &MainWindow::ToolButton9Click);
    connect(Open1, &QAction::triggered, this, &MainWindow::Open1Click);
    connect(ToolButton4, &QToolButton::clicked, this, &MainWindow::ToolButton4Click);
    connect(Save1, &QAction::triggered, this, &MainWindow::Save1Click);
    connect(ToolButton5, &QToolButton::clicked, this, &MainWindow::ToolButton5Click);
    connect(SaveAs1, &QAction::triggered, this, &MainWindow::SaveAs1Click);
    connect(ToolButton18, &QToolButton::clicked, this, &MainWindow::ToolButton18Click);
    connect(Exit1, &QAction::triggered, this, &MainWindow::Exit1Click);
    connect(ToolButton19, &QToolButton::clicked, this, &MainWindow::ToolButton19Click);

    connect(Save2, &QAction::triggered, this, &MainWindow::Save2Click);
    connect(ToolButton2, &QToolButton::clicked, this, &MainWindow::ToolButton2Click);
    connect(N3, &QAction::triggered, this, &MainWindow::N3Click);
    connect(ToolButton3, &QToolButton::clicked, this, &MainWindow::ToolButton3Click);
    connect(N8, &QAction::triggered, this, &MainWindow::N8Click);
    connect(ToolButton10, &QToolButton::clicked, this, &MainWindow::ToolButton10Click);
    connect(N9, &QAction::triggered, this, &MainWindow::N9Click);
    connect(ToolButton7, &QToolButton::clicked, this, &MainWindow::ToolButton7Click);
    connect(N10, &QAction::triggered, this, &MainWindow::N10Click);
    connect(ToolButton8, &QToolButton::clicked, this, &MainWindow::ToolButton8Click);
    connect(N11, &QAction::triggered, this, &MainWindow::N11Click);
    connect(ToolButton12, &QToolButton::clicked, this, &MainWindow::ToolButton12Click);
    connect(V1, &QAction::triggered, this, &MainWindow::V1Click);
    connect(ToolButton20, &QToolButton::clicked, this, &MainWindow::ToolButton20Click);

    connect(O1, &QAction::triggered, this, &MainWindow::O1Click);
    connect(ToolButton16, &QToolButton::clicked, this, &MainWindow::ToolButton16Click);
    connect(N1, &QAction::triggered, this, &MainWindow::N1Click);
    connect(ToolButton14, &QToolButton::clicked, this, &MainWindow::ToolButton14Click);
    connect(N4, &QAction::triggered, this, &MainWindow::N4Click);
    connect(ToolButton17, &QToolButton::clicked, this, &MainWindow::ToolButton17Click);
    // S2, Contents1, S1, About1, ToolButton21 and ToolButton1 belong to the
    // search, help and About commands, which connect them themselves.
}

void MainWindow::createFields() {
    QWidget* client = centralWidget();
    const FieldGeometry design = FieldGeometry::design();

    const QFont gothic13 = designFont("ＭＳ ゴシック", 13);
    const QFont pgothic13 = designFont("ＭＳ Ｐゴシック", 13);

    QLabel** labelMembers[kCaptionCount] = {
        &Label1, &Label2,  &Label3,  &Label4,  &Label5,  &Label6,  &Label7,  &Label8,
        &Label9, &Label10, &Label11, &Label12, &Label13, &Label14, &Label15, &Label16};
    for (int k = 1; k <= kCaptionCount; ++k) {
        auto* l = new QLabel(client);
        l->setObjectName(QStringLiteral("Label%1").arg(k));
        l->setFont(k == 2 ? designFont("ＭＳ ゴシック", 15) : gothic13);
        l->setText(sjis::decode(catalogue_.liveCaptions[static_cast<size_t>(k - 1)]));
        l->adjustSize();
        const Box& b = design.label(k);
        l->move(b.left, b.top - kToolBarHeight);
        labels_[static_cast<size_t>(k - 1)] = l;
        *labelMembers[k - 1] = l;
    }

    for (const FieldInfo& info : fieldTable()) {
        const Field f = info.field;
        const QString name =
            QString::fromUtf8(info.key.data(), static_cast<qsizetype>(info.key.size()));
        QWidget* w = nullptr;
        if (f == Field::Impressions) {
            auto* memo = new ImpressionsEdit(client);
            memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            memo->setTabChangesFocus(true);
            memo->onRefused = [this](const QString& c) { refuseInput(c); };
            memo->setFont(font());
            kansou = memo;
            w = memo;
        } else if (isCombo(f)) {
            auto* combo = new QComboBox(client);
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setCompleter(nullptr);
            combo->setMaxVisibleItems(16);
            combo->setFont(gothic13);
            auto* validator = new ShiftJisValidator(combo->lineEdit(), combo);
            validator->onRefused = [this](const QString& c) { refuseInput(c); };
            validator->programmatic = [this] { return settingTexts_ > 0; };
            combo->setValidator(validator);
            combo->lineEdit()->installEventFilter(this);
            connect(combo, &QComboBox::editTextChanged, this, [this] {
                if (settingTexts_ == 0)
                    janru1Change();
            });
            w = combo;
        } else {
            auto* edit = new QLineEdit(client);
            if (f == Field::Price) {
                edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
                edit->setFont(font());
            } else {
                edit->setFont(f == Field::Title || f == Field::Subtitle ? pgothic13 : gothic13);
            }
            auto* validator = new ShiftJisValidator(edit, edit);
            validator->onRefused = [this](const QString& c) { refuseInput(c); };
            validator->programmatic = [this] { return settingTexts_ > 0; };
            edit->setValidator(validator);
            w = edit;
        }
        w->setObjectName(name);
        const Box& b = design.control(f);
        w->setGeometry(b.left, b.top - kToolBarHeight, b.width, b.height);
        w->installEventFilter(this);
        controls_[static_cast<size_t>(index(f))] = w;
    }

    auto edit = [this](Field f) { return static_cast<QLineEdit*>(control(f)); };
    shomei = edit(Field::Title);
    hukudai = edit(Field::Subtitle);
    yomi = edit(Field::Reading);
    sakusha = edit(Field::Author);
    yakusha = edit(Field::Translator);
    shuppansha = edit(Field::Publisher);
    sousho = edit(Field::Series);
    teika = edit(Field::Price);
    shohan = edit(Field::FirstEdition);
    yondahan = edit(Field::EditionRead);
    dokuryou = edit(Field::DateFinished);
    kaisi = edit(Field::DateStarted);
    kounyuu = edit(Field::DateBought);
    bikou1 = edit(Field::Note1);
    bikou2 = edit(Field::Note2);
    janru1 = static_cast<QComboBox*>(control(Field::Genre1));
    janru2 = static_cast<QComboBox*>(control(Field::Genre2));
    hangata = static_cast<QComboBox*>(control(Field::Format));

    // Tab order: display order.
    for (int i = 0; i + 1 < kFieldCount; ++i)
        setTabOrder(controls_[static_cast<size_t>(i)], controls_[static_cast<size_t>(i + 1)]);

    refreshChoiceLists();
    showCurrentRecord();
}

void MainWindow::createStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    for (int i = 0; i < 2; ++i) {
        panels_[i] = new QLabel(bar);
        panels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panels_[i]->setContentsMargins(2, 0, 2, 0);
        bar->addWidget(panels_[i], i == 1 ? 1 : 0);
    }
    panelWidths_ = {kDesignWidth / 5, kDesignWidth / 2};
    panels_[0]->setFixedWidth(panelWidths_[0]);
}

// ---------------------------------------------------------------- access

QWidget* MainWindow::control(Field f) const {
    return controls_[static_cast<size_t>(index(f))];
}

QLabel* MainWindow::label(int caption) const {
    if (caption < 1 || caption > kCaptionCount)
        return nullptr;
    return labels_[static_cast<size_t>(caption - 1)];
}

QString MainWindow::controlText(Field f) const {
    QWidget* w = control(f);
    if (f == Field::Impressions) {
        QString text = kansou->toPlainText();
        text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        return text;
    }
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return combo->currentText();
    return static_cast<QLineEdit*>(w)->text();
}

void MainWindow::setControlText(Field f, const QString& text) {
    ++settingTexts_;
    QWidget* w = control(f);
    if (f == Field::Impressions) {
        QString plain = text;
        plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        kansou->setPlainText(plain);
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        // The list follows the text, so that the arrow keys move on from its entry.
        const QString line = singleLine(text);
        combo->setCurrentIndex(combo->findText(line, Qt::MatchExactly | Qt::MatchCaseSensitive));
        combo->setEditText(line);
    } else {
        static_cast<QLineEdit*>(w)->setText(singleLine(text));
    }
    --settingTexts_;
}

int MainWindow::fieldOfWidget(const QObject* o) const {
    for (int i = 0; i < kFieldCount; ++i) {
        QWidget* w = controls_[static_cast<size_t>(i)];
        if (o == w)
            return i;
        if (auto* combo = qobject_cast<QComboBox*>(w); combo && o == combo->lineEdit())
            return i;
    }
    return -1;
}

QString MainWindow::fileNameText() const {
    return pathText(catalogue_.fileName);
}

bool MainWindow::hasRecord() const {
    return catalogue_.recordCount >= 1 && catalogue_.currentIndex >= 1 &&
           catalogue_.currentIndex <= catalogue_.recordCount;
}

void MainWindow::command(const std::function<void()>& body) {
    // A command run from inside another lets its error travel up, so that the
    // outer command stops too (a failed Save stops New before it empties).
    if (commandDepth_ > 0) {
        body();
        return;
    }
    ++commandDepth_;
    guarded(this, body);
    --commandDepth_;
}

// ---------------------------------------------------------------- record view

void MainWindow::showCurrentRecord() {
    const bool any = hasRecord();
    for (int i = 0; i < kFieldCount; ++i) {
        const Field f = fieldAt(i);
        const QString text =
            any ? sjis::decode(catalogue_.field(f, catalogue_.currentIndex)) : QString();
        setControlText(f, text);
        shownTexts_[static_cast<size_t>(i)] = controlText(f);
    }
    updateStatusBar();
    updateNavigationActions();
}

void MainWindow::storeShownRecord() {
    // With no record there is nowhere to store the view: its texts are dropped.
    if (!hasRecord())
        return;
    for (int i = 0; i < kFieldCount; ++i) {
        const Field f = fieldAt(i);
        const QString text = controlText(f);
        QString& shown = shownTexts_[static_cast<size_t>(i)];
        if (text == shown)
            continue; // untouched: the stored bytes stay exactly as they are
        catalogue_.setField(f, catalogue_.currentIndex, sjis::tryEncode(text).bytes);
        shown = text;
    }
}

void MainWindow::updateStatusBar() {
    panels_[1]->setText(fileNameText());
    panels_[0]->setText(
        QStringLiteral("%1／%2").arg(catalogue_.currentIndex).arg(catalogue_.recordCount));
    panelWidths_[0] = outerBounds().width() / 5;
    panels_[0]->setFixedWidth(panelWidths_[0]);
}

void MainWindow::updateNavigationActions() {
    const bool notFirst = catalogue_.currentIndex != 1;
    const bool beforeLast = catalogue_.currentIndex < catalogue_.recordCount;
    ToolButton10->setEnabled(notFirst);
    ToolButton7->setEnabled(notFirst);
    N8->setEnabled(notFirst);
    N9->setEnabled(notFirst);
    ToolButton8->setEnabled(beforeLast);
    ToolButton12->setEnabled(beforeLast);
    N10->setEnabled(beforeLast);
    N11->setEnabled(beforeLast);
}

void MainWindow::setStatusPanelText(int panel, const QString& text) {
    if (panel >= 0 && panel < 2)
        panels_[panel]->setText(text);
}

QString MainWindow::statusPanelText(int panel) const {
    return panel >= 0 && panel < 2 ? panels_[panel]->text() : QString();
}

int MainWindow::statusPanelWidth(int panel) const {
    return panel >= 0 && panel < 2 ? panelWidths_[static_cast<size_t>(panel)] : 0;
}

void MainWindow::refreshChoiceLists() {
    ++settingTexts_;
    for (Field f : {Field::Genre1, Field::Genre2, Field::Format}) {
        auto* combo = static_cast<QComboBox*>(control(f));
        const QString text = combo->currentText();
        QStringList items;
        for (const Bytes& entry : catalogue_.list(choiceListOf(f)))
            items << sjis::decode(entry);
        combo->clear();
        combo->addItems(items);
        combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
        combo->setEditText(text);
    }
    --settingTexts_;
}

void MainWindow::enableAddDelete() {
    ToolButton2->setEnabled(true);
    ToolButton3->setEnabled(true);
    updateNavigationActions();
}

// Also run by the commands that add, remove or replace records from the menus,
// which a click on the window does not precede: a list left open would show
// rows that no longer stand for their record numbers.
void MainWindow::hideListWindow() {
    if (listWindow_ && listWindow_->isVisible())
        listWindow_->hide();
}

void MainWindow::refuseInput(const QString& characters) {
    const QString text = characters == QStringLiteral("\n")
                             ? QStringLiteral("この欄には改行を入力できません")
                             : QStringLiteral("「%1」は読書録データに記録できない文字です")
                                   .arg(QString(characters).remove(QLatin1Char('\n')));
    statusBar()->showMessage(text, 5000);
}

void MainWindow::moveFocus(QWidget* from, bool forward) {
    const int start = fieldOfWidget(from);
    if (start < 0)
        return;
    for (int step = 1; step < kFieldCount; ++step) {
        const int i =
            ((start + (forward ? step : -step)) % kFieldCount + kFieldCount) % kFieldCount;
        QWidget* w = controls_[static_cast<size_t>(i)];
        if (!w->isHidden() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

void MainWindow::shomeiKeyPress(QWidget* sender, QChar key) {
    command([&] {
        enableAddDelete();
        if (key == QLatin1Char('\r'))
            moveFocus(sender, true);
    });
}

void MainWindow::kansouKeyPress(int characters) {
    command([&] {
        catalogue_.modifiedCount += characters;
        enableAddDelete();
    });
}

void MainWindow::comboKeyPress(QComboBox* combo, QChar key) {
    command([&] {
        enableAddDelete();
        if (key != QLatin1Char('\r'))
            return;
        const QString text = combo->currentText();
        const int f = fieldOfWidget(combo);
        std::vector<Bytes>& list = catalogue_.list(choiceListOf(fieldAt(f)));
        const Bytes bytes = sjis::tryEncode(text).bytes;
        const bool known = std::find(list.begin(), list.end(), bytes) != list.end();
        if (!known && !text.isEmpty()) {
            list.push_back(bytes);
            ++settingTexts_;
            combo->addItem(text);
            if (combo->currentText() != text)
                combo->setEditText(text);
            --settingTexts_;
        }
        moveFocus(combo, true);
    });
}

void MainWindow::janru1KeyPress(QChar key) {
    comboKeyPress(janru1, key);
}
void MainWindow::janru2KeyPress(QChar key) {
    comboKeyPress(janru2, key);
}
void MainWindow::hangataKeyPress(QChar key) {
    comboKeyPress(hangata, key);
}

bool MainWindow::janru1KeyDown(QWidget* /*sender*/, int key) {
    bool used = false;
    command([&] {
        if (key != Qt::Key_PageDown)
            return;
        used = true;
        if (catalogue_.currentIndex < catalogue_.recordCount) {
            storeShownRecord();
            ++catalogue_.currentIndex;
            showCurrentRecord();
            updateNavigationActions();
        } else if (ToolButton2->isEnabled()) {
            ToolButton2Click();
        }
    });
    return used;
}

bool MainWindow::shomeiKeyDown(QWidget* sender, int key) {
    bool used = false;
    command([&] {
        hideListWindow();
        switch (key) {
        case Qt::Key_Up:
            moveFocus(sender, false);
            break;
        case Qt::Key_Down:
            moveFocus(sender, true);
            break;
        case Qt::Key_PageDown:
            used = janru1KeyDown(sender, key);
            break;
        case Qt::Key_PageUp:
            used = true;
            if (catalogue_.currentIndex > 1 && catalogue_.recordCount > 0) {
                storeShownRecord();
                --catalogue_.currentIndex;
                showCurrentRecord();
                updateNavigationActions();
            }
            break;
        default:
            break;
        }
    });
    return used;
}

void MainWindow::janru1Change() {
    command([&] {
        hideListWindow();
        ++catalogue_.modifiedCount;
    });
}

void MainWindow::shomeiClick() {
    command([&] { hideListWindow(); });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const int f = fieldOfWidget(watched);
        if (watched == centralWidget() || watched == ToolBar1 ||
            (f >= 0 && fieldAt(f) != Field::Impressions))
            shomeiClick();
        break;
    }
    case QEvent::KeyPress: {
        // A combo box holds the focus and hands its keys to its line edit
        // directly, past this filter: they are taken here at the combo box.
        // A key sent to the line edit itself is taken there; what it then
        // passes up is either used up already or only enables again.
        const int fi = fieldOfWidget(watched);
        if (fi < 0)
            break;
        const Field f = fieldAt(fi);
        QWidget* w = control(f);
        auto* ke = static_cast<QKeyEvent*>(event);
        const bool edit = !isCombo(f) && f != Field::Impressions;
        if (edit ? shomeiKeyDown(w, ke->key()) : janru1KeyDown(w, ke->key()))
            return true;
        if (!isCharacter(ke))
            break;
        const QString text = ke->text();
        if (f == Field::Impressions) {
            if (!static_cast<ImpressionsEdit*>(kansou)->accepts(text))
                return true;
            kansouKeyPress(static_cast<int>(text.size()));
            break;
        }
        const QChar ch = text.front();
        if (edit)
            shomeiKeyPress(w, ch);
        else
            comboKeyPress(static_cast<QComboBox*>(w), ch);
        if (ch == QLatin1Char('\r'))
            return true; // Enter only moves on: no line break, no default button
        break;
    }
    case QEvent::FocusIn: {
        // The edits keep their text unselected when the focus comes by Tab or Enter.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const int fi = fieldOfWidget(watched);
        if (fi >= 0 && qobject_cast<QLineEdit*>(watched) == control(fieldAt(fi)) &&
            (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
             reason == Qt::ShortcutFocusReason)) {
            QFocusEvent plain(QEvent::FocusIn, Qt::OtherFocusReason);
            QApplication::sendEvent(watched, &plain);
            return true;
        }
        break;
    }
    case QEvent::InputMethod: {
        // As with keys, a combo box's input-method text arrives at the combo box.
        const int fi = fieldOfWidget(watched);
        if (fi < 0)
            break;
        const QString commit = static_cast<QInputMethodEvent*>(event)->commitString();
        if (commit.isEmpty())
            break;
        const Field f = fieldAt(fi);
        if (f == Field::Impressions) {
            if (sjis::unencodableCharacters(commit).isEmpty())
                kansouKeyPress(static_cast<int>(commit.size()));
        } else {
            command([&] { enableAddDelete(); });
        }
        break;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- record commands

void MainWindow::ToolButton2Click() {
    command([&] {
        hideListWindow();
        ++catalogue_.modifiedCount;
        storeShownRecord();
        if (catalogue_.recordCount >= kMaxRecords) {
            Dialogs::notice(this, kLimitMessage);
            return;
        }
        ++catalogue_.recordCount;
        if (!shomei->isHidden())
            shomei->setFocus(Qt::OtherFocusReason);
        catalogue_.currentIndex = catalogue_.recordCount;
        ToolButton2->setEnabled(false);
        showCurrentRecord();
        for (Field f : {Field::Genre1, Field::Genre2, Field::Format})
            setControlText(f, sjis::decode(catalogue_.heading(choiceListOf(f))));
    });
}

void MainWindow::Save2Click() {
    ToolButton2Click();
}

void MainWindow::ToolButton3Click() {
    command([&] {
        hideListWindow();
        if (catalogue_.recordCount <= 0 || !hasRecord())
            return;
        if (!Dialogs::question(this, kDeleteQuestion))
            return;
        ++catalogue_.modifiedCount;
        const int count = catalogue_.recordCount;
        const bool last = catalogue_.currentIndex == count;
        // Moves the later records up and empties the freed last place.
        catalogue_.removeRecordAt(catalogue_.currentIndex, count);
        catalogue_.recordCount = count - 1;
        if (last)
            catalogue_.currentIndex = catalogue_.recordCount;
        ToolButton2->setEnabled(true);
        showCurrentRecord();
        updateNavigationActions();
        updateStatusBar();
    });
}

void MainWindow::N3Click() {
    ToolButton3Click();
}

void MainWindow::navigate(int target) {
    ++catalogue_.modifiedCount;
    storeShownRecord();
    catalogue_.currentIndex = target;
    showCurrentRecord();
    updateNavigationActions();
}

void MainWindow::ToolButton10Click() {
    command([&] {
        if (catalogue_.recordCount > 0)
            navigate(1);
    });
}

void MainWindow::N8Click() {
    ToolButton10Click();
}

void MainWindow::ToolButton7Click() {
    command([&] {
        if (catalogue_.recordCount > 0 && catalogue_.currentIndex > 1)
            navigate(std::min(catalogue_.currentIndex - 1, catalogue_.recordCount));
    });
}

void MainWindow::N9Click() {
    ToolButton7Click();
}

void MainWindow::ToolButton8Click() {
    command([&] {
        if (catalogue_.currentIndex < catalogue_.recordCount)
            navigate(std::max(catalogue_.currentIndex + 1, 1));
    });
}

void MainWindow::N10Click() {
    ToolButton8Click();
}

void MainWindow::ToolButton12Click() {
    command([&] {
        if (catalogue_.recordCount > 0)
            navigate(catalogue_.recordCount);
    });
}

void MainWindow::N11Click() {
    ToolButton12Click();
}

void MainWindow::ToolButton20Click() {
    command([&] {
        hideListWindow();
        if (catalogue_.recordCount >= kMaxRecords) {
            Dialogs::notice(this, kLimitMessage);
            return;
        }
        const bool shownRecord = hasRecord();
        ++catalogue_.modifiedCount;
        ++catalogue_.recordCount;
        for (int i = 0; i < kFieldCount; ++i) {
            const Field f = fieldAt(i);
            const QString text = controlText(f);
            // An untouched field is copied byte for byte.
            Bytes bytes = shownRecord && text == shownTexts_[static_cast<size_t>(i)]
                              ? catalogue_.field(f, catalogue_.currentIndex)
                              : sjis::tryEncode(text).bytes;
            catalogue_.setField(f, catalogue_.recordCount, std::move(bytes));
        }
        ToolButton12Click();
    });
}

void MainWindow::V1Click() {
    ToolButton20Click();
}

// ---------------------------------------------------------------- tools

void MainWindow::O1Click() {
    command([&] {
        hideListWindow();
        if (!settingsDialog_)
            return;
        const QString texts[3] = {janru1->currentText(), janru2->currentText(),
                                  hangata->currentText()};
        storeShownRecord();
        catalogue_.startIndex = catalogue_.currentIndex;
        {
            // What runs while the dialog is open is a command of its own.
            const int depth = std::exchange(commandDepth_, 0);
            settingsDialog_->exec();
            commandDepth_ = depth;
        }
        if (catalogue_.modifiedCount > 0)
            ToolButton5Click();
        if (auto values = HandoffFile::take(HandoffFile::defaultPath())) {
            HandoffFile::apply(*values, catalogue_);
            ++catalogue_.modifiedCount;
        }
        layOutFields();
        showCurrentRecord();
        setControlText(Field::Genre1, texts[0]);
        setControlText(Field::Genre2, texts[1]);
        setControlText(Field::Format, texts[2]);
    });
}

void MainWindow::ToolButton16Click() {
    O1Click();
}

void MainWindow::N1Click() {
    command([&] { layOutFields(); });
}

void MainWindow::ToolButton14Click() {
    N1Click();
}

void MainWindow::N4Click() {
    command([&] {
        storeShownRecord();
        if (listWindow_) {
            listWindow_->hide();
            listWindow_->show();
        }
    });
}

void MainWindow::ToolButton17Click() {
    N4Click();
}

// ---------------------------------------------------------------- layout

void MainWindow::layOutFields() {
    FieldGeometry g;
    for (int k = 1; k <= kCaptionCount; ++k) {
        QLabel* l = label(k);
        l->adjustSize();
        g.label(k) = Box{l->x(), l->y() + kToolBarHeight, l->width(), l->height(), !l->isHidden()};
    }
    for (int i = 0; i < kFieldCount; ++i) {
        const Field f = fieldAt(i);
        QWidget* w = control(f);
        int height = w->height();
        // Edits and combo boxes take the height their font gives them.
        if (f != Field::Impressions && f != Field::Price)
            height = w->sizeHint().height();
        g.control(f) = Box{w->x(), w->y() + kToolBarHeight, w->width(), height, !w->isHidden()};
    }

    const QRect outer = outerBounds();
    LayoutInputs in;
    in.windowWidth = outer.width();
    in.windowHeight = outer.height();
    in.editHeight = g.control(Field::Title).height;
    in.flags = catalogue_.flags;
    in.spacing = catalogue_.spacing;
    in.hasFileName = !catalogue_.fileName.empty();
    const LayoutOutcome out = computeFieldLayout(g, in);

    for (int k = 1; k <= kCaptionCount; ++k) {
        const Box& b = g.label(k);
        QLabel* l = label(k);
        l->setGeometry(b.left, b.top - kToolBarHeight, b.width, b.height);
        l->setHidden(!b.visible);
    }
    for (int i = 0; i < kFieldCount; ++i) {
        const Field f = fieldAt(i);
        const Box& b = g.control(f);
        QWidget* w = control(f);
        w->setGeometry(b.left, b.top - kToolBarHeight, b.width, b.height);
        w->setHidden(!b.visible);
    }
    catalogue_.spacing = out.spacing;
    for (Field f : {Field::Genre1, Field::Genre2, Field::Format})
        if (out.showHeading[static_cast<size_t>(choiceListOf(f))])
            setControlText(f, sjis::decode(catalogue_.heading(choiceListOf(f))));
    panelWidths_ = {out.statusPanelWidth, out.statusPanelWidth};
    updateStatusBar();
}

// ---------------------------------------------------------------- files

void MainWindow::setFileNames(const QString& fullPath, bool bareName) {
    const QString absolute = QFileInfo(fullPath).absoluteFilePath();
    catalogue_.filePath = pathBytes(absolute);
    catalogue_.fileName = pathBytes(bareName ? QFileInfo(absolute).fileName() : absolute);
}

void MainWindow::loadCatalogue(const QString& path) {
    const int before = CatalogueFile::read(path, catalogue_);
    if (catalogue_.currentIndex > catalogue_.recordCount)
        catalogue_.currentIndex = catalogue_.recordCount;
    for (int k = 1; k <= kCaptionCount; ++k)
        label(k)->setText(sjis::decode(catalogue_.liveCaptions[static_cast<size_t>(k - 1)]));
    refreshChoiceLists();
    if (before != 0) {
        ToolButton2->setEnabled(true);
        ToolButton3->setEnabled(true);
    }
    updateNavigationActions();
    showCurrentRecord();
    layOutFields();
}

void MainWindow::writeCatalogue(const QString& path) {
    CatalogueFile::write(path, catalogue_);
    updateStatusBar();
}

void MainWindow::saveWithBackup(const QString& linkOrPath) {
    // Through a link, the linked file is replaced and backed up beside itself.
    const QFileInfo named(linkOrPath);
    const QString path =
        named.isSymLink() && named.exists() ? named.canonicalFilePath() : linkOrPath;
    const std::string bytes = CatalogueFile::serialise(catalogue_);
    if (!FileIo::exists(path)) {
        FileIo::writeAtomically(path, bytes);
    } else {
        // The new content is complete on disk before the old file becomes the
        // backup, so a failed write leaves both files as they were.
        const QString temp = path + QStringLiteral(".~") +
                             QString::number(QRandomGenerator::global()->generate(), 36);
        FileIo::writeAtomically(temp, bytes);
        QFile::setPermissions(temp, QFile::permissions(path)); // the file keeps its mode
        const QString backup = path + QStringLiteral("bak");
        if (FileIo::exists(backup))
            FileIo::remove(backup);
        const bool backedUp = FileIo::rename(path, backup);
        if (!FileIo::rename(temp, path)) {
            const int err = errno;
            FileIo::remove(temp);
            if (backedUp)
                FileIo::rename(backup, path);
            throw ioErrorFromErrno(err, true);
        }
    }
    catalogue_.modifiedCount = 0;
    updateStatusBar();
}

void MainWindow::askToSave() {
    command([&] {
        if (Dialogs::question(this, kSaveQuestion))
            ToolButton5Click();
    });
}

void MainWindow::New1Click() {
    command([&] {
        hideListWindow();
        if (catalogue_.modifiedCount > 0) {
            storeShownRecord();
            ToolButton5Click();
        }
        Rubi = 1;
        for (int i = 1; i <= catalogue_.recordCount; ++i)
            catalogue_.clearRecord(i);
        catalogue_.filePath.clear();
        catalogue_.fileName.clear();
        catalogue_.modifiedCount = 0;
        catalogue_.recordCount = 1;
        // The start index names a record of the old catalogue; the new one has just one.
        catalogue_.currentIndex = 1;
        updateNavigationActions();
        showCurrentRecord();
        updateStatusBar();
    });
}

void MainWindow::ToolButton9Click() {
    New1Click();
}

void MainWindow::ToolButton4Click() {
    command([&] {
        hideListWindow();
        if (catalogue_.modifiedCount > 0)
            askToSave();
        const auto path = Dialogs::openFile(this, kFilter, ProgramFolder::path());
        if (!path)
            return;
        const std::string oldPath = catalogue_.filePath;
        const std::string oldName = catalogue_.fileName;
        const int oldModified = catalogue_.modifiedCount;
        setFileNames(*path, true);
        catalogue_.modifiedCount = 0;
        try {
            loadCatalogue(*path);
        } catch (...) {
            // The catalogue is untouched by a failed read: so are its name and state.
            catalogue_.filePath = oldPath;
            catalogue_.fileName = oldName;
            catalogue_.modifiedCount = oldModified;
            updateStatusBar();
            throw;
        }
    });
}

void MainWindow::Open1Click() {
    ToolButton4Click();
}

void MainWindow::ToolButton5Click() {
    command([&] {
        storeShownRecord();
        if (catalogue_.filePath.empty()) {
            SaveAs1Click();
            return;
        }
        saveWithBackup(pathText(catalogue_.filePath));
    });
}

void MainWindow::Save1Click() {
    ToolButton5Click();
}

void MainWindow::SaveAs1Click() {
    command([&] {
        storeShownRecord();
        const auto path =
            Dialogs::saveFile(this, kFilter, ProgramFolder::path(), QStringLiteral("srb"));
        if (!path)
            return;
        setFileNames(*path, true);
        writeCatalogue(*path);
        catalogue_.modifiedCount = 0;
    });
}

void MainWindow::ToolButton18Click() {
    SaveAs1Click();
}

void MainWindow::Exit1Click() {
    command([&] {
        storeShownRecord();
        close();
    });
}

void MainWindow::ToolButton19Click() {
    Exit1Click();
}

// ---------------------------------------------------------------- start-up and shutdown

void MainWindow::FormCreate() {
    catalogue_.startIndex = 0;
    catalogue_.modifiedCount = 0;
}

QRect MainWindow::outerBounds() const {
    return frameGeometry();
}

void MainWindow::setOuterBounds(const QRect& r) {
    const QRect frame = frameGeometry();
    const QRect inner = geometry();
    const int extraW = frame.width() - inner.width();
    const int extraH = frame.height() - inner.height();
    resize(std::max(r.width() - extraW, 1), std::max(r.height() - extraH, 1));
    move(r.left(), r.top());
    if (extraW == 0 && extraH == 0)
        pendingOuter_ = r;
    else
        pendingOuter_.reset();
}

bool MainWindow::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate:
        if (pendingOuter_ && frameGeometry() != geometry() && windowState() == Qt::WindowNoState) {
            const QRect target = *pendingOuter_;
            pendingOuter_.reset();
            setOuterBounds(target);
        }
        break;
    default:
        break;
    }
    return handled;
}

void MainWindow::setCaptionStylePitch(FontStylePitch sp) {
    captionStylePitch_ = sp;
    for (QLabel* l : labels_)
        applyStylePitch(l, sp);
}

void MainWindow::setContentsStylePitch(FontStylePitch sp) {
    contentsStylePitch_ = sp;
    for (int i = 0; i < kFieldCount; ++i)
        if (!isCombo(fieldAt(i)))
            applyStylePitch(controls_[static_cast<size_t>(i)], sp);
}

SettingsValues MainWindow::settingsValues() const {
    SettingsValues v;
    v.captionFont = {styleBits(Label1->font()), captionStylePitch_.pitch};
    v.contentsFont = {styleBits(shomei->font()), contentsStylePitch_.pitch};
    v.ki1 = Ki1;
    v.ki2 = Ki2;
    v.ki3 = Ki3;
    v.rubi = Rubi;
    v.file = catalogue_.filePath;
    const QRect r = outerBounds();
    v.top = r.top();
    v.left = r.left();
    v.width = r.width();
    v.height = r.height();
    v.maximized = (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)) != 0;
    return v;
}

void MainWindow::applyFonts() {
    auto apply = [](QWidget* w, const FontValues& values, QPalette::ColorRole role) {
        QFont f = w->font();
        if (values.size > 0)
            f.setPointSize(values.size);
        if (!values.name.empty())
            f.setFamily(sjis::decode(values.name));
        w->setFont(f);
        if (const auto colour = colourOf(values.colour)) {
            QPalette pal = w->palette();
            pal.setColor(role, *colour);
            if (role == QPalette::Text)
                pal.setColor(QPalette::ButtonText, *colour);
            w->setPalette(pal);
        }
    };
    for (QLabel* l : labels_)
        apply(l, catalogue_.captionFont, QPalette::WindowText);
    for (QWidget* w : controls_)
        apply(w, catalogue_.contentsFont, QPalette::Text);
}

void MainWindow::runStartUp() {
    catalogue_.flags.fill("TRUE");
    if (catalogue_.startIndex == 0) {
        catalogue_.currentIndex = 1;
        catalogue_.recordCount = 1;
    } else {
        catalogue_.currentIndex = std::min(catalogue_.startIndex, catalogue_.recordCount);
    }

    SettingsValues current;
    current.captionFont = captionStylePitch_;
    current.contentsFont = contentsStylePitch_;
    current.ki1 = Ki1;
    current.ki2 = Ki2;
    current.ki3 = Ki3;
    current.rubi = Rubi;
    current.file = catalogue_.filePath;
    const QRect bounds = outerBounds();
    current.top = bounds.top();
    current.left = bounds.left();
    current.width = bounds.width();
    current.height = bounds.height();
    const SettingsValues v =
        SettingsFile::read(SettingsFile::defaultPath(), current, catalogue_.modifiedCount == 0);
    setCaptionStylePitch(v.captionFont);
    setContentsStylePitch(v.contentsFont);
    Ki1 = v.ki1;
    Ki2 = v.ki2;
    Ki3 = v.ki3;
    Rubi = v.rubi;
    if (catalogue_.modifiedCount == 0) {
        // The remembered name is a full path: it is shown and used as it is.
        catalogue_.filePath = v.file;
        catalogue_.fileName = v.file;
    }
    savedPlacement_ = QRect(v.left, v.top, v.width, v.height);

    QRect placed = outerBounds();
    if (Ki1 == 0)
        placed.moveTo(v.left, v.top);
    if (Ki2 == 0 && v.width > 0 && v.height > 0)
        placed.setSize(QSize(v.width, v.height));
    setOuterBounds(placed);
    if (v.maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
    else
        setWindowState(windowState() & ~Qt::WindowMaximized);

    if (catalogue_.modifiedCount == 0 && Ki3 == 0 && !catalogue_.fileName.empty())
        loadCatalogue(pathText(catalogue_.filePath));
    applyFonts();
    layOutFields();
    if (!catalogue_.fileName.empty())
        showCurrentRecord();
}

void MainWindow::FormShow() {
    if (startedUp_)
        return;
    startedUp_ = true;
    command([&] { runStartUp(); });
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FormShow();
}

void MainWindow::shutDown() {
    storeShownRecord();
    if (!catalogue_.filePath.empty()) {
        const QString full = QFileInfo(pathText(catalogue_.filePath)).absoluteFilePath();
        catalogue_.filePath = pathBytes(full);
        catalogue_.fileName = catalogue_.filePath;
    }
    if (catalogue_.modifiedCount > 0)
        askToSave();
    try {
        SettingsFile::writeAtExit(SettingsFile::defaultPath(), settingsValues());
    } catch (const std::exception& e) {
        // Reported once; the program ends all the same.
        Dialogs::error(this, QString::fromUtf8(e.what()));
    }
}

bool MainWindow::FormCloseQuery() {
    // This is the outermost command: a failed save keeps the window open.
    ++commandDepth_;
    bool mayClose = true;
    try {
        shutDown();
    } catch (const std::exception& e) {
        Dialogs::error(this, QString::fromUtf8(e.what()));
        mayClose = false;
    } catch (...) {
        Dialogs::error(this, QStringLiteral("不明なエラー"));
        mayClose = false;
    }
    --commandDepth_;
    return mayClose;
}

void MainWindow::FormClose() {
    // The program entry lets the window delete itself on close, which ends
    // the message loop; nothing else is left to do here.
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    FormClose();
}

// ------------------------------------------------- impressions search, About and help

void MainWindow::createSearchAndHelp() {
    FindDialog1 = new FindDialog(this);
    FindDialog1->setObjectName(QStringLiteral("FindDialog1"));
    connect(FindDialog1, &FindDialog::findNext, this, &MainWindow::FindDialog1Find);
    connect(ToolButton21, &QToolButton::clicked, this, &MainWindow::ToolButton21Click);
    connect(S2, &QAction::triggered, this, &MainWindow::S2Click);
    connect(About1, &QAction::triggered, this, &MainWindow::About1Click);
    connect(Contents1, &QAction::triggered, this, &MainWindow::Contents1Click);
    connect(ToolButton1, &QToolButton::clicked, this, &MainWindow::ToolButton1Click);
    connect(S1, &QAction::triggered, this, &MainWindow::S1Click);
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::WindowShortcut);
    connect(f1, &QShortcut::activated, this, &MainWindow::helpKey);
}

void MainWindow::ToolButton21Click() {
    command([this] { FindDialog1->execute(); });
}

void MainWindow::S2Click() {
    ToolButton21->click();
}

void MainWindow::FindDialog1Find(const QString& text) {
    command([this, &text] { ImpressionsSearch::findInControl(kansou, text); });
}

void MainWindow::About1Click() {
    command([this] {
        if (aboutBox_)
            aboutBox_->exec();
    });
}

void MainWindow::Contents1Click() {
    command([] {
        HelpViewer::setApplicationHelpFile(helpFile());
        HelpViewer::showFinder(HelpViewer::applicationHelpFile());
    });
}

void MainWindow::ToolButton1Click() {
    Contents1->trigger();
}

void MainWindow::S1Click() {
    command([] { HelpViewer::showContext(helpFile(), 2); });
}

void MainWindow::helpKey() {
    command([] { HelpViewer::showContext(helpFile(), kHelpContext); });
}
