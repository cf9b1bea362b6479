#include "foundation/TextFormats.h"

#include <gtest/gtest.h>

using namespace lumvard;

TEST(TextFormats, GbkLengthCountsBytesAndRefusesNonGbk) {
    EXPECT_EQ(toGbk(QStringLiteral("新楼层")).toHex(), QByteArray("d0c2c2a5b2e3"));
    EXPECT_EQ(gbkLength(QStringLiteral("A新")), 3);
    EXPECT_EQ(gbkLength(QStringLiteral("房😀")), -1);
    EXPECT_EQ(fromGbk(QByteArray::fromHex("d0c2c2a5b2e3")), QStringLiteral("新楼层"));
}

TEST(TextFormats, GeneralFormIsShortestWithFifteenDigits) {
    const struct {
        double value;
        const char *text;
    } cases[] = {
        {180 * 0.85, "153"},
        {168 * 0.85, "142.8"},
        {0.1 + 0.2, "0.3"},
        {1234567.5, "1234567.5"},
        {-0.0, "0"},
        {-12.5, "-12.5"},
        {1.0 / 3.0, "0.333333333333333"},
        {100000000000000.0, "100000000000000"},
        {1e20, "1E20"},
        {0.0001, "0.0001"},
        {0.00001, "1E-5"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatGeneral(c.value), QString::fromUtf8(c.text)) << c.value;
}

TEST(TextFormats, MoneyIsYuanSignAndTwoDecimalsTrimmed) {
    EXPECT_EQ(formatMoney(168), QStringLiteral("￥168.00"));
    EXPECT_EQ(formatMoney(142.8), QStringLiteral("￥142.80"));
    EXPECT_EQ(formatMoney(123456789.125), QStringLiteral("￥123456789.13"));
    EXPECT_EQ(formatMoney(-5), QStringLiteral("￥-5.00"));
}

TEST(TextFormats, PatternsOfGridSummaries) {
    const struct {
        const char *pattern;
        double value;
        const char *text;
    } cases[] = {
        {"共0条记录", 0, "共0条记录"},
        {"共0条记录", 12, "共12条记录"},
        {"小计0个", 3, "小计3个"},
        {"小计,0.00元", 12345.6, "小计12,345.60元"},
        {"小计,0.00元", 0, "小计0.00元"},
        {"定金小计,0.00元", 1234567.891, "定金小计1,234,567.89元"},
        {"小计,0.00", 999.995, "小计1,000.00"},
        {"小计,0.00元", -1500, "小计-1,500.00元"},
        {"小计,0.00元", -0.001, "小计0.00元"},
        {",0", 1280, "1,280"},
        {",0", 1279.5, "1,280"},
        {",0", -1279.5, "-1,280"},
        {",0", 999, "999"},
        {"0.00", 1.005, "1.01"}, // stored as 1.00499…: rounds as read
        {"0.00", 0.125, "0.13"},
        {"#.##", 0.5, ".5"},
        {"0.0#", 2.5, "2.5"},
        {"0.0#", 2.567, "2.57"},
        {"000", 7, "007"},
        {"\"0=\"0", 5, "0=5"},
        {"合计", 5, "合计"},
        {"", 142.8, "142.8"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatPattern(QString::fromUtf8(c.pattern), c.value), QString::fromUtf8(c.text))
            << c.pattern << " " << c.value;
}

TEST(TextFormats, DatesAndMonths) {
    const QDateTime t(QDate(2026, 3, 7), QTime(9, 5, 2));
    EXPECT_EQ(formatDate(t.date()), QStringLiteral("2026-03-07"));
    EXPECT_EQ(formatDateTime(t), QStringLiteral("2026-03-07 09:05:02"));
    EXPECT_EQ(formatMonth(t.date()), QStringLiteral("2026-03"));
    EXPECT_EQ(formatDate(QDate()), QString());
    EXPECT_EQ(formatDateTime(QDateTime()), QString());
}

TEST(TextFormats, ParseNumberAcceptsOnlyPlainDecimalNumbers) {
    const struct {
        const char *text;
        bool ok;
        double value;
    } cases[] = {
        {"168", true, 168},  {" 142.8 ", true, 142.8}, {"-3.5", true, -3.5}, {"1e3", true, 1000},
        {".5", true, 0.5},   {"", false, 0},           {"  ", false, 0},     {"1,280", false, 0},
        {"142,8", false, 0}, {"12a", false, 0},        {"nan", false, 0},    {"inf", false, 0},
        {"１２", false, 0},
    };
    for (const auto &c : cases) {
        bool ok = !c.ok;
        const double v = parseNumber(QString::fromUtf8(c.text), &ok);
        EXPECT_EQ(ok, c.ok) << c.text;
        EXPECT_DOUBLE_EQ(v, c.value) << c.text;
    }
}
