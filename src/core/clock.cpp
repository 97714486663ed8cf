#include "core/clock.h"

#include "platform/system.h"

namespace {
struct CounterInfo {
    bool usable = false;
    double frequency = 0;
    CounterInfo() { usable = platform::QueryCounterFrequency(frequency) && frequency > 0; }
};
const CounterInfo& Counter() {
    static CounterInfo info;
    return info;
}
}  // namespace

double Now() {
    const CounterInfo& c = Counter();
    if (c.usable) return platform::QueryCounter() * 1000.0 / c.frequency;
    return platform::MultimediaTimeMs();
}
