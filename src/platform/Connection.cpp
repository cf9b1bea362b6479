#include "platform/Connection.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlRecord>

namespace lumvard::platform {

namespace {

QAtomicInt g_connectionSerial;

const QString kDateTimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

// "(…)" around a default as SQL Server and some tools write it.
QString stripParens(QString text) {
    text = text.trimmed();
    while (text.size() >= 2 && text.startsWith(QLatin1Char('(')) && text.endsWith(QLatin1Char(')')))
        text = text.mid(1, text.size() - 2).trimmed();
    return text;
}

// A default clause as the catalogue gives it: 'text' (with '' for a quote), a number, NULL, or an
// expression (such as a function call) which the cache cannot evaluate and treats as no default.
QVariant parseDefault(const QString &raw, ColumnType type) {
    QString text = stripParens(raw);
    if (text.isEmpty() || text.compare(QLatin1String("NULL"), Qt::CaseInsensitive) == 0) return {};
    QString literal;
    bool quoted = false;
    if (text.startsWith(QLatin1Char('\''))) {
        int i = 1;
        for (; i < text.size(); ++i) {
            if (text[i] == QLatin1Char('\'')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\'')) {
                    literal += QLatin1Char('\'');
                    ++i;
                    continue;
                }
                break;
            }
            literal += text[i];
        }
        quoted = true;
    } else {
        // PostgreSQL: 0, (-1), 1.5, '-1'::character varying, (0)::double precision
        const int cast = text.indexOf(QLatin1String("::"));
        literal = stripParens(cast >= 0 ? text.left(cast) : text);
    }
    switch (type) {
    case ColumnType::Text:
    case ColumnType::Memo:
        if (!quoted) {
            bool ok = false;
            literal.toDouble(&ok);
            if (!ok) return {};
        }
        return literal;
    case ColumnType::Float: {
        bool ok = false;
        const double v = literal.toDouble(&ok);
        return ok ? QVariant(v) : QVariant();
    }
    case ColumnType::Integer: {
        bool ok = false;
        const qlonglong v = literal.toLongLong(&ok);
        return ok ? QVariant(int(v)) : QVariant();
    }
    case ColumnType::DateTime: {
        const QDateTime dt = Connection::dateTimeFromStorage(literal);
        return dt.isValid() ? QVariant(dt) : QVariant();
    }
    }
    return {};
}

ColumnType typeFromName(const QString &declared, int *width) {
    const QString t = declared.trimmed().toLower();
    *width = 0;
    static const QRegularExpression widthRe(QStringLiteral("\\(\\s*(\\d+)"));
    if (t.contains(QLatin1String("char"))) {
        const auto m = widthRe.match(t);
        if (m.hasMatch()) *width = m.captured(1).toInt();
        return ColumnType::Text;
    }
    if (t.contains(QLatin1String("text")) || t.contains(QLatin1String("memo")) ||
        t.contains(QLatin1String("clob")))
        return ColumnType::Memo;
    if (t.contains(QLatin1String("date")) || t.contains(QLatin1String("time"))) return ColumnType::DateTime;
    if (t.contains(QLatin1String("int"))) return ColumnType::Integer;
    if (t.contains(QLatin1String("float")) || t.contains(QLatin1String("double")) ||
        t.contains(QLatin1String("real")) || t.contains(QLatin1String("numeric")) ||
        t.contains(QLatin1String("decimal")) || t.contains(QLatin1String("money")))
        return ColumnType::Float;
    return ColumnType::Text;
}

} // namespace

void ConnectionSettings::setDataSource(const QString &dataSource) {
    const QString text = dataSource.trimmed();
    const int comma = text.indexOf(QLatin1Char(','));
    QString h = comma >= 0 ? text.left(comma).trimmed() : text;
    if (comma >= 0) {
        bool ok = false;
        const int p = text.mid(comma + 1).trimmed().toInt(&ok);
        if (ok && p > 0) port = p;
    }
    if (h.isEmpty() || h.compare(QLatin1String("(local)"), Qt::CaseInsensitive) == 0 ||
        h == QLatin1String("."))
        h = QStringLiteral("127.0.0.1");
    host = h;
}

bool DbError::isUniqueViolation() const {
    return m_sqlState == QLatin1String("23505") || m_sqlState == QLatin1String("2067") ||
           m_sqlState == QLatin1String("1555") ||
           message().contains(QLatin1String("UNIQUE constraint failed"));
}

int TableSchema::indexOf(const QString &column) const {
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].name.compare(column, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QStringList TableSchema::primaryKey() const {
    QStringList key;
    for (const ColumnInfo &c : columns)
        if (c.primaryKey) key << c.name;
    return key;
}

// ---------------------------------------------------------------------------------------------------

Transaction::Transaction(Connection &connection)
    : m_connection(connection) {
    if (!m_connection.isConnected()) throw DbError(QStringLiteral("数据库未连接"));
    const int level = m_connection.m_depth + 1;
    if (level == 1) {
        m_connection.m_failed = false;
        m_connection.execControl(QStringLiteral("BEGIN"));
    } else {
        m_connection.execControl(QStringLiteral("SAVEPOINT lv_sp%1").arg(level));
    }
    m_connection.m_depth = level;
    m_level = level;
}

Transaction::~Transaction() {
    if (!m_done) rollback();
}

void Transaction::commit() {
    if (m_done) throw DbError(QStringLiteral("事务已经结束"));
    if (m_connection.m_depth != m_level) {
        rollback();
        throw DbError(QStringLiteral("内层事务尚未结束,不能提交"));
    }
    if (m_connection.m_failed) {
        // A statement or an inner unit of this transaction failed: committing would write half an
        // operation (and PostgreSQL would silently roll back anyway).
        rollback();
        throw DbError(QStringLiteral("事务中有操作失败,所有更改均未保存"));
    }
    try {
        if (m_level == 1)
            m_connection.execControl(QStringLiteral("COMMIT"));
        else
            m_connection.execControl(QStringLiteral("RELEASE SAVEPOINT lv_sp%1").arg(m_level));
    } catch (...) {
        rollback();
        throw;
    }
    m_done = true;
    m_connection.m_depth = m_level - 1;
}

void Transaction::rollback() {
    if (m_done) return;
    m_done = true;
    // Inner units still open are undone with this one.
    m_connection.m_depth = m_level - 1;
    if (!m_connection.isConnected()) return;
    try {
        if (m_level == 1) {
            m_connection.execControl(QStringLiteral("ROLLBACK"));
            m_connection.m_failed = false;
        } else {
            m_connection.execControl(QStringLiteral("ROLLBACK TO SAVEPOINT lv_sp%1").arg(m_level));
            m_connection.execControl(QStringLiteral("RELEASE SAVEPOINT lv_sp%1").arg(m_level));
            m_connection.m_failed = true;
        }
    } catch (const DbError &) {
        m_connection.m_failed = true;
    }
}

// ---------------------------------------------------------------------------------------------------

Connection::Connection()
    : m_name(QStringLiteral("lumvard-%1").arg(g_connectionSerial.fetchAndAddRelaxed(1) + 1)) {}

Connection::~Connection() {
    close();
    if (QSqlDatabase::contains(m_name)) QSqlDatabase::removeDatabase(m_name);
}

bool Connection::open(const ConnectionSettings &settings) {
    close();
    m_settings = settings;
    m_lastError.clear();
    if (QSqlDatabase::contains(m_name)) QSqlDatabase::removeDatabase(m_name);

    if (settings.engine == Engine::SQLite) {
        const QFileInfo file(settings.filePath);
        if (settings.filePath.isEmpty() || !file.exists() || !file.isFile()) {
            m_lastError = QStringLiteral("数据库文件不存在: %1").arg(settings.filePath);
            return false;
        }
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(file.absoluteFilePath());
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        if (!db.open()) {
            m_lastError = db.lastError().text();
            return false;
        }
        // An empty or foreign file opens fine; reading the catalogue proves it is a database.
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
            m_lastError = probe.lastError().text();
            probe.finish();
            db.close();
            return false;
        }
        probe.finish();
        return true;
    }

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
    db.setHostName(settings.host);
    db.setPort(settings.port);
    db.setUserName(settings.user);
    db.setPassword(settings.password);
    db.setDatabaseName(settings.database.isEmpty() ? QStringLiteral("postgres") : settings.database);
    if (settings.connectTimeoutSeconds > 0)
        db.setConnectOptions(QStringLiteral("connect_timeout=%1").arg(settings.connectTimeoutSeconds));
    if (!db.open()) {
        m_lastError = db.lastError().text();
        return false;
    }
    QSqlQuery q(db);
    // Date-times are bound and read as local wall-clock text; keep the server from shifting them.
    if (!q.exec(QStringLiteral("SET client_encoding TO 'UTF8'")) ||
        !q.exec(QStringLiteral("SET TimeZone TO 'UTC'"))) {
        m_lastError = q.lastError().text();
        q.finish();
        db.close();
        return false;
    }
    q.finish();
    return true;
}

void Connection::close() {
    m_schemas.clear();
    m_depth = 0;
    m_failed = false;
    if (QSqlDatabase::contains(m_name)) {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isOpen()) db.close();
    }
}

bool Connection::isConnected() const {
    return QSqlDatabase::contains(m_name) && QSqlDatabase::database(m_name, false).isOpen();
}

QSqlDatabase Connection::database() const {
    if (!QSqlDatabase::contains(m_name)) return {};
    return QSqlDatabase::database(m_name, false);
}

DbError Connection::failure(const QSqlError &error, const QString &context) {
    if (m_depth > 0) m_failed = true;
    QString text = error.databaseText().trimmed();
    if (text.isEmpty()) text = error.text().trimmed();
    if (text.isEmpty()) text = context.isEmpty() ? QStringLiteral("数据库操作失败") : context;
    return DbError(text, error.nativeErrorCode());
}

void Connection::execControl(const QString &sql) {
    QSqlQuery q(database());
    if (!q.exec(sql)) {
        const QSqlError e = q.lastError();
        q.finish();
        QString text = e.databaseText().trimmed();
        throw DbError(text.isEmpty() ? e.text() : text, e.nativeErrorCode());
    }
    q.finish();
}

QVariant Connection::bindable(const QVariant &value) {
    switch (value.metaType().id()) {
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        return dt.isValid() ? QVariant(dateTimeToText(dt)) : QVariant(QMetaType::fromType<QString>());
    }
    case QMetaType::QDate: {
        const QDate d = value.toDate();
        return d.isValid() ? QVariant(d.toString(QStringLiteral("yyyy-MM-dd")))
                           : QVariant(QMetaType::fromType<QString>());
    }
    case QMetaType::QString:
        // Qt's drivers send a null QString as NULL; a text value is never NULL here (an invalid
        // QVariant is the way to write NULL), so an unset text is stored as the empty text.
        return value.toString().isNull() ? QVariant(QStringLiteral("")) : value;
    default:
        return value;
    }
}

QSqlQuery Connection::run(const QString &sql, const QVariantMap &params, bool forwardOnly) {
    if (!isConnected()) throw DbError(QStringLiteral("数据库未连接"));
    QSqlQuery q(database());
    q.setForwardOnly(forwardOnly);
    bool ok;
    if (params.isEmpty()) {
        ok = q.exec(sql);
    } else {
        ok = q.prepare(sql);
        if (ok) {
            for (auto it = params.cbegin(); it != params.cend(); ++it) {
                const QRegularExpression used(
                    QStringLiteral("(?<!:):%1\\b").arg(QRegularExpression::escape(it.key())));
                if (sql.contains(used)) q.bindValue(QLatin1Char(':') + it.key(), bindable(it.value()));
            }
            ok = q.exec();
        }
    }
    if (!ok) {
        const QSqlError e = q.lastError();
        q.finish();
        throw failure(e, sql);
    }
    return q;
}

QSqlQuery Connection::prepare(const QString &sql) {
    if (!isConnected()) throw DbError(QStringLiteral("数据库未连接"));
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        const QSqlError e = q.lastError();
        throw failure(e, sql);
    }
    return q;
}

void Connection::execPrepared(QSqlQuery &query) {
    if (!query.exec()) {
        const QSqlError e = query.lastError();
        throw failure(e, query.lastQuery());
    }
}

QStringList Connection::userTables() const {
    if (!isConnected()) throw DbError(QStringLiteral("数据库未连接"));
    QSqlQuery q(database());
    q.setForwardOnly(true);
    const QString sql =
        m_settings.engine == Engine::SQLite
            ? QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE "
                             "'sqlite\\_%' ESCAPE '\\' ORDER BY name")
            : QStringLiteral("SELECT table_name FROM information_schema.tables WHERE "
                             "table_schema=current_schema() AND table_type='BASE TABLE' ORDER BY "
                             "table_name");
    if (!q.exec(sql)) {
        const QSqlError e = q.lastError();
        throw DbError(e.databaseText().isEmpty() ? e.text() : e.databaseText(), e.nativeErrorCode());
    }
    QStringList names;
    const bool fold = m_settings.engine == Engine::PostgreSQL; // names folded by the server, as in the schema
    while (q.next())
        names << (fold ? q.value(0).toString().toUpper() : q.value(0).toString());
    return names;
}

const TableSchema &Connection::tableSchema(const QString &table) {
    const QString key = table.trimmed().toLower();
    auto it = m_schemas.constFind(key);
    if (it != m_schemas.cend()) return *it;
    if (!isConnected()) throw DbError(QStringLiteral("数据库未连接"));

    TableSchema schema;
    QSqlQuery q(database());
    q.setForwardOnly(true);
    auto fail = [&](const QSqlError &e) {
        throw DbError(e.databaseText().isEmpty() ? e.text() : e.databaseText(), e.nativeErrorCode());
    };
    if (m_settings.engine == Engine::SQLite) {
        // The name goes into a pragma, which takes no parameters: accept plain identifiers only.
        static const QRegularExpression ident(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
        if (!ident.match(table.trimmed()).hasMatch())
            throw DbError(QStringLiteral("数据表 %1 不存在").arg(table));
        if (!q.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table.trimmed()))) fail(q.lastError());
        while (q.next()) {
            ColumnInfo c;
            c.name = q.value(1).toString();
            c.type = typeFromName(q.value(2).toString(), &c.width);
            c.nullable = q.value(3).toInt() == 0;
            c.defaultValue = q.value(4).isNull() ? QVariant() : parseDefault(q.value(4).toString(), c.type);
            c.primaryKey = q.value(5).toInt() > 0;
            if (c.primaryKey) c.nullable = false;
            schema.columns << c;
        }
        q.finish();
        if (!schema.columns.isEmpty()) {
            QSqlQuery n(database());
            if (n.exec(QStringLiteral(
                           "SELECT name FROM sqlite_master WHERE type='table' AND lower(name)=lower('%1')")
                           .arg(table.trimmed())) &&
                n.next())
                schema.name = n.value(0).toString();
        }
    } else {
        q.prepare(QStringLiteral(
            "SELECT c.table_name, c.column_name, c.data_type, c.character_maximum_length, c.is_nullable, "
            "c.column_default, (SELECT count(*) FROM information_schema.table_constraints tc JOIN "
            "information_schema.key_column_usage k ON k.constraint_name=tc.constraint_name AND "
            "k.table_schema=tc.table_schema AND k.table_name=tc.table_name WHERE tc.constraint_type='PRIMARY "
            "KEY' "
            "AND tc.table_schema=c.table_schema AND tc.table_name=c.table_name AND "
            "k.column_name=c.column_name) "
            "FROM information_schema.columns c WHERE c.table_schema=current_schema() AND "
            "lower(c.table_name)=lower(?) "
            "ORDER BY c.ordinal_position"));
        q.addBindValue(table.trimmed());
        if (!q.exec()) fail(q.lastError());
        while (q.next()) {
            // Unquoted names are folded to lower case by the server; the system's names are upper case.
            schema.name = q.value(0).toString().toUpper();
            ColumnInfo c;
            c.name = q.value(1).toString().toUpper();
            c.type = typeFromName(q.value(2).toString(), &c.width);
            if (c.type == ColumnType::Text && !q.value(3).isNull()) c.width = q.value(3).toInt();
            c.nullable = q.value(4).toString().compare(QLatin1String("YES"), Qt::CaseInsensitive) == 0;
            c.defaultValue = q.value(5).isNull() ? QVariant() : parseDefault(q.value(5).toString(), c.type);
            c.primaryKey = q.value(6).toInt() > 0;
            schema.columns << c;
        }
        q.finish();
    }
    if (schema.columns.isEmpty()) throw DbError(QStringLiteral("数据表 %1 不存在").arg(table));
    if (schema.name.isEmpty()) schema.name = table.trimmed();
    return *m_schemas.insert(key, schema);
}

void Connection::forgetSchemas() {
    m_schemas.clear();
}

QVariant Connection::toStorage(const QVariant &value, ColumnType type) const {
    auto typedNull = [type]() -> QVariant {
        switch (type) {
        case ColumnType::Float:
            return QVariant(QMetaType::fromType<double>());
        case ColumnType::Integer:
            return QVariant(QMetaType::fromType<int>());
        default:
            return QVariant(QMetaType::fromType<QString>());
        }
    };
    if (!value.isValid() || value.isNull()) return typedNull();
    switch (type) {
    case ColumnType::DateTime: {
        const QDateTime dt =
            value.metaType().id() == QMetaType::QDateTime ? value.toDateTime() : dateTimeFromStorage(value);
        return dt.isValid() ? QVariant(dateTimeToText(dt)) : typedNull();
    }
    case ColumnType::Float:
        return value.toDouble();
    case ColumnType::Integer:
        return value.toInt();
    default:
        return value.toString();
    }
}

QString Connection::dateTimeText(const QString &column) const {
    if (m_settings.engine == Engine::SQLite) return column;
    return QStringLiteral("to_char(%1, 'YYYY-MM-DD HH24:MI:SS')").arg(column);
}

QDateTime Connection::dateTimeFromStorage(const QVariant &value) {
    if (!value.isValid() || value.isNull()) return {};
    switch (value.metaType().id()) {
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        if (!dt.isValid()) return {};
        const QTime t = dt.time();
        return QDateTime(dt.date(), QTime(t.hour(), t.minute(), t.second()));
    }
    case QMetaType::QDate:
        return QDateTime(value.toDate(), QTime(0, 0));
    default:
        break;
    }
    const QString text = value.toString().trimmed();
    if (text.size() < 8) return {};
    static const QRegularExpression re(QStringLiteral(
        "^(\\d{4})[-/.](\\d{1,2})[-/.](\\d{1,2})(?:[ T](\\d{1,2}):(\\d{2})(?::(\\d{2})(?:\\.\\d+)?)?)?$"));
    const auto m = re.match(text);
    if (!m.hasMatch()) return {};
    const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!d.isValid()) return {};
    QTime t(0, 0);
    if (m.capturedLength(4) > 0) {
        t = QTime(m.captured(4).toInt(), m.captured(5).toInt(),
                  m.capturedLength(6) > 0 ? m.captured(6).toInt() : 0);
        if (!t.isValid()) return {};
    }
    return QDateTime(d, t);
}

ColumnType Connection::columnTypeFromName(const QString &declared, int *width) {
    return typeFromName(declared, width);
}

void *Connection::sqliteHandle() const {
    if (m_settings.engine != Engine::SQLite || !isConnected()) return nullptr;
    const QVariant h = database().driver()->handle();
    if (!h.isValid() || qstrcmp(h.typeName(), "sqlite3*") != 0) return nullptr;
    return *static_cast<void *const *>(h.constData());
}

void *Connection::postgresHandle() const {
    if (m_settings.engine != Engine::PostgreSQL || !isConnected()) return nullptr;
    const QVariant h = database().driver()->handle();
    // QPSQL hands out PGconn*, whose type is named after libpq's struct pg_conn.
    if (!h.isValid() || (qstrcmp(h.typeName(), "PGconn*") != 0 && qstrcmp(h.typeName(), "pg_conn*") != 0))
        return nullptr;
    return *static_cast<void *const *>(h.constData());
}

QString Connection::dateTimeToText(const QDateTime &value) {
    return value.toString(kDateTimeFormat);
}

} // namespace lumvard::platform
