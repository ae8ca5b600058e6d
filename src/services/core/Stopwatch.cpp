#include "services/core/Stopwatch.h"

#include <utility>

#include "platform/core/GermanFormat.h"

TQTimer::TQTimer(Counter counter, qint64 frequency) : counter_(std::move(counter)), frequency_(frequency) {}

void TQTimer::ClearMarks() { marks_.clear(); }

void TQTimer::StartMark() { marks_.push_back({counter_(), std::nullopt}); }

void TQTimer::StopMark() {
    const qint64 now = counter_();
    for (auto it = marks_.rbegin(); it != marks_.rend(); ++it) {
        if (!it->stop) {
            it->stop = now;
            return;
        }
    }
}

std::optional<double> TQTimer::Elapsed(int index) const {
    if (index < 0 || index >= Count() || frequency_ <= 0) return std::nullopt;
    const Mark &mark = marks_[size_t(index)];
    const qint64 stop = mark.stop ? *mark.stop : counter_();
    return double(stop - mark.start) / double(frequency_);
}

QString TQTimer::ElapsedText(int index) const {
    const auto seconds = Elapsed(index);
    return seconds ? FormatSeconds(*seconds, AutoUnit) : QString();
}

QString TQTimer::FormatSeconds(double seconds, bool autoUnit) {
    struct Unit {
        const char16_t *name;
        double factor;
    };
    static constexpr Unit kUnits[] = {{u"s.", 1.0}, {u"ms", 1e3}, {u"\u00B5s", 1e6}, {u"ns", 1e9}};
    const Unit *unit = &kUnits[0];
    if (autoUnit) {
        unit = &kUnits[3];  // when none fits
        for (const Unit &u : kUnits) {
            const double v = seconds * u.factor;
            if (v > 100.0 || (v > 0.1 && v < 99.9)) {
                unit = &u;
                break;
            }
        }
    }
    return de::FixedText(seconds * unit->factor, 9) + QLatin1Char(' ') + QString::fromUtf16(unit->name);
}
