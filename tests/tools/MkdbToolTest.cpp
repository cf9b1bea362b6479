#include "data/SqlCreateTable.h"
#include "platform/Command.h"
#include "platform/Connection.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumvard;

namespace {

struct ToolRun {
    int exitCode = -1;
    QString err;
};

ToolRun runMkdb(const QStringList &args) {
    QProcess p;
    p.start(QStringLiteral(LUMVARD_MKDB_PATH), args);
    ToolRun r;
    if (!p.waitForFinished(30000)) return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

TEST(MkdbTool, CreatesTheSevenTablesWithTheirRules) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Hotel.mdb"));
    const ToolRun r = runMkdb({file});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

    platform::ConnectionSettings s;
    s.filePath = file;
    platform::Connection db;
    ASSERT_TRUE(db.open(s)) << db.lastError().toStdString();
    QStringList tables;
    for (const QString &t : db.userTables())
        tables << t.toUpper();
    for (const TableEntry &e : TableCatalogue())
        EXPECT_TRUE(tables.contains(e.table)) << e.table.toStdString();
    EXPECT_EQ(tables.size(), TableCatalogue().size());
    EXPECT_EQ(db.tableSchema(QStringLiteral("RZK")).columns.size(), 17);

    // The open-row index came with the table.
    const QString insert = QStringLiteral(
        "insert into RZK (F104_01, F104_02, F104_15) values (:k, '0101', '2024-05-10 12:00:00')");
    platform::Command::run(db, insert, {{"k", "00000001"}});
    EXPECT_THROW(platform::Command::run(db, insert, {{"k", "00000002"}}), platform::DbError);
    db.close();
}

TEST(MkdbTool, LeavesAnExistingFileAlone) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Hotel.mdb"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("precious");
    }
    const ToolRun r = runMkdb({file});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_FALSE(r.err.isEmpty());
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("precious"));
}

TEST(MkdbTool, UsageAndUnwritablePlaces) {
    EXPECT_EQ(runMkdb({}).exitCode, 2);
    EXPECT_EQ(runMkdb({"a.mdb", "b.mdb"}).exitCode, 2);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("no/such/dir/Hotel.mdb"));
    EXPECT_EQ(runMkdb({file}).exitCode, 1);
    EXPECT_FALSE(QFile::exists(file));
}

} // namespace
