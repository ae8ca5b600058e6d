#include "platform/window/HelpViewer.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QRegularExpression>
#include <QScreen>
#include <QStringDecoder>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>

#include <utility>

namespace {

constexpr int kVersionMajor = 5;
constexpr int kVersionMinor = 0;

class THelpWindow : public QMainWindow {
public:
    explicit THelpWindow(const QString &file) : file_(file) {
        setObjectName(QStringLiteral("HelpWindow"));
        // An open help window must not keep the program alive.
        setAttribute(Qt::WA_QuitOnClose, false);
        setWindowTitle(QStringLiteral("Tresoro - Hilfe"));

        browser_ = new QTextBrowser(this);
        browser_->setObjectName(QStringLiteral("HelpBrowser"));
        browser_->setOpenExternalLinks(true);
        setCentralWidget(browser_);

        auto *bar = addToolBar(QStringLiteral("Navigation"));
        bar->setObjectName(QStringLiteral("HelpToolBar"));
        bar->setMovable(false);
        bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        auto *back = AddAction(bar, QStringLiteral("ActionHelpBack"), QStringLiteral("Zurück"),
                               QStringLiteral("go-previous"), QStyle::SP_ArrowBack, QKeySequence::Back);
        auto *forward = AddAction(bar, QStringLiteral("ActionHelpForward"), QStringLiteral("Vorwärts"),
                                  QStringLiteral("go-next"), QStyle::SP_ArrowForward, QKeySequence::Forward);
        auto *home = AddAction(bar, QStringLiteral("ActionHelpHome"), QStringLiteral("Startseite"),
                               QStringLiteral("go-home"), QStyle::SP_DirHomeIcon,
                               QKeySequence(Qt::ALT | Qt::Key_Home));
        back->setToolTip(QStringLiteral("Zur vorher angezeigten Stelle"));
        forward->setToolTip(QStringLiteral("Zur nächsten Stelle im Verlauf"));
        home->setToolTip(QStringLiteral("Zum Inhaltsverzeichnis"));
        back->setEnabled(false);
        forward->setEnabled(false);
        QObject::connect(back, &QAction::triggered, browser_, &QTextBrowser::backward);
        QObject::connect(forward, &QAction::triggered, browser_, &QTextBrowser::forward);
        QObject::connect(home, &QAction::triggered, browser_, [this] { Open(QUrl::fromLocalFile(file_)); });
        QObject::connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
        QObject::connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
        QObject::connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
            const QString title = browser_->documentTitle();
            if (!title.isEmpty()) setWindowTitle(title);
        });

        QSize size(820, 640);
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
            resize(size);
            // Centred like the program's other windows, not in the screen's corner.
            move(screen->availableGeometry().center() - rect().center());
        } else {
            resize(size);
        }
    }

    // The file is HTML whatever its name says.
    void Open(const QUrl &url) { browser_->setSource(url, QTextDocument::HtmlResource); }

    QTextBrowser *Browser() const { return browser_; }

private:
    QAction *AddAction(QToolBar *bar, const QString &name, const QString &text, const QString &themeIcon,
                       QStyle::StandardPixmap fallback, const QKeySequence &keys) {
        auto *action = bar->addAction(QIcon::fromTheme(themeIcon, style()->standardIcon(fallback)), text);
        action->setObjectName(name);
        action->setShortcut(keys);
        return action;
    }

    QString file_;
    QTextBrowser *browser_ = nullptr;
};

}  // namespace

bool HelpViewerVersionAcceptable(bool available, int major, int minor) {
    if (!available) return false;
    return major > 4 || (major == 4 && minor >= 73);
}

QSet<int> HelpTopicNumbers(const QString &html) {
    static const QRegularExpression topicId(QStringLiteral(R"(\bid\s*=\s*(["'])topic-(\d{1,9})\1)"),
                                            QRegularExpression::CaseInsensitiveOption);
    QSet<int> topics;
    for (auto it = topicId.globalMatch(html); it.hasNext();) topics.insert(it.next().captured(2).toInt());
    return topics;
}

THelpViewer::THelpViewer() = default;

THelpViewer::~THelpViewer() { CloseAll(); }

bool THelpViewer::ShowTopic(const QString &helpFile, int topic) {
    const QString path = QFileInfo(helpFile).absoluteFilePath();
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.readAll();
    auto decoder = QStringDecoder::decoderForHtml(bytes);
    if (!decoder.isValid()) decoder = QStringDecoder(QStringDecoder::Utf8);
    const bool found = HelpTopicNumbers(decoder(bytes)).contains(topic);

    QPointer<QWidget> &slot = windows_[path];
    if (!slot) slot = new THelpWindow(path);
    auto *window = static_cast<THelpWindow *>(slot.data());

    // Help asked for from a modal dialog must stay usable while the dialog
    // runs: a window belonging to the dialog is not blocked by it.
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && window->parentWidget() != modal && window != modal) {
        const QRect geometry = window->geometry();
        const bool wasVisible = window->isVisible();
        window->setParent(modal, window->windowFlags());
        if (wasVisible) window->setGeometry(geometry);
    }

    QUrl url = QUrl::fromLocalFile(path);
    if (found) url.setFragment(TopicAnchor(topic));
    window->Open(url);

    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    return found;
}

void THelpViewer::CloseAll() {
    const auto windows = std::exchange(windows_, {});
    for (const QPointer<QWidget> &window : windows) {
        if (!window) continue;
        window->close();
        delete window.data();
    }
}

QTextBrowser *THelpViewer::Browser(const QString &helpFile) const {
    const QPointer<QWidget> window = windows_.value(QFileInfo(helpFile).absoluteFilePath());
    return window ? static_cast<THelpWindow *>(window.data())->Browser() : nullptr;
}

int THelpViewer::OpenWindowCount() const {
    int count = 0;
    for (const QPointer<QWidget> &window : windows_)
        if (window && window->isVisible()) ++count;
    return count;
}

bool THelpViewer::Available() { return true; }
int THelpViewer::VersionMajor() { return kVersionMajor; }
int THelpViewer::VersionMinor() { return kVersionMinor; }

QString THelpViewer::TopicAnchor(int topic) { return QStringLiteral("topic-%1").arg(topic); }
