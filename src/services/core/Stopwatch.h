#pragma once
// The stopwatch TQTimer: records intervals on the high-resolution
// performance counter and formats their lengths for the log.

#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "platform/core/PerfCounter.h"

class TQTimer {
public:
    using Counter = std::function<qint64()>;

    explicit TQTimer(Counter counter = perf::Counter, qint64 frequency = perf::Frequency());

    // Chooses the unit that shows the value best; off: always seconds.
    bool AutoUnit = true;

    void ClearMarks();
    // Begins a new interval now.
    void StartMark();
    // Ends the latest interval that is still open.
    void StopMark();

    int Count() const { return int(marks_.size()); }
    // Length of an interval in seconds; an open one is measured until now.
    std::optional<double> Elapsed(int index) const;
    // The length with nine decimals in German form and its unit, for
    // example "45,100000000 ms"; empty for an index without interval.
    QString ElapsedText(int index) const;

    static QString FormatSeconds(double seconds, bool autoUnit);

private:
    struct Mark {
        qint64 start;
        std::optional<qint64> stop;
    };
    Counter counter_;
    qint64 frequency_;
    std::vector<Mark> marks_;
};
