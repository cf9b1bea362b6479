#include "support/Engines.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace lumvard::test {

using platform::Connection;
using platform::ConnectionSettings;
using platform::Engine;

std::string engineName(const ::testing::TestParamInfo<Engine> &info) {
    return info.param == Engine::SQLite ? "SQLite" : "PostgreSQL";
}

std::optional<ConnectionSettings> testServerSettings() {
    const QStringList parts =
        qEnvironmentVariable("LUMVARD_TEST_PG").split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() < 4) return std::nullopt;
    ConnectionSettings s;
    s.engine = Engine::PostgreSQL;
    s.host = parts[0];
    s.port = parts[1].toInt();
    s.user = parts[2];
    s.password = parts[3];
    s.connectTimeoutSeconds = 10;
    return s;
}

ScratchDatabase::ScratchDatabase(Engine engine) {
    if (engine == Engine::SQLite) {
        m_settings.engine = Engine::SQLite;
        m_settings.filePath = m_dir.filePath(QStringLiteral("test.mdb"));
        QFile f(m_settings.filePath);
        m_ok = f.open(QIODevice::WriteOnly); // an empty file is an empty SQLite database
        if (!m_ok) m_error = f.errorString();
        return;
    }
    const auto server = testServerSettings();
    if (!server) {
        m_error = QStringLiteral("LUMVARD_TEST_PG is not set");
        return;
    }
    m_dbName = QStringLiteral("t_") + QUuid::createUuid().toString(QUuid::Id128).left(20);
    Connection admin;
    if (!admin.open(*server)) {
        m_error = admin.lastError();
        return;
    }
    QSqlQuery q(admin.database());
    if (!q.exec(QStringLiteral("CREATE DATABASE ") + m_dbName)) {
        m_error = q.lastError().text();
        return;
    }
    m_settings = *server;
    m_settings.database = m_dbName;
    m_ok = true;
}

ScratchDatabase::~ScratchDatabase() {
    if (m_dbName.isEmpty() || !m_ok) return;
    const auto server = testServerSettings();
    Connection admin;
    if (server && admin.open(*server)) {
        QSqlQuery q(admin.database());
        q.exec(QStringLiteral("DROP DATABASE IF EXISTS ") + m_dbName + QStringLiteral(" WITH (FORCE)"));
    }
}

void EngineTest::SetUp() {
    if (isPostgres() && !testServerSettings()) {
        if (!qEnvironmentVariableIsEmpty("LUMVARD_REQUIRE_PG"))
            FAIL() << "PostgreSQL is required but LUMVARD_TEST_PG is not set";
        GTEST_SKIP() << "no test PostgreSQL (LUMVARD_TEST_PG)";
    }
    scratch = std::make_unique<ScratchDatabase>(engine());
    ASSERT_TRUE(scratch->ok()) << scratch->error().toStdString();
    ASSERT_TRUE(db.open(scratch->settings())) << db.lastError().toStdString();
}

void EngineTest::TearDown() {
    db.close();
    scratch.reset();
}

void EngineTest::exec(const QString &sql) {
    QSqlQuery q(db.database());
    ASSERT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
}

void EngineTest::execScript(const QString &sql) {
    for (const QString &s : sql.split(QStringLiteral(";\n"), Qt::SkipEmptyParts))
        if (!s.trimmed().isEmpty()) exec(s);
}

QVariant EngineTest::scalar(const QString &sql) {
    QSqlQuery q(db.database());
    if (!q.exec(sql)) {
        ADD_FAILURE() << sql.toStdString() << ": " << q.lastError().text().toStdString();
        return {};
    }
    return q.next() ? q.value(0) : QVariant();
}

} // namespace lumvard::test
