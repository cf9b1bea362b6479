#include "data/DepositSupplement.h"

#include "data/DM.h"
#include "platform/Command.h"
#include "support/DataModuleTest.h"

using namespace lumvard;

namespace {

struct AmountCase {
    const char *typed;
    double value;
    bool accepted;
    const char *refusal; // start of the message when refused
};

TEST(ReadSupplementAmount, TakesMoneyAndRefusesWhatIsNoAmount) {
    const AmountCase cases[] = {
        {"100", 100, true, ""},
        {" 50.5 ", 50.5, true, ""}, // decimals are money, not dropped
        {"0.01", 0.01, true, ""},
        {"", 0, false, "押金不能为零!"},
        {"   ", 0, false, "押金不能为零!"},
        {"0", 0, false, "押金不能为零!"},
        {"0.0", 0, false, "押金不能为零!"},
        {"abc", 0, false, "补交金额\"abc\"不是有效的数字!"},
        {"100元", 0, false, "补交金额\"100元\"不是有效的数字!"},
        {"1,000", 0, false, "补交金额\"1,000\"不是有效的数字!"},
        {"-20", 0, false, "补交金额不能为负数!"},
    };
    for (const AmountCase &c : cases) {
        const SupplementAmount a = ReadSupplementAmount(QString::fromUtf8(c.typed));
        EXPECT_EQ(a.accepted(), c.accepted) << c.typed;
        EXPECT_EQ(a.refusal, QString::fromUtf8(c.refusal)) << c.typed;
        if (c.accepted) {
            EXPECT_DOUBLE_EQ(a.value, c.value) << c.typed;
        }
    }
}

class DepositSupplementTest : public test::DataModuleTest {
protected:
    void SetUp() override {
        test::DataModuleTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        openWith({QStringLiteral("RZK")});
        if (HasFatalFailure()) return;
        checkIn("00000001", 162, 200.1, "否");
        checkIn("00000002", 180, 500, "是");
    }
    void checkIn(const char *number, double actual, double deposit, const char *closed) {
        platform::Command::run(
            db,
            QStringLiteral(
                "insert into RZK (F104_01, F104_02, F104_03, F104_04, F104_05, F104_06, F104_07, "
                "F104_08, F104_09, F104_15, F104_16) values (:n, '0101', '标准间', 180, 0.9, :a, :d, "
                ":t, '张三', :at, :c)"),
            {{QStringLiteral("n"), QString::fromLatin1(number)},
             {QStringLiteral("a"), actual},
             {QStringLiteral("d"), deposit},
             {QStringLiteral("t"), actual + deposit},
             {QStringLiteral("at"), QDateTime(QDate(2026, 3, 1), QTime(12, 0))},
             {QStringLiteral("c"), QString::fromUtf8(closed)}});
    }

    std::pair<double, double> depositAndTotal(const char *number) {
        QSqlQuery q = db.run(QStringLiteral("select F104_07, F104_08 from RZK where F104_01=:n"),
                             {{QStringLiteral("n"), QString::fromLatin1(number)}});
        std::pair<double, double> v{-1, -1};
        if (q.next()) v = {q.value(0).toDouble(), q.value(1).toDouble()};
        q.finish();
        return v;
    }
};

TEST_P(DepositSupplementTest, DepositAndTotalGrowFromTheDepositSeen) {
    ASSERT_TRUE(SupplementDeposit(dm->DBConn, QStringLiteral("00000001"), 200.1, 99.9));
    const auto [deposit, total] = depositAndTotal("00000001");
    EXPECT_NEAR(deposit, 300, 1e-9);
    EXPECT_NEAR(total, 462, 1e-9); // actual price + new deposit
    // A second supplement starts from the new deposit.
    ASSERT_TRUE(SupplementDeposit(dm->DBConn, QStringLiteral("00000001"), deposit, 50.5));
    EXPECT_NEAR(depositAndTotal("00000001").first, 350.5, 1e-9);
}

TEST_P(DepositSupplementTest, NothingWrittenWhenTheRowIsNotTheOneSeen) {
    // Another workstation added 100 after this one read 200.1: this supplement must not overwrite it.
    platform::Command::run(
        db, QStringLiteral("update RZK set F104_07=300.1, F104_08=462.1 where F104_01='00000001'"));
    EXPECT_FALSE(SupplementDeposit(dm->DBConn, QStringLiteral("00000001"), 200.1, 50));
    EXPECT_EQ(depositAndTotal("00000001"), std::make_pair(300.1, 462.1));
    // A closed check-in and an unknown one take nothing.
    EXPECT_FALSE(SupplementDeposit(dm->DBConn, QStringLiteral("00000002"), 500, 50));
    EXPECT_EQ(depositAndTotal("00000002"), std::make_pair(500.0, 680.0));
    EXPECT_FALSE(SupplementDeposit(dm->DBConn, QStringLiteral("00000009"), 0, 50));
    EXPECT_FALSE(SupplementDeposit(dm->DBConn, QString(), 0, 50));
}

LUMVARD_ON_BOTH_ENGINES(DepositSupplementTest);

} // namespace
