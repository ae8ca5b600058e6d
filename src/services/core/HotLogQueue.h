#pragma once
// The first-in-first-out queue in front of each stage of the activity log.
// A stage sleeps until something arrives and then takes everything queued
// at once, so a burst costs one wake-up rather than one per line.

#include <condition_variable>
#if defined(__linux__)
#include <pthread.h>
#endif
#include <mutex>
#include <utility>
#include <vector>

// Names the calling worker thread for debuggers and profilers.
inline void NameThisThread(const char *name) {
#if defined(__linux__)
    pthread_setname_np(pthread_self(), name);
#else
    (void)name;
#endif
}

template <typename T>
class THLQueue {
public:
    void Push(T item) {
        bool wake;
        {
            std::lock_guard lock(mutex_);
            items_.push_back(std::move(item));
            wake = std::exchange(sleeping_, false);  // one wake-up is enough
        }
        if (wake) ready_.notify_one();
    }

    // Waits for at least one item and moves all queued items into into,
    // which must be empty (its capacity is reused).
    void TakeAll(std::vector<T> &into) {
        std::unique_lock lock(mutex_);
        while (items_.empty()) {
            sleeping_ = true;
            ready_.wait(lock);
        }
        sleeping_ = false;
        into.swap(items_);
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::vector<T> items_;
    bool sleeping_ = false;  // the consumer waits: the next push must wake it
};
