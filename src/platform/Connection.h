#pragma once
// Database connection on the two engines of the system: the local database file (SQLite) and the
// shared server (PostgreSQL). Errors are returned or raised as DbError; nothing here shows a window.
#include "foundation/Errors.h"

#include <QDateTime>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

namespace lumvard::platform {

enum class Engine { SQLite, PostgreSQL };

struct ConnectionSettings {
    Engine engine = Engine::SQLite;
    QString filePath; // SQLite: the database file; it must exist (a connection never creates one)
    QString host = QStringLiteral("127.0.0.1");
    int port = 5432;
    QString user;
    QString password;
    QString database; // PostgreSQL: empty reaches the server without a database ("postgres")
    int connectTimeoutSeconds = 300;

    // "host" or "host,port"; "(local)" and an empty text mean this machine.
    void setDataSource(const QString &dataSource);
};

class DbError : public Error {
public:
    explicit DbError(const QString &message, const QString &sqlState = {})
        : Error(message)
        , m_sqlState(sqlState) {}
    const QString &sqlState() const noexcept { return m_sqlState; }
    bool isUniqueViolation() const; // a primary key or unique index refused the row

private:
    QString m_sqlState;
};

enum class ColumnType { Text, Float, Integer, DateTime, Memo };

struct ColumnInfo {
    QString name; // as the table defines it
    ColumnType type = ColumnType::Text;
    int width = 0; // Text: width in GBK bytes; 0 = unbounded
    bool nullable = true;
    QVariant defaultValue; // typed; null when the column has no default
    bool primaryKey = false;
};

struct TableSchema {
    QString name;
    QList<ColumnInfo> columns;
    int indexOf(const QString &column) const; // ignoring letter case; -1 when absent
    QStringList primaryKey() const;
};

class Connection;

// A unit of work: rolls back unless committed. Nested transactions on one connection become
// savepoints of the outer one, so a dataset's batch can join an operation's transaction.
class Transaction {
public:
    explicit Transaction(Connection &connection); // throws DbError when it cannot begin
    ~Transaction();
    void commit(); // throws DbError
    void rollback();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

private:
    Connection &m_connection;
    int m_level = 0;
    bool m_done = false;
};

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Closes, then opens with the settings. False with lastError() on failure.
    bool open(const ConnectionSettings &settings);
    void close();
    bool isConnected() const;
    const ConnectionSettings &settings() const { return m_settings; }
    Engine engine() const { return m_settings.engine; }
    QString lastError() const { return m_lastError; }

    QSqlDatabase database() const;  // the Qt connection (open or not)
    QStringList userTables() const; // throws DbError
    // Columns, widths, defaults and key of a table, read from the database once and cached.
    const TableSchema &tableSchema(const QString &table); // throws DbError when the table is unknown
    void forgetSchemas();

    // A value as the engine stores it (date-times as 'yyyy-mm-dd hh:mm:ss' text on SQLite).
    QVariant toStorage(const QVariant &value, ColumnType type) const;
    // SQL for a date-time column converted to 'yyyy-mm-dd hh:mm:ss' text, for date filters.
    QString dateTimeText(const QString &column) const;
    // A stored date-time (QDateTime, or text on SQLite) as a local date-time to the second; invalid
    // when the value is null or not a date.
    static QDateTime dateTimeFromStorage(const QVariant &value);
    // 'yyyy-MM-dd hh:mm:ss', the form in which date-times are written and bound.
    static QString dateTimeToText(const QDateTime &value);

    int transactionDepth() const { return m_depth; }

    // Runs one statement with its parameters (":name"; names not used by the statement are ignored),
    // date-times bound as text. Throws DbError; a failure inside a transaction dooms that transaction.
    QSqlQuery run(const QString &sql, const QVariantMap &params = {}, bool forwardOnly = true);
    // Prepares a statement once for repeated execution (bind positionally with addBindValue or by name).
    QSqlQuery prepare(const QString &sql);
    void execPrepared(QSqlQuery &query); // throws DbError like run()
    // The error of a failed statement as DbError; marks an open transaction as failed.
    DbError failure(const QSqlError &error, const QString &context = {});
    // A value ready for binding: date-times as text, everything else unchanged.
    static QVariant bindable(const QVariant &value);
    // The type of a declared column type name ("varchar(8)", "float", "timestamp", ...).
    static ColumnType columnTypeFromName(const QString &declared, int *width);
    // The engine's own handle under the Qt connection (sqlite3* or PGconn*), for bulk reading and
    // writing; nullptr when closed or of the other engine.
    void *sqliteHandle() const;
    void *postgresHandle() const;

private:
    friend class Transaction;
    ConnectionSettings m_settings;
    QString m_name;
    QString m_lastError;
    QHash<QString, TableSchema> m_schemas; // by lower-case table name
    int m_depth = 0;
    bool m_failed = false;                // an inner unit rolled back: the outer one cannot commit
    void execControl(const QString &sql); // BEGIN, COMMIT, SAVEPOINT ...: throws DbError
};

} // namespace lumvard::platform
