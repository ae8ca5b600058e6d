#pragma once
// The feedback stage of the activity log: shows the lines the writer has
// written in the Log tab's text area. Its thread hands each update to the
// user-interface thread and waits for it, so updates never pile up in the
// event queue: batches that arrive meanwhile go out together in the next
// single append. Until a text area is attached for the first time, the
// lines of the run (the header) are kept so that the tab shows the run from
// its start.

#include <QStringList>
#include <memory>
#include <thread>

#include <QObject>

// Where the feedback stage shows lines: the Log tab's text area in the
// window program. Lives on the user-interface thread.
class THotLogView : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Appends lines (separated by "\n"); scrolls to the end when asked.
    virtual void AppendLines(const QString &text, bool scrollToEnd) = 0;
};

class THotLogVisual {
public:
    THotLogVisual();
    ~THotLogVisual();  // Stop()
    THotLogVisual(const THotLogVisual &) = delete;
    THotLogVisual &operator=(const THotLogVisual &) = delete;

    // Writer thread: lines that have reached the file.
    void Offer(QStringList lines);

    // User-interface thread.
    void Attach(THotLogView *view);
    void Detach();
    void SetAutoScroll(bool on);
    // Ends the thread without waiting for the user-interface thread; no
    // update is shown afterwards.
    void Stop();

    // Lines kept for the first attach at most.
    static constexpr qsizetype kMaxBacklogLines = 10'000;

private:
    struct Shared;
    struct UpdateDone;
    class Target;
    void Run();

    std::shared_ptr<Shared> shared_;
    std::unique_ptr<Target> target_;
    std::thread thread_;
    bool autoScroll_ = false;
};
