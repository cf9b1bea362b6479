#include "data/DM.h"
#include "data/SqlCreateTable.h"
#include "support/Engines.h"
#include "support/ScriptedMessages.h"

using namespace lumvard;

namespace {

class DMOperationsTest : public test::EngineTest {
protected:
    void SetUp() override {
        test::EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_TRUE(dm.OpenConnection(dm.DBConn, scratch->settings())) << dm.lastError().toStdString();
        ASSERT_TRUE(dm.CreateMissingTables());
    }
    void TearDown() override {
        dm.DBConn.close();
        test::EngineTest::TearDown();
    }
    TFDM dm;
};

TEST_P(DMOperationsTest, ComponentsStartAsDesigned) {
    EXPECT_EQ(dm.QADOQ.sql(), QStringLiteral("Select * from KRXFK Where F105_02='A'"));
    ASSERT_TRUE(dm.OpenSql(dm.QADOQ, dm.QADOQ.sql()));
    EXPECT_TRUE(dm.QADOQ.isEmpty());
    EXPECT_TRUE(dm.OpenOperatorTable());
    EXPECT_TRUE(dm.F107.isActive());
    EXPECT_EQ(TFDM::instance(), &dm);
    EXPECT_EQ(&FDM(), &dm);
}

TEST_P(DMOperationsTest, FailuresAreSwallowedAndKept) {
    // No message: the strict presenter fails the test on any.
    EXPECT_FALSE(dm.OpenSql(dm.QADO, QStringLiteral("  \r\n")));
    EXPECT_FALSE(dm.ExecSql(dm.QADO, QString()));
    EXPECT_FALSE(dm.ExecCommand(QStringLiteral(" ")));
    EXPECT_FALSE(dm.OpenSql(dm.QADO, QStringLiteral("select * from NOSUCH")));
    EXPECT_FALSE(dm.lastError().isEmpty());
    EXPECT_FALSE(dm.ExecCommand(QStringLiteral("insert into NOSUCH values (1)")));
    EXPECT_FALSE(dm.lastError().isEmpty());
    EXPECT_TRUE(dm.OpenSql(dm.QADO, QStringLiteral("select * from LCK")));
    EXPECT_TRUE(dm.lastError().isEmpty());

    platform::Connection closed;
    platform::ConnectionSettings nowhere;
    nowhere.filePath = scratch->directory() + QStringLiteral("/missing.mdb");
    EXPECT_FALSE(dm.OpenConnection(closed, nowhere));
    EXPECT_FALSE(closed.isConnected());
}

TEST_P(DMOperationsTest, UserValuesAreBoundNotSpliced) {
    const QString name = QStringLiteral("楼'); delete from LCK; --");
    ASSERT_TRUE(dm.ExecCommand(QStringLiteral("insert into LCK (F101_01, F101_02) values (:code, :name)"),
                               {{"code", "001"}, {"name", name.left(8)}}))
        << dm.lastError().toStdString();
    ASSERT_TRUE(dm.ExecSql(dm.QADO,
                           QStringLiteral("insert into LCK (F101_01, F101_02) values (:code, :name)"),
                           {{"code", "002"}, {"name", QStringLiteral("二楼")}}));
    ASSERT_TRUE(dm.OpenSql(dm.QADO, QStringLiteral("select F101_02 from LCK where F101_01=:code"),
                           {{"code", "001"}}));
    ASSERT_EQ(dm.QADO.recordCount(), 1);
    EXPECT_EQ(dm.QADO.fieldByName(QStringLiteral("F101_02")).asString(), name.left(8));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from LCK")).toInt(), 2);
}

TEST_P(DMOperationsTest, NoticeStandsWhileWorkingAndClosesAlsoOnFailure) {
    test::ScriptedMessages messages;
    messages.expectNotice(QStringLiteral("正在查询..."));
    messages.expectNotice(QStringLiteral("正在执行..."));
    messages.expectNotice(QStringLiteral("正在处理..."));
    EXPECT_TRUE(dm.OpenSql(dm.QADO, QStringLiteral("select * from FJK"), QStringLiteral("正在查询...")));
    EXPECT_FALSE(messages.noticeOnScreen());
    EXPECT_FALSE(dm.ExecSql(dm.QADO, QStringLiteral("update NOSUCH set a=1"), QStringLiteral("正在执行...")));
    EXPECT_FALSE(messages.noticeOnScreen());
    EXPECT_FALSE(dm.ExecCommand(QStringLiteral("bad statement"), QStringLiteral("正在处理...")));
    EXPECT_FALSE(messages.noticeOnScreen());
    // A blank notice shows nothing.
    EXPECT_TRUE(dm.ExecCommand(QStringLiteral("delete from FJK"), QStringLiteral("   ")));
}

TEST_P(DMOperationsTest, ScriptStopsAtTheFirstFailure) {
    const QStringList script = {
        QStringLiteral("insert into LCK (F101_01) values ('001')"),
        QStringLiteral("insert into LCK (F101_01) values ('001')"), // duplicate key
        QStringLiteral("insert into LCK (F101_01) values ('003')"),
    };
    {
        test::ScriptedMessages messages;
        messages.expectWarning(QStringLiteral("初始化失败!"));
        EXPECT_FALSE(dm.ExecScript(script, QStringLiteral("初始化失败!")));
        EXPECT_FALSE(dm.lastError().isEmpty());
    }
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from LCK")).toInt(), 1);
    exec(QStringLiteral("delete from LCK"));
    EXPECT_FALSE(dm.ExecScript(script)); // no warning text: silent
    exec(QStringLiteral("delete from LCK"));
    EXPECT_TRUE(dm.ExecScript({script[0], script[2]}));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from LCK")).toInt(), 2);
}

} // namespace

LUMVARD_ON_BOTH_ENGINES(DMOperationsTest);
