#include "rooms/Editstatus.h"
#include "rooms/RZZL.h"

#include "RoomsFixture.h"
#include "support/ScriptedMessages.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace lumvard;
using namespace lumvard::test;
using lumvard::rooms::TFeditstatus;
using lumvard::rooms::TFRZZL;

namespace {

class EditstatusTest : public RoomsTest {
protected:
    void SetUp() override {
        RoomsTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        addRoom(QStringLiteral("0101"), QStringLiteral("标准间"), QStringLiteral("一楼"),
                QStringLiteral("入住房"), 168);
        addRoom(QStringLiteral("0102"), QStringLiteral("标准间"), QStringLiteral("一楼"),
                QStringLiteral("入住房"), 168);
    }
    QString status(const QString &room) {
        return scalar(QStringLiteral("select F103_04 from FJK where F103_01='%1'").arg(room)).toString();
    }
};

TEST_P(EditstatusTest, ShowsTheRoomAndOffersTheThreeWords) {
    TFeditstatus d(QStringLiteral("0101"));
    d.show();
    EXPECT_EQ(d.windowTitle(), QStringLiteral("改变房间状态"));
    EXPECT_EQ(d.LZT->text(), QStringLiteral("房间0101的状态改变为:"));
    ASSERT_EQ(d.ZTCombox->count(), 3);
    EXPECT_EQ(d.ZTCombox->itemText(0), QStringLiteral("空房间"));
    EXPECT_EQ(d.ZTCombox->itemText(1), QStringLiteral("打扫中"));
    EXPECT_EQ(d.ZTCombox->itemText(2), QStringLiteral("修理中"));
    EXPECT_EQ(d.ZTCombox->currentText(), QStringLiteral("空房间"));
    EXPECT_EQ(d.TeThemeButton1->text(), QStringLiteral("确定"));
}

TEST_P(EditstatusTest, TheChosenOrTypedWordIsWrittenToThatRoomOnly) {
    struct Case {
        QString typed; // empty: choose 打扫中 from the list
        QString stored;
    };
    const Case cases[] = {
        {QString(), QStringLiteral("打扫中")},
        // Taken as typed, quote included: the word is a bound value, not statement text.
        {QStringLiteral("修'理"), QStringLiteral("修'理")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        TFeditstatus d(QStringLiteral("0101"));
        d.show();
        if (c.typed.isEmpty())
            d.ZTCombox->setCurrentIndex(1);
        else
            d.ZTCombox->setEditText(c.typed);
        d.TeThemeButton1->click();
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_TRUE(d.statusWritten());
        EXPECT_EQ(status(QStringLiteral("0101")), c.stored);
        EXPECT_EQ(status(QStringLiteral("0102")), QStringLiteral("入住房"));
    }
}

TEST_P(EditstatusTest, EmptyTextOrTheCloseBoxChangesNothing) {
    {
        TFeditstatus d(QStringLiteral("0101"));
        d.show();
        d.ZTCombox->setEditText(QString());
        d.TeThemeButton1->click();
        EXPECT_FALSE(d.isVisible()); // closes all the same
        EXPECT_FALSE(d.statusWritten());
    }
    {
        TFeditstatus d(QStringLiteral("0101"));
        d.show();
        d.ZTCombox->setCurrentIndex(1);
        d.close();
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(d.result(), QDialog::Rejected);
        EXPECT_FALSE(d.statusWritten());
    }
    EXPECT_EQ(status(QStringLiteral("0101")), QStringLiteral("入住房"));
}

TEST_P(EditstatusTest, RunIsModalAndTellsWhetherTheStatusWasWritten) {
    QTimer::singleShot(0, [] {
        auto *d = qobject_cast<TFeditstatus *>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        d->ZTCombox->setCurrentIndex(2);
        d->TeThemeButton1->click();
    });
    EXPECT_TRUE(TFeditstatus::run(QStringLiteral("0102")));
    EXPECT_EQ(status(QStringLiteral("0102")), QStringLiteral("修理中"));
}

TEST_P(EditstatusTest, FailedUpdateIsReportedAndTheDialogClosesAllTheSame) {
    exec(QStringLiteral("drop table FJK"));
    TFeditstatus d(QStringLiteral("0101"));
    d.show();
    {
        ScriptedMessages m;
        m.expect({MessageRequest::Channel::Dialog, KindWarning, -1, -1,
                  QStringLiteral("房间0101的状态未能改变!"), true});
        d.TeThemeButton1->click();
    }
    EXPECT_FALSE(d.isVisible());
    EXPECT_FALSE(d.statusWritten());
}

class RZZLTest : public RoomsTest {};

TEST_P(RZZLTest, ShowsTheCurrentCheckInReadOnly) {
    exec(QStringLiteral(
        "insert into RZK (F104_01, F104_02, F104_03, F104_04, F104_06, F104_07, F104_09, F104_10, "
        "F104_11, F104_12, F104_14, F104_15) values ('00000001', '0101', '标准间', 168, 150.5, "
        "500, '张三', '身份证', '110101199001011234', '北京市', '1001', '2024-03-05 14:30:00')"));
    exec(QStringLiteral("insert into RZK (F104_01, F104_02, F104_09, F104_15, F104_16) values ('00000002', "
                        "'0102', '李四', '2024-03-06 08:00:00', '是')"));
    platform::Query q104(&dm->DBConn);
    q104.setSql(QStringLiteral("select * from RZK order by F104_01"));
    q104.open();
    TFRZZL d(&q104, QStringLiteral("0101"));
    d.show();
    EXPECT_EQ(d.windowTitle(), QStringLiteral("房客入住资料"));
    EXPECT_EQ(d.LBT->text(), QStringLiteral("以下是0101房间的客人入住资料"));
    ASSERT_EQ(d.fields.size(), 11);
    const QList<QPair<QString, QString>> expected{
        {"F104_15", "2024-03-05 14:30:00"},
        {"F104_02", "0101"},
        {"F104_03", "标准间"},
        {"F104_04", "168"},
        {"F104_06", "150.5"},
        {"F104_07", "500"},
        {"F104_09", "张三"},
        {"F104_10", "身份证"},
        {"F104_11", "110101199001011234"},
        {"F104_12", "北京市"},
        {"F104_14", "1001"},
    };
    for (int i = 0; i < expected.size(); ++i) {
        QLineEdit *e = d.fields[i];
        SCOPED_TRACE(expected[i].first.toStdString());
        EXPECT_EQ(d.fieldFor(expected[i].first), e); // in the designed order
        EXPECT_EQ(e->text(), expected[i].second);
        EXPECT_TRUE(e->isReadOnly());
    }
    q104.next();
    EXPECT_EQ(d.fieldFor(QStringLiteral("F104_09"))->text(), QStringLiteral("李四"));
    EXPECT_FALSE(q104.hasPendingUpdates());
    q104.close();
}

LUMVARD_ON_BOTH_ENGINES(EditstatusTest);
LUMVARD_ON_BOTH_ENGINES(RZZLTest);

} // namespace
