#include "foundation/Clock.h"

#include <gtest/gtest.h>

using namespace lumvard;

TEST(Clock, ScopedClockFixesNowAndDropsMilliseconds) {
    const QDateTime fixed(QDate(2026, 12, 11), QTime(14, 0, 0, 250));
    {
        ScopedClock clock(fixed);
        EXPECT_EQ(Now(), QDateTime(QDate(2026, 12, 11), QTime(14, 0, 0)));
        clock.set(fixed.addDays(1));
        EXPECT_EQ(Today(), QDate(2026, 12, 12));
    }
    EXPECT_NE(Today(), QDate(2026, 12, 12));
}
