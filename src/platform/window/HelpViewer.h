#pragma once
// The program's own help viewer. A help file is one HTML document (UTF-8,
// declared by its meta charset) in which every topic is an element with the
// id "topic-<number>". Each help file gets one non-modal window with back,
// forward and home; showing another topic of the same file reuses it.
// Asked for while a modal dialog runs, the window joins that dialog so that
// it can still be used. Destroy the viewer before the application object.

#include <QHash>
#include <QPointer>
#include <QSet>
#include <QString>

class QTextBrowser;
class QWidget;

// The program uses help only when the viewer is there and at least 4.73.
bool HelpViewerVersionAcceptable(bool available, int major, int minor);

// The topic numbers a help document offers.
QSet<int> HelpTopicNumbers(const QString &html);

class THelpViewer {
public:
    THelpViewer();
    ~THelpViewer();  // closes its windows

    THelpViewer(const THelpViewer &) = delete;
    THelpViewer &operator=(const THelpViewer &) = delete;

    // Opens (or brings forward) the window of helpFile at the topic. False
    // when the file cannot be read, or when it has no such topic; the window
    // then shows the file's start.
    bool ShowTopic(const QString &helpFile, int topic);

    // Closes every help window this viewer opened.
    void CloseAll();

    // The browser of the open window for helpFile, or nullptr.
    QTextBrowser *Browser(const QString &helpFile) const;
    int OpenWindowCount() const;

    static bool Available();
    static int VersionMajor();
    static int VersionMinor();
    static QString TopicAnchor(int topic);  // "topic-1003"

private:
    QHash<QString, QPointer<QWidget>> windows_;  // by absolute file path
};
