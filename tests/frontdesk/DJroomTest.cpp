#include "frontdesk/FrontDeskFixture.h"
#include "support/WindowFixture.h"

#include "data/RoomStatus.h"
#include "frontdesk/DJroom.h"
#include "frontdesk/Rzdjrep.h"
#include "platform/gui/BandedReport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QToolButton>

using namespace lumvard;
using lumvard::frontdesk::TFDJroom;

namespace {

class DJroomTest : public test::WindowFixture<test::FrontDeskFixture, TFDJroom> {
protected:
    void price(const QString &rate, const QString &deposit) {
        w->DB10405->setText(rate);
        leave(w->DB10405, w->DB10407);
        w->DB10407->setText(deposit);
        leave(w->DB10407, w->DB10409);
    }
    void fillGuest(const QString &name = QStringLiteral("张三")) {
        w->DB10409->setText(name);
        w->DB10411->setText(QStringLiteral("110101199001011234"));
        w->DB10412->setText(QStringLiteral("北京市东城区"));
    }
    void registerYes() {
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("入住信息正确吗?"), true);
        m.expectInfo(QStringLiteral("入住登记成功!"));
        w->BDJ->click();
    }
};

TEST_P(DJroomTest, ListsVacantRoomsByCategoryAndPicksARoom) {
    openWindow();
    EXPECT_EQ(w->LBCombox->itemText(0), QStringLiteral("所有可供"));
    EXPECT_EQ(w->LBCombox->count(), 3);
    EXPECT_EQ(roomsListed(w->Q103).size(), 6); // 0202 is occupied
    w->LBCombox->setCurrentIndex(2);
    EXPECT_EQ(roomsListed(w->Q103), QStringList({QStringLiteral("0201")}));
    w->LBCombox->setCurrentIndex(0);

    pick(QStringLiteral("0302"));
    EXPECT_TRUE(w->prepared());
    EXPECT_EQ(w->DB10401->text(), QStringLiteral("00000001"));
    EXPECT_EQ(w->DB10402->text(), QStringLiteral("0302"));
    EXPECT_EQ(w->DB10403->text(), QStringLiteral("标准间"));
    EXPECT_EQ(w->DB10404->text(), QStringLiteral("168"));
    EXPECT_EQ(w->DB10405->text(), QStringLiteral("1"));
    EXPECT_EQ(w->DB10414->text(), QStringLiteral("1001"));
    EXPECT_EQ(w->DB10415->text(), QStringLiteral("2024-05-01 10:20:30"));
    EXPECT_EQ(QApplication::focusWidget(), w->DB10405);
}

TEST_P(DJroomTest, RateAndDepositAreComputedWhenLeft) {
    openWindow();
    pick(QStringLiteral("0302"));
    struct Case {
        const char *rate;
        bool refused;
        const char *actual;
    };
    const Case cases[] = {
        {"1", false, "168"},   {"0", true, "168"}, {"-0.5", true, "168"},
        {"1.01", true, "168"}, {"", false, "168"}, {"0.85", false, "142.8"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.rate);
        test::ScriptedMessages m;
        if (c.refused) m.expectInfo(QStringLiteral("折价率录入不规范!"));
        w->DB10405->setText(QString::fromUtf8(c.rate));
        leave(w->DB10405, w->DB10407);
        EXPECT_EQ(w->DB10406->text(), QString::fromUtf8(c.actual));
        if (c.refused) {
            EXPECT_EQ(QApplication::focusWidget(), w->DB10405);
        }
    }
    // The empty deposit becomes "0" and the total is the actual price.
    w->DB10407->clear();
    leave(w->DB10407, w->DB10409);
    EXPECT_EQ(w->DB10407->text(), QStringLiteral("0"));
    EXPECT_EQ(w->DB10408->text(), QStringLiteral("142.8"));

    // Enter moves along the chain and runs the exit handler on the way.
    w->DB10407->setFocus();
    w->DB10407->setText(QStringLiteral("200"));
    QTest::keyClick(w->DB10407, Qt::Key_Return);
    settle();
    EXPECT_EQ(w->DB10408->text(), QStringLiteral("342.8"));
    EXPECT_EQ(QApplication::focusWidget(), w->DB10602);
}

TEST_P(DJroomTest, ChecksRunInOrder) {
    openWindow();
    clickExpectingInfo(w->BDJ, QStringLiteral("实际价不能为零!"));
    pick(QStringLiteral("0301"));
    leave(w->DB10405, w->DB10407); // the deposit field is never left: no total
    fillGuest();
    clickExpectingInfo(w->BDJ, QStringLiteral("总额不能为零!"));
    EXPECT_EQ(QApplication::focusWidget(), w->DB10408);
    price(QStringLiteral("1"), QStringLiteral("200"));
    struct Case {
        QLineEdit *TFDJroom::*edit;
        const char *message;
    };
    const Case cases[] = {
        {&TFDJroom::DB10409, "客人姓名不能为空!"},
        {&TFDJroom::DB10411, "证件号码不能为空!"},
        {&TFDJroom::DB10412, "证件地址不能为空!"},
    };
    for (const Case &c : cases) {
        fillGuest();
        (w.get()->*c.edit)->clear();
        test::ScriptedMessages m;
        m.expectInfo(QString::fromUtf8(c.message));
        w->BDJ->click();
        EXPECT_EQ(QApplication::focusWidget(), w.get()->*c.edit);
    }
    fillGuest();
    w->DB10410->setEditText(QString());
    clickExpectingInfo(w->BDJ, QStringLiteral("证件名称不能为空!"));
    EXPECT_EQ(rows(QStringLiteral("RZK")), 0);
}

TEST_P(DJroomTest, NoThenYesWritesOneRowAndTheReceiptPrintsIt) {
    openWindow();
    clickExpectingInfo(w->BRZD, QStringLiteral("操作无效,请先登记!"));
    pick(QStringLiteral("0302"));
    price(QStringLiteral("0.85"), QString());
    fillGuest();
    {
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("入住信息正确吗?"), false);
        w->BDJ->click();
    }
    EXPECT_EQ(rows(QStringLiteral("RZK")), 0);
    EXPECT_EQ(roomStatus(QStringLiteral("0302")), QStringLiteral("空房间"));
    clickExpectingInfo(w->BRZD, QStringLiteral("操作无效,请先登记!"));
    registerYes();
    EXPECT_EQ(rows(QStringLiteral("RZK")), 1);
    const QString n = QStringLiteral("00000001");
    EXPECT_DOUBLE_EQ(rzk(n, QStringLiteral("F104_04")).toDouble(), 168);
    EXPECT_DOUBLE_EQ(rzk(n, QStringLiteral("F104_05")).toDouble(), 0.85);
    EXPECT_DOUBLE_EQ(rzk(n, QStringLiteral("F104_06")).toDouble(), 142.8);
    EXPECT_DOUBLE_EQ(rzk(n, QStringLiteral("F104_07")).toDouble(), 0);
    EXPECT_DOUBLE_EQ(rzk(n, QStringLiteral("F104_08")).toDouble(), 142.8);
    EXPECT_EQ(rzk(n, QStringLiteral("F104_10")).toString(), QStringLiteral("身份证"));
    EXPECT_EQ(rzk(n, QStringLiteral("F104_13")).toInt(), 0);
    EXPECT_EQ(rzk(n, QStringLiteral("F104_14")).toString(), QStringLiteral("1001"));
    EXPECT_EQ(platform::Connection::dateTimeFromStorage(rzk(n, QStringLiteral("F104_15"))),
              QDateTime(QDate(2024, 5, 1), QTime(10, 20, 30)));
    EXPECT_EQ(rzk(n, QStringLiteral("F104_16")).toString(), QStringLiteral("否"));
    EXPECT_EQ(roomStatus(QStringLiteral("0302")), QStringLiteral("入住房"));
    EXPECT_FALSE(w->BDJ->isEnabled());
    EXPECT_TRUE(roomsListed(w->Q103).contains(QStringLiteral("0302"))); // until the refresh

    platform::ScopedPreviewCapture capture;
    w->BRZD->click();
    ASSERT_EQ(capture.count(), 1);
    const platform::LaidOutReport &r = capture.last();
    EXPECT_EQ(r.byName(QStringLiteral("DW"))->text, QStringLiteral("一号宾馆"));
    EXPECT_EQ(r.byName(QStringLiteral("F104_01"))->text, n);
    EXPECT_EQ(r.byName(QStringLiteral("F104_04"))->text, QStringLiteral("￥168.00"));
    EXPECT_EQ(r.byName(QStringLiteral("F104_06"))->text, QStringLiteral("￥142.80"));
    EXPECT_EQ(r.byName(QStringLiteral("YJ"))->text, QStringLiteral("￥0.00"));
    EXPECT_NE(r.byText(QStringLiteral("收款押金凭证")), nullptr);

    // Another room picked: the receipt waits for its registration.
    pick(QStringLiteral("0301"));
    test::ScriptedMessages m;
    m.expectInfo(QStringLiteral("操作无效,请先登记!"));
    w->BRZD->click();
}

TEST_P(DJroomTest, GroupRefreshKeepsTheGuestAndZeroesLaterDeposits) {
    openWindow();
    pick(QStringLiteral("0101"));
    price(QStringLiteral("1"), QStringLiteral("200"));
    w->DB10602->setCurrentIndex(1); // 团体
    fillGuest();
    w->DB10413->setText(QStringLiteral("3"));
    registerYes();
    {
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("仍属于同一团体吗?"), true);
        w->BSX->click();
    }
    EXPECT_TRUE(w->groupContinuation());
    EXPECT_TRUE(w->BDJ->isEnabled());
    EXPECT_FALSE(w->BRZD->isEnabled());
    EXPECT_TRUE(w->DB10401->text().isEmpty());
    EXPECT_TRUE(w->DB10407->text().isEmpty());
    EXPECT_EQ(w->DB10409->text(), QStringLiteral("张三"));
    EXPECT_EQ(w->DB10413->text(), QStringLiteral("3"));
    EXPECT_EQ(w->DB10602->currentText(), QStringLiteral("团体"));
    EXPECT_FALSE(roomsListed(w->Q103).contains(QStringLiteral("0101")));

    pick(QStringLiteral("0102"));
    price(QStringLiteral("1"), QStringLiteral("50"));
    EXPECT_EQ(w->DB10407->text(), QStringLiteral("0"));
    EXPECT_EQ(w->DB10408->text(), QStringLiteral("230")); // the total keeps what was typed
    registerYes();
    EXPECT_EQ(w->DB10401->text(), QStringLiteral("00000002"));
    EXPECT_EQ(rzk(QStringLiteral("00000002"), QStringLiteral("F104_09")).toString(), QStringLiteral("张三"));
    EXPECT_DOUBLE_EQ(rzk(QStringLiteral("00000002"), QStringLiteral("F104_07")).toDouble(), 0);
    EXPECT_EQ(rzk(QStringLiteral("00000002"), QStringLiteral("F104_13")).toInt(), 3);

    // "不是": an individual guest again, everything but the document type emptied.
    {
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("仍属于同一团体吗?"), false);
        w->BSX->click();
    }
    EXPECT_FALSE(w->groupContinuation());
    EXPECT_TRUE(w->BRZD->isEnabled());
    EXPECT_TRUE(w->DB10409->text().isEmpty());
    EXPECT_EQ(w->DB10602->currentText(), QStringLiteral("散客"));
}

TEST_P(DJroomTest, ClosingWithAPreparedRowWritesNothing) {
    openWindow();
    pick(QStringLiteral("0101"));
    price(QStringLiteral("1"), QStringLiteral("100"));
    fillGuest();
    w->close();
    w.reset();
    EXPECT_EQ(rows(QStringLiteral("RZK")), 0);
    EXPECT_EQ(roomStatus(QStringLiteral("0101")), QStringLiteral("空房间"));
}

TEST_P(DJroomTest, ErrorsWhileRegisteringAreShownAndWriteNothing) {
    openWindow();
    pick(QStringLiteral("0101"));
    price(QStringLiteral("1"), QStringLiteral("100"));
    fillGuest(QStringLiteral("欧阳诸葛司马")); // 12 GBK bytes in a column of 8
    {
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("入住信息正确吗?"), true);
        m.expectErrorBox(QStringLiteral("F104_09"));
        w->BDJ->click();
    }
    w->DB10409->setText(QStringLiteral("张三"));
    w->DB10413->setText(QStringLiteral("两人"));
    {
        test::ScriptedMessages m;
        m.expectErrorBox(QStringLiteral("两人"));
        w->BDJ->click();
    }
    EXPECT_EQ(rows(QStringLiteral("RZK")), 0);
    EXPECT_EQ(roomStatus(QStringLiteral("0101")), QStringLiteral("空房间"));
    EXPECT_TRUE(w->prepared());
    // Corrected, the same row registers.
    w->DB10413->setText(QStringLiteral("2"));
    registerYes();
    EXPECT_EQ(rzk(QStringLiteral("00000001"), QStringLiteral("F104_13")).toInt(), 2);
}

TEST_P(DJroomTest, RoomTakenByAnotherWorkstationWritesNothing) {
    openWindow();
    pick(QStringLiteral("0101"));
    price(QStringLiteral("1"), QStringLiteral("100"));
    fillGuest();
    workstation2(QStringLiteral("update FJK set F103_04='预定房' where F103_01='0101'"));
    {
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("入住信息正确吗?"), true);
        m.expectInfo(kRoomStatusChangedMessage);
        w->BDJ->click();
    }
    EXPECT_EQ(rows(QStringLiteral("RZK")), 0);
    EXPECT_EQ(roomStatus(QStringLiteral("0101")), QStringLiteral("预定房"));
    EXPECT_TRUE(w->BDJ->isEnabled());
    EXPECT_FALSE(w->registered());
}

TEST_P(DJroomTest, NumberTakenMeanwhileShowsTheNextFreeOne) {
    openWindow();
    pick(QStringLiteral("0101"));
    ASSERT_EQ(w->DB10401->text(), QStringLiteral("00000001"));
    price(QStringLiteral("1"), QStringLiteral("100"));
    fillGuest(QStringLiteral("李四"));
    otherCheckIn(QStringLiteral("00000001"), QStringLiteral("0102"),
                 QDateTime(QDate(2024, 5, 1), QTime(10, 0)), 180, 0, 180);
    registerYes();
    EXPECT_EQ(w->DB10401->text(), QStringLiteral("00000002"));
    EXPECT_EQ(rzk(QStringLiteral("00000002"), QStringLiteral("F104_09")).toString(), QStringLiteral("李四"));
    EXPECT_EQ(rzk(QStringLiteral("00000001"), QStringLiteral("F104_09")).toString(), QStringLiteral("王五"));
    platform::ScopedPreviewCapture capture;
    w->BRZD->click();
    ASSERT_EQ(capture.count(), 1);
    EXPECT_EQ(capture.last().byName(QStringLiteral("F104_01"))->text, QStringLiteral("00000002"));
}

TEST_P(DJroomTest, ReceiptRendersToPdfWithItsTextsAndDepositBase) {
    openWindow();
    pick(QStringLiteral("0301"));
    price(QStringLiteral("1"), QStringLiteral("200"));
    fillGuest();
    registerYes();
    {
        // A supplementary deposit prints only what was just paid.
        platform::ScopedPreviewCapture capture;
        frontdesk::TYJRep report(w->Q1041, 150);
        report.preview();
        EXPECT_EQ(capture.last().byName(QStringLiteral("YJ"))->text, QStringLiteral("￥50.00"));
    }
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("receipt.pdf"));
    frontdesk::TYJRep report(w->Q1041);
    report.exportPdf(pdf);
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    for (const QString &t :
         {QStringLiteral("一号宾馆"), QStringLiteral("收款押金凭证"), QStringLiteral("00000001"),
          QStringLiteral("￥200.00"), QStringLiteral("￥150.00"), QStringLiteral("张三"),
          QStringLiteral("0301"), QStringLiteral("遗失者自负")})
        EXPECT_TRUE(text.contains(t)) << t.toStdString() << "\n" << text.toStdString();
}

LUMVARD_ON_BOTH_ENGINES(DJroomTest);

} // namespace
