#include "data/FrontDesk.h"

#include "data/DM.h"
#include "data/RoomStatus.h"
#include "platform/Command.h"
#include "support/DataModuleTest.h"

using namespace lumvard;

namespace {

QDateTime at(const QDate &day, int hour, int minute) {
    return QDateTime(day, QTime(hour, minute));
}

struct StayCase {
    int daysBefore; // check-in date relative to today
    int inHour, inMinute;
    int outHour, outMinute;
    double days;
};

TEST(StayDays, CountsHalfDaysFromTheDatesAndTheHourOfDeparture) {
    const QDate today(2026, 3, 10);
    const StayCase cases[] = {
        {0, 20, 0, 23, 0, 1},    // same day, whatever the hour
        {0, 0, 5, 12, 0, 1},     //
        {1, 22, 0, 9, 0, 1},     // up to 12:59 no surcharge
        {1, 22, 0, 12, 30, 1},   //
        {1, 22, 0, 12, 59, 1},   //
        {1, 22, 0, 13, 0, 1.5},  // the half day starts at 13:00
        {1, 10, 0, 14, 0, 1.5},  //
        {1, 22, 0, 16, 59, 1.5}, //
        {1, 22, 0, 17, 0, 2},    // a whole day from 17:00
        {1, 22, 0, 23, 59, 2},   //
        {3, 8, 0, 18, 0, 4},     //
        {31, 12, 0, 11, 0, 31},  // across a month end
        {-1, 9, 0, 10, 0, 1},    // a check-in stamped after now never gives less than a day
    };
    for (const StayCase &c : cases) {
        const QDateTime in = at(today.addDays(-c.daysBefore), c.inHour, c.inMinute);
        const QDateTime out = at(today, c.outHour, c.outMinute);
        EXPECT_DOUBLE_EQ(StayDays(in, out), c.days)
            << in.toString(Qt::ISODate).toStdString() << " -> " << out.toString(Qt::ISODate).toStdString();
    }
    EXPECT_DOUBLE_EQ(RoomCharge(150, 1.5), 225);
    EXPECT_DOUBLE_EQ(RoomCharge(142.8, 2), 285.6);
}

class FrontDeskTest : public test::DataModuleTest {
protected:
    void SetUp() override {
        test::DataModuleTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        openWith({QStringLiteral("FJK"), QStringLiteral("RZK"), QStringLiteral("KRXFK")});
        if (HasFatalFailure()) return;
        for (const char *room : {"0101", "0102"})
            platform::Command::run(
                db,
                QStringLiteral("insert into FJK (F103_01, F103_02, F103_03, F103_04, F103_05) "
                               "values (:r, '标准间', '一楼', '空房间', 150)"),
                {{QStringLiteral("r"), QString::fromLatin1(room)}});
    }
    CheckIn checkIn(const QString &room) {
        CheckIn c;
        c.number = NextCheckInNumber(*dm);
        c.room = room;
        c.category = QStringLiteral("标准间");
        c.standardPrice = 150;
        c.rate = 1;
        c.actualPrice = 150;
        c.deposit = 200;
        c.total = 350;
        c.guest = QStringLiteral("张三");
        c.documentType = QStringLiteral("身份证");
        c.documentNo = QStringLiteral("110101199001011234");
        c.address = QStringLiteral("北京市东城区");
        c.operatorCode = QStringLiteral("1001");
        c.checkedInAt = QDateTime(QDate(2026, 3, 9), QTime(10, 0, 7));
        return c;
    }

    Settlement settlement(const QString &room) {
        Settlement s;
        s.number = NextSettlementNumber(*dm);
        s.room = room;
        s.category = QStringLiteral("标准间");
        s.price = 150;
        s.days = 1.5;
        s.charge = 225;
        s.operatorCode = QStringLiteral("1001");
        s.cashierTime = QDateTime(QDate(2026, 3, 10), QTime(14, 0, 0));
        s.settledOn = QDate(2026, 3, 10);
        return s;
    }

    QString roomStatus(const QString &room) {
        return scalar(QStringLiteral("select F103_04 from FJK where F103_01='%1'").arg(room)).toString();
    }
    int count(const QString &table) {
        return scalar(QStringLiteral("select count(*) from ") + table).toInt();
    }
    // The other workstation writes a check-in row of its own under a number.
    void otherCheckIn(const QString &number, const QString &room) {
        platform::Command::run(db,
                               QStringLiteral("insert into RZK (F104_01, F104_02, F104_15, F104_16) values "
                                              "(:n, :r, '2026-03-09 09:00:00', '否')"),
                               {{QStringLiteral("n"), number}, {QStringLiteral("r"), room}});
    }
};

TEST_P(FrontDeskTest, CheckInWritesTheRowAndOccupiesTheRoomTogether) {
    CheckIn c = checkIn(QStringLiteral("0101"));
    EXPECT_EQ(c.number, QStringLiteral("00000001"));
    ASSERT_TRUE(RegisterCheckIn(*dm, c));
    EXPECT_EQ(roomStatus(QStringLiteral("0101")), QStringLiteral("入住房"));
    QSqlQuery q =
        db.run(QStringLiteral("select F104_01, F104_02, F104_07, F104_08, F104_09, F104_13, F104_15, "
                              "F104_16, F104_17 from RZK"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("00000001"));
    EXPECT_EQ(q.value(1).toString(), QStringLiteral("0101"));
    EXPECT_DOUBLE_EQ(q.value(2).toDouble(), 200);
    EXPECT_DOUBLE_EQ(q.value(3).toDouble(), 350);
    EXPECT_EQ(q.value(4).toString(), QStringLiteral("张三"));
    EXPECT_EQ(q.value(5).toInt(), 0);
    EXPECT_EQ(platform::Connection::dateTimeFromStorage(q.value(6)), c.checkedInAt); // to the second
    EXPECT_EQ(q.value(7).toString(), QStringLiteral("否"));
    EXPECT_EQ(q.value(8).toInt(), 0);
    EXPECT_FALSE(q.next());
    q.finish();
    EXPECT_EQ(NextCheckInNumber(*dm), QStringLiteral("00000002"));
}

TEST_P(FrontDeskTest, RoomTakenMeanwhileWritesNothing) {
    CheckIn c = checkIn(QStringLiteral("0101"));
    // The other workstation reserves the room after ours picked it.
    exec(QStringLiteral("update FJK set F103_04='预定房' where F103_01='0101'"));
    EXPECT_FALSE(RegisterCheckIn(*dm, c));
    EXPECT_EQ(count(QStringLiteral("RZK")), 0);
    EXPECT_EQ(roomStatus(QStringLiteral("0101")), QStringLiteral("预定房"));
}

TEST_P(FrontDeskTest, TwoWorkstationsRacingForOneRoom) {
    TFDM other; // the second workstation's data module
    ASSERT_TRUE(other.OpenConnection(other.DBConn, scratch->settings()));
    CheckIn mine = checkIn(QStringLiteral("0101"));
    CheckIn theirs = checkIn(QStringLiteral("0101"));
    theirs.guest = QStringLiteral("李四");
    ASSERT_EQ(mine.number, theirs.number); // both picked the room with the same number
    ASSERT_TRUE(RegisterCheckIn(other, theirs));
    EXPECT_FALSE(RegisterCheckIn(*dm, mine));
    EXPECT_EQ(count(QStringLiteral("RZK")), 1);
    EXPECT_EQ(scalar(QStringLiteral("select F104_09 from RZK")).toString(), QStringLiteral("李四"));
    other.QADOT.close();
    other.DBConn.close();
}

TEST_P(FrontDeskTest, NumberTakenMeanwhileMovesToTheNextFreeOne) {
    CheckIn c = checkIn(QStringLiteral("0101"));
    ASSERT_EQ(c.number, QStringLiteral("00000001"));
    otherCheckIn(QStringLiteral("00000001"), QStringLiteral("0102"));
    ASSERT_TRUE(RegisterCheckIn(*dm, c));
    EXPECT_EQ(c.number, QStringLiteral("00000002"));
    EXPECT_EQ(scalar(QStringLiteral("select F104_02 from RZK where F104_01='00000002'")).toString(),
              QStringLiteral("0101"));
    EXPECT_EQ(roomStatus(QStringLiteral("0101")), QStringLiteral("入住房"));
}

TEST_P(FrontDeskTest, TooWideTextIsRefusedWithNothingWritten) {
    CheckIn c = checkIn(QStringLiteral("0101"));
    c.guest = QStringLiteral("欧阳诸葛司马"); // 12 GBK bytes in a column of 8
    try {
        RegisterCheckIn(*dm, c);
        ADD_FAILURE() << "accepted";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("F104_09"))) << e.message().toStdString();
    }
    EXPECT_EQ(count(QStringLiteral("RZK")), 0);
    EXPECT_EQ(roomStatus(QStringLiteral("0101")), QStringLiteral("空房间"));
}

TEST_P(FrontDeskTest, SettlementWritesTheIncomeAndClosesTheCheckIn) {
    CheckIn c = checkIn(QStringLiteral("0101"));
    ASSERT_TRUE(RegisterCheckIn(*dm, c));
    Settlement s = settlement(QStringLiteral("0101"));
    EXPECT_EQ(s.number, QStringLiteral("00000001"));
    ASSERT_TRUE(SettleCheckIn(*dm, c.number, s));
    EXPECT_EQ(scalar(QStringLiteral("select F104_16 from RZK")).toString(), QStringLiteral("是"));
    QSqlQuery q =
        db.run(QStringLiteral("select F105_01, F105_02, F105_04, F105_06, F105_07, F105_09, F105_10, "
                              "F105_11 from KRXFK"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("00000001"));
    EXPECT_EQ(q.value(1).toString(), QStringLiteral("0101"));
    EXPECT_EQ(q.value(2).toString(), QStringLiteral("住宿费"));
    EXPECT_DOUBLE_EQ(q.value(3).toDouble(), 1.5);
    EXPECT_DOUBLE_EQ(q.value(4).toDouble(), 225);
    EXPECT_EQ(platform::Connection::dateTimeFromStorage(q.value(5)), s.cashierTime);
    EXPECT_EQ(platform::Connection::dateTimeFromStorage(q.value(6)), QDateTime(s.settledOn, QTime(0, 0)));
    EXPECT_EQ(q.value(7).toString(), QStringLiteral("2026-03"));
    EXPECT_FALSE(q.next());
    q.finish();
    // The room's status is the status dialog's business, not the settlement's.
    EXPECT_EQ(roomStatus(QStringLiteral("0101")), QStringLiteral("入住房"));
}

TEST_P(FrontDeskTest, TwoWorkstationsSettlingOneRoom) {
    CheckIn c = checkIn(QStringLiteral("0101"));
    ASSERT_TRUE(RegisterCheckIn(*dm, c));
    TFDM other;
    ASSERT_TRUE(other.OpenConnection(other.DBConn, scratch->settings()));
    Settlement mine = settlement(QStringLiteral("0101"));
    Settlement theirs = settlement(QStringLiteral("0101"));
    ASSERT_TRUE(SettleCheckIn(other, c.number, theirs));
    EXPECT_FALSE(SettleCheckIn(*dm, c.number, mine));
    EXPECT_EQ(count(QStringLiteral("KRXFK")), 1);
    other.QADOT.close();
    other.DBConn.close();
}

TEST_P(FrontDeskTest, SettlementNumberTakenMeanwhileMovesOn) {
    CheckIn c = checkIn(QStringLiteral("0101"));
    ASSERT_TRUE(RegisterCheckIn(*dm, c));
    Settlement s = settlement(QStringLiteral("0101"));
    exec(QStringLiteral("insert into KRXFK (F105_01, F105_02, F105_09, F105_10, F105_11) values "
                        "('00000001', '0102', '2026-03-10 09:00:00', '2026-03-10 00:00:00', '2026-03')"));
    ASSERT_TRUE(SettleCheckIn(*dm, c.number, s));
    EXPECT_EQ(s.number, QStringLiteral("00000002"));
    EXPECT_EQ(count(QStringLiteral("KRXFK")), 2);
    EXPECT_EQ(scalar(QStringLiteral("select F104_16 from RZK")).toString(), QStringLiteral("是"));
}

LUMVARD_ON_BOTH_ENGINES(FrontDeskTest);

} // namespace
