#include "services/core/HotLogWriter.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "services/core/HotLogVisual.h"

namespace {

constexpr int kMaxGenerationNumber = 999;
constexpr qsizetype kMergeBytes = 1024 * 1024;

QString GenerationExtension(int number) { return QStringLiteral(".%1").arg(number, 3, 10, QLatin1Char('0')); }

constexpr QIODevice::OpenMode kAppend = QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered;

}  // namespace

void THLFileDef::SetAppendMode(bool on) {
    appendMode_ = on;
    if (on) maxGenerations_ = 0;
}

void THLFileDef::SetMaxGenerations(unsigned count) {
    maxGenerations_ = quint16(std::min<unsigned>(count, kMaxGenerationNumber));
    if (maxGenerations_ != 0) appendMode_ = false;
}

QString THotLogWriter::NextGeneration(const THLFileDef &def) {
    const QString fallback = QStringLiteral(".~og");
    const QDir dir(def.Folder);
    const QString prefix = def.BaseName + QLatin1Char('.');
    std::vector<int> numbers;
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.size() != prefix.size() + 3 || !name.startsWith(prefix)) continue;
        const QStringView digits = QStringView(name).sliced(prefix.size());
        if (!std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit() && c.unicode() < 128; }))
            continue;
        if (const int n = digits.toInt(); n >= 1) numbers.push_back(n);
    }
    std::sort(numbers.begin(), numbers.end());
    const auto file = [&](int n) { return def.Folder + def.BaseName + GenerationExtension(n); };

    if (const int keep = def.MaxGenerations(); keep > 0) {
        // The new file is one of the generations kept.
        while (!numbers.empty() && int(numbers.size()) >= keep) {
            if (!QFile::remove(file(numbers.front()))) return fallback;
            numbers.erase(numbers.begin());
        }
        for (int i = 0; i < int(numbers.size()); ++i) {
            if (numbers[i] != i + 1 && !QFile::rename(file(numbers[i]), file(i + 1))) return fallback;
        }
        return GenerationExtension(int(numbers.size()) + 1);
    }

    if (numbers.empty()) return GenerationExtension(1);
    if (numbers.back() < kMaxGenerationNumber) return GenerationExtension(numbers.back() + 1);
    for (int n = 1, i = 0; n <= kMaxGenerationNumber; ++n) {
        if (i < int(numbers.size()) && numbers[i] == n)
            ++i;
        else
            return GenerationExtension(n);
    }
    return fallback;
}

THotLogWriter::THotLogWriter(THLFileDef def, THotLogVisual &feedback) : def_(std::move(def)), feedback_(feedback) {}

THotLogWriter::~THotLogWriter() { Stop(); }

bool THotLogWriter::Start() {
    if (thread_.joinable()) return Running();
    thread_ = std::thread([this] { Run(); });
    std::unique_lock lock(stateMutex_);
    startDone_.wait(lock, [this] { return startFinished_; });
    return Running();
}

void THotLogWriter::Push(THLChunk chunk) {
    if (Running()) queue_.Push(std::move(chunk));
}

void THotLogWriter::RequestRollOver() {
    if (Running() && !rollPending_.exchange(true)) queue_.Push(RollOver{});
}

void THotLogWriter::Stop() {
    if (!thread_.joinable()) return;
    queue_.Push(Quit{});
    thread_.join();
}

QString THotLogWriter::CurrentFileName() const {
    std::lock_guard lock(stateMutex_);
    return currentFile_;
}

bool THotLogWriter::Open() {
    if (!def_.AppendMode() && QFileInfo(def_.FileName()).size() > 0) {
        // A fresh file for this run; the last run's file becomes a generation.
        THLFileDef generation = def_;
        generation.Extension = NextGeneration(def_);
        QFile::rename(def_.FileName(), generation.FileName());
    }
    file_.setFileName(def_.FileName());
    return file_.open(kAppend);
}

bool THotLogWriter::DoRollOver() {
    file_.close();
    const QString previous = def_.Extension;
    const bool wasSwitched = def_.SwitchedToGeneration;
    def_.Extension = NextGeneration(def_);
    def_.SwitchedToGeneration = true;
    file_.setFileName(def_.FileName());
    if (!file_.open(kAppend)) {
        // Better an oversized file than lost lines.
        def_.Extension = previous;
        def_.SwitchedToGeneration = wasSwitched;
        file_.setFileName(def_.FileName());
        if (!file_.open(kAppend)) return false;
    }
    std::lock_guard lock(stateMutex_);
    currentFile_ = def_.FileName();
    return true;
}

void THotLogWriter::Finish() {
    running_.store(false, std::memory_order_release);
    file_.close();
}

void THotLogWriter::Run() {
    NameThisThread("hlwriter");
    const bool opened = Open();
    running_.store(opened, std::memory_order_release);
    {
        std::lock_guard lock(stateMutex_);
        currentFile_ = def_.FileName();
        startFinished_ = true;
    }
    startDone_.notify_all();
    if (!opened) return;

    std::vector<Item> items;
    QByteArray merged;
    std::vector<QStringList> shown;
    for (;;) {
        queue_.TakeAll(items);
        for (size_t i = 0; i < items.size(); ++i) {
            if (auto *chunk = std::get_if<THLChunk>(&items[i])) {
                // Chunks queued together go to the file in one write.
                const QByteArray *bytes = &chunk->Bytes;
                shown.push_back(std::move(chunk->Lines));
                if (i + 1 < items.size() && std::holds_alternative<THLChunk>(items[i + 1])) {
                    merged = chunk->Bytes;
                    while (i + 1 < items.size() && merged.size() < kMergeBytes) {
                        auto *next = std::get_if<THLChunk>(&items[i + 1]);
                        if (!next) break;
                        merged += next->Bytes;
                        shown.push_back(std::move(next->Lines));
                        ++i;
                    }
                    bytes = &merged;
                }
                if (file_.write(*bytes) != bytes->size()) {
                    Finish();  // a write error ends the writer; the program goes on
                    return;
                }
                merged.clear();
                for (QStringList &lines : shown) feedback_.Offer(std::move(lines));
                shown.clear();
            } else if (std::holds_alternative<RollOver>(items[i])) {
                const bool ok = DoRollOver();
                rollPending_.store(false);
                if (!ok) {
                    Finish();
                    return;
                }
            } else {
                Finish();
                return;
            }
        }
        items.clear();
    }
}
