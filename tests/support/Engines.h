#pragma once
// Runs one test body on each database engine: a fresh, empty database per test.
// PostgreSQL comes from LUMVARD_TEST_PG ("host port user password", set by `make test`); without it
// the PostgreSQL cases skip, unless LUMVARD_REQUIRE_PG is set, when they fail.
#include "platform/Connection.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

namespace lumvard::platform {
// Names the engine in test listings.
inline void PrintTo(Engine engine, std::ostream *os) {
    *os << (engine == Engine::SQLite ? "SQLite" : "PostgreSQL");
}
} // namespace lumvard::platform

namespace lumvard::test {

std::string engineName(const ::testing::TestParamInfo<platform::Engine> &info);

// Server settings of the test PostgreSQL (no database named), if configured.
std::optional<platform::ConnectionSettings> testServerSettings();

// A fresh database on one engine; dropped when the object goes.
class ScratchDatabase {
public:
    explicit ScratchDatabase(platform::Engine engine);
    ~ScratchDatabase();
    bool ok() const { return m_ok; }
    QString error() const { return m_error; }
    // Settings that reach the database (a second connection is a second workstation).
    const platform::ConnectionSettings &settings() const { return m_settings; }
    // For SQLite: the directory holding the file.
    QString directory() const { return m_dir.path(); }

private:
    platform::ConnectionSettings m_settings;
    QTemporaryDir m_dir;
    QString m_dbName;
    bool m_ok = false;
    QString m_error;
};

class EngineTest : public ::testing::TestWithParam<platform::Engine> {
protected:
    void SetUp() override;
    void TearDown() override;
    platform::Engine engine() const { return GetParam(); }
    bool isPostgres() const { return GetParam() == platform::Engine::PostgreSQL; }
    // The engine's name for a date-time column in CREATE TABLE ("datetime" has no PostgreSQL form).
    QString dateTimeType() const {
        return isPostgres() ? QStringLiteral("timestamp") : QStringLiteral("datetime");
    }
    // Runs statements that return no rows on the fixture's connection; fails the test on error.
    void exec(const QString &sql);
    // Runs statements separated by ";\n" (one statement per chunk).
    void execScript(const QString &sql);
    // First column of the first row (a null variant when there is none).
    QVariant scalar(const QString &sql);

    std::unique_ptr<ScratchDatabase> scratch;
    platform::Connection db;
};

} // namespace lumvard::test

#define LUMVARD_ON_BOTH_ENGINES(Suite)                                                                       \
    INSTANTIATE_TEST_SUITE_P(                                                                                \
        Engines, Suite,                                                                                      \
        ::testing::Values(lumvard::platform::Engine::SQLite, lumvard::platform::Engine::PostgreSQL),         \
        lumvard::test::engineName)
