#include "frontdesk/FrontDeskFixture.h"

#include "frontdesk/SetYJBJ.h"
#include "platform/gui/BandedReport.h"
#include "platform/gui/DataGrid.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

using namespace lumvard;
using lumvard::frontdesk::TFBJYJ;

namespace {

class SetYJBJTest : public test::FrontDeskFixture {
protected:
    void TearDown() override {
        w.reset();
        test::FrontDeskFixture::TearDown();
    }

    // Two open check-ins (0301 标准间 at 150 with 200 paid, 0201 套房 at 380 with 100 paid) and a
    // settled one.
    void checkIns() {
        const QDateTime at(QDate(2024, 5, 1), QTime(10, 20, 30));
        otherCheckIn(QStringLiteral("00000001"), QStringLiteral("0301"), at, 150, 200, 350);
        otherCheckIn(QStringLiteral("00000002"), QStringLiteral("0201"), at, 380, 100, 480);
        otherCheckIn(QStringLiteral("00000003"), QStringLiteral("0302"), at, 168, 50, 218);
        workstation2(QStringLiteral("update RZK set F104_03='套房' where F104_01='00000002'"));
        workstation2(QStringLiteral("update RZK set F104_16='是' where F104_01='00000003'"));
    }
    void openWindow() {
        w = std::make_unique<TFBJYJ>();
        ASSERT_TRUE(test::showActive(w.get()));
    }
    QStringList listed() {
        QStringList out;
        for (int r = 0; r < w->Q104.recordCount(); ++r)
            out << w->Q104.displayText(r, w->Q104.fieldIndex(QStringLiteral("F104_01")));
        return out;
    }
    void select(const QString &number) {
        const int row = listed().indexOf(number);
        ASSERT_GE(row, 0) << number.toStdString();
        const QModelIndex index = w->FJGrid->model()->index(w->FJGrid->gridRowOfRecord(row), 0);
        w->FJGrid->setCurrentIndex(index);
        emit w->FJGrid->doubleClicked(index);
    }
    void supplement(const QString &amount) {
        w->DB10608->setText(amount);
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("押金录入正确吗?"), true);
        m.expectInfo(QStringLiteral("补交成功!"));
        w->BDJ->click();
    }
    double deposit(const char *number) {
        return rzk(QString::fromLatin1(number), QStringLiteral("F104_07")).toDouble();
    }
    double total(const char *number) {
        return rzk(QString::fromLatin1(number), QStringLiteral("F104_08")).toDouble();
    }

    std::unique_ptr<TFBJYJ> w;
};

TEST_P(SetYJBJTest, ListsOpenCheckInsByCategoryAndSelectsTheFirstWhenShown) {
    checkIns();
    openWindow();
    EXPECT_EQ(w->LBCombox->itemText(0), QStringLiteral("所有入住房"));
    EXPECT_EQ(w->LBCombox->count(), 3);
    EXPECT_EQ(listed(), QStringList({QStringLiteral("00000001"), QStringLiteral("00000002")}));
    // The first check-in is selected when the window is shown.
    EXPECT_EQ(w->DB10601->text(), QStringLiteral("00000001"));
    EXPECT_EQ(w->DB10603->text(), QStringLiteral("0301"));
    EXPECT_EQ(w->DB10615->text(), QStringLiteral("150"));
    EXPECT_EQ(w->DB10608->text(), QStringLiteral("0"));
    EXPECT_EQ(w->YJYJ->text(), QStringLiteral("200"));
    EXPECT_EQ(w->DB10604->text(), QStringLiteral("王五"));
    EXPECT_EQ(w->DB10611->text(), QStringLiteral("2024-05-01 10:20:30"));
    EXPECT_DOUBLE_EQ(w->depositSoFar(), 200);
    EXPECT_EQ(QApplication::focusWidget(), w->DB10608);

    w->LBCombox->setCurrentIndex(w->LBCombox->findText(QStringLiteral("套房")));
    EXPECT_EQ(listed(), QStringList({QStringLiteral("00000002")}));
    select(QStringLiteral("00000002"));
    EXPECT_EQ(w->DB10603->text(), QStringLiteral("0201"));
    EXPECT_EQ(w->DB10614->text(), QStringLiteral("套房"));
    EXPECT_EQ(w->YJYJ->text(), QStringLiteral("100"));
    // The filter stays on refresh.
    w->BSX->click();
    EXPECT_EQ(listed(), QStringList({QStringLiteral("00000002")}));
    EXPECT_TRUE(w->DB10601->text().isEmpty());
}

TEST_P(SetYJBJTest, SupplementGrowsDepositAndTotalAndTheReceiptShowsOnlyThePayment) {
    checkIns();
    openWindow();
    {
        test::ScriptedMessages m;
        m.expectInfo(QStringLiteral("操作无效,请先补交押金!"));
        w->BRZD->click();
    }
    supplement(QStringLiteral("100"));
    EXPECT_DOUBLE_EQ(deposit("00000001"), 300);
    EXPECT_DOUBLE_EQ(total("00000001"), 450);
    EXPECT_DOUBLE_EQ(deposit("00000002"), 100); // the others untouched
    EXPECT_FALSE(w->BDJ->isEnabled());

    platform::ScopedPreviewCapture capture;
    w->BRZD->click();
    ASSERT_EQ(capture.count(), 1);
    EXPECT_EQ(capture.last().byName(QStringLiteral("F104_01"))->text, QStringLiteral("00000001"));
    EXPECT_EQ(capture.last().byName(QStringLiteral("YJ"))->text, QStringLiteral("￥100.00"));

    // After a refresh "补交" works again and the last receipt still prints.
    w->BSX->click();
    EXPECT_TRUE(w->BDJ->isEnabled());
    w->BRZD->click();
    ASSERT_EQ(capture.count(), 2);
    EXPECT_EQ(capture.last().byName(QStringLiteral("YJ"))->text, QStringLiteral("￥100.00"));

    // A second supplement starts from the deposit now stored; decimals are money.
    select(QStringLiteral("00000001"));
    EXPECT_EQ(w->YJYJ->text(), QStringLiteral("300"));
    supplement(QStringLiteral("50.5"));
    EXPECT_DOUBLE_EQ(deposit("00000001"), 350.5);
    EXPECT_DOUBLE_EQ(total("00000001"), 500.5);
    w->BRZD->click();
    EXPECT_EQ(capture.last().byName(QStringLiteral("YJ"))->text, QStringLiteral("￥50.50"));
}

TEST_P(SetYJBJTest, RefusedAmountsAndNoWriteNothing) {
    checkIns();
    openWindow();
    struct Case {
        const char *amount;
        const char *message;
    };
    const Case cases[] = {
        {"", "押金不能为零!"},
        {"0", "押金不能为零!"},
        {"0.00", "押金不能为零!"},
        {"abc", "补交金额\"abc\"不是有效的数字!"},
        {"100.5元", "补交金额\"100.5元\"不是有效的数字!"},
        {"-50", "补交金额不能为负数!"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.amount);
        test::ScriptedMessages m;
        m.expectInfo(QString::fromUtf8(c.message));
        w->DB10608->setText(QString::fromUtf8(c.amount));
        w->BDJ->click();
        EXPECT_EQ(QApplication::focusWidget(), w->DB10608);
    }
    {
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("押金录入正确吗?"), false);
        w->DB10608->setText(QStringLiteral("100"));
        w->BDJ->click();
        m.expectInfo(QStringLiteral("操作无效,请先补交押金!"));
        w->BRZD->click();
    }
    EXPECT_DOUBLE_EQ(deposit("00000001"), 200);
    EXPECT_DOUBLE_EQ(total("00000001"), 350);
    EXPECT_TRUE(w->BDJ->isEnabled());

    // A later supplement to another check-in leaves this one as it was.
    select(QStringLiteral("00000002"));
    supplement(QStringLiteral("20"));
    EXPECT_DOUBLE_EQ(deposit("00000001"), 200);
    EXPECT_DOUBLE_EQ(deposit("00000002"), 120);
    EXPECT_DOUBLE_EQ(total("00000002"), 500);
}

TEST_P(SetYJBJTest, ASupplementFromAnotherWorkstationIsNotOverwritten) {
    checkIns();
    openWindow(); // 00000001 selected with 200 paid
    workstation2(QStringLiteral("update RZK set F104_07=250, F104_08=400 where F104_01='00000001'"));
    w->DB10608->setText(QStringLiteral("100"));
    {
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("押金录入正确吗?"), true);
        m.expectWarning(QStringLiteral("补交失败!"));
        w->BDJ->click();
        m.expectInfo(QStringLiteral("操作无效,请先补交押金!"));
        w->BRZD->click();
    }
    EXPECT_DOUBLE_EQ(deposit("00000001"), 250);
    EXPECT_DOUBLE_EQ(total("00000001"), 400);
    EXPECT_TRUE(w->BDJ->isEnabled());

    // Checked out elsewhere after the selection: nothing is added either.
    select(QStringLiteral("00000001"));
    workstation2(QStringLiteral("update RZK set F104_16='是' where F104_01='00000001'"));
    w->DB10608->setText(QStringLiteral("100"));
    {
        test::ScriptedMessages m;
        m.expectConfirm(QStringLiteral("押金录入正确吗?"), true);
        m.expectWarning(QStringLiteral("补交失败!"));
        w->BDJ->click();
    }
    EXPECT_DOUBLE_EQ(deposit("00000001"), 250);
}

TEST_P(SetYJBJTest, AnEmptyListLeavesNothingToSupplement) {
    openWindow();
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_TRUE(w->DB10601->text().isEmpty());
    EXPECT_TRUE(w->YJYJ->text().isEmpty());
    EXPECT_DOUBLE_EQ(w->depositSoFar(), 0);
    test::ScriptedMessages m;
    m.expectInfo(QStringLiteral("押金不能为零!"));
    w->DB10608->clear();
    w->BDJ->click();
    m.expectWarning(QStringLiteral("补交失败!"));
    w->DB10608->setText(QStringLiteral("100"));
    w->BDJ->click();
    EXPECT_EQ(rows(QStringLiteral("RZK")), 0);
}

LUMVARD_ON_BOTH_ENGINES(SetYJBJTest);

} // namespace
