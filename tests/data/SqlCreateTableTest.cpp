#include "data/SqlCreateTable.h"
#include "data/DM.h"
#include "foundation/Errors.h"
#include "support/Engines.h"
#include "support/ScriptedMessages.h"

#include <QCoreApplication>
#include <QRegularExpression>

using namespace lumvard;
using platform::ColumnType;
using platform::Engine;

namespace {

// The authoritative definitions of the seven tables, as the server database of the original
// installation defines them. The tests parse them and compare what each engine reads back.
const char *const kReferenceStatements[] = {
    "CREATE TABLE [dbo].[CZYK] ([F107_01] [int] NOT NULL DEFAULT (1000) ,  [F107_02] [varchar] (8) NOT NULL "
    "DEFAULT "
    "('新操作员') ,  [F107_03] [varchar] (12) NULL,  [F107_04] [Text] NULL ,  CONSTRAINT PK_CZYK PRIMARY KEY "
    "([F107_01])) ",
    "CREATE TABLE [dbo].[LCK] ([F101_01] [varchar] (3) NOT NULL DEFAULT ('-1') ,  [F101_02] [varchar] (8) "
    "NOT NULL "
    "DEFAULT ('新楼层') , CONSTRAINT PK_LCK PRIMARY KEY ([F101_01])) ",
    "CREATE TABLE [dbo].[LBK] ([F102_01] [varchar] (3) NOT NULL DEFAULT ('-1') ,  [F102_02] [varchar] (8) "
    "NOT NULL "
    "DEFAULT ('新类别'), CONSTRAINT PK_LBK PRIMARY KEY ([F102_01])) ",
    "CREATE TABLE [dbo].[FJK] ( [F103_01] [varchar] (4) NOT NULL DEFAULT ('0000') ,  [F103_02] [varchar] (8) "
    "NOT "
    "NULL DEFAULT ('类别') ,  [F103_03] [varchar] (8) NOT NULL DEFAULT ('楼层') ,  [F103_04] [varchar] (8) "
    "NOT NULL "
    "DEFAULT ('状态') ,  [F103_05] [float] NOT NULL DEFAULT (0) ,  CONSTRAINT PK_FJK PRIMARY KEY "
    "([F103_01])) ",
    "CREATE TABLE [dbo].[RZK] ( [F104_01] [varchar] (8) NOT NULL DEFAULT ('00000000') ,  [F104_02] [varchar] "
    "(4) "
    "NOT NULL DEFAULT ('') ,  [F104_03] [varchar] (8) NOT NULL DEFAULT (''),  [F104_04] [float] NOT NULL "
    "DEFAULT "
    "(0),  [F104_05] [float] NOT NULL DEFAULT (1),  [F104_06] [float] NOT NULL DEFAULT (0),  [F104_07] "
    "[float] NOT "
    "NULL DEFAULT (0),  [F104_08] [float] NOT NULL DEFAULT (0),  [F104_09] [varchar] (8) NOT NULL DEFAULT "
    "(''),  "
    "[F104_10] [varchar] (8) NOT NULL DEFAULT ('身份证'),  [F104_11] [varchar] (20) NOT NULL DEFAULT (''),  "
    "[F104_12] [varchar] (50) NOT NULL DEFAULT (''),  [F104_13] [int] NOT NULL DEFAULT (0),  [F104_14] "
    "[varchar] "
    "(8) NOT NULL DEFAULT (''),  [F104_15] [datetime] NOT NULL,  [F104_16] [varchar] (2) NOT NULL DEFAULT "
    "('否'),  "
    "[F104_17] [int] NOT NULL DEFAULT (0),  CONSTRAINT PK_RZK PRIMARY KEY ([F104_01])) ",
    "CREATE TABLE [dbo].[KRXFK] ( [F105_01] [varchar] (8) NOT NULL DEFAULT ('00000000') ,  [F105_02] "
    "[varchar] (4) "
    "NOT NULL DEFAULT ('') ,  [F105_03] [varchar] (10) NOT NULL DEFAULT ('') ,  [F105_04] [varchar] (10) NOT "
    "NULL "
    "DEFAULT ('') ,  [F105_05] [float] NOT NULL DEFAULT (0) ,  [F105_06] [float] NOT NULL DEFAULT (0) ,  "
    "[F105_07] "
    "[float] NOT NULL DEFAULT (0) ,  [F105_08] [varchar] (8) NOT NULL DEFAULT ('') ,  [F105_09] [datetime] "
    "NOT NULL "
    ", [F105_10] [datetime] NOT NULL , [F105_11] [varchar] (7) NOT NULL , CONSTRAINT PK_KRXFK PRIMARY KEY "
    "([F105_01])) ",
    "CREATE TABLE [dbo].[KRYDK] ( [F106_01] [varchar] (8) NOT NULL DEFAULT ('00000000') ,  [F106_02] "
    "[varchar] (4) "
    "NOT NULL DEFAULT ('散客') ,  [F106_03] [varchar] (4) NOT NULL DEFAULT ('') ,  [F106_04] [varchar] (8) "
    "NOT NULL "
    "DEFAULT ('') ,  [F106_05] [varchar] (8) NOT NULL DEFAULT ('') ,  [F106_06] [varchar] (20) NOT NULL "
    "DEFAULT ('') "
    ",  [F106_07] [varchar] (50) NOT NULL DEFAULT ('') ,  [F106_08] [float] NOT NULL DEFAULT (0) ,  "
    "[F106_09] "
    "[varchar] (15) NOT NULL DEFAULT ('') ,  [F106_10] [varchar] (8) NOT NULL DEFAULT ('') ,  [F106_11] "
    "[datetime] "
    "NOT NULL,  [F106_12] [text] NULL,  [F106_13] [varchar] (2) NOT NULL DEFAULT ('否') ,  CONSTRAINT "
    "PK_KRYDK "
    "PRIMARY KEY ([F106_01])) ",
};

struct RefColumn {
    QString name;
    ColumnType type;
    int width;
    bool nullable;
    bool hasDefault;
    QString defaultText; // unquoted
    bool numericDefault;
};

struct RefTable {
    QString name;
    QString key;
    QList<RefColumn> columns;
};

QList<RefTable> referenceTables() {
    static const QRegularExpression tableRe(QStringLiteral("\\[dbo\\]\\.\\[(\\w+)\\]"));
    static const QRegularExpression keyRe(QStringLiteral("PRIMARY KEY \\(\\[(\\w+)\\]\\)"));
    static const QRegularExpression colRe(
        QStringLiteral("\\[(F\\d{3}_\\d{2})\\]\\s*\\[(\\w+)\\]\\s*(?:\\((\\d+)\\))?\\s*(NOT "
                       "NULL|NULL)(?:\\s*DEFAULT\\s*\\(([^)]*)\\))?"));
    QList<RefTable> tables;
    for (const char *stmt : kReferenceStatements) {
        const QString s = QString::fromUtf8(stmt);
        RefTable t;
        t.name = tableRe.match(s).captured(1);
        t.key = keyRe.match(s).captured(1);
        for (auto it = colRe.globalMatch(s); it.hasNext();) {
            const auto m = it.next();
            RefColumn c;
            c.name = m.captured(1);
            const QString type = m.captured(2).toLower();
            c.type = type == QLatin1String("int")        ? ColumnType::Integer
                     : type == QLatin1String("varchar")  ? ColumnType::Text
                     : type == QLatin1String("float")    ? ColumnType::Float
                     : type == QLatin1String("datetime") ? ColumnType::DateTime
                                                         : ColumnType::Memo;
            c.width = m.captured(3).toInt();
            c.nullable = m.captured(4) == QLatin1String("NULL");
            c.hasDefault = m.hasCaptured(5) && !m.captured(5).isNull();
            QString d = m.captured(5).trimmed();
            c.numericDefault = c.hasDefault && !d.startsWith(QLatin1Char('\''));
            if (d.startsWith(QLatin1Char('\''))) d = d.mid(1, d.size() - 2);
            c.defaultText = d;
            t.columns << c;
        }
        tables << t;
    }
    return tables;
}

class SchemaTest : public test::EngineTest {
protected:
    void createAll() {
        for (const TableEntry &e : TableCatalogue()) {
            QStringList statements;
            ASSERT_TRUE(BuildCreateStatements(e.table, engine(), statements));
            for (const QString &s : statements)
                exec(s);
        }
    }
};

TEST_P(SchemaTest, TablesMatchTheReferenceDefinitions) {
    createAll();
    const QList<RefTable> reference = referenceTables();
    ASSERT_EQ(reference.size(), TableCatalogue().size());
    for (int i = 0; i < reference.size(); ++i) {
        const RefTable &ref = reference[i];
        SCOPED_TRACE(ref.name.toStdString());
        EXPECT_EQ(TableCatalogue()[i].table, ref.name) << "catalogue order";
        const platform::TableSchema &schema = db.tableSchema(ref.name);
        ASSERT_EQ(schema.columns.size(), ref.columns.size());
        ASSERT_EQ(schema.primaryKey().size(), 1);
        EXPECT_EQ(schema.primaryKey()[0].toUpper(), ref.key);
        for (int c = 0; c < ref.columns.size(); ++c) {
            const RefColumn &rc = ref.columns[c];
            const platform::ColumnInfo &col = schema.columns[c];
            SCOPED_TRACE(rc.name.toStdString());
            EXPECT_EQ(col.name.toUpper(), rc.name);
            EXPECT_EQ(int(col.type), int(rc.type));
            EXPECT_EQ(col.width, rc.width);
            EXPECT_EQ(col.nullable, rc.nullable);
            EXPECT_EQ(col.primaryKey, rc.name == ref.key);
            if (!rc.hasDefault)
                EXPECT_TRUE(col.defaultValue.isNull()) << col.defaultValue.toString().toStdString();
            else if (rc.numericDefault)
                EXPECT_DOUBLE_EQ(col.defaultValue.toDouble(), rc.defaultText.toDouble());
            else {
                EXPECT_FALSE(col.defaultValue.isNull());
                EXPECT_EQ(col.defaultValue.toString(), rc.defaultText);
            }
        }
    }
}

TEST_P(SchemaTest, CatalogueDescriptionsAndUnknownNames) {
    const QStringList descriptions = {"操作员定义表", "楼层定义表",     "类别定义表",    "房间定义表",
                                      "入住定义表",   "客人消费定义表", "客人预定定义表"};
    ASSERT_EQ(TableCatalogue().size(), descriptions.size());
    for (int i = 0; i < descriptions.size(); ++i)
        EXPECT_EQ(TableCatalogue()[i].description, descriptions[i]);

    QStringList out{"kept"};
    EXPECT_FALSE(BuildCreateStatements(QStringLiteral("XYZ"), engine(), out));
    EXPECT_FALSE(BuildCreateStatements(QString(), engine(), out));
    EXPECT_EQ(out, QStringList{"kept"});
    EXPECT_TRUE(BuildCreateStatements(QStringLiteral("rzk"), engine(), out)); // letter case ignored
    EXPECT_GT(out.size(), 1);
}

// At most one open check-in and one open reservation per room, whichever workstation writes.
struct OpenRowCase {
    const char *table;
    const char *insert; // :key, :room, :flag
};

TEST_P(SchemaTest, OneOpenRowPerRoom) {
    createAll();
    const OpenRowCase cases[] = {
        {"RZK",
         "insert into RZK (F104_01, F104_02, F104_15, F104_16) values (:key, :room, '2024-05-10 12:00:00', "
         ":flag)"},
        {"KRYDK", "insert into KRYDK (F106_01, F106_03, F106_11, F106_13) values (:key, :room, '2024-05-10 "
                  "12:00:00', :flag)"},
    };
    for (const OpenRowCase &c : cases) {
        SCOPED_TRACE(c.table);
        const QString sql = QString::fromUtf8(c.insert);
        auto insert = [&](const char *key, const char *room, const char *flag) {
            return platform::Command::run(db, sql,
                                          {{"key", QString::fromUtf8(key)},
                                           {"room", QString::fromUtf8(room)},
                                           {"flag", QString::fromUtf8(flag)}});
        };
        EXPECT_EQ(insert("00000001", "0101", "否"), 1);
        EXPECT_EQ(insert("00000002", "0101", "是"), 1); // a closed row for the same room
        EXPECT_EQ(insert("00000003", "0102", "否"), 1); // another room
        try {
            insert("00000004", "0101", "否");
            ADD_FAILURE() << "a second open row for room 0101 was accepted";
        } catch (const platform::DbError &e) {
            EXPECT_TRUE(e.isUniqueViolation()) << e.message().toStdString();
        }
        // Closing the open row lets the room be taken again.
        const QString closeSql =
            QString::fromUtf8(c.table) == QLatin1String("RZK")
                ? QStringLiteral("update RZK set F104_16='是' where F104_01='00000001'")
                : QStringLiteral("update KRYDK set F106_13='是' where F106_01='00000001'");
        platform::Command::run(db, closeSql);
        EXPECT_EQ(insert("00000005", "0101", "否"), 1);
    }
}

// ---- CreateMissingTables

class CreateMissingTablesTest : public test::EngineTest {
protected:
    void SetUp() override {
        test::EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_TRUE(dm.OpenConnection(dm.DBConn, scratch->settings())) << dm.lastError().toStdString();
    }
    void TearDown() override {
        dm.DBConn.close();
        test::EngineTest::TearDown();
    }
    void create(const QString &table) {
        QStringList statements;
        ASSERT_TRUE(BuildCreateStatements(table, engine(), statements));
        for (const QString &s : statements)
            exec(s);
    }
    QStringList tables() {
        QStringList list;
        for (const QString &t : db.userTables())
            list << t.toUpper();
        list.sort();
        return list;
    }
    TFDM dm;
};

TEST_P(CreateMissingTablesTest, CreatesAllTablesInAnEmptyDatabase) {
    EXPECT_TRUE(dm.CreateMissingTables());
    EXPECT_EQ(tables(), (QStringList{"CZYK", "FJK", "KRXFK", "KRYDK", "LBK", "LCK", "RZK"}));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from RZK")).toInt(), 0);
}

TEST_P(CreateMissingTablesTest, TablesPresentInAnyLetterCaseAreLeftAlone) {
    // Stand-ins with other columns: had any CREATE run, the database would hold a second table.
    for (const char *name : {"czyk", "Lck", "lbK", "FJK", "Rzk", "krxfk", "KrYdK"})
        exec(QStringLiteral("CREATE TABLE \"%1\" (a int)").arg(QString::fromUtf8(name)));
    EXPECT_TRUE(dm.CreateMissingTables());
    EXPECT_EQ(db.userTables().size(), 7);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from \"Lck\"")).toInt(), 0);
}

TEST_P(CreateMissingTablesTest, CreatesOnlyTheMissingTable) {
    for (const TableEntry &e : TableCatalogue())
        if (e.table != QLatin1String("FJK")) create(e.table);
    exec(QStringLiteral("insert into LCK (F101_01, F101_02) values ('001', 'A')"));
    EXPECT_TRUE(dm.CreateMissingTables());
    EXPECT_EQ(tables().size(), 7);
    EXPECT_EQ(db.tableSchema(QStringLiteral("FJK")).columns.size(), 5);
    EXPECT_EQ(scalar(QStringLiteral("select F101_02 from LCK")).toString(), QStringLiteral("A"));
}

TEST_P(CreateMissingTablesTest, AFailedTableStopsTheRestAndKeepsTheEarlierOnes) {
    exec(QStringLiteral("CREATE VIEW lbk AS SELECT 1 AS x"));
    test::ScriptedMessages messages;
    messages.expectSystemBox(QCoreApplication::applicationName(),
                             QStringLiteral("创建类别定义表失败!\r\n请检查数据库..."));
    EXPECT_FALSE(dm.CreateMissingTables());
    ASSERT_EQ(messages.seen().size(), 1);
    EXPECT_EQ(messages.seen()[0].icon, MessageRequest::Icon::Information);
    EXPECT_EQ(tables(), (QStringList{"CZYK", "LCK"}));
}

TEST_P(CreateMissingTablesTest, AnUnreadableTableListShowsTheErrorBox) {
    dm.DBConn.close();
    test::ScriptedMessages messages;
    messages.expectSystemBox(QStringLiteral("错误"), QStringLiteral("创建数据表失败!请与管理员联系..."));
    EXPECT_FALSE(dm.CreateMissingTables());
    ASSERT_EQ(messages.seen().size(), 1);
    EXPECT_EQ(messages.seen()[0].icon, MessageRequest::Icon::Error);
}

// ---- NextSerialNo

struct SerialCase {
    const char *name;
    const char *table;
    const char *key;
    int width;
    QStringList stored;
    bool datasetEmpty;
    const char *expected; // nullptr: refused
};

class NextSerialNoTest : public CreateMissingTablesTest {};

TEST_P(NextSerialNoTest, NumbersAndPadding) {
    ASSERT_TRUE(dm.CreateMissingTables());
    const SerialCase cases[] = {
        {"empty journal", "RZK", "F104_01", 8, {}, true, "00000001"},
        {"empty dataset runs no query", "LCK", "F101_01", 3, {"007"}, true, "001"},
        {"nine to ten", "RZK", "F104_01", 8, {"00000003", "00000009"}, false, "00000010"},
        {"carry to three digits", "LCK", "F101_01", 3, {"099", "005"}, false, "100"},
        {"column default ignored", "LBK", "F102_01", 3, {"-1", "004"}, false, "005"},
        {"only the column default", "LBK", "F102_01", 3, {"-1"}, false, "001"},
        {"eight digits full", "KRYDK", "F106_01", 8, {"99999998"}, false, "99999999"},
        {"three digits used up", "LCK", "F101_01", 3, {"999"}, false, nullptr},
        {"eight digits used up", "KRXFK", "F105_01", 8, {"99999999"}, false, nullptr},
    };
    for (const SerialCase &c : cases) {
        SCOPED_TRACE(c.name);
        const QString table = QString::fromUtf8(c.table);
        const QString key = QString::fromUtf8(c.key);
        exec(QStringLiteral("delete from ") + table);
        for (const QString &k : c.stored) {
            if (table == QLatin1String("LCK") || table == QLatin1String("LBK"))
                exec(QStringLiteral("insert into %1 (%2) values ('%3')").arg(table, key, k));
            else if (table == QLatin1String("RZK"))
                exec(QStringLiteral(
                         "insert into RZK (F104_01, F104_02, F104_15) values ('%1', '%2', '2024-01-01')")
                         .arg(k, k.right(4)));
            else if (table == QLatin1String("KRYDK"))
                exec(QStringLiteral("insert into KRYDK (F106_01, F106_11) values ('%1', '2024-01-01')")
                         .arg(k));
            else
                exec(QStringLiteral("insert into KRXFK (F105_01, F105_09, F105_10, F105_11) values ('%1', "
                                    "'2024-01-01', '2024-01-01', '2024-01')")
                         .arg(k));
        }
        dm.QADOT.close();
        if (c.expected) {
            EXPECT_EQ(NextSerialNo(dm, table, key, c.width, c.datasetEmpty), QString::fromUtf8(c.expected));
            if (c.datasetEmpty) {
                EXPECT_FALSE(dm.QADOT.isActive()) << "no query for an empty dataset";
            }
        } else {
            try {
                NextSerialNo(dm, table, key, c.width, c.datasetEmpty);
                ADD_FAILURE() << "a number past the width was handed out";
            } catch (const Error &e) {
                EXPECT_TRUE(e.message().contains(QStringLiteral("编号已用完"))) << e.message().toStdString();
            }
        }
    }
}

TEST_P(NextSerialNoTest, AnUnreadableMaximumIsAnError) {
    ASSERT_TRUE(dm.CreateMissingTables());
    exec(QStringLiteral("insert into FJK (F103_01) values ('A12')"));
    EXPECT_THROW(NextSerialNo(dm, QStringLiteral("FJK"), QStringLiteral("F103_01"), 4, false), Error);
    EXPECT_THROW(NextSerialNo(dm, QStringLiteral("NOSUCH"), QStringLiteral("F1"), 3, false), Error);
}

// ---- date filters

class DateFilterTest : public CreateMissingTablesTest {
protected:
    QStringList keys(const QString &table, const QString &key, const SqlFilter &f) {
        EXPECT_TRUE(dm.OpenSql(
            dm.QADO, QStringLiteral("select %1 from %2 where %3 order by %1").arg(key, table, f.sql),
            f.params))
            << dm.lastError().toStdString();
        QStringList list;
        for (dm.QADO.first(); !dm.QADO.eof(); dm.QADO.next())
            list << dm.QADO.fieldByName(key).asString();
        return list;
    }
};

TEST_P(DateFilterTest, DaysAndRanges) {
    ASSERT_TRUE(dm.CreateMissingTables());
    const char *times[] = {"2024-05-09 23:59:59", "2024-05-10 00:00:00", "2024-05-10 23:59:59",
                           "2024-05-11 00:00:00", "2024-05-12 08:30:00"};
    int n = 0;
    for (const char *t : times) {
        ++n;
        platform::Command::run(
            db, QStringLiteral("insert into RZK (F104_01, F104_02, F104_15) values (:k, :room, :t)"),
            {{"k", QStringLiteral("%1").arg(n, 8, 10, QLatin1Char('0'))},
             {"room", QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'))},
             {"t",
              db.toStorage(QDateTime::fromString(QString::fromUtf8(t), QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                           ColumnType::DateTime)}});
    }
    EXPECT_EQ(keys("RZK", "F104_01", DayFilter("F104_15", "day", QDate(2024, 5, 10))),
              (QStringList{"00000002", "00000003"}));
    EXPECT_EQ(keys("RZK", "F104_01", DayRangeFilter("F104_15", "d", QDate(2024, 5, 10), QDate(2024, 5, 11))),
              (QStringList{"00000002", "00000003", "00000004"}));
    EXPECT_EQ(keys("RZK", "F104_01", DayRangeFilter("F104_15", "d", QDate(2024, 5, 12), QDate(2024, 5, 12))),
              (QStringList{"00000005"}));
    EXPECT_TRUE(keys("RZK", "F104_01", DayFilter("F104_15", "day", QDate(2024, 5, 13))).isEmpty());

    // Two fragments in one statement, bound under their own names.
    const SqlFilter a = DayFilter("F104_15", "a", QDate(2024, 5, 10));
    const SqlFilter b = DayRangeFilter("F104_15", "b", QDate(2024, 5, 9), QDate(2024, 5, 10));
    SqlFilter both{a.sql + QStringLiteral(" and ") + b.sql, a.params};
    both.params.insert(b.params);
    EXPECT_EQ(keys("RZK", "F104_01", both), (QStringList{"00000002", "00000003"}));
}

TEST_P(DateFilterTest, MonthsAndYears) {
    ASSERT_TRUE(dm.CreateMissingTables());
    const char *rows[][2] = {{"2024-04-30 23:59:59", "2024-04"}, {"2024-05-01 00:00:00", "2024-05"},
                             {"2024-05-31 23:59:59", "2024-05"}, {"2024-06-01 00:00:00", "2024-06"},
                             {"2023-12-31 12:00:00", "2023-12"}, {"2024-12-31 12:00:00", "2024-12"}};
    int n = 0;
    for (const auto &r : rows) {
        ++n;
        const QDateTime t =
            QDateTime::fromString(QString::fromUtf8(r[0]), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        platform::Command::run(
            db,
            QStringLiteral("insert into KRXFK (F105_01, F105_09, F105_10, F105_11) values (:k, :t, :d, :m)"),
            {{"k", QStringLiteral("%1").arg(n, 8, 10, QLatin1Char('0'))},
             {"room", QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'))},
             {"t", db.toStorage(t, ColumnType::DateTime)},
             {"d", db.toStorage(QDateTime(t.date(), QTime(0, 0)), ColumnType::DateTime)},
             {"m", QString::fromUtf8(r[1])}});
    }
    EXPECT_EQ(keys("KRXFK", "F105_01", MonthFilter("F105_09", "m", QDate(2024, 5, 17))),
              (QStringList{"00000002", "00000003"}));
    EXPECT_EQ(keys("KRXFK", "F105_01", MonthFilter("F105_10", "m", QDate(2024, 12, 1))),
              (QStringList{"00000006"}));
    EXPECT_EQ(keys("KRXFK", "F105_01", YearOfMonthTextFilter("F105_11", "y", 2024)),
              (QStringList{"00000001", "00000002", "00000003", "00000004", "00000006"}));
    EXPECT_EQ(keys("KRXFK", "F105_01", YearOfMonthTextFilter("F105_11", "y", 2023)),
              (QStringList{"00000005"}));
}

} // namespace

LUMVARD_ON_BOTH_ENGINES(SchemaTest);
LUMVARD_ON_BOTH_ENGINES(CreateMissingTablesTest);
LUMVARD_ON_BOTH_ENGINES(NextSerialNoTest);
LUMVARD_ON_BOTH_ENGINES(DateFilterTest);
