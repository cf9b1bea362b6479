#include "reservations/ReservationFixture.h"
#include "support/WindowFixture.h"

#include "data/RoomStatus.h"
#include "platform/gui/BandedReport.h"
#include "reservations/YDDJReport.h"
#include "reservations/YDroom.h"

#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QToolButton>

using namespace lumvard;
using lumvard::reservations::TFYDroom;

namespace {

class YDroomTest : public test::WindowFixture<test::ReservationFixture, TFYDroom> {
protected:
    // Leaves the discount rate the way the operator does: the focus moves on.
    void leaveRate() {
        w->DB10616->setFocus();
        w->DB10608->setFocus();
        settle();
    }

    void fillGuest(const QString &name = QStringLiteral("张三")) {
        w->DB10604->setText(name);
        w->DB10606->setText(QStringLiteral("110101199001011234"));
        w->DB10607->setText(QStringLiteral("北京市东城区"));
        w->DB10609->setText(QStringLiteral("13800138000"));
    }

    // Picks, prices and fills a reservation, then saves it answering "是的".
    void reserve(const QString &room, const QString &deposit, const QString &name = QStringLiteral("张三")) {
        pick(room);
        leaveRate();
        w->DB10608->setText(deposit);
        fillGuest(name);
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("客房预定信息正确吗?"), true);
        m.expectInfo(QStringLiteral("客房预定成功!"));
        w->BDJ->click();
    }

    QVariant column(const QString &number, const QString &col) {
        return scalarOf(QStringLiteral("select %1 from KRYDK where F106_01=:n").arg(col),
                        {{QStringLiteral("n"), number}});
    }
};

TEST_P(YDroomTest, ShowingListsVacantRoomsByCategory) {
    openWindow();
    QStringList items;
    for (int i = 0; i < w->LBCombox->count(); ++i)
        items << w->LBCombox->itemText(i);
    EXPECT_EQ(items,
              QStringList({QStringLiteral("所有可供"), QStringLiteral("标准间"), QStringLiteral("套房")}));
    EXPECT_EQ(roomsListed(w->Q103).size(), 4); // 0202 is occupied
    w->LBCombox->setCurrentIndex(2);
    EXPECT_EQ(roomsListed(w->Q103), QStringList({QStringLiteral("0201")}));

    // A category name with a quote is bound, not spliced into the statement.
    workstation2(QStringLiteral("insert into LBK (F102_01, F102_02) values ('009', :n)"),
                 {{QStringLiteral("n"), QStringLiteral("豪华'间")}});
    addRoom({"0301", "豪华'间", "三楼", "空房间", 500});
    w->FormShow();
    w->LBCombox->setCurrentIndex(3);
    EXPECT_EQ(roomsListed(w->Q103), QStringList({QStringLiteral("0301")}));
}

TEST_P(YDroomTest, PickingFillsTheRoomAndNumbersFollowTheJournal) {
    openWindow();
    pick(QStringLiteral("0201"));
    EXPECT_EQ(w->DB10601->text(), QStringLiteral("00000001"));
    EXPECT_EQ(w->DB10603->text(), QStringLiteral("0201"));
    EXPECT_EQ(w->DB10614->text(), QStringLiteral("套房"));
    EXPECT_EQ(w->DB10615->text(), QStringLiteral("380"));
    EXPECT_EQ(w->DB10616->text(), QStringLiteral("1"));
    EXPECT_EQ(w->DB10610->text(), QStringLiteral("1001"));
    EXPECT_EQ(w->DB10611->text(), QStringLiteral("2024-05-01 10:20:30"));
    EXPECT_EQ(QApplication::focusWidget(), w->DB10616);
    EXPECT_FALSE(w->saved());
    w.reset();

    // After 00000009 comes 00000010, whether the highest row is open or closed.
    workstation2(QStringLiteral("insert into KRYDK (F106_01, F106_03, F106_11, F106_13) values ('00000009', "
                                "'0909', '2024-04-01 08:00:00', '是')"));
    openWindow();
    pick(QStringLiteral("0101"));
    EXPECT_EQ(w->DB10601->text(), QStringLiteral("00000010"));
}

TEST_P(YDroomTest, DiscountRateGivesTheActualPriceInTheGeneralForm) {
    openWindow();
    pick(QStringLiteral("0101"));
    struct Case {
        const char *rate;
        const char *message; // nullptr: accepted
        const char *actual;
    };
    const Case cases[] = {
        {"0.85", nullptr, "153"},
        {"1", nullptr, "180"},
        {"0.333", nullptr, "59.94"},
        {"1.2", "折价率录入不规范!", "59.94"},
        {"0", "折价率录入不规范!", "59.94"},
        {"-0.5", "折价率录入不规范!", "59.94"},
        {"", nullptr, "59.94"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.rate);
        test::ScriptedMessages m;
        if (c.message) m.expectInfo(QString::fromUtf8(c.message));
        w->DB10616->setFocus();
        w->DB10616->setText(QString::fromUtf8(c.rate));
        w->DB10608->setFocus();
        settle();
        EXPECT_EQ(w->DB10617->text(), QString::fromUtf8(c.actual));
        if (c.message) {
            EXPECT_EQ(QApplication::focusWidget(), w->DB10616);
        }
    }
    // A rate that is no number is shown in the standard error box.
    test::ScriptedMessages m;
    m.expectErrorBox(QStringLiteral("abc"));
    w->DB10616->setFocus();
    w->DB10616->setText(QStringLiteral("abc"));
    w->DB10608->setFocus();
    settle();
}

TEST_P(YDroomTest, SavingWhileTheRateStillHasTheFocusAsksForTheActualPriceFirst) {
    openWindow();
    pick(QStringLiteral("0101"));
    w->DB10616->setText(QStringLiteral("0.85"));
    fillGuest();
    clickExpectingInfo(w->BDJ, QStringLiteral("实际价不能为零!"));
    EXPECT_EQ(reservationCount(), 0);
    leaveRate();
    EXPECT_EQ(w->DB10617->text(), QStringLiteral("153"));
    w->DB10608->setText(QStringLiteral("200"));
    {
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("客房预定信息正确吗?"), true);
        m.expectInfo(QStringLiteral("客房预定成功!"));
        w->BDJ->click();
    }
    EXPECT_TRUE(w->saved());
    EXPECT_FALSE(w->BDJ->isEnabled());
    EXPECT_EQ(roomStatus(QStringLiteral("0101")), QStringLiteral("预定房"));
    const QString n = QStringLiteral("00000001");
    EXPECT_EQ(column(n, QStringLiteral("F106_02")).toString(), QStringLiteral("散客"));
    EXPECT_EQ(column(n, QStringLiteral("F106_03")).toString(), QStringLiteral("0101"));
    EXPECT_EQ(column(n, QStringLiteral("F106_04")).toString(), QStringLiteral("张三"));
    EXPECT_EQ(column(n, QStringLiteral("F106_05")).toString(), QStringLiteral("身份证"));
    EXPECT_DOUBLE_EQ(column(n, QStringLiteral("F106_08")).toDouble(), 200.0);
    EXPECT_EQ(column(n, QStringLiteral("F106_10")).toString(), QStringLiteral("1001"));
    EXPECT_EQ(platform::Connection::dateTimeFromStorage(column(n, QStringLiteral("F106_11"))),
              QDateTime(QDate(2024, 5, 1), QTime(10, 20, 30)));
    EXPECT_TRUE(column(n, QStringLiteral("F106_12")).isNull());
    EXPECT_EQ(column(n, QStringLiteral("F106_13")).toString(), QStringLiteral("否"));
    EXPECT_EQ(w->Q1061.recordCount(), 1);
}

TEST_P(YDroomTest, ChecksRunInOrderAndFocusTheField) {
    openWindow();
    pick(QStringLiteral("0101"));
    leaveRate();
    struct Case {
        QLineEdit *TFYDroom::*edit; // nullptr: the drop-down DB10605
        const char *message;
    };
    const Case cases[] = {
        {&TFYDroom::DB10604, "客人姓名不能为空!"}, {nullptr, "证件名称不能为空!"},
        {&TFYDroom::DB10606, "证件号码不能为空!"}, {&TFYDroom::DB10607, "证件地址不能为空!"},
        {&TFYDroom::DB10609, "联系电话不能为空!"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.message);
        fillGuest();
        w->DB10605->setEditText(QStringLiteral("身份证"));
        // A later field empty too: the earlier check speaks first.
        w->DB10609->clear();
        QWidget *target = w->DB10605;
        if (c.edit) {
            (w.get()->*c.edit)->clear();
            target = w.get()->*c.edit;
        } else {
            w->DB10605->setEditText(QString());
        }
        test::ScriptedMessages m;
        m.expectInfo(QString::fromUtf8(c.message));
        w->BDJ->click();
        EXPECT_EQ(QApplication::focusWidget(), target);
    }
    EXPECT_EQ(reservationCount(), 0);
    EXPECT_EQ(roomStatus(QStringLiteral("0101")), QStringLiteral("空房间"));
}

TEST_P(YDroomTest, NoToTheQuestionWritesNothingAndTheCorrectedRowSavesLater) {
    openWindow();
    pick(QStringLiteral("0101"));
    leaveRate();
    fillGuest(QStringLiteral("李四"));
    {
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("客房预定信息正确吗?"), false);
        w->BDJ->click();
    }
    EXPECT_EQ(reservationCount(), 0);
    EXPECT_EQ(roomStatus(QStringLiteral("0101")), QStringLiteral("空房间"));
    w->DB10604->setText(QStringLiteral("王五"));
    {
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("客房预定信息正确吗?"), true);
        m.expectInfo(QStringLiteral("客房预定成功!"));
        w->BDJ->click();
    }
    EXPECT_EQ(column(QStringLiteral("00000001"), QStringLiteral("F106_04")).toString(),
              QStringLiteral("王五"));
}

TEST_P(YDroomTest, AGroupOfThreeRoomsCarriesTheDepositOnTheFirstOnly) {
    openWindow();
    w->DB10602->setCurrentText(QStringLiteral("团体"));
    reserve(QStringLiteral("0101"), QStringLiteral("500"), QStringLiteral("旅行团"));
    for (const char *room : {"0102", "0103"}) {
        {
            test::ScriptedMessages m;
            m.expectConfirm(QStringLiteral("仍属于同一团体吗?"), true);
            w->BSX->click();
        }
        EXPECT_TRUE(w->groupContinuation());
        EXPECT_FALSE(w->BRZD->isEnabled());
        EXPECT_TRUE(w->DB10601->text().isEmpty());
        EXPECT_EQ(w->DB10604->text(), QStringLiteral("旅行团"));
        EXPECT_FALSE(roomsListed(w->Q103).contains(QStringLiteral("0101")));
        pick(QString::fromLatin1(room));
        leaveRate();
        w->DB10608->setText(QStringLiteral("300")); // typed, yet the group's deposit is on its first room
        w->DB10609->setFocus();
        settle();
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("客房预定信息正确吗?"), true);
        m.expectInfo(QStringLiteral("客房预定成功!"));
        w->BDJ->click();
    }
    QSqlQuery q = db.run(QStringLiteral(
        "select F106_01, F106_02, F106_03, F106_04, F106_06, F106_08 from KRYDK order by F106_01"));
    QStringList rooms;
    QList<double> deposits;
    while (q.next()) {
        EXPECT_EQ(q.value(1).toString(), QStringLiteral("团体"));
        EXPECT_EQ(q.value(3).toString(), QStringLiteral("旅行团"));
        EXPECT_EQ(q.value(4).toString(), QStringLiteral("110101199001011234"));
        rooms << q.value(2).toString();
        deposits << q.value(5).toDouble();
    }
    q.finish();
    EXPECT_EQ(rooms, QStringList({QStringLiteral("0101"), QStringLiteral("0102"), QStringLiteral("0103")}));
    EXPECT_EQ(deposits, QList<double>({500, 0, 0}));
    for (const QString &r : rooms)
        EXPECT_EQ(roomStatus(r), QStringLiteral("预定房"));
    {
        test::ScriptedMessages m; // 团体 on screen: the question comes; "不是" resets fully
        m.expectConfirm(QStringLiteral("仍属于同一团体吗?"), false);
        w->BSX->click();
    }
    EXPECT_FALSE(w->groupContinuation());
    EXPECT_TRUE(w->BRZD->isEnabled());
    EXPECT_EQ(w->DB10602->currentText(), QStringLiteral("散客"));
    EXPECT_TRUE(w->DB10604->text().isEmpty());
}

TEST_P(YDroomTest, TheReceiptPrintsTheSavedReservationOnly) {
    openWindow();
    clickExpectingInfo(w->BRZD, QStringLiteral("操作无效,请先预定!"));
    pick(QStringLiteral("0201"));
    clickExpectingInfo(w->BRZD, QStringLiteral("操作无效,请先预定!"));
    leaveRate();
    w->DB10608->setText(QStringLiteral("200"));
    fillGuest();
    test::ScriptedMessages ok;
    ok.expectConfirm(QStringLiteral("客房预定信息正确吗?"), true);
    ok.expectInfo(QStringLiteral("客房预定成功!"));
    w->BDJ->click();

    platform::ScopedPreviewCapture capture;
    w->BRZD->click();
    ASSERT_EQ(capture.count(), 1);
    const platform::LaidOutReport &r = capture.last();
    ASSERT_EQ(r.pages.size(), 1);
    const platform::PlacedItem *dw = r.byName(QStringLiteral("DW"));
    ASSERT_NE(dw, nullptr);
    EXPECT_EQ(dw->text, QStringLiteral("一号宾馆"));
    EXPECT_DOUBLE_EQ(dw->rect.x(), 10 + 77.3);
    EXPECT_DOUBLE_EQ(dw->rect.y(), 10 + 1.3);
    const platform::PlacedItem *deposit = r.byName(QStringLiteral("DJ"));
    ASSERT_NE(deposit, nullptr);
    EXPECT_EQ(deposit->text, QStringLiteral("￥200.00"));
    EXPECT_DOUBLE_EQ(deposit->rect.x(), 10 + 19.1);
    EXPECT_DOUBLE_EQ(deposit->rect.y(), 10 + 18.0 + 17.7);
    EXPECT_EQ(r.byName(QStringLiteral("F106_01"))->text, QStringLiteral("00000001"));
    EXPECT_EQ(r.byName(QStringLiteral("F106_03"))->text, QStringLiteral("0201"));
    EXPECT_EQ(r.byName(QStringLiteral("F106_11"))->text, QStringLiteral("2024-05-01 10:20:30"));
    EXPECT_EQ(r.byName(QStringLiteral("PrintDate"))->text, QStringLiteral("2024-05-01"));
    EXPECT_NE(r.byText(QStringLiteral("预定定金凭证")), nullptr);
    EXPECT_TRUE(r.byText(QStringLiteral("预定定金凭证"))->font.underline);

    // After a full refresh the last saved reservation still prints.
    w->BSX->click();
    w->BRZD->click();
    EXPECT_EQ(capture.count(), 2);
}

TEST_P(YDroomTest, TheReceiptAsPdfHoldsTheOrganisationTitleAndAmounts) {
    openWindow();
    reserve(QStringLiteral("0101"), QStringLiteral("200"));
    reservations::TYddjRep report(w->Q1061, w->Q106);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("receipt.pdf"));
    report.exportPdf(pdf);
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    for (const QString &t : {QStringLiteral("一号宾馆"), QStringLiteral("预定定金凭证"),
                             QStringLiteral("￥200.00"), QStringLiteral("00000001"), QStringLiteral("张三"),
                             QStringLiteral("0101"), QStringLiteral("此仅为预定定金凭证,不另作其他用途!")})
        EXPECT_TRUE(text.contains(t)) << t.toStdString() << "\n" << text.toStdString();
}

TEST_P(YDroomTest, ClosingOrRefreshingWithoutSavingWritesNothing) {
    openWindow();
    pick(QStringLiteral("0101"));
    leaveRate();
    fillGuest();
    w->BSX->click(); // 散客: full reset, the row is dropped
    EXPECT_TRUE(w->DB10604->text().isEmpty());
    pick(QStringLiteral("0102"));
    pick(QStringLiteral("0103")); // picking again drops the first row and takes a new number
    EXPECT_EQ(w->DB10601->text(), QStringLiteral("00000001"));
    leaveRate();
    fillGuest();
    w->close();
    w.reset();
    EXPECT_EQ(reservationCount(), 0);
    for (const char *room : {"0101", "0102", "0103"})
        EXPECT_EQ(roomStatus(QString::fromLatin1(room)), QStringLiteral("空房间"));
}

TEST_P(YDroomTest, ARoomTakenAtAnotherWorkstationIsNotReservedTwice) {
    openWindow();
    pick(QStringLiteral("0101"));
    leaveRate();
    fillGuest();
    // Another workstation checks a guest into the room after it was picked here.
    ASSERT_EQ(workstation2(QStringLiteral("update FJK set F103_04='入住房' where F103_01='0101'")), 1);
    {
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("客房预定信息正确吗?"), true);
        m.expectInfo(kRoomStatusChangedMessage);
        w->BDJ->click();
    }
    EXPECT_EQ(reservationCount(), 0);
    EXPECT_EQ(roomStatus(QStringLiteral("0101")), QStringLiteral("入住房"));
    EXPECT_FALSE(w->saved());
    EXPECT_TRUE(w->BDJ->isEnabled());
    clickExpectingInfo(w->BRZD, QStringLiteral("操作无效,请先预定!"));
}

TEST_P(YDroomTest, ANumberTakenAtAnotherWorkstationMovesToTheNextFreeOne) {
    openWindow();
    pick(QStringLiteral("0101"));
    ASSERT_EQ(w->DB10601->text(), QStringLiteral("00000001"));
    leaveRate();
    fillGuest();
    workstation2(QStringLiteral("insert into KRYDK (F106_01, F106_03, F106_11, F106_13) values ('00000001', "
                                "'0201', '2024-04-01 08:00:00', '否')"));
    workstation2(QStringLiteral("update FJK set F103_04='预定房' where F103_01='0201'"));
    {
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("客房预定信息正确吗?"), true);
        m.expectInfo(QStringLiteral("客房预定成功!"));
        w->BDJ->click();
    }
    EXPECT_EQ(w->DB10601->text(), QStringLiteral("00000002"));
    EXPECT_EQ(column(QStringLiteral("00000002"), QStringLiteral("F106_03")).toString(),
              QStringLiteral("0101"));
    EXPECT_EQ(column(QStringLiteral("00000001"), QStringLiteral("F106_03")).toString(),
              QStringLiteral("0201"));
    EXPECT_EQ(roomStatus(QStringLiteral("0101")), QStringLiteral("预定房"));
    EXPECT_EQ(w->Q1061.recordCount(), 1);
    EXPECT_EQ(w->Q1061.fieldByName(QStringLiteral("F106_01")).asString(), QStringLiteral("00000002"));
}

TEST_P(YDroomTest, ASaveThatFailsShowsTheReasonAndWritesNothing) {
    openWindow();
    pick(QStringLiteral("0101"));
    leaveRate();
    fillGuest();
    struct Case {
        const char *deposit;
        const char *name;
        const char *reason; // a part of the error box's text
    };
    const Case cases[] = {
        {"abc", "张三", "abc"},               // a deposit that is no number
        {"100", "欧阳司马长孙公", "F106_04"}, // 14 GBK bytes: refused by the column width
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.reason);
        w->DB10608->setText(QString::fromUtf8(c.deposit));
        w->DB10604->setText(QString::fromUtf8(c.name));
        test::ScriptedMessages m;
        if (QByteArray(c.deposit) != "abc") m.expectConfirm(QStringLiteral("客房预定信息正确吗?"), true);
        m.expectErrorBox(QString::fromUtf8(c.reason));
        w->BDJ->click();
    }
    EXPECT_EQ(reservationCount(), 0);
    EXPECT_EQ(roomStatus(QStringLiteral("0101")), QStringLiteral("空房间"));
    // Corrected, the same reservation saves.
    w->DB10604->setText(QStringLiteral("张三"));
    test::ScriptedMessages m;
    m.expectConfirm(QStringLiteral("客房预定信息正确吗?"), true);
    m.expectInfo(QStringLiteral("客房预定成功!"));
    w->BDJ->click();
    EXPECT_EQ(reservationCount(), 1);
    EXPECT_EQ(roomStatus(QStringLiteral("0101")), QStringLiteral("预定房"));
}

LUMVARD_ON_BOTH_ENGINES(YDroomTest);

} // namespace
