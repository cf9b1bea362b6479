#include "frontdesk/FrontDeskFixture.h"

#include "data/FrontDesk.h"
#include "frontdesk/DJroom.h"
#include "frontdesk/JZReport.h"
#include "frontdesk/JZTS.h"
#include "frontdesk/TFroom.h"
#include "platform/gui/BandedReport.h"
#include "rooms/Editstatus.h"
#include "rooms/RZZL.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

using namespace lumvard;
using lumvard::frontdesk::TFDJroom;
using lumvard::frontdesk::TFTFDJ;
using lumvard::frontdesk::TFTS;

namespace {

// Captures the change dialog's texts instead of showing it.
class ChangeDialogCapture {
public:
    ChangeDialogCapture() {
        TFTS::setShowHook([this](TFTS &d) {
            shown.append({d.LYF->text(), d.LSS->text(), d.LL->text(), d.LYZ->text()});
        });
    }
    ~ChangeDialogCapture() { TFTS::setShowHook({}); }
    QList<QStringList> shown;
};

// Acts on the next modal dialog of class D once it is up (polling, as exec() shows it later).
template <class D> void onModal(std::function<void(D *)> act, int triesLeft = 200) {
    QTimer::singleShot(10, [act, triesLeft] {
        if (auto *d = qobject_cast<D *>(QApplication::activeModalWidget()); d && d->isVisible())
            act(d);
        else if (triesLeft > 0)
            onModal<D>(act, triesLeft - 1);
    });
}

class TFroomTest : public test::FrontDeskFixture {
protected:
    void TearDown() override {
        w.reset();
        clock.reset();
        test::FrontDeskFixture::TearDown();
    }
    void openWindow() {
        w = std::make_unique<TFTFDJ>();
        ASSERT_TRUE(test::showActive(w.get()));
    }
    void choose(const QString &room) {
        const int i = w->FJHCombox->findText(room);
        ASSERT_GE(i, 0) << room.toStdString();
        w->FJHCombox->setCurrentIndex(i);
        settle();
    }
    void at(const QDateTime &now) {
        if (clock)
            clock->set(now);
        else
            clock = std::make_unique<ScopedClock>(now);
    }
    // Enter in SS with the amount; returns the dialog's four texts.
    QStringList pay(const QString &amount) {
        ChangeDialogCapture capture;
        w->SS->setFocus();
        w->SS->setText(amount);
        QTest::keyClick(w->SS, Qt::Key_Return);
        EXPECT_EQ(capture.shown.size(), 1);
        return capture.shown.value(0);
    }
    void settleYes(const QString &status) {
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("客人结帐信息正确吗?"), true);
        m.expectInfo(QStringLiteral("结帐成功,该房间已改为离店状态!"));
        onModal<rooms::TFeditstatus>([status](rooms::TFeditstatus *d) {
            d->ZTCombox->setCurrentText(status);
            d->TeThemeButton1->click();
        });
        w->BJZ->click();
    }

    std::unique_ptr<ScopedClock> clock;
    std::unique_ptr<TFTFDJ> w;
};

TEST_P(TFroomTest, ChoosingARoomCountsTheStayAndPreparesTheSettlement) {
    at(QDateTime(QDate(2024, 5, 2), QTime(14, 0, 5)));
    otherCheckIn(QStringLiteral("00000007"), QStringLiteral("0301"),
                 QDateTime(QDate(2024, 5, 1), QTime(22, 0)), 150, 200, 350);
    otherCheckIn(QStringLiteral("00000008"), QStringLiteral("0102"),
                 QDateTime(QDate(2024, 5, 1), QTime(9, 0)), 180, 200, 1380);
    openWindow();
    QStringList items;
    for (int i = 0; i < w->FJHCombox->count(); ++i)
        items << w->FJHCombox->itemText(i);
    EXPECT_EQ(items, QStringList({QStringLiteral("0102"), QStringLiteral("0301")}));
    EXPECT_EQ(w->FJHCombox->currentIndex(), -1);

    choose(QStringLiteral("0301"));
    EXPECT_EQ(w->FJ->text(), QStringLiteral("150"));
    EXPECT_EQ(w->YSYJ->text(), QStringLiteral("200"));
    EXPECT_EQ(w->ZE->text(), QStringLiteral("150"));
    EXPECT_EQ(w->RZTS->text(), QStringLiteral("1.5"));
    EXPECT_EQ(w->ZXF->text(), QStringLiteral("225"));
    EXPECT_EQ(w->YS->text(), QStringLiteral("225"));
    EXPECT_EQ(w->YTYJ->text(), QStringLiteral("200"));
    EXPECT_EQ(w->SS->text(), QStringLiteral("150"));
    EXPECT_EQ(w->refundText(), QStringLiteral("￥200.00"));
    EXPECT_EQ(QApplication::focusWidget(), w->SS);
    platform::Query &q = dm->QADOQ;
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.fieldByName(QStringLiteral("F105_01")).asString(), QStringLiteral("00000001"));
    EXPECT_EQ(q.fieldByName(QStringLiteral("F105_02")).asString(), QStringLiteral("0301"));
    EXPECT_EQ(q.fieldByName(QStringLiteral("F105_03")).asString(), QStringLiteral("标准间"));
    EXPECT_EQ(q.fieldByName(QStringLiteral("F105_04")).asString(), QStringLiteral("住宿费"));
    EXPECT_DOUBLE_EQ(q.fieldByName(QStringLiteral("F105_06")).asFloat(), 1.5);
    EXPECT_DOUBLE_EQ(q.fieldByName(QStringLiteral("F105_07")).asFloat(), 225);
    EXPECT_EQ(q.fieldByName(QStringLiteral("F105_08")).asString(), QStringLiteral("1001"));
    EXPECT_EQ(q.fieldByName(QStringLiteral("F105_09")).asDateTime(),
              QDateTime(QDate(2024, 5, 2), QTime(14, 0, 5)));
    EXPECT_EQ(w->XFGrid->model()->rowCount(), 1);

    // The change: short of the charge, and over it.
    EXPECT_EQ(pay(QStringLiteral("150")), QStringList({QStringLiteral("￥225"), QStringLiteral("￥150"),
                                                       QStringLiteral("客人应补:"), QStringLiteral("￥75")}));
    EXPECT_EQ(w->YZ->text(), QStringLiteral("-75"));
    EXPECT_EQ(pay(QStringLiteral("300")), QStringList({QStringLiteral("￥225"), QStringLiteral("￥300"),
                                                       QStringLiteral("应找:"), QStringLiteral("￥75")}));

    // Another room: from 1 000 up the amount received still reads back as a number.
    choose(QStringLiteral("0102"));
    EXPECT_EQ(w->ZE->text(), QStringLiteral("1,180"));
    EXPECT_EQ(w->SS->text(), QStringLiteral("1180"));
    EXPECT_EQ(w->RZTS->text(), QStringLiteral("1.5"));
    EXPECT_EQ(pay(w->SS->text()).value(2), QStringLiteral("应找:"));
    EXPECT_EQ(dm->QADOQ.recordCount(), 1);
    EXPECT_EQ(rows(QStringLiteral("KRXFK")), 0); // nothing is written before "结帐"
}

TEST_P(TFroomTest, AmountReceivedZeroIsAcceptedNegativeOrEmptyRefused) {
    at(QDateTime(QDate(2024, 5, 2), QTime(9, 0)));
    otherCheckIn(QStringLiteral("00000001"), QStringLiteral("0301"),
                 QDateTime(QDate(2024, 5, 1), QTime(22, 0)), 150, 200, 350);
    openWindow();
    // No room chosen: leaving SS says nothing.
    w->SS->setFocus();
    w->SS->setText(QStringLiteral("-1"));
    w->FJHCombox->setFocus();
    settle();
    choose(QStringLiteral("0301"));
    struct Case {
        const char *amount;
        bool refused;
    };
    for (const Case &c : {Case{"0", false}, Case{"-1", true}, Case{"", true}, Case{"225.5", false}}) {
        SCOPED_TRACE(c.amount);
        test::ScriptedMessages m;
        if (c.refused) m.expectInfo(QStringLiteral("实收金额不正确,请重新录入!"));
        w->SS->setFocus();
        w->SS->setText(QString::fromUtf8(c.amount));
        w->FJHCombox->setFocus();
        settle();
        if (c.refused) {
            EXPECT_EQ(QApplication::focusWidget(), w->SS);
        }
    }
}

TEST_P(TFroomTest, RefusalsBeforeARoomOrASettlement) {
    openWindow();
    {
        test::ScriptedMessages m;
        m.expectInfo(QStringLiteral("请先选择房间号!"));
        m.expectInfo(QStringLiteral("操作无效,请先结帐!"));
        w->Blook->click();
        w->BZD->click();
    }
    w->BJZ->click(); // no room: nothing happens
    EXPECT_EQ(rows(QStringLiteral("KRXFK")), 0);
}

TEST_P(TFroomTest, GuestDetailsShowTheOpenCheckIn) {
    at(QDateTime(QDate(2024, 5, 2), QTime(9, 0)));
    otherCheckIn(QStringLiteral("00000001"), QStringLiteral("0301"),
                 QDateTime(QDate(2024, 5, 1), QTime(22, 0)), 150, 200, 350);
    openWindow();
    choose(QStringLiteral("0301"));
    QString heading, guest;
    onModal<rooms::TFRZZL>([&](rooms::TFRZZL *d) {
        heading = d->LBT->text();
        guest = d->fieldFor(QStringLiteral("F104_09"))->text();
        d->reject();
    });
    w->Blook->click();
    EXPECT_EQ(heading, QStringLiteral("以下是0301房间的客人入住资料"));
    EXPECT_EQ(guest, QStringLiteral("王五"));
}

TEST_P(TFroomTest, SecondWorkstationSettlingTheSameRoomWritesNothing) {
    at(QDateTime(QDate(2024, 5, 2), QTime(9, 0)));
    otherCheckIn(QStringLiteral("00000001"), QStringLiteral("0301"),
                 QDateTime(QDate(2024, 5, 1), QTime(22, 0)), 150, 200, 350);
    openWindow();
    choose(QStringLiteral("0301"));
    // The other workstation settles the room first.
    workstation2(QStringLiteral("update RZK set F104_16='是' where F104_01='00000001'"));
    workstation2(
        QStringLiteral("insert into KRXFK (F105_01, F105_02, F105_09, F105_10, F105_11) values "
                       "('00000001', '0301', '2024-05-02 08:00:00', '2024-05-02 00:00:00', '2024-05')"));
    {
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("客人结帐信息正确吗?"), true);
        m.expectInfo(kCheckInClosedMessage);
        w->BJZ->click();
    }
    EXPECT_EQ(rows(QStringLiteral("KRXFK")), 1);
    EXPECT_FALSE(w->settled());
    EXPECT_TRUE(w->BJZ->isEnabled());
    test::ScriptedMessages m;
    m.expectInfo(QStringLiteral("操作无效,请先结帐!"));
    w->BZD->click();
}

TEST_P(TFroomTest, SettlementNumberTakenMeanwhileIsShownAndBilled) {
    at(QDateTime(QDate(2024, 5, 2), QTime(9, 0)));
    otherCheckIn(QStringLiteral("00000001"), QStringLiteral("0301"),
                 QDateTime(QDate(2024, 5, 1), QTime(22, 0)), 150, 200, 350);
    openWindow();
    choose(QStringLiteral("0301"));
    ASSERT_EQ(dm->QADOQ.fieldByName(QStringLiteral("F105_01")).asString(), QStringLiteral("00000001"));
    workstation2(
        QStringLiteral("insert into KRXFK (F105_01, F105_02, F105_09, F105_10, F105_11) values "
                       "('00000001', '0102', '2024-05-02 08:00:00', '2024-05-02 00:00:00', '2024-05')"));
    settleYes(QStringLiteral("空房间"));
    EXPECT_EQ(krxfk(QStringLiteral("00000002"), QStringLiteral("F105_02")).toString(),
              QStringLiteral("0301"));
    EXPECT_EQ(dm->QADOQ.fieldByName(QStringLiteral("F105_01")).asString(), QStringLiteral("00000002"));
    EXPECT_EQ(roomStatus(QStringLiteral("0301")), QStringLiteral("空房间"));
    platform::ScopedPreviewCapture capture;
    w->BZD->click();
    ASSERT_EQ(capture.count(), 1);
    EXPECT_EQ(capture.last().byName(QStringLiteral("F105_01"))->text, QStringLiteral("00000002"));
}

TEST_P(TFroomTest, StatusDialogClosedWithoutConfirmingLeavesTheRoomOccupied) {
    at(QDateTime(QDate(2024, 5, 2), QTime(9, 0)));
    otherCheckIn(QStringLiteral("00000001"), QStringLiteral("0301"),
                 QDateTime(QDate(2024, 5, 1), QTime(22, 0)), 150, 200, 350);
    openWindow();
    choose(QStringLiteral("0301"));
    {
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("客人结帐信息正确吗?"), true);
        m.expectInfo(QStringLiteral("结帐成功,该房间已改为离店状态!"));
        onModal<rooms::TFeditstatus>([](rooms::TFeditstatus *d) { d->reject(); });
        w->BJZ->click();
    }
    EXPECT_EQ(rzk(QStringLiteral("00000001"), QStringLiteral("F104_16")).toString(), QStringLiteral("是"));
    EXPECT_EQ(roomStatus(QStringLiteral("0301")), QStringLiteral("入住房"));
    EXPECT_FALSE(w->BJZ->isEnabled());
    EXPECT_NE(w->FJHCombox->findText(QStringLiteral("0301")), -1); // until the refresh
    w->BSX->click();
    EXPECT_EQ(w->FJHCombox->findText(QStringLiteral("0301")), -1);
    EXPECT_TRUE(w->BJZ->isEnabled());
    EXPECT_TRUE(w->SS->text().isEmpty());
    EXPECT_EQ(dm->QADOQ.recordCount(), 0);
    test::ScriptedMessages m;
    m.expectInfo(QStringLiteral("操作无效,请先结帐!"));
    w->BZD->click();
}

// The whole stay of one guest, from a vacant room to the bill.
TEST_P(TFroomTest, GuestRoadFromCheckInToBill) {
    at(QDateTime(QDate(2024, 5, 1), QTime(10, 0, 0)));
    EXPECT_EQ(roomStatus(QStringLiteral("0301")), QStringLiteral("空房间"));

    // Check-in.
    auto in = std::make_unique<TFDJroom>();
    ASSERT_TRUE(test::showActive(in.get()));
    ASSERT_TRUE(pickRoom(in->FJGrid, in->Q103, QStringLiteral("0301")));
    in->DB10405->setFocus();
    in->DB10407->setFocus();
    in->DB10407->setText(QStringLiteral("200"));
    in->DB10409->setFocus();
    settle();
    EXPECT_EQ(in->DB10408->text(), QStringLiteral("350"));
    in->DB10409->setText(QStringLiteral("张三"));
    in->DB10411->setText(QStringLiteral("110101199001011234"));
    in->DB10412->setText(QStringLiteral("北京市东城区"));
    {
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("入住信息正确吗?"), true);
        m.expectInfo(QStringLiteral("入住登记成功!"));
        in->BDJ->click();
    }
    const QString n = QStringLiteral("00000001");
    EXPECT_EQ(rows(QStringLiteral("RZK")), 1);
    EXPECT_EQ(rzk(n, QStringLiteral("F104_02")).toString(), QStringLiteral("0301"));
    EXPECT_DOUBLE_EQ(rzk(n, QStringLiteral("F104_06")).toDouble(), 150);
    EXPECT_DOUBLE_EQ(rzk(n, QStringLiteral("F104_07")).toDouble(), 200);
    EXPECT_DOUBLE_EQ(rzk(n, QStringLiteral("F104_08")).toDouble(), 350);
    EXPECT_EQ(rzk(n, QStringLiteral("F104_16")).toString(), QStringLiteral("否"));
    EXPECT_EQ(rows(QStringLiteral("KRXFK")), 0);
    EXPECT_EQ(roomStatus(QStringLiteral("0301")), QStringLiteral("入住房"));
    {
        platform::ScopedPreviewCapture capture;
        in->BRZD->click();
        ASSERT_EQ(capture.count(), 1);
        const platform::LaidOutReport &r = capture.last();
        EXPECT_EQ(r.byName(QStringLiteral("F104_01"))->text, n);
        EXPECT_EQ(r.byName(QStringLiteral("F104_02"))->text, QStringLiteral("0301"));
        EXPECT_EQ(r.byName(QStringLiteral("YJ"))->text, QStringLiteral("￥200.00"));
        EXPECT_EQ(r.byName(QStringLiteral("F104_09"))->text, QStringLiteral("张三"));
    }
    in->close();
    in.reset();

    // Checkout the next day at 14:00.
    at(QDateTime(QDate(2024, 5, 2), QTime(14, 0, 0)));
    openWindow();
    choose(QStringLiteral("0301"));
    EXPECT_EQ(w->RZTS->text(), QStringLiteral("1.5"));
    EXPECT_EQ(w->YS->text(), QStringLiteral("225"));
    EXPECT_EQ(pay(w->SS->text()), QStringList({QStringLiteral("￥225"), QStringLiteral("￥150"),
                                               QStringLiteral("客人应补:"), QStringLiteral("￥75")}));
    EXPECT_EQ(rows(QStringLiteral("KRXFK")), 0);
    EXPECT_EQ(rzk(n, QStringLiteral("F104_16")).toString(), QStringLiteral("否"));

    settleYes(QStringLiteral("打扫中"));
    EXPECT_TRUE(w->settled());
    EXPECT_EQ(rzk(n, QStringLiteral("F104_16")).toString(), QStringLiteral("是"));
    EXPECT_EQ(rows(QStringLiteral("KRXFK")), 1);
    EXPECT_EQ(krxfk(n, QStringLiteral("F105_02")).toString(), QStringLiteral("0301"));
    EXPECT_EQ(krxfk(n, QStringLiteral("F105_03")).toString(), QStringLiteral("标准间"));
    EXPECT_EQ(krxfk(n, QStringLiteral("F105_04")).toString(), QStringLiteral("住宿费"));
    EXPECT_DOUBLE_EQ(krxfk(n, QStringLiteral("F105_05")).toDouble(), 150);
    EXPECT_DOUBLE_EQ(krxfk(n, QStringLiteral("F105_06")).toDouble(), 1.5);
    EXPECT_DOUBLE_EQ(krxfk(n, QStringLiteral("F105_07")).toDouble(), 225);
    EXPECT_EQ(krxfk(n, QStringLiteral("F105_08")).toString(), QStringLiteral("1001"));
    EXPECT_EQ(platform::Connection::dateTimeFromStorage(krxfk(n, QStringLiteral("F105_09"))),
              QDateTime(QDate(2024, 5, 2), QTime(14, 0, 0)));
    EXPECT_EQ(platform::Connection::dateTimeFromStorage(krxfk(n, QStringLiteral("F105_10"))),
              QDateTime(QDate(2024, 5, 2), QTime(0, 0)));
    EXPECT_EQ(krxfk(n, QStringLiteral("F105_11")).toString(), QStringLiteral("2024-05"));
    EXPECT_EQ(roomStatus(QStringLiteral("0301")), QStringLiteral("打扫中"));

    // The bill.
    platform::ScopedPreviewCapture capture;
    w->BZD->click();
    ASSERT_EQ(capture.count(), 1);
    const platform::LaidOutReport &r = capture.last();
    EXPECT_EQ(r.byName(QStringLiteral("DW"))->text, QStringLiteral("一号宾馆"));
    EXPECT_EQ(r.byName(QStringLiteral("F105_01"))->text, n);
    EXPECT_EQ(r.byName(QStringLiteral("F105_06"))->text, QStringLiteral("1.50天"));
    EXPECT_EQ(r.byName(QStringLiteral("F105_05"))->text, QStringLiteral("￥150.00"));
    EXPECT_EQ(r.byName(QStringLiteral("F104_07"))->text, QStringLiteral("￥200.00"));
    EXPECT_EQ(r.byName(QStringLiteral("F104_08"))->text, QStringLiteral("￥350.00"));
    EXPECT_EQ(r.byName(QStringLiteral("F105_07"))->text, QStringLiteral("￥225.00"));
    EXPECT_EQ(r.byName(QStringLiteral("JZJE"))->text, QStringLiteral("￥225.00"));
    EXPECT_EQ(r.byName(QStringLiteral("YTYJ"))->text, QStringLiteral("￥200.00"));
    EXPECT_EQ(r.byName(QStringLiteral("F104_09"))->text, QStringLiteral("张三"));
    EXPECT_EQ(r.byName(QStringLiteral("F105_08"))->text, QStringLiteral("1001"));

    // And on paper.
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("bill.pdf"));
    frontdesk::TJZRep bill(dm->QADOQ, w->Q104, w->refundText());
    bill.exportPdf(pdf);
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    for (const QString &t : {QStringLiteral("一号宾馆"), QStringLiteral("结帐凭证"), QStringLiteral("1.50天"),
                             QStringLiteral("￥225.00"), QStringLiteral("￥200.00"), QStringLiteral("张三"),
                             QStringLiteral("感谢您的光临")})
        EXPECT_TRUE(text.contains(t)) << t.toStdString() << "\n" << text.toStdString();
}

LUMVARD_ON_BOTH_ENGINES(TFroomTest);

} // namespace
