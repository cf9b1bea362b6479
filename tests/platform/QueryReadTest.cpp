#include "platform/Command.h"
#include "platform/Query.h"
#include "support/Engines.h"

#include <QSignalSpy>

using namespace lumvard;
using namespace lumvard::platform;

namespace {

class QueryRead : public lumvard::test::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        execScript(
            QStringLiteral(
                "CREATE TABLE FJK (F103_01 varchar(4) NOT NULL DEFAULT '0000', F103_02 varchar(8) NOT NULL "
                "DEFAULT "
                "'类别', F103_03 varchar(8) NOT NULL DEFAULT '楼层', F103_04 varchar(8) NOT NULL DEFAULT "
                "'状态', "
                "F103_05 float NOT NULL DEFAULT 0, PRIMARY KEY (F103_01));\n"
                "CREATE TABLE EV (K int NOT NULL, T %1 NULL, N int NULL, M text NULL, PRIMARY KEY (K))")
                .arg(dateTimeType()));
    }
    void addRoom(const QString &no, const QString &status, double price) {
        Command::run(
            db,
            QStringLiteral("INSERT INTO FJK (F103_01, F103_02, F103_03, F103_04, F103_05) VALUES "
                           "(:no, '标准间', '一楼', :st, :p)"),
            {{QStringLiteral("no"), no}, {QStringLiteral("st"), status}, {QStringLiteral("p"), price}});
    }
};

TEST_P(QueryRead, ReadsAllRowsAndFieldsIgnoringCase) {
    addRoom(QStringLiteral("0101"), QStringLiteral("空房间"), 168);
    addRoom(QStringLiteral("0102"), QStringLiteral("入住房"), 99.5);
    Query q(&db);
    q.setSql(QStringLiteral("Select * from FJK order by F103_01"));
    q.open();
    EXPECT_TRUE(q.isActive());
    EXPECT_EQ(q.state(), DatasetState::Browse);
    EXPECT_EQ(q.recordCount(), 2);
    EXPECT_EQ(q.fieldCount(), 5);
    EXPECT_EQ(q.updateTable(), QStringLiteral("FJK"));
    EXPECT_EQ(q.fieldByName(QStringLiteral("f103_01")).asString(), QStringLiteral("0101"));
    EXPECT_EQ(q.fieldByName(QStringLiteral("F103_04")).asString(), QStringLiteral("空房间"));
    Field price = q.fieldByName(QStringLiteral("F103_05"));
    EXPECT_EQ(price.type(), ColumnType::Float);
    EXPECT_DOUBLE_EQ(price.asFloat(), 168);
    EXPECT_EQ(price.asInteger(), 168);
    EXPECT_EQ(price.asString(), QStringLiteral("168"));
    EXPECT_EQ(q.fieldByName(QStringLiteral("F103_02")).width(), 8);
    q.next();
    EXPECT_EQ(price.asString(), QStringLiteral("99.5"));
    EXPECT_EQ(price.asInteger(), 100);
    EXPECT_EQ(q.value(0, 0), QVariant(QStringLiteral("0101")));
    EXPECT_EQ(q.fieldIndex(QStringLiteral("nope")), -1);
    EXPECT_THROW(q.fieldByName(QStringLiteral("nope")), DbError);
    EXPECT_THROW(q.field(5), DbError);
}

TEST_P(QueryRead, BoundParametersSelectRows) {
    addRoom(QStringLiteral("0101"), QStringLiteral("空房间"), 168);
    addRoom(QStringLiteral("0102"), QStringLiteral("入住房"), 99.5);
    Query q(&db);
    q.setSql(QStringLiteral("Select F103_01 from FJK where F103_04=:st"));
    q.bindValue(QStringLiteral("st"), QStringLiteral("入住房"));
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.field(0).asString(), QStringLiteral("0102"));
    // New text closes the query and forgets the bindings.
    q.setSql(QStringLiteral("Select * from FJK"));
    EXPECT_FALSE(q.isActive());
    q.open();
    EXPECT_EQ(q.recordCount(), 2);
}

TEST_P(QueryRead, NavigationFollowsBofAndEof) {
    for (int i = 1; i <= 3; ++i)
        addRoom(QStringLiteral("010%1").arg(i), QStringLiteral("空房间"), i);
    Query q(&db);
    q.setSql(QStringLiteral("Select * from FJK order by F103_01"));
    q.open();
    EXPECT_TRUE(q.bof());
    EXPECT_FALSE(q.eof());
    EXPECT_EQ(q.recNo(), 1);
    QStringList seen;
    while (!q.eof()) {
        seen << q.field(0).asString();
        q.next();
    }
    EXPECT_EQ(seen, (QStringList{QStringLiteral("0101"), QStringLiteral("0102"), QStringLiteral("0103")}));
    EXPECT_EQ(q.recNo(), 3); // eof stays on the last row
    EXPECT_FALSE(q.bof());
    q.prior();
    EXPECT_FALSE(q.eof());
    EXPECT_EQ(q.recNo(), 2);
    q.prior();
    q.prior();
    EXPECT_TRUE(q.bof());
    EXPECT_EQ(q.recNo(), 1);
    q.last();
    EXPECT_TRUE(q.eof());
    EXPECT_EQ(q.field(0).asString(), QStringLiteral("0103"));
    q.first();
    EXPECT_TRUE(q.bof());
    q.setRecNo(2);
    EXPECT_EQ(q.field(0).asString(), QStringLiteral("0102"));
    EXPECT_FALSE(q.bof() || q.eof());
    q.setRecNo(99);
    EXPECT_EQ(q.recNo(), 3);
}

TEST_P(QueryRead, EmptyResultIsBofAndEof) {
    Query q(&db);
    q.setSql(QStringLiteral("Select * from FJK Where F103_01='A'"));
    q.open();
    EXPECT_TRUE(q.isEmpty());
    EXPECT_TRUE(q.bof());
    EXPECT_TRUE(q.eof());
    EXPECT_EQ(q.recNo(), 0);
    q.next();
    q.prior();
    EXPECT_EQ(q.recNo(), 0);
    EXPECT_TRUE(q.field(0).isNull());
    EXPECT_EQ(q.field(0).asString(), QString());
    EXPECT_EQ(q.field(4).asFloat(), 0);
    EXPECT_FALSE(q.locate(QStringLiteral("F103_01"), QStringLiteral("0101")));
}

TEST_P(QueryRead, LocateMovesToTheFirstMatchOnly) {
    addRoom(QStringLiteral("0101"), QStringLiteral("空房间"), 168);
    addRoom(QStringLiteral("A102"), QStringLiteral("入住房"), 99.5);
    addRoom(QStringLiteral("a103"), QStringLiteral("入住房"), 80);
    Query q(&db);
    q.setSql(QStringLiteral("Select * from FJK order by F103_05 desc"));
    q.open();
    EXPECT_TRUE(q.locate(QStringLiteral("F103_04"), QStringLiteral("入住房")));
    EXPECT_EQ(q.field(0).asString(), QStringLiteral("A102"));
    EXPECT_TRUE(q.locate(QStringLiteral("f103_05"), 80));
    EXPECT_EQ(q.recNo(), 3);
    EXPECT_TRUE(q.locate(QStringLiteral("F103_05"), QStringLiteral("168")));
    EXPECT_EQ(q.recNo(), 1);
    // Unmatched values leave the cursor where it was.
    q.setRecNo(2);
    EXPECT_FALSE(q.locate(QStringLiteral("F103_01"), QStringLiteral("a102")));
    EXPECT_FALSE(q.locate(QStringLiteral("F103_05"), QStringLiteral("abc")));
    EXPECT_EQ(q.recNo(), 2);
    EXPECT_TRUE(q.locate(QStringLiteral("F103_01"), QStringLiteral("A103"), true));
    EXPECT_EQ(q.recNo(), 3);
    EXPECT_THROW(q.locate(QStringLiteral("nope"), 1), DbError);
}

TEST_P(QueryRead, DateTimesRoundTripExactly) {
    const QList<QDateTime> times = {
        QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59)),
        QDateTime(QDate(2024, 3, 1), QTime(0, 0, 0)),
        QDateTime(QDate(1999, 12, 31), QTime(12, 30, 5)),
    };
    for (int i = 0; i < times.size(); ++i)
        Command::run(db, QStringLiteral("INSERT INTO EV (K, T) VALUES (:k, :t)"),
                     {{QStringLiteral("k"), i}, {QStringLiteral("t"), times[i]}});
    Command::run(db, QStringLiteral("INSERT INTO EV (K) VALUES (99)"));
    Query q(&db);
    q.setSql(QStringLiteral("Select * from EV order by K"));
    q.open();
    for (int i = 0; i < times.size(); ++i, q.next()) {
        EXPECT_EQ(q.fieldByName(QStringLiteral("T")).asDateTime(), times[i]) << i;
        EXPECT_EQ(q.fieldByName(QStringLiteral("T")).type(), ColumnType::DateTime);
    }
    EXPECT_EQ(q.value(1, 1).toDateTime(), times[1]);
    EXPECT_EQ(q.displayText(1, 1), QStringLiteral("2024-03-01"));
    EXPECT_EQ(q.displayText(0, 1), QStringLiteral("2024-02-29 23:59:59"));
    EXPECT_TRUE(q.fieldByName(QStringLiteral("T")).isNull());
    EXPECT_FALSE(q.fieldByName(QStringLiteral("T")).asDateTime().isValid());
    EXPECT_EQ(q.fieldByName(QStringLiteral("N")).asInteger(), 0);

    // A date filter on the text form of the column finds the day.
    Query f(&db);
    f.setSql(QStringLiteral("Select K from EV where substr(%1,1,10)=:day")
                 .arg(db.dateTimeText(QStringLiteral("T"))));
    f.bindValue(QStringLiteral("day"), QStringLiteral("2024-02-29"));
    f.open();
    ASSERT_EQ(f.recordCount(), 1);
    EXPECT_EQ(f.field(0).asInteger(), 0);
}

TEST_P(QueryRead, ExpressionColumnsKeepTheirValues) {
    addRoom(QStringLiteral("0101"), QStringLiteral("空房间"), 168);
    addRoom(QStringLiteral("0109"), QStringLiteral("空房间"), 0.25);
    Query q(&db);
    q.setSql(QStringLiteral("Select MAX(F103_01) as ID, sum(F103_05) as S, count(*) as C from FJK"));
    q.open();
    EXPECT_EQ(q.fieldByName(QStringLiteral("id")).asString(), QStringLiteral("0109"));
    EXPECT_EQ(q.fieldByName(QStringLiteral("ID")).asInteger(), 109);
    EXPECT_DOUBLE_EQ(q.fieldByName(QStringLiteral("S")).asFloat(), 168.25);
    EXPECT_EQ(q.fieldByName(QStringLiteral("C")).asInteger(), 2);
    EXPECT_EQ(q.fieldByName(QStringLiteral("C")).asString(), QStringLiteral("2"));
}

TEST_P(QueryRead, SignalsTellViewsAboutOpenAndCursor) {
    addRoom(QStringLiteral("0101"), QStringLiteral("空房间"), 168);
    addRoom(QStringLiteral("0102"), QStringLiteral("空房间"), 168);
    Query q(&db);
    QSignalSpy reset(&q, &Query::reset);
    QSignalSpy current(&q, &Query::currentChanged);
    q.setSql(QStringLiteral("Select * from FJK order by F103_01"));
    q.open();
    EXPECT_GE(reset.count(), 1);
    ASSERT_GE(current.count(), 1);
    EXPECT_EQ(current.last().at(0).toInt(), 0);
    current.clear();
    q.next();
    ASSERT_EQ(current.count(), 1);
    EXPECT_EQ(current.last().at(0).toInt(), 1);
    q.next(); // eof: the cursor does not move
    EXPECT_EQ(current.count(), 1);

    q.disableControls();
    q.disableControls();
    reset.clear();
    current.clear();
    q.first();
    q.enableControls();
    EXPECT_EQ(reset.count(), 0);
    EXPECT_EQ(current.count(), 0);
    q.enableControls();
    EXPECT_EQ(reset.count(), 1);
    ASSERT_EQ(current.count(), 1);
    EXPECT_EQ(current.last().at(0).toInt(), 0);
}

TEST_P(QueryRead, StatementErrorsRaiseAndLeaveTheQueryClosed) {
    Query q(&db);
    q.setSql(QStringLiteral("Select * from NOSUCH"));
    EXPECT_THROW(q.open(), DbError);
    EXPECT_FALSE(q.isActive());
    EXPECT_EQ(q.state(), DatasetState::Inactive);
    EXPECT_THROW(q.next(), DbError);
    q.setSql(QStringLiteral("INSERT INTO EV (K) VALUES (:k)"));
    q.bindValue(QStringLiteral("k"), 5);
    q.execute();
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM EV")).toInt(), 1);
}

LUMVARD_ON_BOTH_ENGINES(QueryRead);

} // namespace
