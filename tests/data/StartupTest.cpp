#include "data/DM.h"
#include "data/SqlCreateTable.h"
#include "foundation/ProgramEnd.h"
#include "foundation/XFuncs.h"
#include "foundation/XIniDec.h"
#include "support/Engines.h"
#include "support/ScriptedMessages.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>

using namespace lumvard;
using platform::ConnectionSettings;

namespace {

// A program directory and a settings file of its own per test.
class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(programDir.isValid());
        savedCwd = QDir::currentPath();
        savedProgramDir = ProgramDir();
        qputenv("LUMVARD_PROGRAM_DIR", QFile::encodeName(programDir.path()));
        qputenv("LUMVARD_SETTINGS_FILE",
                QFile::encodeName(settingsDir.filePath(QStringLiteral("settings.ini"))));
        ASSERT_TRUE(initProgramDir());
        resetAppContext();
    }
    void TearDown() override {
        dm.reset();
        qunsetenv("LUMVARD_PROGRAM_DIR");
        qunsetenv("LUMVARD_SETTINGS_FILE");
        if (!savedProgramDir.isEmpty()) initProgramDir(savedProgramDir + QStringLiteral("lumvard"));
        QDir::setCurrent(savedCwd);
        resetAppContext();
    }

    QString path(const QString &name) const { return QDir(programDir.path()).filePath(name); }

    void writeConfig(const QList<QPair<QString, QString>> &values) {
        TXIni ini;
        ini.CreateEmpty();
        for (const auto &[key, value] : values)
            ini.WriteValue(key, value);
        ini.Save(path(QStringLiteral("Quarn.XIX")));
    }

    // The start-up; the exit code when it ended the program.
    std::optional<int> start(const StartupHooks &hooks = {}) {
        try {
            dm = TFDM::create(hooks);
            return std::nullopt;
        } catch (const ProgramEnded &e) {
            return e.exitCode;
        }
    }

    void makeLocalDatabase(const QString &file, bool withTables) {
        QFile f(path(file));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.close();
        if (!withTables) return;
        TFDM maker;
        ConnectionSettings s;
        s.filePath = path(file);
        ASSERT_TRUE(maker.OpenConnection(maker.DBConn, s));
        ASSERT_TRUE(maker.CreateMissingTables());
        ASSERT_TRUE(
            maker.ExecCommand(QStringLiteral("insert into CZYK (F107_01, F107_02) values (1001, '张三')")));
    }

    QTemporaryDir programDir;
    QTemporaryDir settingsDir;
    QString savedCwd;
    QString savedProgramDir;
    std::unique_ptr<TFDM> dm;
};

TEST_F(StartupTest, MissingConfigurationEndsWithTheErrorBox) {
    test::ScriptedMessages messages;
    messages.expectSystemBox(QStringLiteral("错误"), QStringLiteral("缺少配置文件,请与管理员联系..."));
    EXPECT_EQ(start(), 0);
    ASSERT_EQ(messages.seen().size(), 1);
    EXPECT_EQ(messages.seen()[0].icon, MessageRequest::Icon::Error);
    EXPECT_EQ(TFDM::instance(), nullptr);
    // The working folders exist before the configuration is looked at.
    for (const char *sub : {"Trans", "Backup", "MainImg", "Excel"})
        EXPECT_TRUE(QFileInfo(path(QString::fromLatin1(sub))).isDir()) << sub;
}

TEST_F(StartupTest, NoUsableDatabaseTypeEndsAtTheOperatorTable) {
    makeLocalDatabase(QStringLiteral("hotel.mdb"), true);
    struct Case {
        const char *name;
        QList<QPair<QString, QString>> config;
        bool corrupt;
    };
    const Case cases[] = {
        {"empty type", {{"XDBName", "hotel"}, {"DBType", ""}}, false},
        {"no type", {{"XDBName", "hotel"}}, false},
        {"other type", {{"XDBName", "hotel"}, {"DBType", "Oracle"}}, false},
        {"letter case of the type", {{"XDBName", "hotel"}, {"DBType", "access"}}, false},
        {"corrupt file", {}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        resetAppContext();
        if (c.corrupt) {
            QFile f(path(QStringLiteral("Quarn.XIX")));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("\x05\x00\x00\x00garbage that is no record file", 36);
        } else {
            writeConfig(c.config);
        }
        test::ScriptedMessages messages;
        messages.expectWarning(QStringLiteral("数据表打开有误,退出程序!"));
        EXPECT_EQ(start(), 0);
    }
}

TEST_F(StartupTest, LocalDatabaseFileMissing) {
    writeConfig({{"XDBName", "hotel"}, {"DBType", "Access"}});
    test::ScriptedMessages messages;
    messages.expectWarning(QStringLiteral("Access数据库不存在!"));
    EXPECT_EQ(start(), 0);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("hotel.mdb")))) << "start-up must not create the file";
}

TEST_F(StartupTest, LocalDatabaseWithoutTablesIsNotRepaired) {
    makeLocalDatabase(QStringLiteral("hotel.mdb"), false);
    writeConfig({{"XDBName", "hotel"}, {"DBType", "Access"}});
    test::ScriptedMessages messages;
    messages.expectWarning(QStringLiteral("数据表打开有误,退出程序!"));
    EXPECT_EQ(start(), 0);
}

TEST_F(StartupTest, LocalDatabaseStartsAndFillsTheContext) {
    makeLocalDatabase(QStringLiteral("hotel.mdb"), true);
    writeConfig({{"xdbname", "hotel"},
                 {"DBTYPE", "Access"},
                 {"DanWeiMingCheng", "清风宾馆"},
                 {"SuperOperPassword", ""},
                 {"ODBCDSN", "x"}});
    AppContext().SuperPassword = QStringLiteral("kept"); // an empty value does not replace it
    AppContext().LoggedIn = true;
    AppContext().OperatorId = 7;
    ASSERT_EQ(start(), std::nullopt);
    ASSERT_TRUE(dm);
    EXPECT_EQ(TFDM::instance(), dm.get());
    EXPECT_TRUE(dm->F107.isActive());
    ASSERT_EQ(dm->F107.recordCount(), 1);
    EXPECT_EQ(dm->F107.fieldByName(QStringLiteral("F107_02")).asString(), QStringLiteral("张三"));

    const AppContextRecord &ctx = AppContext();
    const QString dir = QDir(programDir.path()).absolutePath() + QLatin1Char('/');
    EXPECT_EQ(ctx.DbName, QStringLiteral("hotel"));
    EXPECT_EQ(ctx.DbType, QStringLiteral("Access"));
    EXPECT_EQ(ctx.OrgName, QStringLiteral("清风宾馆"));
    EXPECT_EQ(ctx.SuperPassword, QStringLiteral("kept"));
    EXPECT_EQ(QDir(ctx.ProgramDir).absolutePath() + QLatin1Char('/'), dir);
    EXPECT_TRUE(ctx.ProgramDir.endsWith(QLatin1Char('/')));
    EXPECT_EQ(ctx.TransDir, ctx.ProgramDir + QStringLiteral("Trans"));
    EXPECT_EQ(ctx.BackupDir, ctx.ProgramDir + QStringLiteral("Backup/"));
    EXPECT_EQ(ctx.ExcelDir, ctx.ProgramDir + QStringLiteral("Excel/"));
    EXPECT_EQ(ctx.SettingsKey, QStringLiteral("Software\\Tesklo\\hotel\\"));
    EXPECT_FALSE(ctx.LoggedIn);
    EXPECT_EQ(ctx.OperatorId, 0);
    EXPECT_EQ(dm->DBConn.engine(), platform::Engine::SQLite);
}

// ---- server database

class ServerStartupTest : public StartupTest, public ::testing::WithParamInterface<const char *> {
protected:
    void SetUp() override {
        server = test::testServerSettings();
        if (!server) {
            if (!qEnvironmentVariableIsEmpty("LUMVARD_REQUIRE_PG"))
                FAIL() << "PostgreSQL is required but LUMVARD_TEST_PG is not set";
            GTEST_SKIP() << "no test PostgreSQL (LUMVARD_TEST_PG)";
        }
        StartupTest::SetUp();
        // Mixed letter case on purpose: the database must be found under the name as configured.
        dbName = QStringLiteral("LvStart_") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    }
    void TearDown() override {
        StartupTest::TearDown();
        if (!server) return;
        platform::Connection admin;
        if (admin.open(*server)) {
            QSqlQuery q(admin.database());
            q.exec(QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(dbName));
        }
    }

    QString dataSource() const { return server->host + QLatin1Char(',') + QString::number(server->port); }

    // What the connection dialog does on "确认并进入": store the tested settings and hand them back.
    StartupHooks dialogAnswering(std::optional<ConnectionSettings> answer) {
        StartupHooks hooks;
        hooks.askServerSettings = [this, answer]() -> std::optional<ConnectionSettings> {
            ++dialogShown;
            if (answer) {
                SettingsStore store;
                const QString key = AppContext().SettingsKey;
                store.writeScrambled(key, QStringLiteral("Password"), answer->password);
                store.writeScrambled(key, QStringLiteral("User ID"), answer->user);
                store.writeScrambled(key, QStringLiteral("Data Source"), dataSource());
            }
            return answer;
        };
        return hooks;
    }

    void storeSettings(const QString &password) {
        SettingsStore store;
        const QString key = SettingsStore::settingsKeyFor(dbName);
        store.writeScrambled(key, QStringLiteral("Password"), password);
        store.writeScrambled(key, QStringLiteral("User ID"), server->user);
        store.writeScrambled(key, QStringLiteral("Data Source"), dataSource());
    }

    bool databaseExists() {
        platform::Connection admin;
        if (!admin.open(*server)) return false;
        QSqlQuery q(admin.database());
        q.prepare(QStringLiteral("select count(*) from pg_database where datname=:n"));
        q.bindValue(QStringLiteral(":n"), dbName);
        return q.exec() && q.next() && q.value(0).toInt() == 1;
    }

    std::optional<ConnectionSettings> server;
    QString dbName;
    int dialogShown = 0;
};

TEST_P(ServerStartupTest, FirstStartAsksForSettingsAndCreatesTheDatabase) {
    writeConfig({{"XDBName", dbName}, {"DBType", GetParam()}, {"DanWeiMingCheng", "清风宾馆"}});
    {
        test::ScriptedMessages messages;
        messages.expectConfirm(QStringLiteral("主数据库不存在,是否创建?"), true);
        ASSERT_EQ(start(dialogAnswering(server)), std::nullopt);
    }
    EXPECT_EQ(dialogShown, 1);
    ASSERT_TRUE(dm);
    EXPECT_TRUE(dm->F107.isActive());
    EXPECT_TRUE(dm->F107.isEmpty());
    EXPECT_EQ(dm->DBConn.engine(), platform::Engine::PostgreSQL);
    EXPECT_EQ(dm->DBConn.settings().database, dbName);
    EXPECT_EQ(dm->DBConn.userTables().size(), 7);
    EXPECT_EQ(AppContext().ServerConnection.user, server->user);
    EXPECT_TRUE(AppContext().ServerConnection.database.isEmpty());

    // The next start finds the stored settings and the database: no dialog, no question.
    dm.reset();
    resetAppContext();
    dialogShown = 0;
    ASSERT_EQ(start(dialogAnswering(server)), std::nullopt);
    EXPECT_EQ(dialogShown, 0);
    EXPECT_TRUE(dm->F107.isActive());
}

TEST_P(ServerStartupTest, DecliningTheDatabaseEnds) {
    writeConfig({{"XDBName", dbName}, {"DBType", GetParam()}});
    storeSettings(server->password);
    test::ScriptedMessages messages;
    messages.expectConfirm(QStringLiteral("主数据库不存在,是否创建?"), false);
    EXPECT_EQ(start(dialogAnswering(std::nullopt)), 0);
    EXPECT_EQ(dialogShown, 0);
    EXPECT_FALSE(databaseExists());
}

TEST_P(ServerStartupTest, StaleSettingsShowTheDialogAgain) {
    writeConfig({{"XDBName", dbName}, {"DBType", GetParam()}});
    storeSettings(QStringLiteral("wrong password"));
    test::ScriptedMessages messages;
    messages.expectConfirm(QStringLiteral("主数据库不存在,是否创建?"), true);
    ASSERT_EQ(start(dialogAnswering(server)), std::nullopt);
    EXPECT_EQ(dialogShown, 1);
    EXPECT_TRUE(databaseExists());
}

TEST_P(ServerStartupTest, CancelInTheDialogEnds) {
    writeConfig({{"XDBName", dbName}, {"DBType", GetParam()}});
    EXPECT_EQ(start(dialogAnswering(std::nullopt)), 0);
    EXPECT_EQ(dialogShown, 1);
    EXPECT_EQ(start(StartupHooks{}), 0) << "no dialog supplied ends like a cancel";
}

TEST_P(ServerStartupTest, AnOddDatabaseNameIsNotCreated) {
    dbName = QStringLiteral("x; drop database postgres");
    writeConfig({{"XDBName", dbName}, {"DBType", GetParam()}});
    storeSettings(server->password);
    test::ScriptedMessages messages;
    messages.expectConfirm(QStringLiteral("主数据库不存在,是否创建?"), true);
    messages.expectWarning(QStringLiteral("创建数据不成功,退出系统!"));
    EXPECT_EQ(start(), 0);
    EXPECT_FALSE(databaseExists());
}

INSTANTIATE_TEST_SUITE_P(Types, ServerStartupTest, ::testing::Values("SQL2000", "SQL7"),
                         [](const ::testing::TestParamInfo<const char *> &p) {
                             return std::string(p.param);
                         });

} // namespace
