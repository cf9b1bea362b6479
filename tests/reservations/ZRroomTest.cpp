#include "frontdesk/FrontDeskFixture.h"
#include "support/WindowFixture.h"

#include "data/RoomStatus.h"
#include "platform/gui/BandedReport.h"
#include "platform/gui/DataGrid.h"
#include "reservations/ZRroom.h"

#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>

using namespace lumvard;
using lumvard::reservations::TFZRroom;

namespace {

class ZRroomTest : public test::WindowFixture<test::FrontDeskFixture, TFZRroom> {
protected:
    ZRroomTest() { startAt = QDateTime(QDate(2024, 5, 2), QTime(14, 5, 7)); }
    void SetUp() override {
        WindowFixture::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        addRoom({"0401", "套房", "四楼", "预定房", 200});
        // 0101 (标准间, 180) and 0401 (套房, 200) are reserved; 0101 also has an old, closed reservation.
        reservation("00000001", "0101", 100, "是");
        reservation("00000002", "0101", 300, "否");
        reservation("00000003", "0401", 0, "否");
        workstation2(QStringLiteral("update FJK set F103_04='预定房' where F103_01='0101'"));
    }
    void reservation(const char *number, const char *room, double deposit, const char *closed) {
        workstation2(
            QStringLiteral("insert into KRYDK (F106_01, F106_02, F106_03, F106_04, F106_05, F106_06, "
                           "F106_07, F106_08, F106_09, F106_10, F106_11, F106_13) values (:n, '团体', "
                           ":r, '李四', '护照', 'E1234567', '上海市', :d, '138', '1001', :t, :c)"),
            {{QStringLiteral("n"), QString::fromLatin1(number)},
             {QStringLiteral("r"), QString::fromLatin1(room)},
             {QStringLiteral("d"), deposit},
             {QStringLiteral("t"),
              platform::Connection::dateTimeToText(QDateTime(QDate(2024, 4, 30), QTime(9, 0)))},
             {QStringLiteral("c"), QString::fromUtf8(closed)}});
    }
    QString closedFlag(const char *number) {
        return scalarOf(QStringLiteral("select F106_13 from KRYDK where F106_01=:n"),
                        {{QStringLiteral("n"), QString::fromLatin1(number)}})
            .toString();
    }

    void price(const QString &rate, const QString &deposit) {
        w->DB10405->setText(rate);
        leave(w->DB10405, w->DB10407);
        w->DB10407->setText(deposit);
        leave(w->DB10407, w->DB10413);
    }
};

TEST_P(ZRroomTest, ListsReservedRoomsByCategory) {
    openWindow();
    EXPECT_EQ(w->LBCombox->itemText(0), QStringLiteral("所有预定房"));
    EXPECT_EQ(w->LBCombox->count(), 3);
    EXPECT_EQ(roomsListed(w->Q103), QStringList({QStringLiteral("0101"), QStringLiteral("0401")}));
    w->LBCombox->setCurrentIndex(w->LBCombox->findText(QStringLiteral("套房")));
    EXPECT_EQ(roomsListed(w->Q103), QStringList({QStringLiteral("0401")}));
    w->LBCombox->setCurrentIndex(w->LBCombox->findText(QStringLiteral("标准间")));
    EXPECT_EQ(roomsListed(w->Q103), QStringList({QStringLiteral("0101")}));
}

TEST_P(ZRroomTest, PickingTakesTheGuestFromTheReservationButNotItsDeposit) {
    openWindow();
    pick(QStringLiteral("0101"));
    EXPECT_TRUE(w->prepared());
    EXPECT_EQ(w->DB10401->text(), QStringLiteral("00000001"));
    EXPECT_EQ(w->DB10601->text(), QStringLiteral("00000002")); // the open reservation, not the closed one
    EXPECT_FALSE(w->DB10601->isVisible());
    EXPECT_EQ(w->DB10416->text(), QStringLiteral("团体"));
    EXPECT_EQ(w->DB10402->text(), QStringLiteral("0101"));
    EXPECT_EQ(w->DB10403->text(), QStringLiteral("标准间"));
    EXPECT_EQ(w->DB10404->text(), QStringLiteral("180"));
    EXPECT_EQ(w->DB10405->text(), QStringLiteral("1"));
    EXPECT_EQ(w->DB10409->text(), QStringLiteral("李四"));
    EXPECT_EQ(w->DB10410->text(), QStringLiteral("护照"));
    EXPECT_EQ(w->DB10411->text(), QStringLiteral("E1234567"));
    EXPECT_EQ(w->DB10412->text(), QStringLiteral("上海市"));
    EXPECT_EQ(w->DB10414->text(), QStringLiteral("1001"));
    EXPECT_EQ(w->DB10415->text(), QStringLiteral("2024-05-02 14:05:07"));
    EXPECT_EQ(QApplication::focusWidget(), w->DB10405);
    // The reservation's 300 stays with the reservation: the check-in deposit starts empty.
    EXPECT_TRUE(w->DB10407->text().isEmpty());
    price(QStringLiteral("1"), QString());
    EXPECT_EQ(w->DB10406->text(), QStringLiteral("180"));
    EXPECT_EQ(w->DB10407->text(), QStringLiteral("0"));
    EXPECT_EQ(w->DB10408->text(), QStringLiteral("180"));
}

TEST_P(ZRroomTest, RateAndDepositRules) {
    openWindow();
    pick(QStringLiteral("0401"));
    for (const char *rate : {"0", "-0.5", "1.01"}) {
        SCOPED_TRACE(rate);
        test::ScriptedMessages m;
        m.expectInfo(QStringLiteral("折价率录入不规范!"));
        w->DB10405->setText(QString::fromUtf8(rate));
        leave(w->DB10405, w->DB10407);
        EXPECT_TRUE(w->DB10406->text().isEmpty());
        EXPECT_EQ(QApplication::focusWidget(), w->DB10405);
    }
    price(QStringLiteral("0.9"), QStringLiteral("500"));
    EXPECT_EQ(w->DB10406->text(), QStringLiteral("180"));
    EXPECT_EQ(w->DB10408->text(), QStringLiteral("680"));
    // A new rate after the deposit carries the total along.
    w->DB10405->setText(QStringLiteral("0.5"));
    leave(w->DB10405, w->DB10407);
    EXPECT_EQ(w->DB10406->text(), QStringLiteral("100"));
    EXPECT_EQ(w->DB10408->text(), QStringLiteral("600"));
    // Enter moves from the rate to the deposit and from the deposit on, running the exit handlers.
    w->DB10405->setFocus();
    w->DB10405->setText(QStringLiteral("0.9"));
    QTest::keyClick(w->DB10405, Qt::Key_Return);
    settle();
    EXPECT_EQ(QApplication::focusWidget(), w->DB10407);
    EXPECT_EQ(w->DB10406->text(), QStringLiteral("180"));
    QTest::keyClick(w->DB10407, Qt::Key_Return);
    settle();
    EXPECT_EQ(QApplication::focusWidget(), w->DB10409);
    EXPECT_EQ(w->DB10408->text(), QStringLiteral("680"));
}

TEST_P(ZRroomTest, TakingUpWritesTheCheckInClosesTheReservationAndOccupiesTheRoom) {
    openWindow();
    clickExpectingInfo(w->BRZD, QStringLiteral("操作无效,请先登记!"));
    pick(QStringLiteral("0401"));
    price(QStringLiteral("0.9"), QStringLiteral("500"));
    w->DB10412->setText(QStringLiteral("上海市浦东新区"));
    w->DB10413->setText(QStringLiteral("2"));
    {
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("入住信息正确吗?"), false);
        w->BDJ->click();
    }
    EXPECT_EQ(rows(QStringLiteral("RZK")), 0);
    EXPECT_EQ(closedFlag("00000003"), QStringLiteral("否"));
    {
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("入住信息正确吗?"), true);
        m.expectInfo(QStringLiteral("入住登记成功!"));
        w->BDJ->click();
    }
    EXPECT_EQ(rows(QStringLiteral("RZK")), 1);
    const QString n = QStringLiteral("00000001");
    EXPECT_EQ(rzk(n, QStringLiteral("F104_02")).toString(), QStringLiteral("0401"));
    EXPECT_EQ(rzk(n, QStringLiteral("F104_03")).toString(), QStringLiteral("套房"));
    EXPECT_DOUBLE_EQ(rzk(n, QStringLiteral("F104_04")).toDouble(), 200);
    EXPECT_DOUBLE_EQ(rzk(n, QStringLiteral("F104_05")).toDouble(), 0.9);
    EXPECT_DOUBLE_EQ(rzk(n, QStringLiteral("F104_06")).toDouble(), 180);
    EXPECT_DOUBLE_EQ(rzk(n, QStringLiteral("F104_07")).toDouble(), 500);
    EXPECT_DOUBLE_EQ(rzk(n, QStringLiteral("F104_08")).toDouble(), 680);
    EXPECT_EQ(rzk(n, QStringLiteral("F104_09")).toString(), QStringLiteral("李四"));
    EXPECT_EQ(rzk(n, QStringLiteral("F104_10")).toString(), QStringLiteral("护照"));
    EXPECT_EQ(rzk(n, QStringLiteral("F104_11")).toString(), QStringLiteral("E1234567"));
    EXPECT_EQ(rzk(n, QStringLiteral("F104_12")).toString(), QStringLiteral("上海市浦东新区"));
    EXPECT_EQ(rzk(n, QStringLiteral("F104_13")).toInt(), 2);
    EXPECT_EQ(rzk(n, QStringLiteral("F104_14")).toString(), QStringLiteral("1001"));
    EXPECT_EQ(rzk(n, QStringLiteral("F104_15")).toDateTime(), QDateTime(QDate(2024, 5, 2), QTime(14, 5, 7)));
    EXPECT_EQ(rzk(n, QStringLiteral("F104_16")).toString(), QStringLiteral("否"));
    EXPECT_EQ(rzk(n, QStringLiteral("F104_17")).toInt(), 0);
    EXPECT_EQ(closedFlag("00000003"), QStringLiteral("是"));
    EXPECT_EQ(closedFlag("00000002"), QStringLiteral("否")); // 0101's reservation stays open
    EXPECT_EQ(roomStatus(QStringLiteral("0401")), QStringLiteral("入住房"));
    EXPECT_FALSE(w->BDJ->isEnabled());

    platform::ScopedPreviewCapture capture;
    w->BRZD->click();
    ASSERT_EQ(capture.count(), 1);
    EXPECT_EQ(capture.last().byName(QStringLiteral("F104_01"))->text, n);
    EXPECT_EQ(capture.last().byName(QStringLiteral("YJ"))->text, QStringLiteral("￥500.00"));

    w->BSX->click();
    EXPECT_TRUE(w->BDJ->isEnabled());
    EXPECT_TRUE(w->DB10401->text().isEmpty());
    EXPECT_TRUE(w->DB10409->text().isEmpty());
    EXPECT_EQ(roomsListed(w->Q103), QStringList({QStringLiteral("0101")}));
}

TEST_P(ZRroomTest, AReservationCancelledElsewhereAfterThePickWritesNothing) {
    openWindow();
    pick(QStringLiteral("0101"));
    price(QStringLiteral("1"), QStringLiteral("100"));
    // Another workstation cancels the reservation meanwhile.
    workstation2(QStringLiteral("update KRYDK set F106_13='是' where F106_01='00000002'"));
    workstation2(QStringLiteral("update FJK set F103_04='空房间' where F103_01='0101'"));
    {
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("入住信息正确吗?"), true);
        m.expectInfo(kRoomStatusChangedMessage);
        w->BDJ->click();
        // Nothing was registered: no receipt.
        m.expectInfo(QStringLiteral("操作无效,请先登记!"));
        w->BRZD->click();
    }
    EXPECT_EQ(rows(QStringLiteral("RZK")), 0);
    EXPECT_EQ(roomStatus(QStringLiteral("0101")), QStringLiteral("空房间"));
    EXPECT_TRUE(w->BDJ->isEnabled());

    // Taken up elsewhere: the reservation closed while the room still reads reserved here.
    workstation2(QStringLiteral("update FJK set F103_04='预定房' where F103_01='0101'"));
    workstation2(QStringLiteral("update KRYDK set F106_13='否' where F106_01='00000002'"));
    w->BSX->click();
    pick(QStringLiteral("0101"));
    price(QStringLiteral("1"), QStringLiteral("100"));
    workstation2(QStringLiteral("update KRYDK set F106_13='是' where F106_01='00000002'"));
    {
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("入住信息正确吗?"), true);
        m.expectInfo(kRoomStatusChangedMessage);
        w->BDJ->click();
    }
    EXPECT_EQ(rows(QStringLiteral("RZK")), 0);
    EXPECT_EQ(roomStatus(QStringLiteral("0101")), QStringLiteral("预定房"));
}

TEST_P(ZRroomTest, PickingARoomWithoutOpenReservationOrRegisteringBeforeAPickDoesNothing) {
    openWindow();
    // Nothing picked: "登记" does nothing (the strict presenter fails on any message).
    w->BDJ->click();
    EXPECT_EQ(rows(QStringLiteral("RZK")), 0);

    pick(QStringLiteral("0401"));
    ASSERT_EQ(w->DB10409->text(), QStringLiteral("李四"));
    workstation2(QStringLiteral("update KRYDK set F106_13='是' where F106_01='00000002'"));
    pick(QStringLiteral("0101")); // its reservation was cancelled elsewhere
    EXPECT_FALSE(w->prepared());
    EXPECT_EQ(w->DB10402->text(), QStringLiteral("0401")); // the fields keep what they showed
    EXPECT_EQ(w->DB10601->text(), QStringLiteral("00000003"));
    // and the previous pick can no longer be registered from them.
    clickExpectingInfo(w->BDJ, QStringLiteral("实际价不能为零!"));
    // Nothing is prepared, so leaving the rate computes nothing and the registration stays refused.
    price(QStringLiteral("1"), QStringLiteral("100"));
    EXPECT_TRUE(w->DB10406->text().isEmpty());
    clickExpectingInfo(w->BDJ, QStringLiteral("实际价不能为零!"));
    EXPECT_EQ(rows(QStringLiteral("RZK")), 0);
    EXPECT_EQ(closedFlag("00000003"), QStringLiteral("否"));
}

TEST_P(ZRroomTest, MissingPriceOrTotalIsRefused) {
    openWindow();
    pick(QStringLiteral("0401"));
    {
        test::ScriptedMessages m;
        m.expectInfo(QStringLiteral("实际价不能为零!")); // the rate was never left
        w->BDJ->click();
    }
    w->DB10405->setText(QStringLiteral("0.9"));
    leave(w->DB10405, w->DB10412);
    {
        test::ScriptedMessages m;
        m.expectInfo(QStringLiteral("总额不能为零!")); // the deposit was never left
        w->BDJ->click();
        EXPECT_EQ(QApplication::focusWidget(), w->DB10408);
    }
    EXPECT_EQ(rows(QStringLiteral("RZK")), 0);
}

TEST_P(ZRroomTest, ErrorsWhileRegisteringAreShownAndNothingIsWritten) {
    openWindow();
    pick(QStringLiteral("0401"));
    price(QStringLiteral("0.9"), QStringLiteral("500"));
    struct Case {
        const char *companions;
        const char *address;
        const char *shown; // part of the error box text
    };
    const Case cases[] = {
        {"两人", "上海市", "随行人数"},
        {"-1", "上海市", "随行人数"},
        {"2", "上海市浦东新区世纪大道一百号国际金融中心大厦二十八层八号房间", "超过了"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.companions);
        w->DB10413->setText(QString::fromUtf8(c.companions));
        w->DB10412->setText(QString::fromUtf8(c.address));
        test::ScriptedMessages m;
        if (QByteArray(c.shown) == "超过了") m.expectConfirm(QStringLiteral("入住信息正确吗?"), true);
        m.expectErrorBox(QString::fromUtf8(c.shown));
        w->BDJ->click();
    }
    EXPECT_EQ(rows(QStringLiteral("RZK")), 0);
    EXPECT_EQ(closedFlag("00000003"), QStringLiteral("否"));
    EXPECT_EQ(roomStatus(QStringLiteral("0401")), QStringLiteral("预定房"));
    // Corrected, the same prepared check-in registers.
    w->DB10412->setText(QStringLiteral("上海市"));
    test::ScriptedMessages m;
    m.expectConfirm(QStringLiteral("入住信息正确吗?"), true);
    m.expectInfo(QStringLiteral("入住登记成功!"));
    w->BDJ->click();
    EXPECT_EQ(rows(QStringLiteral("RZK")), 1);
}

TEST_P(ZRroomTest, ACheckInNumberTakenMeanwhileGivesTheNextOne) {
    openWindow();
    pick(QStringLiteral("0401"));
    ASSERT_EQ(w->DB10401->text(), QStringLiteral("00000001"));
    price(QStringLiteral("1"), QStringLiteral("100"));
    otherCheckIn(QStringLiteral("00000001"), QStringLiteral("0301"),
                 QDateTime(QDate(2024, 5, 2), QTime(14, 6)), 150, 0, 150);
    {
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("入住信息正确吗?"), true);
        m.expectInfo(QStringLiteral("入住登记成功!"));
        w->BDJ->click();
    }
    EXPECT_EQ(w->DB10401->text(), QStringLiteral("00000002"));
    EXPECT_EQ(rzk(QStringLiteral("00000002"), QStringLiteral("F104_02")).toString(), QStringLiteral("0401"));
    platform::ScopedPreviewCapture capture;
    w->BRZD->click();
    ASSERT_EQ(capture.count(), 1);
    EXPECT_EQ(capture.last().byName(QStringLiteral("F104_01"))->text, QStringLiteral("00000002"));
}

LUMVARD_ON_BOTH_ENGINES(ZRroomTest);

} // namespace
