#include "platform/QueryModel.h"
#include "support/Engines.h"
#include "support/ScriptedMessages.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

using namespace lumvard;
using namespace lumvard::platform;

namespace {

class QueryModelEngine : public lumvard::test::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        execScript(QStringLiteral(
            "CREATE TABLE FJK (F103_01 varchar(4) NOT NULL DEFAULT '0000', F103_02 varchar(8) NOT NULL "
            "DEFAULT "
            "'类别', F103_03 varchar(8) NOT NULL DEFAULT '楼层', F103_04 varchar(8) NOT NULL DEFAULT '状态', "
            "F103_05 float NOT NULL DEFAULT 0, PRIMARY KEY (F103_01));\n"
            "INSERT INTO FJK VALUES ('0101', '标准间', '一楼', '空房间', 168);\n"
            "INSERT INTO FJK VALUES ('0102', '套房', '一楼', '入住房', 0.1);\n"
            "INSERT INTO FJK VALUES ('0103', '套房', '二楼', '入住房', 298)"));
    }
};

TEST_P(QueryModelEngine, FollowsEveryChangeOfTheDataset) {
    Query q(&db);
    QueryModel model(&q);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model.rowCount(), 0);
    q.setSql(QStringLiteral("Select * from FJK order by F103_01"));
    q.open();
    ASSERT_EQ(model.rowCount(), 3);
    ASSERT_EQ(model.columnCount(), 5);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("F103_01"));
    EXPECT_EQ(model.data(model.index(1, 4)).toString(), QStringLiteral("0.1"));
    EXPECT_EQ(model.data(model.index(1, 4), Qt::EditRole), QVariant(0.1));

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    q.setRecNo(2);
    q.edit();
    q.fieldByName(QStringLiteral("F103_04")).setAsString(QStringLiteral("空房间"));
    EXPECT_GE(changed.count(), 1);
    EXPECT_EQ(model.data(model.index(1, 3)).toString(), QStringLiteral("空房间"));
    q.post();
    q.append();
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.data(model.index(3, 0)).toString(), QStringLiteral("0000"));
    q.cancel();
    EXPECT_EQ(model.rowCount(), 3);
    q.first();
    q.deleteRecord(); // a row in the middle of the view's rows
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QStringLiteral("0102"));
    q.cancelUpdates();
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QStringLiteral("0101"));
    q.close();
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_P(QueryModelEngine, ShowsAChosenSubsetWithTitles) {
    Query q(&db);
    q.setSql(QStringLiteral("Select * from FJK order by F103_01"));
    q.open();
    QueryModel model(&q);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setColumns({QStringLiteral("f103_05"), QStringLiteral("F103_01")},
                     {QStringLiteral("单价"), QStringLiteral("房间号")});
    ASSERT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.fieldOfColumn(0), 4);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("单价"));
    EXPECT_EQ(model.data(model.index(2, 0)).toString(), QStringLiteral("298"));
    EXPECT_EQ(model.data(model.index(2, 1)).toString(), QStringLiteral("0103"));
    // Reopening keeps the chosen columns.
    q.open();
    EXPECT_EQ(model.fieldOfColumn(1), 0);
    EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);

    model.setEditable(true);
    EXPECT_TRUE(model.setData(model.index(1, 0), QStringLiteral("150")));
    {
        lumvard::test::ScriptedMessages m;
        m.expectErrorBox(QStringLiteral("abc"));
        EXPECT_FALSE(model.setData(model.index(1, 0), QStringLiteral("abc")));
    }
    q.post();
    EXPECT_DOUBLE_EQ(q.fieldByName(QStringLiteral("F103_05")).asFloat(), 150);
    EXPECT_EQ(q.recNo(), 2);
}

LUMVARD_ON_BOTH_ENGINES(QueryModelEngine);

} // namespace
