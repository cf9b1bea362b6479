#include "foundation/Clock.h"

namespace lumvard {
namespace {
std::function<QDateTime()> &source() {
    static std::function<QDateTime()> s;
    return s;
}
} // namespace

QDateTime Now() {
    const auto &s = source();
    QDateTime t = s ? s() : QDateTime::currentDateTime();
    // The system works in whole seconds: stored times carry no milliseconds.
    return t.addMSecs(-t.time().msec());
}

QDate Today() {
    return Now().date();
}

void setClockSource(std::function<QDateTime()> s) {
    source() = std::move(s);
}

ScopedClock::ScopedClock(const QDateTime &fixed)
    : m_now(fixed) {
    setClockSource([this] { return m_now; });
}

ScopedClock::~ScopedClock() {
    setClockSource({});
}

void ScopedClock::set(const QDateTime &fixed) {
    m_now = fixed;
}

} // namespace lumvard
