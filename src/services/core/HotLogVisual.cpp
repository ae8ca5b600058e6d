#include "services/core/HotLogVisual.h"

#include <QMetaObject>
#include <QPointer>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#include "services/core/HotLogQueue.h"

struct THotLogVisual::Shared {
    enum class Mode { Collecting, Attached, Off };

    std::mutex mutex;
    std::condition_variable wake;
    Mode mode = Mode::Collecting;
    std::vector<QStringList> queue;
    std::deque<QStringList> backlog;
    qsizetype backlogLines = 0;
    bool updatePending = false;  // an update waits for or runs on the user-interface thread
    bool stop = false;
};

// Lives on the user-interface thread and receives the updates there; posted
// updates die with it.
class THotLogVisual::Target : public QObject {
public:
    QPointer<THotLogView> memo;
    bool autoScroll = false;

    void Show(const QString &text) {
        THotLogView *view = memo.data();
        if (!view) return;
        try {
            view->AppendLines(text, autoScroll);
        } catch (...) {
            // The line is in the file; the tab may miss it.
        }
    }
};

// Marks the pending update as finished when the posted call has run or has
// been discarded with its receiver.
struct THotLogVisual::UpdateDone {
    explicit UpdateDone(std::shared_ptr<Shared> s) : shared(std::move(s)) {}
    ~UpdateDone();
    std::shared_ptr<Shared> shared;
};

THotLogVisual::THotLogVisual() : shared_(std::make_shared<Shared>()) {}

THotLogVisual::~THotLogVisual() { Stop(); }

void THotLogVisual::Offer(QStringList lines) {
    Shared &s = *shared_;
    bool wake = false;
    {
        std::lock_guard lock(s.mutex);
        switch (s.mode) {
        case Shared::Mode::Collecting:
            s.backlogLines += lines.size();
            s.backlog.push_back(std::move(lines));
            while (s.backlog.size() > 1 && s.backlogLines > kMaxBacklogLines) {
                s.backlogLines -= s.backlog.front().size();
                s.backlog.pop_front();
            }
            break;
        case Shared::Mode::Attached:
            s.queue.push_back(std::move(lines));
            wake = s.queue.size() == 1 && !s.updatePending;
            break;
        case Shared::Mode::Off:
            break;
        }
    }
    if (wake) s.wake.notify_one();
}

void THotLogVisual::Attach(THotLogView *memo) {
    if (!memo) return;
    {
        std::lock_guard lock(shared_->mutex);
        if (shared_->stop) return;
    }
    if (!target_) {
        target_ = std::make_unique<Target>();
        target_->autoScroll = autoScroll_;
    }
    target_->memo = memo;
    if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
    {
        std::lock_guard lock(shared_->mutex);
        if (shared_->mode == Shared::Mode::Collecting) {
            for (QStringList &lines : shared_->backlog) shared_->queue.push_back(std::move(lines));
            shared_->backlog.clear();
            shared_->backlogLines = 0;
        }
        shared_->mode = Shared::Mode::Attached;
    }
    shared_->wake.notify_one();
}

void THotLogVisual::Detach() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->mode = Shared::Mode::Off;
        shared_->queue.clear();
        shared_->backlog.clear();
        shared_->backlogLines = 0;
    }
    if (target_) target_->memo = nullptr;  // updates already posted find no text area
}

void THotLogVisual::SetAutoScroll(bool on) {
    autoScroll_ = on;
    if (target_) target_->autoScroll = on;
}

void THotLogVisual::Stop() {
    Detach();
    {
        std::lock_guard lock(shared_->mutex);
        shared_->stop = true;
    }
    shared_->wake.notify_all();
    if (thread_.joinable()) thread_.join();
    target_.reset();  // discards an update still posted
}

THotLogVisual::UpdateDone::~UpdateDone() {
    {
        std::lock_guard lock(shared->mutex);
        shared->updatePending = false;
    }
    shared->wake.notify_all();
}

void THotLogVisual::Run() {
    NameThisThread("hlvisual");
    Shared &s = *shared_;
    std::vector<QStringList> batches;
    std::unique_lock lock(s.mutex);
    for (;;) {
        s.wake.wait(lock, [&s] { return s.stop || (!s.queue.empty() && !s.updatePending); });
        if (s.stop) return;
        batches.swap(s.queue);
        s.updatePending = true;
        lock.unlock();

        QString text;
        bool first = true;
        for (const QStringList &lines : batches) {
            for (const QString &line : lines) {
                qsizetype n = line.size();
                while (n > 0 && (line.at(n - 1) == QLatin1Char('\r') || line.at(n - 1) == QLatin1Char('\n'))) --n;
                if (!first) text += QLatin1Char('\n');
                text += QStringView(line).first(n);
                first = false;
            }
        }
        batches.clear();
        auto done = std::make_shared<UpdateDone>(shared_);
        Target *target = target_.get();
        QMetaObject::invokeMethod(
            target, [target, text = std::move(text), done] { target->Show(text); }, Qt::QueuedConnection);
        done.reset();  // from now on the posted call holds the only reference
        lock.lock();
    }
}
