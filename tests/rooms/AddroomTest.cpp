#include "rooms/Addroom.h"

#include "RoomsFixture.h"
#include "platform/gui/DataGrid.h"
#include "support/ScriptedMessages.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>

using namespace lumvard;
using namespace lumvard::test;
using lumvard::platform::DatasetState;
using lumvard::rooms::TFaddroom;

namespace {

QStringList itemsOf(const QListWidget *list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

QStringList itemsOf(const QComboBox *combo) {
    QStringList out;
    for (int i = 0; i < combo->count(); ++i)
        out << combo->itemText(i);
    return out;
}

class AddroomTest : public RoomsTest {
protected:
    void TearDown() override {
        w.reset();
        RoomsTest::TearDown();
    }
    TFaddroom &open() {
        w = std::make_unique<TFaddroom>();
        w->show();
        return *w;
    }
    void selectItem(QListWidget *list, const QString &text) {
        const auto found = list->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        list->setCurrentItem(found.first());
    }
    // Fills a new room that passes every check.
    void fillRoom(const QString &no, const QString &price) {
        w->DB10301->setText(no);
        choose(w->DB10302, QStringLiteral("标准间"));
        choose(w->DB10303, QStringLiteral("一楼"));
        choose(w->DB10304, QStringLiteral("空房间"));
        w->DB10305->setText(price);
    }
    std::unique_ptr<TFaddroom> w;
};

TEST_P(AddroomTest, FloorCodesAreNumberedToThreeDigits) {
    struct Case {
        QStringList existing;
        QString expected;
    };
    const Case cases[] = {
        {{}, QStringLiteral("001")},
        {{"001", "002", "003", "004", "005", "006", "007", "008", "009"}, QStringLiteral("010")},
        {{"001", "099"}, QStringLiteral("100")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.expected.toStdString());
        exec(QStringLiteral("delete from LCK"));
        for (const QString &code : c.existing)
            addFloor(code, QStringLiteral("F") + code);
        open();
        w->PageControl->setCurrentIndex(2);
        w->LCEdit->setText(QStringLiteral("新楼层"));
        w->LCSave->click();
        EXPECT_EQ(scalar(QStringLiteral("select F101_01 from LCK where F101_02='新楼层'")).toString(),
                  c.expected);
        EXPECT_EQ(itemsOf(w->LCList).last(), QStringLiteral("新楼层"));
        EXPECT_EQ(w->LCEdit->text(), QStringLiteral("新楼层")); // the edit keeps its text
        w.reset();
    }
}

TEST_P(AddroomTest, CategoryCodePastNineHundredNinetyNineIsRefused) {
    addCategory(QStringLiteral("999"), QStringLiteral("套房"));
    open();
    w->LBEdit->setText(QStringLiteral("总统套房"));
    {
        ScriptedMessages m;
        m.expect({MessageRequest::Channel::Dialog, KindWarning, -1, -1, QStringLiteral("编号已用完"), true});
        w->LBSave->click();
    }
    EXPECT_EQ(count(QStringLiteral("LBK")), 1);
    EXPECT_EQ(itemsOf(w->LBList), QStringList{QStringLiteral("套房")});
}

TEST_P(AddroomTest, EmptyAndDuplicateNamesAreRefused) {
    addFloor(QStringLiteral("001"), QStringLiteral("Lobby"));
    addCategory(QStringLiteral("001"), QStringLiteral("Suite"));
    struct Case {
        bool floor;
        QString typed;
        bool warning; // else an information box
        QString message;
        QString left; // what the edit holds afterwards
    };
    const Case cases[] = {
        {true, QString(), false, QStringLiteral("楼层名不能为空，请重新录入!"), QString()},
        {true, QStringLiteral("LOBBY"), true, QStringLiteral("该楼层已存在，请重新录入!"), QString()},
        {false, QString(), false, QStringLiteral("类别名不能为空，请重新录入!"), QString()},
        {false, QStringLiteral("suite"), false, QStringLiteral("该类别已存在，请重新录入!"), QString()},
    };
    open();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        QLineEdit *edit = c.floor ? w->LCEdit : w->LBEdit;
        edit->setText(c.typed);
        {
            ScriptedMessages m;
            if (c.warning)
                m.expectWarning(c.message);
            else
                m.expectInfo(c.message);
            (c.floor ? w->LCSave : w->LBSave)->click();
        }
        EXPECT_EQ(edit->text(), c.left);
    }
    EXPECT_EQ(count(QStringLiteral("LCK")), 1);
    EXPECT_EQ(count(QStringLiteral("LBK")), 1);
    EXPECT_EQ(itemsOf(w->LCList), QStringList{QStringLiteral("Lobby")});
    EXPECT_EQ(itemsOf(w->LBList), QStringList{QStringLiteral("Suite")});
}

TEST_P(AddroomTest, RefusedFloorIsNotListedAndTheNextOneIsWritten) {
    open();
    // Nine Chinese characters take 18 bytes: the 8-byte column refuses them.
    w->LCEdit->setText(QStringLiteral("一二三四五六七八九"));
    {
        ScriptedMessages m;
        m.expectErrorBox(QStringLiteral("F101_02"));
        w->LCSave->click();
    }
    EXPECT_TRUE(itemsOf(w->LCList).isEmpty());
    EXPECT_EQ(count(QStringLiteral("LCK")), 0);
    EXPECT_FALSE(w->Q101.hasPendingUpdates());
    EXPECT_EQ(w->Q101.recordCount(), 0);

    w->LCEdit->setText(QStringLiteral("一楼"));
    w->LCSave->click();
    EXPECT_EQ(itemsOf(w->LCList), QStringList{QStringLiteral("一楼")});
    EXPECT_EQ(scalar(QStringLiteral("select F101_01 from LCK where F101_02='一楼'")).toString(),
              QStringLiteral("001"));
}

TEST_P(AddroomTest, DeletedFloorLeavesRoomsAndLeavesTheDropDown) {
    addFloor(QStringLiteral("001"), QStringLiteral("一楼"));
    addFloor(QStringLiteral("002"), QStringLiteral("二楼"));
    addRoom(QStringLiteral("0201"), QStringLiteral("标准间"), QStringLiteral("二楼"),
            QStringLiteral("空房间"), 120);
    open();
    EXPECT_EQ(itemsOf(w->DB10303), (QStringList{QStringLiteral("一楼"), QStringLiteral("二楼")}));
    w->PageControl->setCurrentIndex(2);

    // Nothing selected: nothing happens, no question.
    w->LCList->clearSelection();
    w->LCList->setCurrentRow(-1);
    w->LCDel->click();
    EXPECT_EQ(count(QStringLiteral("LCK")), 2);

    selectItem(w->LCList, QStringLiteral("二楼"));
    {
        ScriptedMessages m;
        m.expectConfirm(QStringLiteral("确定删除该楼层吗?"), false);
        w->LCDel->click();
    }
    EXPECT_EQ(count(QStringLiteral("LCK")), 2);

    {
        ScriptedMessages m;
        m.expectConfirm(QStringLiteral("确定删除该楼层吗?"), true);
        w->LCDel->click();
    }
    EXPECT_EQ(count(QStringLiteral("LCK")), 1);
    EXPECT_EQ(itemsOf(w->LCList), QStringList{QStringLiteral("一楼")});
    EXPECT_EQ(scalar(QStringLiteral("select F103_03 from FJK where F103_01='0201'")).toString(),
              QStringLiteral("二楼"));
    EXPECT_EQ(itemsOf(w->DB10303).size(), 2); // not before the room page shows again
    w->PageControl->setCurrentIndex(0);
    EXPECT_EQ(itemsOf(w->DB10303), QStringList{QStringLiteral("一楼")});
    // The room under the cursor names a floor no longer offered: the list shows nothing.
    EXPECT_EQ(w->DB10301->text(), QStringLiteral("0201"));
    EXPECT_EQ(w->DB10303->currentText(), QString());
}

TEST_P(AddroomTest, CategoryAddedOnItsPageIsOfferedOnTheRoomPage) {
    addCategory(QStringLiteral("001"), QStringLiteral("标准间"));
    open();
    EXPECT_EQ(itemsOf(w->DB10302), QStringList{QStringLiteral("标准间")});
    w->PageControl->setCurrentIndex(1);
    w->LBEdit->setText(QStringLiteral("豪华套房"));
    w->LBSave->click();
    EXPECT_EQ(scalar(QStringLiteral("select F102_01 from LBK where F102_02='豪华套房'")).toString(),
              QStringLiteral("002"));
    w->PageControl->setCurrentIndex(0);
    EXPECT_EQ(itemsOf(w->DB10302), (QStringList{QStringLiteral("标准间"), QStringLiteral("豪华套房")}));

    // Deleting a category after the question, the same way as a floor.
    w->PageControl->setCurrentIndex(1);
    selectItem(w->LBList, QStringLiteral("标准间"));
    {
        ScriptedMessages m;
        m.expectConfirm(QStringLiteral("确定删除该类别吗?"), true);
        w->LBDel->click();
    }
    EXPECT_EQ(count(QStringLiteral("LBK")), 1);
    EXPECT_EQ(itemsOf(w->LBList), QStringList{QStringLiteral("豪华套房")});
}

class AddroomRoomTest : public AddroomTest {
protected:
    void SetUp() override {
        AddroomTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        addFloor(QStringLiteral("001"), QStringLiteral("一楼"));
        addCategory(QStringLiteral("001"), QStringLiteral("标准间"));
        addRoom(QStringLiteral("0101"), QStringLiteral("标准间"), QStringLiteral("一楼"),
                QStringLiteral("入住房"), 168);
    }
};

TEST_P(AddroomRoomTest, BrowsingShowsTheRoomUnderTheCursorWithFieldsDisabled) {
    open();
    EXPECT_EQ(w->DB10301->text(), QStringLiteral("0101"));
    EXPECT_EQ(w->DB10302->currentText(), QStringLiteral("标准间"));
    EXPECT_EQ(w->DB10304->currentText(), QStringLiteral("入住房"));
    EXPECT_EQ(w->DB10305->text(), QStringLiteral("168"));
    for (QWidget *c : std::initializer_list<QWidget *>{w->DB10301, w->DB10302, w->DB10303, w->DB10304,
                                                       w->DB10305, w->BOk, w->BCan})
        EXPECT_FALSE(c->isEnabled()) << c->objectName().toStdString();
    EXPECT_TRUE(w->BAdd->isEnabled());
    EXPECT_EQ(itemsOf(w->DB10304),
              (QStringList{QStringLiteral("空房间"), QStringLiteral("入住房"), QStringLiteral("预定房"),
                           QStringLiteral("打扫中"), QStringLiteral("修理中")}));
}

TEST_P(AddroomRoomTest, TheFiveChecksComeInOrderAndANegativePricePasses) {
    open();
    ASSERT_TRUE(showAndActivate(w.get()));
    w->BAdd->click();
    ASSERT_EQ(w->Q103.state(), DatasetState::Insert);
    EXPECT_TRUE(w->DB10301->isEnabled());
    EXPECT_TRUE(w->BOk->isEnabled());
    EXPECT_FALSE(w->FJGrid->isEnabled());
    // Column defaults: the number reads "0000", the drop-downs show nothing (not among their items).
    EXPECT_EQ(w->DB10301->text(), QStringLiteral("0000"));
    EXPECT_EQ(w->DB10302->currentText(), QString());

    struct Step {
        std::function<void()> fill; // applied before pressing "保存"
        const char *message;
        QWidget *focus;
    };
    const Step steps[] = {
        {[&] { w->DB10301->clear(); }, "房间号不能为空!", w->DB10301},
        {[&] { w->DB10301->setText(QStringLiteral("0102")); }, "房间类别不能为空!", w->DB10302},
        {[&] { choose(w->DB10302, QStringLiteral("标准间")); }, "楼层不能为空!", w->DB10303},
        {[&] { choose(w->DB10303, QStringLiteral("一楼")); }, "房间状态不能为空!", w->DB10304},
        {[&] { choose(w->DB10304, QStringLiteral("空房间")); }, "单价不能为零!", w->DB10305},
        {[&] { w->DB10305->setText(QStringLiteral("0")); }, "单价不能为零!", w->DB10305},
        {[&] { w->DB10305->setText(QStringLiteral("0.00")); }, "单价不能为零!", w->DB10305},
    };
    for (const Step &s : steps) {
        SCOPED_TRACE(s.message);
        s.fill();
        {
            ScriptedMessages m;
            m.expectWarning(QString::fromUtf8(s.message));
            w->BOk->click();
        }
        EXPECT_EQ(QApplication::focusWidget(), s.focus);
        EXPECT_EQ(w->Q103.state(), DatasetState::Insert);
        EXPECT_TRUE(w->BOk->isEnabled());
    }
    EXPECT_EQ(count(QStringLiteral("FJK")), 1);

    w->DB10305->setText(QStringLiteral("-5"));
    {
        ScriptedMessages m;
        m.expectConfirm(QStringLiteral("确定保存此房间信息吗?"), true);
        w->BOk->click();
    }
    EXPECT_EQ(count(QStringLiteral("FJK")), 2);
    EXPECT_EQ(scalar(QStringLiteral("select F103_02 || '/' || F103_03 || '/' || F103_04 from FJK "
                                    "where F103_01='0102'"))
                  .toString(),
              QStringLiteral("标准间/一楼/空房间"));
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("select F103_05 from FJK where F103_01='0102'")).toDouble(), -5);
    EXPECT_EQ(w->Q103.state(), DatasetState::Browse);
    EXPECT_FALSE(w->roomPending());
    EXPECT_FALSE(w->DB10301->isEnabled());
    EXPECT_FALSE(w->BOk->isEnabled());
    EXPECT_TRUE(w->FJGrid->isEnabled());
}

TEST_P(AddroomRoomTest, PriceThatIsNoNumberShowsTheErrorBoxAndTheEntryStaysOpen) {
    open();
    w->BAdd->click();
    fillRoom(QStringLiteral("0102"), QStringLiteral("abc"));
    {
        ScriptedMessages m;
        m.expectErrorBox(QStringLiteral("'abc'"));
        w->BOk->click();
    }
    EXPECT_EQ(w->Q103.state(), DatasetState::Insert);
    EXPECT_TRUE(w->roomPending());
    EXPECT_TRUE(w->DB10305->isEnabled());
    EXPECT_EQ(count(QStringLiteral("FJK")), 1);

    w->DB10305->setText(QStringLiteral("188.5"));
    {
        ScriptedMessages m;
        m.expectConfirm(QStringLiteral("确定保存此房间信息吗?"), true);
        w->BOk->click();
    }
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("select F103_05 from FJK where F103_01='0102'")).toDouble(),
                     188.5);
}

TEST_P(AddroomRoomTest, NoToTheSaveQuestionDropsTheRow) {
    open();
    w->BAdd->click();
    fillRoom(QStringLiteral("0102"), QStringLiteral("200"));
    {
        ScriptedMessages m;
        m.expectConfirm(QStringLiteral("确定保存此房间信息吗?"), false);
        w->BOk->click();
    }
    EXPECT_EQ(count(QStringLiteral("FJK")), 1);
    EXPECT_EQ(w->Q103.recordCount(), 1);
    EXPECT_FALSE(w->Q103.hasPendingUpdates());
    EXPECT_EQ(w->Q103.state(), DatasetState::Browse);
    EXPECT_FALSE(w->DB10301->isEnabled());
    EXPECT_FALSE(w->BOk->isEnabled());
    EXPECT_EQ(w->DB10301->text(), QStringLiteral("0101"));
}

TEST_P(AddroomRoomTest, ExistingRoomNumberIsRefusedByTheDatabaseAndCanBeCorrectedOrCancelled) {
    open();
    w->BAdd->click();
    fillRoom(QStringLiteral("0101"), QStringLiteral("200"));
    {
        ScriptedMessages m;
        m.expectConfirm(QStringLiteral("确定保存此房间信息吗?"), true);
        m.expectErrorBox(QString());
        w->BOk->click();
    }
    EXPECT_EQ(count(QStringLiteral("FJK")), 1);
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("select F103_05 from FJK where F103_01='0101'")).toDouble(), 168);
    EXPECT_TRUE(w->roomPending());
    EXPECT_TRUE(w->BOk->isEnabled());
    EXPECT_TRUE(w->DB10301->isEnabled());

    // Corrected and saved again: the one new row is written.
    w->DB10301->setText(QStringLiteral("0103"));
    {
        ScriptedMessages m;
        m.expectConfirm(QStringLiteral("确定保存此房间信息吗?"), true);
        w->BOk->click();
    }
    EXPECT_EQ(count(QStringLiteral("FJK")), 2);
    EXPECT_EQ(scalar(QStringLiteral("select F103_04 from FJK where F103_01='0103'")).toString(),
              QStringLiteral("空房间"));

    // Refused again, then dropped with "取消".
    w->BAdd->click();
    fillRoom(QStringLiteral("0101"), QStringLiteral("300"));
    {
        ScriptedMessages m;
        m.expectConfirm(QStringLiteral("确定保存此房间信息吗?"), true);
        m.expectErrorBox(QString());
        w->BOk->click();
    }
    w->BCan->click();
    EXPECT_FALSE(w->Q103.hasPendingUpdates());
    EXPECT_EQ(w->Q103.recordCount(), 2);
    EXPECT_FALSE(w->roomPending());
    EXPECT_FALSE(w->DB10301->isEnabled());
    EXPECT_EQ(count(QStringLiteral("FJK")), 2);
}

TEST_P(AddroomRoomTest, EnterMovesThroughTheFieldsUpToThePrice) {
    open();
    ASSERT_TRUE(showAndActivate(w.get()));
    w->BAdd->click();
    ASSERT_EQ(QApplication::focusWidget(), w->DB10301);
    const QList<QWidget *> chain{w->DB10301, w->DB10302, w->DB10303, w->DB10304, w->DB10305};
    for (int i = 0; i + 1 < chain.size(); ++i) {
        QTest::keyClick(chain[i], i % 2 ? Qt::Key_Enter : Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), chain[i + 1]) << i;
    }
    QTest::keyClick(w->DB10305, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), w->DB10305);
    w->BCan->click();
}

TEST_P(AddroomRoomTest, CancelDropsTheNewRow) {
    open();
    w->BAdd->click();
    w->DB10301->setText(QStringLiteral("0109"));
    w->BCan->click();
    EXPECT_EQ(w->Q103.recordCount(), 1);
    EXPECT_FALSE(w->Q103.hasPendingUpdates());
    EXPECT_FALSE(w->roomPending());
    EXPECT_EQ(w->DB10301->text(), QStringLiteral("0101"));
    EXPECT_EQ(count(QStringLiteral("FJK")), 1);
}

TEST_P(AddroomTest, EachExitButtonClosesAndFreesTheWindowInTheFrame) {
    for (const char *name : {"FJExit", "LBExit", "LCExit"}) {
        SCOPED_TRACE(name);
        QMdiArea area;
        QPointer<TFaddroom> room = new TFaddroom;
        room->setAttribute(Qt::WA_DeleteOnClose);
        QMdiSubWindow *sub = area.addSubWindow(room);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->show();
        room->findChild<QPushButton *>(QString::fromLatin1(name))->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(room.isNull());
        EXPECT_TRUE(area.subWindowList().isEmpty());
    }
}

LUMVARD_ON_BOTH_ENGINES(AddroomTest);
LUMVARD_ON_BOTH_ENGINES(AddroomRoomTest);

} // namespace
