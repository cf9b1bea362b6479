#include "data/DM.h"

#include "data/SqlCreateTable.h"
#include "foundation/ProgramEnd.h"
#include "foundation/XDias.h"
#include "foundation/XFuncs.h"
#include "foundation/XIniDec.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace lumvard {

using platform::ConnectionSettings;
using platform::Engine;

namespace {

TFDM *g_instance = nullptr;

// ---- What start-up reads from outside the database: the program directory, the configuration
// file and the stored server settings. Kept together so the sources can change in one place.

QString programDirectory() {
    if (ProgramDir().isEmpty()) initProgramDir();
    QString dir = ProgramDir();
    if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
    return dir;
}

struct Configuration {
    QString dbName, dbType, orgName, superPassword, odbcDsn;
};

Configuration readConfiguration(const QString &path) {
    TXIni ini;
    ini.setFileName(path);
    Configuration c;
    c.dbName = ini.ReadValue(QStringLiteral("XDBName"));
    c.dbType = ini.ReadValue(QStringLiteral("DBType"));
    c.orgName = ini.ReadValue(QStringLiteral("DanWeiMingCheng"));
    c.superPassword = ini.ReadValue(QStringLiteral("SuperOperPassword"));
    c.odbcDsn = ini.ReadValue(QStringLiteral("ODBCDSN"));
    ini.ReadValue(QStringLiteral("DanWeiDaiMa")); // read, without effect
    return c;
}

// The server settings stored by the connection dialog: "Data Source" (host[,port]), "User ID",
// "Password". Missing values read as empty text.
ConnectionSettings storedServerSettings(const QString &settingsKey) {
    SettingsStore store;
    ConnectionSettings s;
    s.engine = Engine::PostgreSQL;
    s.password = store.readScrambled(settingsKey, QStringLiteral("Password"));
    s.user = store.readScrambled(settingsKey, QStringLiteral("User ID"));
    s.setDataSource(store.readScrambled(settingsKey, QStringLiteral("Data Source")));
    s.database.clear();
    return s;
}

QString settingsKeyFor(const QString &dbName) {
    return SettingsStore::settingsKeyFor(dbName);
}

// ----

// A database name that goes into CREATE DATABASE as it stands must be a plain identifier.
bool isPlainIdentifier(const QString &name) {
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,62}$"));
    return re.match(name).hasMatch();
}

ConnectionSettings withDatabase(ConnectionSettings server, const QString &dbName) {
    server.database = dbName;
    return server;
}

[[noreturn]] void failStartup(const QString &warning) {
    ShowWarning(warning);
    EndProgram(0);
}

ConnectionSettings askServerSettingsOrEnd(const StartupHooks &hooks) {
    std::optional<ConnectionSettings> s;
    if (hooks.askServerSettings) s = hooks.askServerSettings();
    if (!s) EndProgram(0);
    s->engine = Engine::PostgreSQL;
    s->database.clear();
    return *s;
}

} // namespace

TFDM::TFDM()
    : QADO(&DBConn)
    , QADOT(&DBConn)
    , QADOQ(&DBConn)
    , CADO(&DBConn)
    , F107(&DBConn) {
    QADOQ.setSql(QStringLiteral("Select * from KRXFK Where F105_02='A'"));
    F107.setSql(QStringLiteral("select * from CZYK"));
    g_instance = this;
}

TFDM::~TFDM() {
    // Queries go before their connection is closed.
    F107.close();
    QADOQ.close();
    QADOT.close();
    QADO.close();
    DBConn.close();
    if (g_instance == this) g_instance = nullptr;
}

TFDM *TFDM::instance() {
    return g_instance;
}

TFDM &FDM() {
    if (!g_instance) throw Error(QStringLiteral("数据模块尚未创建!"));
    return *g_instance;
}

bool TFDM::OpenConnection(platform::Connection &conn, const ConnectionSettings &settings) {
    try {
        if (&conn == &DBConn) {
            F107.close();
            QADOQ.close();
            QADOT.close();
            QADO.close();
        }
        conn.close();
        if (!conn.open(settings) || !conn.isConnected()) {
            setError(conn.lastError());
            return false;
        }
        setError({});
        return true;
    } catch (const std::exception &e) {
        setError(QString::fromStdString(e.what()));
        return false;
    }
}

bool TFDM::OpenSql(platform::Query &query, const QString &sql, const QString &notice) {
    return OpenSql(query, sql, QVariantMap(), notice);
}

bool TFDM::OpenSql(platform::Query &query, const QString &sql, const QVariantMap &params,
                   const QString &notice) {
    return runStatement(sql, notice, [&] {
        prepareQuery(query, sql, params);
        query.open();
    });
}

bool TFDM::ExecSql(platform::Query &query, const QString &sql, const QString &notice) {
    return ExecSql(query, sql, QVariantMap(), notice);
}

bool TFDM::ExecSql(platform::Query &query, const QString &sql, const QVariantMap &params,
                   const QString &notice) {
    return runStatement(sql, notice, [&] {
        prepareQuery(query, sql, params);
        query.execute();
    });
}

bool TFDM::ExecCommand(const QString &sql, const QString &notice) {
    return ExecCommand(sql, QVariantMap(), notice);
}

bool TFDM::ExecCommand(const QString &sql, const QVariantMap &params, const QString &notice) {
    return runStatement(sql, notice, [&] {
        CADO.setSql(sql);
        CADO.clearBindings();
        for (auto it = params.cbegin(); it != params.cend(); ++it)
            CADO.bindValue(it.key(), it.value());
        CADO.execute();
    });
}

void TFDM::prepareQuery(platform::Query &query, const QString &sql, const QVariantMap &params) {
    query.close();
    query.setSql(sql);
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        query.bindValue(it.key(), it.value());
}

// The contract of the operations: an empty statement is refused, a wait notice stands while the
// work runs (closed also on failure), errors are swallowed into a false result and lastError().
bool TFDM::runStatement(const QString &sql, const QString &notice, const std::function<void()> &work) {
    if (sql.trimmed().isEmpty()) {
        setError(QStringLiteral("空语句"));
        return false;
    }
    WaitNotice wait(notice);
    try {
        work();
        setError({});
        return true;
    } catch (const std::exception &e) {
        setError(QString::fromStdString(e.what()));
        return false;
    }
}

bool TFDM::ExecScript(const QStringList &statements, const QString &warning) {
    for (const QString &sql : statements) {
        if (!ExecCommand(sql)) {
            if (!warning.trimmed().isEmpty()) {
                const QString error = lastError();
                ShowWarning(warning);
                setError(error);
            }
            return false;
        }
    }
    return true;
}

bool TFDM::CreateMissingTables() {
    return lumvard::CreateMissingTables(*this);
}

bool TFDM::OpenOperatorTable() {
    try {
        F107.close();
        F107.setSql(QStringLiteral("select * from CZYK"));
        F107.open();
        setError({});
        return true;
    } catch (const std::exception &e) {
        setError(QString::fromStdString(e.what()));
        return false;
    }
}

std::unique_ptr<TFDM> TFDM::create(const StartupHooks &hooks) {
    AppContextRecord &ctx = AppContext();
    const QString dir = programDirectory();

    // Working folders beside the program.
    for (const char *sub : {"Trans", "Backup", "MainImg", "Excel"})
        QDir(dir).mkpath(QString::fromLatin1(sub));

    // The configuration file.
    const QString configPath = dir + QStringLiteral("Quarn.XIX");
    if (!QFileInfo(configPath).isFile()) {
        ShowSystemBox(QStringLiteral("错误"), QStringLiteral("缺少配置文件,请与管理员联系..."),
                      MessageRequest::Icon::Error);
        EndProgram(0);
    }
    const Configuration config = readConfiguration(configPath);
    if (!config.dbName.isEmpty()) ctx.DbName = config.dbName;
    ctx.DbType = config.dbType;
    ctx.OrgName = config.orgName;
    if (!config.superPassword.isEmpty()) ctx.SuperPassword = config.superPassword;

    auto dm = std::make_unique<TFDM>();
    ctx.ProgramDir = dir;
    ctx.SettingsKey = settingsKeyFor(ctx.DbName);

    if (ctx.isServerDb()) {
        ConnectionSettings server = storedServerSettings(ctx.SettingsKey);
        if (server.user.isEmpty()) server = askServerSettingsOrEnd(hooks); // nothing stored yet
        ctx.ServerConnection = server;
        if (!dm->OpenConnection(dm->DBConn, ctx.ServerConnection)) {
            ctx.ServerConnection = askServerSettingsOrEnd(hooks);
        }
        const ConnectionSettings database = withDatabase(ctx.ServerConnection, ctx.DbName);
        if (!dm->OpenConnection(dm->DBConn, database)) {
            if (!AskConfirm(QStringLiteral("主数据库不存在,是否创建?"))) EndProgram(0);
            // The name goes into the statement as it stands, so only a plain identifier is taken;
            // quoting keeps its letter case, under which the connection looks it up.
            bool created =
                isPlainIdentifier(ctx.DbName) && dm->OpenConnection(dm->DBConn, ctx.ServerConnection) &&
                dm->ExecCommand(QStringLiteral("Create DataBase \"") + ctx.DbName + QStringLiteral("\""));
            created = created && dm->OpenConnection(dm->DBConn, database) && dm->CreateMissingTables();
            if (!created) failStartup(QStringLiteral("创建数据不成功,退出系统!"));
        }
    } else if (ctx.isLocalDb()) {
        ConnectionSettings local;
        local.engine = Engine::SQLite;
        local.filePath = dir + ctx.DbName + QStringLiteral(".mdb");
        if (!QFileInfo(local.filePath).isFile() || !dm->OpenConnection(dm->DBConn, local))
            failStartup(QStringLiteral("Access数据库不存在!"));
    }

    if (!dm->DBConn.isConnected() || !dm->OpenOperatorTable())
        failStartup(QStringLiteral("数据表打开有误,退出程序!"));

    ctx.TransDir = dir + QStringLiteral("Trans");
    ctx.BackupDir = dir + QStringLiteral("Backup/");
    ctx.ExcelDir = dir + QStringLiteral("Excel/");
    ctx.LoggedIn = false;
    ctx.OperatorId = 0;
    ctx.OperatorName.clear();
    ctx.OperatorPassword.clear();
    return dm;
}

} // namespace lumvard
