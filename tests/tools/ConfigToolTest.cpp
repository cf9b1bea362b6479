#include "foundation/XIniDec.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumvard;

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

class ConfigToolTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString file() const { return dir.filePath(QStringLiteral("Quarn.XIX")); }

    static ToolRun run(const QStringList &args) {
        QProcess p;
        p.start(QStringLiteral(LUMVARD_CONFIG_PATH), args);
        EXPECT_TRUE(p.waitForFinished(30000));
        ToolRun r;
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    ToolRun on(const QStringList &args) const { return run(QStringList{file()} + args); }

    static QByteArray bytes(const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace

TEST_F(ConfigToolTest, WritesAFileTheProgramReads) {
    ASSERT_EQ(on({QStringLiteral("create")}).exitCode, 0);
    const QList<QPair<QString, QString>> keys = {
        {QStringLiteral("XDBName"), QStringLiteral("Hotel")},
        {QStringLiteral("DBType"), QStringLiteral("SQL2000")},
        {QStringLiteral("DanWeiMingCheng"), QStringLiteral("顺达宾馆")},
        {QStringLiteral("SuperOperPassword"), QStringLiteral("s3cret")},
        {QStringLiteral("ODBCDSN"), QStringLiteral("dsn")},
        {QStringLiteral("DanWeiDaiMa"), QStringLiteral("0101")},
    };
    for (const auto &[key, value] : keys)
        ASSERT_EQ(on({QStringLiteral("set"), key, value}).exitCode, 0) << key.toStdString();
    // Setting a key again, in another letter case, replaces its value.
    ASSERT_EQ(on({QStringLiteral("set"), QStringLiteral("dbtype"), QStringLiteral("Access")}).exitCode, 0);

    TXIni ini;
    ini.setFileName(file());
    EXPECT_EQ(ini.LoadResult(), 6);
    EXPECT_EQ(ini.ReadValue(QStringLiteral("xdbname")), QStringLiteral("Hotel"));
    EXPECT_EQ(ini.ReadValue(QStringLiteral("DBType")), QStringLiteral("Access"));
    EXPECT_EQ(ini.ReadValue(QStringLiteral("DanWeiMingCheng")), QStringLiteral("顺达宾馆"));
    EXPECT_EQ(ini.ReadValue(QStringLiteral("DanWeiDaiMa")), QStringLiteral("0101"));

    const ToolRun get = on({QStringLiteral("get"), QStringLiteral("DANWEIMINGCHENG")});
    EXPECT_EQ(get.exitCode, 0);
    EXPECT_EQ(get.out, QStringLiteral("顺达宾馆\n"));

    const ToolRun list = on({QStringLiteral("list")});
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_TRUE(list.out.contains(QStringLiteral("XDBName=Hotel\n")));
    EXPECT_TRUE(list.out.contains(QStringLiteral("SuperOperPassword=******\n")));
    EXPECT_FALSE(list.out.contains(QStringLiteral("s3cret")));

    EXPECT_EQ(on({QStringLiteral("unset"), QStringLiteral("odbcdsn")}).exitCode, 0);
    EXPECT_EQ(on({QStringLiteral("get"), QStringLiteral("ODBCDSN")}).exitCode, 1);
}

TEST_F(ConfigToolTest, RefusesChangesThatWouldLoseData) {
    ASSERT_EQ(on({QStringLiteral("create")}).exitCode, 0);
    ASSERT_EQ(on({QStringLiteral("set"), QStringLiteral("XDBName"), QStringLiteral("Hotel")}).exitCode, 0);
    const QByteArray good = bytes(file());

    EXPECT_EQ(on({QStringLiteral("create")}).exitCode, 1);                                          // exists
    EXPECT_EQ(on({QStringLiteral("set"), QStringLiteral("X"), QStringLiteral("房😀")}).exitCode, 1); // not GBK
    EXPECT_EQ(on({QStringLiteral("set"), QStringLiteral(" "), QStringLiteral("v")}).exitCode, 1);
    EXPECT_EQ(bytes(file()), good);
    EXPECT_FALSE(QFile::exists(file() + QStringLiteral(".tmp")));

    QFile f(file());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(good.left(good.size() - 4));
    f.close();
    const QByteArray broken = bytes(file());
    const ToolRun set = on({QStringLiteral("set"), QStringLiteral("DBType"), QStringLiteral("Access")});
    EXPECT_EQ(set.exitCode, 1);
    EXPECT_FALSE(set.err.isEmpty());
    EXPECT_EQ(bytes(file()), broken);

    EXPECT_EQ(on({QStringLiteral("create"), QStringLiteral("--force")}).exitCode, 0);
    TXIni ini;
    ini.setFileName(file());
    EXPECT_EQ(ini.LoadResult(), 0);
}

TEST_F(ConfigToolTest, UsageAndMissingFiles) {
    const ToolRun help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("lumvard-config FILE set KEY VALUE")));
    EXPECT_EQ(run({}).exitCode, 2);
    EXPECT_EQ(on({QStringLiteral("frobnicate")}).exitCode, 2);
    EXPECT_EQ(on({QStringLiteral("set"), QStringLiteral("K")}).exitCode, 2);
    EXPECT_EQ(on({QStringLiteral("get"), QStringLiteral("XDBName")}).exitCode, 1); // no file yet
    // A directory names the Quarn.XIX inside it.
    EXPECT_EQ(run({dir.path(), QStringLiteral("create")}).exitCode, 0);
    EXPECT_TRUE(QFile::exists(file()));
}
