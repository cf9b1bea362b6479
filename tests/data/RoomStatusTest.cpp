#include "data/RoomStatus.h"
#include "data/SqlCreateTable.h"
#include "platform/Command.h"
#include "support/Engines.h"

using namespace lumvard;

namespace {

class RoomStatusTest : public test::EngineTest {
protected:
    void SetUp() override {
        test::EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        QStringList create;
        ASSERT_TRUE(BuildCreateStatements(QStringLiteral("FJK"), engine(), create));
        for (const QString &sql : create)
            exec(sql);
        exec(QStringLiteral("insert into FJK (F103_01, F103_02, F103_03, F103_04, F103_05) "
                            "values ('0101', '标准间', '一楼', '空房间', 180)"));
        exec(QStringLiteral("insert into FJK (F103_01, F103_02, F103_03, F103_04, F103_05) "
                            "values ('0102', '标准间', '一楼', '预定房', 180)"));
    }
    QString status(const QString &room) {
        return scalar(QStringLiteral("select F103_04 from FJK where F103_01='%1'").arg(room)).toString();
    }
};

TEST_P(RoomStatusTest, ChangesOnlyFromTheStatusSeen) {
    struct Case {
        const char *room;
        const QString &from;
        const QString &to;
        bool changed;
    };
    const Case cases[] = {
        {"0101", RoomStatusWord::Reserved, RoomStatusWord::Occupied, false}, // reads 空房间
        {"0999", RoomStatusWord::Vacant, RoomStatusWord::Reserved, false},   // no such room
        {"0101' or '1'='1", RoomStatusWord::Vacant, RoomStatusWord::Repair, false},
        {"0101", RoomStatusWord::Vacant, RoomStatusWord::Reserved, true},
        {"0101", RoomStatusWord::Vacant, RoomStatusWord::Occupied, false}, // now reads 预定房
        {"0102", RoomStatusWord::Reserved, RoomStatusWord::Vacant, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.room);
        EXPECT_EQ(ChangeRoomStatus(db, QString::fromUtf8(c.room), c.from, c.to), c.changed);
    }
    EXPECT_EQ(status(QStringLiteral("0101")), RoomStatusWord::Reserved);
    EXPECT_EQ(status(QStringLiteral("0102")), RoomStatusWord::Vacant);
}

TEST_P(RoomStatusTest, RequiredChangeRaisesTheMessageAndRollsBackWithItsTransaction) {
    try {
        RequireRoomStatusChange(db, QStringLiteral("0102"), RoomStatusWord::Vacant, RoomStatusWord::Occupied);
        FAIL() << "no exception";
    } catch (const RoomStatusChanged &e) {
        EXPECT_EQ(e.message(), QStringLiteral("该房间状态已改变,请刷新后重新选择!"));
    }
    {
        platform::Transaction t(db);
        RequireRoomStatusChange(db, QStringLiteral("0101"), RoomStatusWord::Vacant, RoomStatusWord::Reserved);
        // The journal row that belongs to it fails: the room keeps its status.
    }
    EXPECT_EQ(status(QStringLiteral("0101")), RoomStatusWord::Vacant);
}

LUMVARD_ON_BOTH_ENGINES(RoomStatusTest);

} // namespace
