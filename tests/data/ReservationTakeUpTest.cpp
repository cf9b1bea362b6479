#include "data/ReservationTakeUp.h"

#include "data/DM.h"
#include "data/RoomStatus.h"
#include "platform/Command.h"
#include "support/DataModuleTest.h"

using namespace lumvard;

namespace {

class ReservationTakeUpTest : public test::DataModuleTest {
protected:
    void SetUp() override {
        test::DataModuleTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        openWith({QStringLiteral("FJK"), QStringLiteral("RZK"), QStringLiteral("KRYDK")});
        if (HasFatalFailure()) return;
        for (const char *room : {"0101", "0102", "0103"})
            run(QStringLiteral("insert into FJK (F103_01, F103_02, F103_03, F103_04, F103_05) "
                               "values (:r, '标准间', '一楼', '预定房', 200)"),
                {{QStringLiteral("r"), QString::fromLatin1(room)}});
        reservation("00000001", "0101", "是"); // an old one, closed
        reservation("00000002", "0101", "否");
        reservation("00000003", "0102", "否");
        reservation("00000004", "0103", "是"); // 0103: reserved, but its reservation was closed
    }
    void reservation(const char *number, const char *room, const char *closed) {
        run(QStringLiteral(
                "insert into KRYDK (F106_01, F106_02, F106_03, F106_04, F106_05, F106_06, F106_07, "
                "F106_08, F106_09, F106_10, F106_11, F106_13) values (:n, '团体', :r, '李四', "
                "'护照', 'E123', '上海', 300, '139', '1001', :t, :c)"),
            {{QStringLiteral("n"), QString::fromLatin1(number)},
             {QStringLiteral("r"), QString::fromLatin1(room)},
             {QStringLiteral("t"), QDateTime(QDate(2026, 3, 1), QTime(9, 0))},
             {QStringLiteral("c"), QString::fromUtf8(closed)}});
    }

    QString status(const char *room) {
        return scalarOf(QStringLiteral("select F103_04 from FJK where F103_01=:r"),
                        {{QStringLiteral("r"), QString::fromLatin1(room)}})
            .toString();
    }
    QString closedFlag(const char *number) {
        return scalarOf(QStringLiteral("select F106_13 from KRYDK where F106_01=:n"),
                        {{QStringLiteral("n"), QString::fromLatin1(number)}})
            .toString();
    }
    int checkIns() { return scalarOf(QStringLiteral("select count(*) from RZK")).toInt(); }

    CheckIn fromReservation(const OpenReservation &r) {
        CheckIn c;
        c.number = NextCheckInNumber(*dm);
        c.room = r.room;
        c.category = QStringLiteral("标准间");
        c.standardPrice = 200;
        c.rate = 0.9;
        c.actualPrice = 180;
        c.deposit = 500;
        c.total = 680;
        c.guest = r.guest;
        c.documentType = r.documentType;
        c.documentNo = r.documentNo;
        c.address = r.address;
        c.companions = 2;
        c.operatorCode = QStringLiteral("1002");
        c.checkedInAt = QDateTime(QDate(2026, 3, 2), QTime(14, 5, 7));
        return c;
    }
};

TEST_P(ReservationTakeUpTest, FindsOnlyTheSingleOpenReservationOfTheRoom) {
    const auto r = FindOpenReservation(dm->DBConn, QStringLiteral("0101"));
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->number, QStringLiteral("00000002"));
    EXPECT_EQ(r->guestType, QStringLiteral("团体"));
    EXPECT_EQ(r->guest, QStringLiteral("李四"));
    EXPECT_EQ(r->documentType, QStringLiteral("护照"));
    EXPECT_EQ(r->documentNo, QStringLiteral("E123"));
    EXPECT_EQ(r->address, QStringLiteral("上海"));
    EXPECT_DOUBLE_EQ(r->deposit, 300);
    EXPECT_FALSE(FindOpenReservation(dm->DBConn, QStringLiteral("0103")).has_value()); // only a closed one
    EXPECT_FALSE(FindOpenReservation(dm->DBConn, QStringLiteral("0999")).has_value());
}

TEST_P(ReservationTakeUpTest, WritesTheCheckInClosesTheReservationAndOccupiesTheRoomTogether) {
    const auto r = FindOpenReservation(dm->DBConn, QStringLiteral("0101"));
    ASSERT_TRUE(r.has_value());
    CheckIn c = fromReservation(*r);
    ASSERT_TRUE(TakeUpReservation(*dm, r->number, c));
    EXPECT_EQ(c.number, QStringLiteral("00000001"));
    EXPECT_EQ(status("0101"), QStringLiteral("入住房"));
    EXPECT_EQ(closedFlag("00000002"), QStringLiteral("是"));
    EXPECT_EQ(closedFlag("00000003"), QStringLiteral("否"));
    QSqlQuery q =
        db.run(QStringLiteral("select F104_01, F104_02, F104_06, F104_07, F104_08, F104_09, F104_11, "
                              "F104_13, F104_14, F104_15, F104_16, F104_17 from RZK"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("00000001"));
    EXPECT_EQ(q.value(1).toString(), QStringLiteral("0101"));
    EXPECT_DOUBLE_EQ(q.value(2).toDouble(), 180);
    EXPECT_DOUBLE_EQ(q.value(3).toDouble(), 500);
    EXPECT_DOUBLE_EQ(q.value(4).toDouble(), 680);
    EXPECT_EQ(q.value(5).toString(), QStringLiteral("李四"));
    EXPECT_EQ(q.value(6).toString(), QStringLiteral("E123"));
    EXPECT_EQ(q.value(7).toInt(), 2);
    EXPECT_EQ(q.value(8).toString(), QStringLiteral("1002"));
    EXPECT_EQ(q.value(9).toDateTime(), QDateTime(QDate(2026, 3, 2), QTime(14, 5, 7)));
    EXPECT_EQ(q.value(10).toString(), QStringLiteral("否"));
    EXPECT_EQ(q.value(11).toInt(), 0);
    EXPECT_FALSE(q.next());
    q.finish();
}

TEST_P(ReservationTakeUpTest, NothingWrittenWhenAnotherWorkstationGotThereFirst) {
    const auto r = FindOpenReservation(dm->DBConn, QStringLiteral("0101"));
    ASSERT_TRUE(r.has_value());
    struct Case {
        const char *what;
        const char *meanwhile;
    };
    const Case cases[] = {
        // cancelled elsewhere after the pick: reservation closed and room freed
        {"cancelled", "update KRYDK set F106_13='是' where F106_01='00000002'; "
                      "update FJK set F103_04='空房间' where F103_01='0101'"},
        // the reservation closed but the room still reads reserved
        {"closed only", "update KRYDK set F106_13='是' where F106_01='00000002'"},
        // the room changed while the reservation still reads open
        {"room changed", "update FJK set F103_04='修理中' where F103_01='0101'"},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.what);
        for (const QString &sql : QString::fromUtf8(k.meanwhile).split(QLatin1Char(';'), Qt::SkipEmptyParts))
            run(sql.trimmed());
        const QString roomBefore = status("0101");
        const QString flagBefore = closedFlag("00000002");
        CheckIn c = fromReservation(*r);
        EXPECT_FALSE(TakeUpReservation(*dm, r->number, c));
        EXPECT_EQ(checkIns(), 0);
        EXPECT_EQ(status("0101"), roomBefore);
        EXPECT_EQ(closedFlag("00000002"), flagBefore);
        // back to the state at the pick
        run(QStringLiteral("update KRYDK set F106_13='否' where F106_01='00000002'"));
        run(QStringLiteral("update FJK set F103_04='预定房' where F103_01='0101'"));
    }
    // A reservation of another room does not close with this room's check-in.
    CheckIn c = fromReservation(*r);
    EXPECT_FALSE(TakeUpReservation(*dm, QStringLiteral("00000003"), c));
    EXPECT_EQ(checkIns(), 0);
    EXPECT_EQ(status("0101"), QStringLiteral("预定房"));
    EXPECT_EQ(closedFlag("00000003"), QStringLiteral("否"));
}

TEST_P(ReservationTakeUpTest, TakesTheNextNumberWhenAnotherWorkstationUsedIt) {
    const auto r = FindOpenReservation(dm->DBConn, QStringLiteral("0101"));
    ASSERT_TRUE(r.has_value());
    CheckIn c = fromReservation(*r);
    ASSERT_EQ(c.number, QStringLiteral("00000001"));
    run(QStringLiteral(
            "insert into RZK (F104_01, F104_02, F104_15, F104_16) values ('00000001', '0201', :t, '否')"),
        {{QStringLiteral("t"), QDateTime(QDate(2026, 3, 2), QTime(14, 0))}});
    ASSERT_TRUE(TakeUpReservation(*dm, r->number, c));
    EXPECT_EQ(c.number, QStringLiteral("00000002"));
    EXPECT_EQ(checkIns(), 2);
    EXPECT_EQ(closedFlag("00000002"), QStringLiteral("是"));
}

TEST_P(ReservationTakeUpTest, TooWideTextIsRefusedBeforeAnythingIsWritten) {
    const auto r = FindOpenReservation(dm->DBConn, QStringLiteral("0101"));
    ASSERT_TRUE(r.has_value());
    CheckIn c = fromReservation(*r);
    c.guest = QStringLiteral("欧阳诸葛长名字"); // 14 GBK bytes in a column of 8
    EXPECT_THROW(TakeUpReservation(*dm, r->number, c), Error);
    EXPECT_EQ(checkIns(), 0);
    EXPECT_EQ(status("0101"), QStringLiteral("预定房"));
    EXPECT_EQ(closedFlag("00000002"), QStringLiteral("否"));
}

LUMVARD_ON_BOTH_ENGINES(ReservationTakeUpTest);

} // namespace
