#pragma once
// The writer stage of the activity log: appends finished lines to the log
// file on its own thread and rolls over to numbered generation files.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>
#include <mutex>
#include <condition_variable>
#include <thread>
#include <variant>
#include <vector>

#include "services/core/HotLogFileDef.h"
#include "services/core/HotLogQueue.h"

class THotLogVisual;

// Lines ready for the file: their bytes (each line with CR LF) and the lines
// themselves for the Log tab. One chunk holds whole batches only.
struct THLChunk {
    QByteArray Bytes;
    QStringList Lines;
};

class THotLogWriter {
public:
    THotLogWriter(THLFileDef def, THotLogVisual &feedback);
    ~THotLogWriter();  // Stop()
    THotLogWriter(const THotLogWriter &) = delete;
    THotLogWriter &operator=(const THotLogWriter &) = delete;

    // Starts the thread and waits until it has opened the log file or has
    // given up; true when it runs.
    bool Start();
    bool Running() const { return running_.load(std::memory_order_acquire); }

    // Queues lines behind everything queued before; dropped once the writer
    // has ended.
    void Push(THLChunk chunk);
    // Queues a roll-over unless one is still waiting.
    void RequestRollOver();
    // Writes what is queued, closes the file and ends the thread.
    void Stop();

    QString CurrentFileName() const;

    // The extension of the generation file that follows in def's folder
    // (".001" when there is none yet): the number after the highest one
    // present, keeping all; with MaxGenerations, after deleting the oldest
    // and renumbering the rest from 001. ".~og" when no number is left.
    static QString NextGeneration(const THLFileDef &def);

private:
    struct RollOver {};
    struct Quit {};
    using Item = std::variant<THLChunk, RollOver, Quit>;

    void Run();
    bool Open();
    bool DoRollOver();
    void Finish();

    THLFileDef def_;
    THotLogVisual &feedback_;
    QFile file_;
    THLQueue<Item> queue_;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<bool> rollPending_{false};

    mutable std::mutex stateMutex_;
    std::condition_variable startDone_;
    bool startFinished_ = false;
    QString currentFile_;
};
