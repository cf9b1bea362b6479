#include "platform/Command.h"
#include "platform/Query.h"
#include "support/Engines.h"

#include <QSignalSpy>

using namespace lumvard;
using namespace lumvard::platform;

namespace {

class QueryBatch : public lumvard::test::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        execScript(
            QStringLiteral(
                "CREATE TABLE LCK (F101_01 varchar(3) NOT NULL DEFAULT '-1', F101_02 varchar(8) NOT NULL "
                "DEFAULT '新楼层', PRIMARY KEY (F101_01));\n"
                "CREATE TABLE FJK (F103_01 varchar(4) NOT NULL DEFAULT '0000', F103_02 varchar(8) NOT NULL "
                "DEFAULT '类别', F103_03 varchar(8) NOT NULL DEFAULT '楼层', F103_04 varchar(8) NOT NULL "
                "DEFAULT '状态', F103_05 float NOT NULL DEFAULT 0, PRIMARY KEY (F103_01));\n"
                "CREATE TABLE CZYK (F107_01 int NOT NULL DEFAULT 1000, F107_02 varchar(8) NOT NULL DEFAULT "
                "'新操作员', F107_03 varchar(12) NULL, F107_04 text NULL, PRIMARY KEY (F107_01));\n"
                "CREATE TABLE EV (K int NOT NULL, T %1 NOT NULL, PRIMARY KEY (K))")
                .arg(dateTimeType()));
        execScript(QStringLiteral("INSERT INTO LCK VALUES ('001', '一楼');\n"
                                  "INSERT INTO LCK VALUES ('002', '二楼');\n"
                                  "INSERT INTO LCK VALUES ('003', '三楼')"));
    }
    QStringList floors(Connection &c) {
        Query q(&c);
        q.setSql(QStringLiteral("Select * from LCK order by F101_01"));
        q.open();
        QStringList out;
        for (; !q.eof(); q.next())
            out << q.field(0).asString() + QLatin1Char('=') + q.field(1).asString();
        return out;
    }
    QStringList floors() { return floors(db); }
    static QStringList list(std::initializer_list<const char *> items) {
        QStringList out;
        for (const char *i : items)
            out << QString::fromUtf8(i);
        return out;
    }
    void openFloors(Query &q) {
        q.setSql(QStringLiteral("Select * from LCK order by F101_01"));
        q.open();
    }
};

TEST_P(QueryBatch, AppendStartsFromTheColumnDefaults) {
    Query q(&db);
    q.setSql(QStringLiteral("Select * from CZYK"));
    q.open();
    q.append();
    EXPECT_EQ(q.state(), DatasetState::Insert);
    EXPECT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.fieldByName(QStringLiteral("F107_01")).asInteger(), 1000);
    EXPECT_EQ(q.fieldByName(QStringLiteral("F107_02")).asString(), QStringLiteral("新操作员"));
    EXPECT_TRUE(q.fieldByName(QStringLiteral("F107_03")).isNull());
    q.post();
    q.applyUpdates();
    EXPECT_EQ(scalar(QStringLiteral("SELECT F107_02 FROM CZYK WHERE F107_01=1000")).toString(),
              QStringLiteral("新操作员"));
    EXPECT_TRUE(scalar(QStringLiteral("SELECT F107_03 FROM CZYK")).isNull());
}

TEST_P(QueryBatch, ChangesStayInTheCacheUntilSentInOneGo) {
    Query q(&db);
    openFloors(q);
    q.edit();
    q.fieldByName(QStringLiteral("F101_02")).setAsString(QStringLiteral("大堂"));
    q.post();
    q.next();
    q.deleteRecord();
    q.append();
    q.fieldByName(QStringLiteral("F101_01")).setAsString(QStringLiteral("004"));
    q.fieldByName(QStringLiteral("F101_02")).setAsString(QStringLiteral("四楼"));
    q.post();
    EXPECT_TRUE(q.hasPendingUpdates());
    EXPECT_EQ(floors(), list({"001=一楼", "002=二楼", "003=三楼"}));

    q.applyUpdates();
    EXPECT_FALSE(q.hasPendingUpdates());
    EXPECT_EQ(floors(), list({"001=大堂", "003=三楼", "004=四楼"}));
    // Sent values are the new originals: a second change is found by them.
    q.first();
    q.edit();
    q.fieldByName(QStringLiteral("F101_02")).setAsString(QStringLiteral("一楼"));
    q.applyUpdates(); // posts the pending edit first
    EXPECT_EQ(floors(), list({"001=一楼", "003=三楼", "004=四楼"}));
}

TEST_P(QueryBatch, AFailingRowWritesNothingAndKeepsTheCachePending) {
    Query q(&db);
    openFloors(q);
    q.edit();
    q.fieldByName(QStringLiteral("F101_02")).setAsString(QStringLiteral("大堂"));
    q.post();
    q.last();
    q.deleteRecord();
    q.append();
    q.fieldByName(QStringLiteral("F101_01")).setAsString(QStringLiteral("005"));
    q.post();
    q.append();
    q.fieldByName(QStringLiteral("F101_01")).setAsString(QStringLiteral("002")); // taken
    q.post();
    try {
        q.applyUpdates();
        FAIL() << "a duplicate key was accepted";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.isUniqueViolation()) << e.message().toStdString();
    }
    EXPECT_EQ(floors(), list({"001=一楼", "002=二楼", "003=三楼"}));
    EXPECT_TRUE(q.hasPendingUpdates());
    EXPECT_EQ(db.transactionDepth(), 0);

    // Fixing the row and sending again writes everything, each change exactly once.
    q.last();
    q.edit();
    q.fieldByName(QStringLiteral("F101_01")).setAsString(QStringLiteral("006"));
    q.post();
    q.applyUpdates();
    EXPECT_EQ(floors(), list({"001=大堂", "002=二楼", "005=新楼层", "006=新楼层"}));
}

TEST_P(QueryBatch, BatchJoinsAnOuterTransaction) {
    Query q(&db);
    openFloors(q);
    {
        Transaction t(db);
        Command::run(db, QStringLiteral("UPDATE LCK SET F101_02='x' WHERE F101_01='003'"));
        q.edit();
        q.fieldByName(QStringLiteral("F101_02")).setAsString(QStringLiteral("大堂"));
        q.applyUpdates();
        EXPECT_EQ(db.transactionDepth(), 1);
        // The outer operation is abandoned: the batch goes with it.
    }
    EXPECT_EQ(floors(), list({"001=一楼", "002=二楼", "003=三楼"}));
}

TEST_P(QueryBatch, CancelUpdatesRestoresTheRowsAsRead) {
    Query q(&db);
    openFloors(q);
    q.edit();
    q.fieldByName(QStringLiteral("F101_02")).setAsString(QStringLiteral("大堂"));
    q.post();
    q.setRecNo(2);
    q.deleteRecord();
    q.append();
    q.fieldByName(QStringLiteral("F101_01")).setAsString(QStringLiteral("009"));
    q.post();
    QSignalSpy reset(&q, &Query::reset);
    q.cancelUpdates();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_FALSE(q.hasPendingUpdates());
    ASSERT_EQ(q.recordCount(), 3);
    QStringList cached;
    for (q.first(); !q.eof(); q.next())
        cached << q.field(0).asString() + QLatin1Char('=') + q.field(1).asString();
    EXPECT_EQ(cached, list({"001=一楼", "002=二楼", "003=三楼"}));
    q.applyUpdates(); // nothing to send
    EXPECT_EQ(floors(), list({"001=一楼", "002=二楼", "003=三楼"}));
}

TEST_P(QueryBatch, CancelDropsOnlyTheUnpostedRow) {
    Query q(&db);
    openFloors(q);
    q.setRecNo(2);
    q.append();
    EXPECT_EQ(q.recordCount(), 4);
    q.cancel();
    EXPECT_EQ(q.recordCount(), 3);
    EXPECT_EQ(q.recNo(), 2);
    EXPECT_EQ(q.state(), DatasetState::Browse);
    q.edit();
    q.field(1).setAsString(QStringLiteral("夹层"));
    EXPECT_EQ(q.field(1).asString(), QStringLiteral("夹层"));
    q.cancel();
    EXPECT_EQ(q.field(1).asString(), QStringLiteral("二楼"));
    EXPECT_FALSE(q.hasPendingUpdates());
    // Deleting a row appended in the cache sends nothing for it.
    q.append();
    q.field(0).setAsString(QStringLiteral("007"));
    q.post();
    q.deleteRecord();
    EXPECT_FALSE(q.hasPendingUpdates());
}

TEST_P(QueryBatch, AssigningNeedsEditOrInsertState) {
    Query q(&db);
    openFloors(q);
    EXPECT_THROW(q.field(1).setAsString(QStringLiteral("x")), DbError);
    q.setSql(QStringLiteral("Select * from FJK"));
    q.open();
    q.edit(); // an empty dataset appends
    EXPECT_EQ(q.state(), DatasetState::Insert);
}

TEST_P(QueryBatch, TextWidthsCountGbkBytes) {
    Query q(&db);
    openFloors(q);
    q.edit();
    Field name = q.fieldByName(QStringLiteral("F101_02"));
    name.setAsString(QStringLiteral("四个汉字")); // 8 bytes
    EXPECT_NO_THROW(q.post());
    q.edit();
    name.setAsString(QStringLiteral("五个汉字呢"));
    try {
        q.post();
        FAIL() << "10 bytes went into varchar(8)";
    } catch (const DbError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("字段 F101_02 的内容过长(最多8字节)"));
    }
    EXPECT_EQ(q.state(), DatasetState::Edit);
    name.setAsString(QStringLiteral("abcdefg8"));
    q.post();
    q.edit();
    try {
        name.setAsString(QStringLiteral("房😀"));
        FAIL() << "an emoji was accepted";
    } catch (const DbError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("字段 F101_02 含有无法保存的字符"));
    }
    q.cancel();
    q.applyUpdates();
    EXPECT_EQ(floors().value(0), QStringLiteral("001=abcdefg8"));
}

TEST_P(QueryBatch, RequiredColumnsAndTypesAreChecked) {
    Query q(&db);
    q.setSql(QStringLiteral("Select * from FJK"));
    q.open();
    q.append();
    Field price = q.fieldByName(QStringLiteral("F103_05"));
    try {
        price.setAsString(QStringLiteral("abc"));
        FAIL() << "text went into a float";
    } catch (const DbError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("'abc' 不是有效的数值"));
    }
    price.setAsString(QStringLiteral(" 12.5 "));
    EXPECT_DOUBLE_EQ(price.asFloat(), 12.5);
    price.setAsString(QString()); // an empty text clears a number
    EXPECT_TRUE(price.isNull());
    try {
        q.post();
        FAIL() << "NOT NULL column left empty";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("F103_05"))) << e.message().toStdString();
    }
    price.setAsInteger(80);
    q.post();
    q.applyUpdates();
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("SELECT F103_05 FROM FJK")).toDouble(), 80);

    Query ops(&db);
    ops.setSql(QStringLiteral("Select * from CZYK"));
    ops.open();
    ops.append();
    EXPECT_THROW(ops.fieldByName(QStringLiteral("F107_01")).setAsString(QStringLiteral("1.5")), DbError);
    EXPECT_THROW(ops.fieldByName(QStringLiteral("F107_01")).setAsString(QStringLiteral("x")), DbError);
    ops.fieldByName(QStringLiteral("F107_01")).setAsFloat(1001.0);
    EXPECT_EQ(ops.fieldByName(QStringLiteral("F107_01")).value(), QVariant(1001));

    Query ev(&db);
    ev.setSql(QStringLiteral("Select * from EV"));
    ev.open();
    ev.append();
    ev.fieldByName(QStringLiteral("K")).setAsInteger(1);
    EXPECT_THROW(ev.fieldByName(QStringLiteral("T")).setAsString(QStringLiteral("2024-13-45")), DbError);
    EXPECT_THROW(ev.post(), DbError); // T is required and has no default
    ev.fieldByName(QStringLiteral("T")).setAsString(QStringLiteral("2024-05-01 23:59:59"));
    ev.post();
    ev.append();
    ev.fieldByName(QStringLiteral("K")).setAsInteger(2);
    ev.fieldByName(QStringLiteral("T")).setAsDateTime(QDateTime(QDate(2024, 5, 2), QTime(0, 0)));
    ev.applyUpdates();
    Query back(&db);
    back.setSql(QStringLiteral("Select * from EV order by K"));
    back.open();
    EXPECT_EQ(back.fieldByName(QStringLiteral("T")).asDateTime(),
              QDateTime(QDate(2024, 5, 1), QTime(23, 59, 59)));
    back.next();
    EXPECT_EQ(back.fieldByName(QStringLiteral("T")).asDateTime(), QDateTime(QDate(2024, 5, 2), QTime(0, 0)));
}

TEST_P(QueryBatch, OnlyColumnsOfTheUpdateTableAreWritten) {
    Command::run(db, QStringLiteral("INSERT INTO FJK (F103_01, F103_03) VALUES ('0101', '一楼')"));
    Query q(&db);
    q.setSql(QStringLiteral("Select FJK.*, LCK.F101_01 from FJK, LCK where LCK.F101_02=FJK.F103_03"));
    q.open();
    EXPECT_EQ(q.updateTable(), QStringLiteral("FJK"));
    ASSERT_EQ(q.recordCount(), 1);
    q.edit();
    q.fieldByName(QStringLiteral("F101_01")).setAsString(QStringLiteral("999"));
    q.fieldByName(QStringLiteral("F103_04")).setAsString(QStringLiteral("空房间"));
    q.applyUpdates();
    EXPECT_EQ(scalar(QStringLiteral("SELECT F103_04 FROM FJK")).toString(), QStringLiteral("空房间"));
    EXPECT_EQ(floors().value(0), QStringLiteral("001=一楼"));
}

TEST_P(QueryBatch, TheSecondWorkstationToChangeARowFails) {
    Connection other;
    ASSERT_TRUE(other.open(scratch->settings())) << other.lastError().toStdString();
    Query mine(&db);
    Query theirs(&other);
    openFloors(mine);
    openFloors(theirs);

    theirs.edit();
    theirs.field(1).setAsString(QStringLiteral("他们的"));
    theirs.applyUpdates();

    mine.edit();
    mine.field(1).setAsString(QStringLiteral("我的"));
    mine.next();
    mine.edit();
    mine.field(1).setAsString(QStringLiteral("也改了"));
    mine.post();
    try {
        mine.applyUpdates();
        FAIL() << "a stale change overwrote another workstation's";
    } catch (const DbError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("记录已被其他工作站修改或删除,请刷新后重试!"));
    }
    EXPECT_EQ(floors(), list({"001=他们的", "002=二楼", "003=三楼"}));
    EXPECT_TRUE(mine.hasPendingUpdates());

    // A change to another column of the same row is no conflict: only the changed columns are compared.
    Command::run(db, QStringLiteral("INSERT INTO FJK (F103_01) VALUES ('0101')"));
    Query a(&db), b(&other);
    a.setSql(QStringLiteral("Select * from FJK"));
    b.setSql(QStringLiteral("Select * from FJK"));
    a.open();
    b.open();
    a.edit();
    a.fieldByName(QStringLiteral("F103_04")).setAsString(QStringLiteral("空房间"));
    a.applyUpdates();
    b.edit();
    b.fieldByName(QStringLiteral("F103_05")).setAsFloat(120);
    b.applyUpdates();
    EXPECT_EQ(scalar(QStringLiteral("SELECT F103_04 FROM FJK")).toString(), QStringLiteral("空房间"));
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("SELECT F103_05 FROM FJK")).toDouble(), 120);
}

TEST_P(QueryBatch, DeletingARowRemovedOrChangedElsewhereFails) {
    Connection other;
    ASSERT_TRUE(other.open(scratch->settings())) << other.lastError().toStdString();
    Query mine(&db);
    openFloors(mine);
    Command::run(other, QStringLiteral("DELETE FROM LCK WHERE F101_01='001'"));
    Command::run(other, QStringLiteral("UPDATE LCK SET F101_02='改过' WHERE F101_01='002'"));
    mine.setRecNo(3);
    mine.deleteRecord(); // untouched elsewhere
    mine.first();
    mine.deleteRecord(); // gone
    EXPECT_THROW(mine.applyUpdates(), DbError);
    EXPECT_EQ(floors(), list({"002=改过", "003=三楼"}));

    mine.cancelUpdates();
    mine.setRecNo(2);
    ASSERT_EQ(mine.field(0).asString(), QStringLiteral("002"));
    mine.deleteRecord(); // changed since read: the delete compares every column
    EXPECT_THROW(mine.applyUpdates(), DbError);
    EXPECT_EQ(floors(), list({"002=改过", "003=三楼"}));
}

TEST_P(QueryBatch, NullOriginalsAreMatchedAsNull) {
    execScript(QStringLiteral("INSERT INTO CZYK (F107_01, F107_02) VALUES (1001, '张三')"));
    Query q(&db);
    q.setSql(QStringLiteral("Select * from CZYK"));
    q.open();
    q.edit();
    q.fieldByName(QStringLiteral("F107_03")).setAsString(QStringLiteral("secret"));
    q.fieldByName(QStringLiteral("F107_04")).setAsString(QStringLiteral("房间录入;"));
    q.applyUpdates();
    q.edit();
    q.fieldByName(QStringLiteral("F107_03")).clear();
    q.applyUpdates();
    EXPECT_TRUE(scalar(QStringLiteral("SELECT F107_03 FROM CZYK")).isNull());
    EXPECT_EQ(scalar(QStringLiteral("SELECT F107_04 FROM CZYK")).toString(), QStringLiteral("房间录入;"));
    q.deleteRecord();
    q.applyUpdates();
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM CZYK")).toInt(), 0);
}

TEST_P(QueryBatch, ViewsHearOfEveryChange) {
    Query q(&db);
    openFloors(q);
    QSignalSpy inserted(&q, &Query::rowInserted);
    QSignalSpy removed(&q, &Query::rowRemoved);
    QSignalSpy changed(&q, &Query::rowChanged);
    QSignalSpy states(&q, &Query::stateChanged);
    q.append();
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted.last().at(0).toInt(), 3);
    q.field(0).setAsString(QStringLiteral("004"));
    EXPECT_GE(changed.count(), 1);
    q.cancel();
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed.last().at(0).toInt(), 3);
    q.first();
    q.deleteRecord();
    EXPECT_EQ(removed.last().at(0).toInt(), 0);
    ASSERT_GE(states.count(), 2);
    EXPECT_EQ(states.last().at(0).value<DatasetState>(), DatasetState::Browse);
}

LUMVARD_ON_BOTH_ENGINES(QueryBatch);

} // namespace
