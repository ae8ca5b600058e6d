#include <QtTest>

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>

#include "platform/window/HelpViewer.h"

namespace {

const QString kHelpFile = QStringLiteral(TRESORO_HELP_FILE);

// The block carrying an anchor, or an invalid block.
QTextBlock AnchorBlock(const QTextDocument *doc, const QString &anchor) {
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().anchorNames().contains(anchor)) return block;
    return {};
}

// Whether the start of the topic lies in the visible part of the browser.
bool TopicVisible(QTextBrowser *browser, int topic) {
    const QTextBlock block = AnchorBlock(browser->document(), THelpViewer::TopicAnchor(topic));
    if (!block.isValid()) return false;
    const qreal y = browser->document()->documentLayout()->blockBoundingRect(block).top();
    const int top = browser->verticalScrollBar()->value();
    return y >= top && y < top + browser->viewport()->height();
}

QString ReadHelpFile(bool *validUtf8 = nullptr) {
    QFile file(kHelpFile);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    auto decoder = QStringDecoder::decoderForHtml(bytes);
    const QString text = decoder.isValid() ? decoder(bytes) : QString();
    if (validUtf8)
        *validUtf8 = decoder.isValid() && !decoder.hasError() && QString::fromLatin1(decoder.name()) == u"UTF-8";
    return text;
}

// Follows the blocked state a window is told about.
class BlockWatch : public QObject {
public:
    bool blocked = false;
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::WindowBlocked) blocked = true;
        if (event->type() == QEvent::WindowUnblocked) blocked = false;
        return false;
    }
};

QAction *Action(QTextBrowser *browser, const char *name) {
    return browser->window()->findChild<QAction *>(QString::fromLatin1(name));
}

}  // namespace

class TestHelpViewer : public QObject {
    Q_OBJECT
private slots:
    void versionCheck_data() {
        QTest::addColumn<bool>("available");
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<bool>("acceptable");
        QTest::newRow("4.72") << true << 4 << 72 << false;
        QTest::newRow("4.73") << true << 4 << 73 << true;
        QTest::newRow("4.100") << true << 4 << 100 << true;
        QTest::newRow("5.0") << true << 5 << 0 << true;
        QTest::newRow("3.99") << true << 3 << 99 << false;
        QTest::newRow("not available") << false << 5 << 0 << false;
    }
    void versionCheck() {
        QFETCH(bool, available);
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(bool, acceptable);
        QCOMPARE(HelpViewerVersionAcceptable(available, major, minor), acceptable);
    }
    void ownViewerPassesTheCheck() {
        QVERIFY(HelpViewerVersionAcceptable(THelpViewer::Available(), THelpViewer::VersionMajor(),
                                            THelpViewer::VersionMinor()));
    }

    void topicNumbersOfADocument() {
        const QString html = QStringLiteral(
            "<h2 id=\"topic-1\">a</h2><div ID='topic-22'>b</div><p id=\"topic-3x\">c</p>"
            "<a href=\"#topic-4\">d</a><span id=\"sicherung\">e</span><p class=\"topic-5\">f</p>");
        QCOMPARE(HelpTopicNumbers(html), (QSet<int>{1, 22}));
    }

    void helpFileHasEveryTopic_data() {
        QTest::addColumn<int>("topic");
        for (int topic : {1000, 1001, 1002, 1003, 1004, 1005, 1006, 1011, 1012, 2000, 3000, 9001, 9004})
            QTest::addRow("%d", topic) << topic;
    }
    void helpFileHasEveryTopic() {
        QFETCH(int, topic);
        QVERIFY(HelpTopicNumbers(ReadHelpFile()).contains(topic));
    }

    void helpFileIsUtf8AndItsLinksResolve() {
        bool utf8 = false;
        const QString html = ReadHelpFile(&utf8);
        QVERIFY(!html.isEmpty());
        QVERIFY(utf8);

        QSet<QString> ids;
        static const QRegularExpression idAttr(QStringLiteral(R"re(\bid="([^"]+)")re"));
        for (auto it = idAttr.globalMatch(html); it.hasNext();) ids.insert(it.next().captured(1));
        static const QRegularExpression link(QStringLiteral(R"re(href="#([^"]+)")re"));
        for (auto it = link.globalMatch(html); it.hasNext();) {
            const QString target = it.next().captured(1);
            QVERIFY2(ids.contains(target), qPrintable(target));
        }

        // The start page leads to every other topic.
        const qsizetype start = html.indexOf(QStringLiteral("id=\"topic-9001\""));
        const qsizetype end = html.indexOf(QStringLiteral("<h2"), start);
        QVERIFY(start >= 0 && end > start);
        const QString contents = html.mid(start, end - start);
        for (int topic : HelpTopicNumbers(html)) {
            if (topic == 9001) continue;
            QVERIFY2(contents.contains(QStringLiteral("href=\"#topic-%1\"").arg(topic)), qPrintable(QString::number(topic)));
        }
    }

    void opensAtTheTopic() {
        THelpViewer viewer;
        QVERIFY(viewer.ShowTopic(kHelpFile, 1003));
        QTextBrowser *browser = viewer.Browser(kHelpFile);
        QVERIFY(browser);
        QVERIFY(QTest::qWaitForWindowExposed(browser->window()));
        QCOMPARE(viewer.OpenWindowCount(), 1);
        QVERIFY(browser->verticalScrollBar()->value() > 0);
        QVERIFY(TopicVisible(browser, 1003));
        QVERIFY(!TopicVisible(browser, 9001));
        const QTextBlock heading = AnchorBlock(browser->document(), THelpViewer::TopicAnchor(1003));
        QVERIFY(heading.text().contains(QStringLiteral("Zugangsdaten")));
        QVERIFY(!browser->window()->windowTitle().isEmpty());
    }

    void unknownTopicShowsTheStart() {
        THelpViewer viewer;
        QVERIFY(viewer.ShowTopic(kHelpFile, 1006));
        QTextBrowser *browser = viewer.Browser(kHelpFile);
        QVERIFY(QTest::qWaitForWindowExposed(browser->window()));
        QVERIFY(browser->verticalScrollBar()->value() > 0);

        QVERIFY(!viewer.ShowTopic(kHelpFile, 4711));
        QCOMPARE(viewer.Browser(kHelpFile), browser);  // the same window
        QVERIFY(browser->isVisible());
        QCOMPARE(browser->verticalScrollBar()->value(), 0);
    }

    void missingFileOpensNothing_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("missing") << QStringLiteral("/nicht/vorhanden/tresoro.chm");
        QTest::newRow("folder") << QDir::tempPath();
    }
    void missingFileOpensNothing() {
        QFETCH(QString, path);
        THelpViewer viewer;
        QVERIFY(!viewer.ShowTopic(path, 9001));
        QCOMPARE(viewer.OpenWindowCount(), 0);
        QVERIFY(!viewer.Browser(path));
    }

    void backForwardAndHome() {
        THelpViewer viewer;
        QVERIFY(viewer.ShowTopic(kHelpFile, 1001));
        QTextBrowser *browser = viewer.Browser(kHelpFile);
        QVERIFY(QTest::qWaitForWindowExposed(browser->window()));
        QAction *back = Action(browser, "ActionHelpBack");
        QAction *forward = Action(browser, "ActionHelpForward");
        QAction *home = Action(browser, "ActionHelpHome");
        QVERIFY(back && forward && home);
        QVERIFY(!back->isEnabled());

        QVERIFY(viewer.ShowTopic(kHelpFile, 1012));
        QVERIFY(TopicVisible(browser, 1012));
        QVERIFY(back->isEnabled());

        back->trigger();
        QVERIFY(TopicVisible(browser, 1001));
        QVERIFY(!TopicVisible(browser, 1012));
        QVERIFY(forward->isEnabled());
        forward->trigger();
        QVERIFY(TopicVisible(browser, 1012));

        home->trigger();
        QCOMPARE(browser->verticalScrollBar()->value(), 0);
        QVERIFY(TopicVisible(browser, 9001));
    }

    void reopensAfterTheUserClosedIt() {
        THelpViewer viewer;
        QVERIFY(viewer.ShowTopic(kHelpFile, 1003));
        QTextBrowser *browser = viewer.Browser(kHelpFile);
        QVERIFY(browser->window()->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(viewer.OpenWindowCount(), 0);

        QVERIFY(viewer.ShowTopic(kHelpFile, 1002));
        QCOMPARE(viewer.Browser(kHelpFile), browser);
        QVERIFY(browser->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(browser->window()));
        QVERIFY(TopicVisible(browser, 1002));
    }

    void usableFromAModalDialog() {
        THelpViewer viewer;
        QVERIFY(viewer.ShowTopic(kHelpFile, 9001));
        QPointer<QWidget> window = viewer.Browser(kHelpFile)->window();
        BlockWatch watch;
        window->installEventFilter(&watch);

        QDialog dialog;
        dialog.setModal(true);
        bool shown = false;
        bool blockedBefore = false;
        bool blockedAfter = true;
        QTimer::singleShot(0, &dialog, [&] {
            blockedBefore = watch.blocked;
            shown = viewer.ShowTopic(kHelpFile, 2000);
            QCoreApplication::processEvents();
            blockedAfter = watch.blocked;
            dialog.accept();
        });
        dialog.exec();
        QVERIFY(shown);
        QVERIFY(blockedBefore);  // the dialog does block other windows
        QVERIFY(!blockedAfter);
        QVERIFY(window);  // the same window, not a new one
        QVERIFY(window->isVisible());  // and it outlives the dialog's run
        QVERIFY(TopicVisible(viewer.Browser(kHelpFile), 2000));
    }

    void closeAllClosesEveryWindow() {
        QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral("tresoro.chm"));
        QVERIFY(QFile::copy(kHelpFile, copy));

        THelpViewer viewer;
        QVERIFY(viewer.ShowTopic(kHelpFile, 9001));
        QVERIFY(viewer.ShowTopic(copy, 1004));
        QVERIFY(viewer.ShowTopic(kHelpFile, 1005));  // reuses the first window
        QCOMPARE(viewer.OpenWindowCount(), 2);
        QPointer<QWidget> first = viewer.Browser(kHelpFile)->window();
        QPointer<QWidget> second = viewer.Browser(copy)->window();
        QVERIFY(first != second);

        viewer.CloseAll();
        QCOMPARE(viewer.OpenWindowCount(), 0);
        QVERIFY(!viewer.Browser(kHelpFile));
        QVERIFY(!viewer.Browser(copy));
        QVERIFY(!first);
        QVERIFY(!second);

        QVERIFY(viewer.ShowTopic(kHelpFile, 1000));  // usable again afterwards
        QCOMPARE(viewer.OpenWindowCount(), 1);
    }
};

QTEST_MAIN(TestHelpViewer)
#include "test_help_viewer.moc"
