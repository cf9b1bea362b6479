#include "platform/Connection.h"
#include "platform/Command.h"
#include "support/Engines.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace lumvard;
using namespace lumvard::platform;

namespace {

class ConnectionEngine : public lumvard::test::EngineTest {
protected:
    void createSchemaTables() {
        execScript(
            QStringLiteral(
                "CREATE TABLE LCK (F101_01 varchar(3) NOT NULL DEFAULT '-1', F101_02 varchar(8) NOT NULL "
                "DEFAULT "
                "'新楼层', PRIMARY KEY (F101_01));\n"
                "CREATE TABLE CZYK (F107_01 int NOT NULL DEFAULT 1000, F107_02 varchar(8) NOT NULL DEFAULT "
                "'新操作员', F107_03 varchar(12) NULL, F107_04 text NULL, PRIMARY KEY (F107_01));\n"
                "CREATE TABLE T3 (A float NOT NULL DEFAULT 0, B float NOT NULL DEFAULT 1.5, C %1 NULL, "
                "D int NOT NULL DEFAULT -1, E varchar(4) NOT NULL DEFAULT 'it''s', F double precision NULL)")
                .arg(dateTimeType()));
    }
};

TEST_P(ConnectionEngine, ListsUserTablesOnly) {
    createSchemaTables();
    QStringList tables = db.userTables();
    for (QString &t : tables)
        t = t.toUpper();
    tables.sort();
    EXPECT_EQ(tables, (QStringList{QStringLiteral("CZYK"), QStringLiteral("LCK"), QStringLiteral("T3")}));
}

TEST_P(ConnectionEngine, ReadsColumnsTypesWidthsDefaultsAndKey) {
    createSchemaTables();
    const TableSchema &lck = db.tableSchema(QStringLiteral("lck"));
    ASSERT_EQ(lck.columns.size(), 2);
    EXPECT_EQ(lck.name.toUpper(), QStringLiteral("LCK"));
    EXPECT_EQ(lck.primaryKey().size(), 1);
    EXPECT_EQ(lck.primaryKey().value(0).toUpper(), QStringLiteral("F101_01"));
    EXPECT_EQ(lck.indexOf(QStringLiteral("f101_02")), 1);
    const ColumnInfo &name = lck.columns[1];
    EXPECT_EQ(name.type, ColumnType::Text);
    EXPECT_EQ(name.width, 8);
    EXPECT_FALSE(name.nullable);
    EXPECT_EQ(name.defaultValue, QVariant(QStringLiteral("新楼层")));
    EXPECT_EQ(lck.columns[0].defaultValue, QVariant(QStringLiteral("-1")));

    const TableSchema &czyk = db.tableSchema(QStringLiteral("CZYK"));
    ASSERT_EQ(czyk.columns.size(), 4);
    EXPECT_EQ(czyk.columns[0].type, ColumnType::Integer);
    EXPECT_EQ(czyk.columns[0].defaultValue, QVariant(1000));
    EXPECT_TRUE(czyk.columns[0].primaryKey);
    EXPECT_TRUE(czyk.columns[2].nullable);
    EXPECT_FALSE(czyk.columns[2].defaultValue.isValid());
    EXPECT_EQ(czyk.columns[2].width, 12);
    EXPECT_EQ(czyk.columns[3].type, ColumnType::Memo);

    const TableSchema &t3 = db.tableSchema(QStringLiteral("T3"));
    ASSERT_EQ(t3.columns.size(), 6);
    EXPECT_EQ(t3.columns[0].type, ColumnType::Float);
    EXPECT_EQ(t3.columns[0].defaultValue, QVariant(0.0));
    EXPECT_EQ(t3.columns[1].defaultValue, QVariant(1.5));
    EXPECT_EQ(t3.columns[2].type, ColumnType::DateTime);
    EXPECT_EQ(t3.columns[3].type, ColumnType::Integer);
    EXPECT_EQ(t3.columns[3].defaultValue, QVariant(-1));
    EXPECT_EQ(t3.columns[4].defaultValue, QVariant(QStringLiteral("it's")));
    EXPECT_EQ(t3.columns[5].type, ColumnType::Float);
    EXPECT_TRUE(t3.primaryKey().isEmpty());
}

TEST_P(ConnectionEngine, UnknownTableIsAnError) {
    EXPECT_THROW(db.tableSchema(QStringLiteral("NOPE")), DbError);
    EXPECT_THROW(db.tableSchema(QStringLiteral("x'; drop table y")), DbError);
}

TEST_P(ConnectionEngine, CommandBindsValuesAndCountsRows) {
    createSchemaTables();
    // A value with quotes and SQL in it is data, never statement text.
    const QString nasty = QStringLiteral("');--");
    EXPECT_EQ(Command::run(db, QStringLiteral("INSERT INTO LCK (F101_01, F101_02) VALUES (:k, :n)"),
                           {{QStringLiteral("k"), QStringLiteral("001")}, {QStringLiteral("n"), nasty}}),
              1);
    Command::run(db, QStringLiteral("INSERT INTO LCK (F101_01) VALUES ('002')"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT F101_02 FROM LCK WHERE F101_01='001'")).toString(), nasty);
    Command c(&db);
    c.setSql(QStringLiteral("UPDATE LCK SET F101_02=:n"));
    c.bindValue(QStringLiteral("n"), QStringLiteral("一楼"));
    EXPECT_EQ(c.execute(), 2);
}

// An unset text (the super operator has no operator code) goes into a NOT NULL text column as the
// empty text; only an invalid QVariant writes NULL.
TEST_P(ConnectionEngine, UnsetTextIsEmptyTextAndInvalidVariantIsNull) {
    createSchemaTables();
    EXPECT_EQ(Command::run(db, QStringLiteral("INSERT INTO LCK (F101_01, F101_02) VALUES ('001', :n)"),
                           {{QStringLiteral("n"), QString()}}),
              1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT F101_02 FROM LCK WHERE F101_01='001'")).toString(), QString());
    EXPECT_FALSE(scalar(QStringLiteral("SELECT F101_02 FROM LCK WHERE F101_01='001'")).isNull());
    Command::run(db, QStringLiteral("INSERT INTO CZYK (F107_01, F107_03) VALUES (1001, :p)"),
                 {{QStringLiteral("p"), QVariant()}});
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM CZYK WHERE F107_03 IS NULL")).toInt(), 1);
}

TEST_P(ConnectionEngine, ErrorsCarryTheEngineCodeAndKnowDuplicateKeys) {
    createSchemaTables();
    Command::run(db, QStringLiteral("INSERT INTO LCK (F101_01) VALUES ('001')"));
    try {
        Command::run(db, QStringLiteral("INSERT INTO LCK (F101_01) VALUES ('001')"));
        FAIL() << "duplicate key accepted";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.isUniqueViolation())
            << e.message().toStdString() << " / " << e.sqlState().toStdString();
        EXPECT_FALSE(e.sqlState().isEmpty());
        EXPECT_FALSE(e.message().isEmpty());
    }
    try {
        Command::run(db, QStringLiteral("SELEC nonsense"));
        FAIL() << "bad statement accepted";
    } catch (const DbError &e) {
        EXPECT_FALSE(e.isUniqueViolation());
        if (isPostgres()) {
            EXPECT_EQ(e.sqlState(), QStringLiteral("42601"));
        }
    }
}

TEST_P(ConnectionEngine, TransactionRollsBackUnlessCommitted) {
    createSchemaTables();
    {
        Transaction t(db);
        Command::run(db, QStringLiteral("INSERT INTO LCK (F101_01) VALUES ('001')"));
    }
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM LCK")).toInt(), 0);
    EXPECT_EQ(db.transactionDepth(), 0);
    {
        Transaction t(db);
        Command::run(db, QStringLiteral("INSERT INTO LCK (F101_01) VALUES ('001')"));
        t.commit();
    }
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM LCK")).toInt(), 1);
}

TEST_P(ConnectionEngine, NestedTransactionsAreSavepointsOfTheOuterOne) {
    createSchemaTables();
    {
        Transaction outer(db);
        Command::run(db, QStringLiteral("INSERT INTO LCK (F101_01) VALUES ('001')"));
        {
            Transaction inner(db);
            EXPECT_EQ(db.transactionDepth(), 2);
            Command::run(db, QStringLiteral("INSERT INTO LCK (F101_01) VALUES ('002')"));
            inner.commit();
        }
        EXPECT_EQ(db.transactionDepth(), 1);
        outer.commit();
    }
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM LCK")).toInt(), 2);

    // An inner unit that fails takes its own rows back at once, and the outer unit can no longer
    // commit: the operation as a whole is all or nothing.
    {
        Transaction outer(db);
        Command::run(db, QStringLiteral("INSERT INTO LCK (F101_01) VALUES ('003')"));
        {
            Transaction inner(db);
            Command::run(db, QStringLiteral("INSERT INTO LCK (F101_01) VALUES ('004')"));
        }
        EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM LCK WHERE F101_01='004'")).toInt(), 0);
        EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM LCK WHERE F101_01='003'")).toInt(), 1);
        EXPECT_THROW(outer.commit(), DbError);
    }
    EXPECT_EQ(db.transactionDepth(), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM LCK")).toInt(), 2);

    // A failed statement dooms the unit it runs in, on both engines alike.
    {
        Transaction outer(db);
        Command::run(db, QStringLiteral("INSERT INTO LCK (F101_01) VALUES ('005')"));
        EXPECT_THROW(Command::run(db, QStringLiteral("INSERT INTO LCK (F101_01) VALUES ('001')")), DbError);
        EXPECT_THROW(outer.commit(), DbError);
    }
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM LCK")).toInt(), 2);
    // ...and the connection is usable afterwards.
    Command::run(db, QStringLiteral("INSERT INTO LCK (F101_01) VALUES ('006')"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM LCK")).toInt(), 3);
}

TEST_P(ConnectionEngine, SecondConnectionIsASeparateWorkstation) {
    createSchemaTables();
    Connection other;
    ASSERT_TRUE(other.open(scratch->settings())) << other.lastError().toStdString();
    EXPECT_NE(other.database().connectionName(), db.database().connectionName());
    Command::run(other, QStringLiteral("INSERT INTO LCK (F101_01) VALUES ('009')"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM LCK")).toInt(), 1);
    other.close();
    EXPECT_FALSE(other.isConnected());
    EXPECT_TRUE(db.isConnected());
}

LUMVARD_ON_BOTH_ENGINES(ConnectionEngine);

TEST(Connection, SqliteFileMustExistAndIsNeverCreated) {
    QTemporaryDir dir;
    ConnectionSettings s;
    s.engine = Engine::SQLite;
    s.filePath = dir.filePath(QStringLiteral("missing.mdb"));
    Connection c;
    EXPECT_FALSE(c.open(s));
    EXPECT_TRUE(c.lastError().contains(QStringLiteral("missing.mdb"))) << c.lastError().toStdString();
    EXPECT_FALSE(QFile::exists(s.filePath));
    EXPECT_FALSE(c.isConnected());

    // A file that is not a database is refused too.
    QFile junk(dir.filePath(QStringLiteral("junk.mdb")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    s.filePath = junk.fileName();
    EXPECT_FALSE(c.open(s));
    EXPECT_FALSE(c.lastError().isEmpty());
}

TEST(Connection, DataSourceNamesHostAndPort) {
    struct Case {
        const char *source;
        const char *host;
        int port;
    } cases[] = {
        {"", "127.0.0.1", 5432},         {"(local)", "127.0.0.1", 5432},         {"db.lan", "db.lan", 5432},
        {"db.lan,6543", "db.lan", 6543}, {" 10.0.0.2 , 7000", "10.0.0.2", 7000},
    };
    for (const Case &c : cases) {
        ConnectionSettings s;
        s.setDataSource(QString::fromUtf8(c.source));
        EXPECT_EQ(s.host, QString::fromUtf8(c.host)) << c.source;
        EXPECT_EQ(s.port, c.port) << c.source;
    }
}

TEST(Connection, ServerWithoutDatabaseReachesPostgres) {
    auto server = lumvard::test::testServerSettings();
    if (!server) GTEST_SKIP() << "no test PostgreSQL";
    Connection c;
    ASSERT_TRUE(c.open(*server)) << c.lastError().toStdString();
    QSqlQuery q(c.database());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT current_database()")) && q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("postgres"));
    q.finish();

    ConnectionSettings wrong = *server;
    wrong.password = QStringLiteral("not-the-password");
    Connection w;
    EXPECT_FALSE(w.open(wrong));
    EXPECT_FALSE(w.lastError().isEmpty());
}

} // namespace
