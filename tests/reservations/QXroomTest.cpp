#include "reservations/ReservationFixture.h"

#include "data/RoomStatus.h"
#include "reservations/QXroom.h"
#include "reservations/YDroom.h"

#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>

using namespace lumvard;
using lumvard::reservations::TFQXroom;

namespace {

class QXroomTest : public test::ReservationFixture {
protected:
    void SetUp() override {
        test::ReservationFixture::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        // 0101 and 0201 reserved; 0201 has a closed reservation from before and an open one.
        reservation("00000001", "0201", 100, "是");
        reservation("00000002", "0101", 200, "否");
        reservation("00000003", "0201", 300, "否");
        workstation2(QStringLiteral("update FJK set F103_04='预定房' where F103_01 in ('0101', '0201')"));
        w = std::make_unique<TFQXroom>();
        ASSERT_TRUE(test::showActive(w.get()));
    }
    void TearDown() override {
        w.reset();
        test::ReservationFixture::TearDown();
    }

    void reservation(const char *number, const char *room, double deposit, const char *closed) {
        workstation2(
            QStringLiteral("insert into KRYDK (F106_01, F106_02, F106_03, F106_04, F106_05, F106_06, "
                           "F106_07, F106_08, F106_09, F106_10, F106_11, F106_13) values (:n, '散客', "
                           ":r, '张三', '身份证', '1101', '北京', :d, '138', '1001', :t, :c)"),
            {{QStringLiteral("n"), QString::fromLatin1(number)},
             {QStringLiteral("r"), QString::fromLatin1(room)},
             {QStringLiteral("d"), deposit},
             {QStringLiteral("t"), QStringLiteral("2024-05-01 09:30:00")},
             {QStringLiteral("c"), QString::fromUtf8(closed)}});
    }

    QString closedFlag(const QString &number) {
        return scalarOf(QStringLiteral("select F106_13 from KRYDK where F106_01=:n"),
                        {{QStringLiteral("n"), number}})
            .toString();
    }

    void pick(const QString &room) { ASSERT_TRUE(pickRoom(w->FJGrid, w->Q103, room)) << room.toStdString(); }

    std::unique_ptr<TFQXroom> w;
};

TEST_P(QXroomTest, PickingShowsTheOpenReservationOfTheRoom) {
    EXPECT_EQ(w->LBCombox->itemText(0), QStringLiteral("所有预定房"));
    EXPECT_EQ(roomsListed(w->Q103).size(), 2);
    w->LBCombox->setCurrentIndex(w->LBCombox->findText(QStringLiteral("标准间")));
    EXPECT_EQ(roomsListed(w->Q103), QStringList({QStringLiteral("0101")}));
    w->LBCombox->setCurrentIndex(0);

    pick(QStringLiteral("0201"));
    EXPECT_EQ(w->DB10601->text(), QStringLiteral("00000003")); // the open one, not the closed 00000001
    EXPECT_EQ(w->DB10603->text(), QStringLiteral("0201"));
    EXPECT_EQ(w->DB10614->text(), QStringLiteral("套房"));
    EXPECT_EQ(w->DB10615->text(), QStringLiteral("380"));
    EXPECT_EQ(w->DB10608->text(), QStringLiteral("300"));
    EXPECT_EQ(w->DB10604->text(), QStringLiteral("张三"));
    EXPECT_EQ(w->DB10611->text(), QStringLiteral("2024-05-01 09:30:00"));
    EXPECT_EQ(w->DB10610->text(), QStringLiteral("1001"));
}

TEST_P(QXroomTest, CancellingClosesTheReservationKeepsTheDepositAndFreesTheRoom) {
    pick(QStringLiteral("0101"));
    {
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("取消此客房预定吗?"), true);
        m.expectInfo(QStringLiteral("取消客房预定成功!"));
        w->BDJ->click();
    }
    EXPECT_FALSE(w->BDJ->isEnabled());
    EXPECT_EQ(closedFlag(QStringLiteral("00000002")), QStringLiteral("是"));
    EXPECT_DOUBLE_EQ(
        scalarOf(QStringLiteral("select F106_08 from KRYDK where F106_01='00000002'"), {}).toDouble(), 200.0);
    EXPECT_EQ(roomStatus(QStringLiteral("0101")), QStringLiteral("空房间"));
    EXPECT_EQ(closedFlag(QStringLiteral("00000003")), QStringLiteral("否"));

    w->BSX->click();
    EXPECT_TRUE(w->BDJ->isEnabled());
    EXPECT_TRUE(w->DB10601->text().isEmpty());
    EXPECT_EQ(roomsListed(w->Q103), QStringList({QStringLiteral("0201")}));

    // The reservation window offers the room again.
    reservations::TFYDroom yd;
    ASSERT_TRUE(test::showActive(&yd));
    EXPECT_TRUE(roomsListed(yd.Q103).contains(QStringLiteral("0101")));
    yd.close();

    // A cancelled reservation is not found again: the room reserved once more without a journal row
    // shows nothing.
    workstation2(QStringLiteral("update FJK set F103_04='预定房' where F103_01='0101'"));
    w->BSX->click();
    pick(QStringLiteral("0101"));
    EXPECT_TRUE(w->DB10601->text().isEmpty());
    w->BDJ->click(); // nothing shown: nothing happens, no question
    EXPECT_EQ(roomStatus(QStringLiteral("0101")), QStringLiteral("预定房"));
}

TEST_P(QXroomTest, NoToTheQuestionOrNothingShownChangesNothing) {
    w->BDJ->click(); // no reservation shown: no question
    pick(QStringLiteral("0101"));
    {
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("取消此客房预定吗?"), false);
        w->BDJ->click();
    }
    EXPECT_TRUE(w->BDJ->isEnabled());
    EXPECT_EQ(closedFlag(QStringLiteral("00000002")), QStringLiteral("否"));
    EXPECT_EQ(roomStatus(QStringLiteral("0101")), QStringLiteral("预定房"));
}

TEST_P(QXroomTest, AReservationChangedAtAnotherWorkstationIsNotCancelledHalfway) {
    struct Case {
        const char *what;
        const char *statement; // run by the other workstation between the pick and "取消"
    };
    const Case cases[] = {
        {"taken up as a check-in", "update KRYDK set F106_13='是' where F106_01='00000002'"},
        {"room status changed", "update FJK set F103_04='入住房' where F103_01='0101'"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        workstation2(QStringLiteral("update KRYDK set F106_13='否' where F106_01='00000002'"));
        workstation2(QStringLiteral("update FJK set F103_04='预定房' where F103_01='0101'"));
        w->BSX->click();
        pick(QStringLiteral("0101"));
        workstation2(QString::fromUtf8(c.statement));
        const QString flag = closedFlag(QStringLiteral("00000002"));
        const QString room = roomStatus(QStringLiteral("0101"));
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("取消此客房预定吗?"), true);
        m.expectInfo(kRoomStatusChangedMessage);
        w->BDJ->click();
        EXPECT_EQ(closedFlag(QStringLiteral("00000002")), flag);
        EXPECT_EQ(roomStatus(QStringLiteral("0101")), room);
        EXPECT_TRUE(w->BDJ->isEnabled());
    }
}

LUMVARD_ON_BOTH_ENGINES(QXroomTest);

} // namespace
