#pragma once
// The system's clock. Stays, numbers, reports and filters depend on the day, so every reading of the
// current date or time goes through here; tests replace the source.
#include <QDateTime>
#include <functional>

namespace lumvard {

QDateTime Now();
QDate Today();

// Replaces the clock; an empty function restores the system clock.
void setClockSource(std::function<QDateTime()> source);

// Fixes the clock for the lifetime of the object (tests).
class ScopedClock {
public:
    explicit ScopedClock(const QDateTime &fixed);
    ~ScopedClock();
    void set(const QDateTime &fixed);
    ScopedClock(const ScopedClock &) = delete;
    ScopedClock &operator=(const ScopedClock &) = delete;

private:
    QDateTime m_now;
};

} // namespace lumvard
