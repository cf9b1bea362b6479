#include "platform/Query.h"

#include "foundation/TextFormats.h"

#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QSqlDriver>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <string>

namespace lumvard::platform {

namespace {

const QString kConflict = QStringLiteral("记录已被其他工作站修改或删除,请刷新后重试!");

// Cells of a cached row are packed one after the other, each a tag byte and its payload, so that a
// row costs about as much memory as its text on the wire.
enum CellTag : quint8 {
    TagNull = 0,
    TagText = 1,     // varint byte count + UTF-8
    TagDouble = 2,   // 8 bytes
    TagWhole = 3,    // a double holding a whole number: zig-zag varint
    TagInteger = 4,  // zig-zag varint
    TagDateTime = 5, // varint seconds since 0001-01-01 (local wall clock)
};

inline void putVarint(std::string &out, quint64 v) {
    while (v >= 0x80) {
        out.push_back(char(quint8(v) | 0x80));
        v >>= 7;
    }
    out.push_back(char(v));
}

inline quint64 getVarint(const char *&p) {
    quint64 v = 0;
    int shift = 0;
    for (;;) {
        const quint8 b = quint8(*p++);
        v |= quint64(b & 0x7f) << shift;
        if (!(b & 0x80)) return v;
        shift += 7;
    }
}

inline quint64 zigzag(qint64 v) {
    return (quint64(v) << 1) ^ quint64(v >> 63);
}
inline qint64 unzigzag(quint64 v) {
    return qint64(v >> 1) ^ -qint64(v & 1);
}

const qint64 kEpochDay = QDate(1, 1, 1).toJulianDay();

inline void putText(std::string &out, const char *utf8, qsizetype size) {
    out.push_back(char(TagText));
    putVarint(out, quint64(size));
    out.append(utf8, size_t(size));
}

inline void putDouble(std::string &out, double v) {
    if (v == std::floor(v) && std::fabs(v) < 1e15 && !(v == 0 && std::signbit(v))) {
        out.push_back(char(TagWhole));
        putVarint(out, zigzag(qint64(v)));
        return;
    }
    out.push_back(char(TagDouble));
    char b[8];
    std::memcpy(b, &v, 8);
    out.append(b, 8);
}

inline void putInteger(std::string &out, qint64 v) {
    out.push_back(char(TagInteger));
    putVarint(out, zigzag(v));
}

inline void putDateTime(std::string &out, const QDateTime &dt) {
    out.push_back(char(TagDateTime));
    const qint64 secs =
        (dt.date().toJulianDay() - kEpochDay) * 86400 + dt.time().msecsSinceStartOfDay() / 1000;
    putVarint(out, quint64(secs));
}

// Stores a value as the column's type wants it; values that do not fit the type keep their own form.
void putCell(std::string &out, const QVariant &v, ColumnType type, bool native) {
    if (!v.isValid() || v.isNull()) {
        out.push_back(char(TagNull));
        return;
    }
    const int id = v.metaType().id();
    if (!native) {
        switch (type) {
        case ColumnType::DateTime: {
            const QDateTime dt = Connection::dateTimeFromStorage(v);
            if (dt.isValid()) {
                putDateTime(out, dt);
                return;
            }
            break;
        }
        case ColumnType::Float: {
            bool ok = false;
            const double d = v.toDouble(&ok);
            if (ok) {
                putDouble(out, d);
                return;
            }
            break;
        }
        case ColumnType::Integer: {
            bool ok = false;
            const qlonglong i = v.toLongLong(&ok);
            if (ok) {
                putInteger(out, i);
                return;
            }
            break;
        }
        case ColumnType::Text:
        case ColumnType::Memo: {
            const QByteArray u = v.toString().toUtf8();
            putText(out, u.constData(), u.size());
            return;
        }
        }
    }
    switch (id) {
    case QMetaType::Double:
    case QMetaType::Float:
        putDouble(out, v.toDouble());
        return;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Bool:
        putInteger(out, v.toLongLong());
        return;
    case QMetaType::QDateTime:
    case QMetaType::QDate: {
        const QDateTime dt = Connection::dateTimeFromStorage(v);
        if (dt.isValid()) {
            putDateTime(out, dt);
            return;
        }
        break;
    }
    default:
        break;
    }
    const QByteArray u = v.toString().toUtf8();
    putText(out, u.constData(), u.size());
}

void skipCell(const char *&p) {
    switch (quint8(*p++)) {
    case TagNull:
        return;
    case TagText: {
        const quint64 n = getVarint(p);
        p += n;
        return;
    }
    case TagDouble:
        p += 8;
        return;
    default:
        getVarint(p);
        return;
    }
}

QVariant readCell(const char *p, ColumnType type) {
    switch (quint8(*p++)) {
    case TagNull:
        switch (type) {
        case ColumnType::Float:
            return QVariant(QMetaType::fromType<double>());
        case ColumnType::Integer:
            return QVariant(QMetaType::fromType<int>());
        case ColumnType::DateTime:
            return QVariant(QMetaType::fromType<QDateTime>());
        default:
            return QVariant(QMetaType::fromType<QString>());
        }
    case TagText: {
        const quint64 n = getVarint(p);
        return QString::fromUtf8(p, qsizetype(n));
    }
    case TagDouble: {
        double d;
        std::memcpy(&d, p, 8);
        return d;
    }
    case TagWhole:
        return double(unzigzag(getVarint(p)));
    case TagInteger: {
        const qint64 v = unzigzag(getVarint(p));
        if (v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max()) return int(v);
        return qlonglong(v);
    }
    case TagDateTime: {
        const qint64 secs = qint64(getVarint(p));
        return QDateTime(QDate::fromJulianDay(kEpochDay + secs / 86400),
                         QTime::fromMSecsSinceStartOfDay(int(secs % 86400) * 1000));
    }
    }
    return {};
}

const char *cellAt(const std::string &data, int column) {
    const char *p = data.data();
    for (int i = 0; i < column; ++i)
        skipCell(p);
    return p;
}

QString numberText(double v) {
    return QString::number(v, 'g', 15);
}

bool sameValue(const QVariant &a, const QVariant &b) {
    const bool an = !a.isValid() || a.isNull();
    const bool bn = !b.isValid() || b.isNull();
    if (an || bn) return an == bn;
    return a == b;
}

// GBK byte count. ASCII and the unified ideographs U+4E00..U+9FA5 (all of them in GBK) are counted
// directly; anything else goes through the encoder.
qsizetype gbkBytes(const QString &text) {
    const QChar *c = text.constData();
    const qsizetype n = text.size();
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = c[i].unicode();
        if (u < 0x80)
            bytes += 1;
        else if (u >= 0x4E00 && u <= 0x9FA5)
            bytes += 2;
        else
            return lumvard::gbkLength(text);
    }
    return bytes;
}

inline void putDateTimeSecs(std::string &out, qint64 secs) {
    out.push_back(char(TagDateTime));
    putVarint(out, quint64(secs));
}

inline int digits(const char *p, int n) {
    int v = 0;
    for (int i = 0; i < n; ++i) {
        if (p[i] < '0' || p[i] > '9') return -1;
        v = v * 10 + (p[i] - '0');
    }
    return v;
}

// 'yyyy-MM-dd[ hh:mm:ss[.fff]]' as the engines hand it back, without building a QDateTime.
bool parseDateTimeText(const char *p, size_t n, qint64 *secs) {
    if (n < 10 || p[4] != '-' || p[7] != '-') return false;
    const int y = digits(p, 4), mo = digits(p + 5, 2), d = digits(p + 8, 2);
    if (y < 1 || mo < 0 || d < 0 || !QDate::isValid(y, mo, d)) return false;
    int h = 0, mi = 0, se = 0;
    if (n > 10) {
        if (n < 19 || (p[10] != ' ' && p[10] != 'T') || p[13] != ':' || p[16] != ':' ||
            (n > 19 && p[19] != '.'))
            return false;
        h = digits(p + 11, 2), mi = digits(p + 14, 2), se = digits(p + 17, 2);
        if (h < 0 || h > 23 || mi < 0 || mi > 59 || se < 0 || se > 59) return false;
    }
    *secs = (QDate(y, mo, d).toJulianDay() - kEpochDay) * 86400 + h * 3600 + mi * 60 + se;
    return true;
}

DbError sqliteFailure(Connection &conn, sqlite3 *db) {
    return conn.failure(QSqlError(QString(), QString::fromUtf8(sqlite3_errmsg(db)), QSqlError::StatementError,
                                  QString::number(sqlite3_extended_errcode(db))));
}

DbError pgFailure(Connection &conn, PGconn *pg, const PGresult *res) {
    QString text = QString::fromUtf8(res ? PQresultErrorMessage(res) : PQerrorMessage(pg)).trimmed();
    if (text.isEmpty()) text = QString::fromUtf8(PQerrorMessage(pg)).trimmed();
    const char *state = res ? PQresultErrorField(res, PG_DIAG_SQLSTATE) : nullptr;
    return conn.failure(QSqlError(QString(), text, QSqlError::StatementError,
                                  state ? QString::fromLatin1(state) : QString()));
}

void bindSqlite(sqlite3_stmt *st, int index, const QVariant &value) {
    if (!value.isValid() || value.isNull()) {
        sqlite3_bind_null(st, index);
        return;
    }
    switch (value.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(st, index, value.toDouble());
        return;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::Bool:
        sqlite3_bind_int64(st, index, value.toLongLong());
        return;
    default: {
        const QByteArray u = Connection::bindable(value).toString().toUtf8();
        sqlite3_bind_text(st, index, u.constData(), int(u.size()), SQLITE_TRANSIENT);
        return;
    }
    }
}

QByteArray pgText(const QVariant &value, bool *isNull) {
    *isNull = !value.isValid() || value.isNull();
    if (*isNull) return {};
    switch (value.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return QByteArray::number(value.toDouble(), 'g', 17);
    case QMetaType::Bool:
        return value.toBool() ? QByteArrayLiteral("true") : QByteArrayLiteral("false");
    default:
        return Connection::bindable(value).toString().toUtf8();
    }
}

// ":name" placeholders to "$n" for libpq, outside quotes and "::" casts; the names in order of use.
QByteArray pgPositional(const QString &sql, const QVariantMap &params, QStringList *order) {
    QString out;
    out.reserve(sql.size() + 8);
    QChar quote;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar ch = sql[i];
        if (!quote.isNull()) {
            out += ch;
            if (ch == quote) quote = QChar();
            continue;
        }
        if (ch == QLatin1Char('\'') || ch == QLatin1Char('"')) {
            quote = ch;
            out += ch;
            continue;
        }
        if (ch == QLatin1Char(':') && i + 1 < sql.size() && sql[i + 1] == QLatin1Char(':')) {
            out += QLatin1String("::");
            ++i;
            continue;
        }
        if (ch == QLatin1Char(':') && i + 1 < sql.size() &&
            (sql[i + 1].isLetter() || sql[i + 1] == QLatin1Char('_'))) {
            qsizetype j = i + 1;
            while (j < sql.size() && (sql[j].isLetterOrNumber() || sql[j] == QLatin1Char('_')))
                ++j;
            const QString name = sql.mid(i + 1, j - i - 1);
            if (params.contains(name)) {
                qsizetype k = order->indexOf(name);
                if (k < 0) {
                    order->append(name);
                    k = order->size() - 1;
                }
                out += QLatin1Char('$') + QString::number(k + 1);
                i = j - 1;
                continue;
            }
        }
        out += ch;
    }
    return out.toUtf8();
}

ColumnType typeOfOid(Oid oid, bool *native) {
    *native = false;
    switch (oid) {
    case 700:
    case 701:
    case 1700:
        return ColumnType::Float;
    case 20:
    case 21:
    case 23:
        return ColumnType::Integer;
    case 1082:
    case 1114:
    case 1184:
        return ColumnType::DateTime;
    case 25:
        return ColumnType::Memo;
    case 1042:
    case 1043:
        return ColumnType::Text;
    default:
        *native = true;
        return ColumnType::Text;
    }
}

// Runs the statements of a batch; "?" marks the values.
class BatchRunner {
public:
    virtual ~BatchRunner() = default;
    virtual int run(const QString &sql, const QVariantList &values) = 0; // rows affected; throws DbError
    virtual void finish() = 0;                                           // after the transaction ended
};

class SqliteRunner final : public BatchRunner {
public:
    SqliteRunner(Connection &c, sqlite3 *db)
        : m_conn(c)
        , m_db(db) {}
    ~SqliteRunner() override { finish(); }
    int run(const QString &sql, const QVariantList &values) override {
        sqlite3_stmt *&st = m_prepared[sql];
        if (!st) {
            const QByteArray u = sql.toUtf8();
            if (sqlite3_prepare_v2(m_db, u.constData(), int(u.size()), &st, nullptr) != SQLITE_OK) {
                st = nullptr;
                m_prepared.remove(sql);
                throw sqliteFailure(m_conn, m_db);
            }
        }
        for (int i = 0; i < values.size(); ++i)
            bindSqlite(st, i + 1, values[i]);
        const int rc = sqlite3_step(st);
        if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
            const DbError e = sqliteFailure(m_conn, m_db);
            sqlite3_reset(st);
            throw e;
        }
        const int changes = sqlite3_changes(m_db);
        sqlite3_reset(st);
        return changes;
    }
    void finish() override {
        for (sqlite3_stmt *st : std::as_const(m_prepared))
            sqlite3_finalize(st);
        m_prepared.clear();
    }

private:
    Connection &m_conn;
    sqlite3 *m_db;
    QHash<QString, sqlite3_stmt *> m_prepared;
};

class PgRunner final : public BatchRunner {
public:
    PgRunner(Connection &c, PGconn *pg)
        : m_conn(c)
        , m_pg(pg) {}
    ~PgRunner() override { finish(); }
    int run(const QString &sql, const QVariantList &values) override {
        auto it = m_prepared.find(sql);
        if (it == m_prepared.end()) {
            static int serial = 0;
            const QByteArray name = "lv_batch_" + QByteArray::number(++serial);
            QByteArray text;
            int n = 0;
            for (const QChar ch : sql) {
                if (ch == QLatin1Char('?'))
                    text += '$' + QByteArray::number(++n);
                else
                    text += QString(ch).toUtf8();
            }
            PGresult *r = PQprepare(m_pg, name.constData(), text.constData(), n, nullptr);
            if (PQresultStatus(r) != PGRES_COMMAND_OK) {
                const DbError e = pgFailure(m_conn, m_pg, r);
                PQclear(r);
                throw e;
            }
            PQclear(r);
            it = m_prepared.insert(sql, name);
        }
        std::vector<QByteArray> texts(size_t(values.size()));
        std::vector<const char *> ptrs(size_t(values.size()));
        for (int i = 0; i < values.size(); ++i) {
            bool isNull = false;
            texts[size_t(i)] = pgText(values[i], &isNull);
            ptrs[size_t(i)] = isNull ? nullptr : texts[size_t(i)].constData();
        }
        PGresult *r =
            PQexecPrepared(m_pg, it->constData(), int(values.size()), ptrs.data(), nullptr, nullptr, 0);
        if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK) {
            const DbError e = pgFailure(m_conn, m_pg, r);
            PQclear(r);
            throw e;
        }
        const int changes = QByteArray(PQcmdTuples(r)).toInt();
        PQclear(r);
        return changes;
    }
    void finish() override {
        // Prepared statements outlive transactions; drop them once the batch is over.
        for (const QByteArray &name : std::as_const(m_prepared)) {
            PGresult *r = PQexec(m_pg, ("DEALLOCATE " + name).constData());
            PQclear(r);
        }
        m_prepared.clear();
    }

private:
    Connection &m_conn;
    PGconn *m_pg;
    QHash<QString, QByteArray> m_prepared;
};

} // namespace

struct Query::Row {
    std::string data;                  // current values, packed
    std::unique_ptr<std::string> orig; // the values as last read or sent, once the row changed
    quint32 seq = 0;                   // order of reading, to put cancelled deletes back in place
    enum Status : quint8 { Unchanged, Modified, Inserted } status = Unchanged;
};

struct Query::Impl {
    std::vector<ColumnInfo> cols;
    std::vector<char> updatable; // per column: belongs to the update table
    std::vector<char> native;    // per column: type unknown, cells keep the engine's types
    QHash<QString, int> byName;  // lower-case name -> column
    bool hasSchema = false;
    TableSchema schema;

    std::vector<Row> rows;
    std::vector<Row> deleted;
    quint32 nextSeq = 0;
    int cursor = -1;
    int cursorBeforeInsert = -1;
    std::vector<QVariant> buffer; // values of the row being edited or inserted

    void clear() {
        cols.clear();
        updatable.clear();
        native.clear();
        byName.clear();
        hasSchema = false;
        schema = {};
        rows.clear();
        deleted.clear();
        nextSeq = 0;
        cursor = -1;
        cursorBeforeInsert = -1;
        buffer.clear();
    }

    std::string encode(const std::vector<QVariant> &values) const {
        std::string out;
        out.reserve(values.size() * 8);
        for (size_t c = 0; c < values.size(); ++c)
            putCell(out, values[c], cols[c].type, native[c]);
        return out;
    }

    void addColumn(int c, const QString &name, ColumnType type, bool isNative) {
        ColumnInfo info;
        info.name = name;
        const int si = hasSchema ? schema.indexOf(name) : -1;
        if (si >= 0) {
            info = schema.columns[si];
            info.name = name;
            updatable[size_t(c)] = 1;
        } else {
            info.type = type;
            native[size_t(c)] = isNative;
        }
        cols[size_t(c)] = info;
        byName.insert(name.toLower(), c);
    }

    void resizeColumns(int n) {
        cols.resize(size_t(n));
        updatable.assign(size_t(n), 0);
        native.assign(size_t(n), 0);
    }

    void pushRow(const std::string &buf) {
        Row r;
        r.data = buf;
        r.seq = nextSeq++;
        rows.push_back(std::move(r));
    }

    // Rows straight from SQLite: UTF-8 text is copied as it is, without a QString in between.
    void readSqlite(Connection &conn, sqlite3 *db, const QString &sql, const QVariantMap &params) {
        sqlite3_stmt *st = nullptr;
        const QByteArray u = sql.toUtf8();
        if (sqlite3_prepare_v2(db, u.constData(), int(u.size()), &st, nullptr) != SQLITE_OK)
            throw sqliteFailure(conn, db);
        struct Finalize {
            sqlite3_stmt *st;
            ~Finalize() { sqlite3_finalize(st); }
        } guard{st};
        for (auto it = params.cbegin(); it != params.cend(); ++it) {
            const int index =
                sqlite3_bind_parameter_index(st, (QLatin1Char(':') + it.key()).toUtf8().constData());
            if (index > 0) bindSqlite(st, index, it.value());
        }
        const int n = sqlite3_column_count(st);
        resizeColumns(n);
        for (int c = 0; c < n; ++c) {
            const char *decl = sqlite3_column_decltype(st, c);
            int width = 0;
            const ColumnType t =
                decl ? Connection::columnTypeFromName(QString::fromUtf8(decl), &width) : ColumnType::Text;
            addColumn(c, QString::fromUtf8(sqlite3_column_name(st, c)), t, decl == nullptr);
        }
        std::string buf;
        char num[32];
        for (;;) {
            const int rc = sqlite3_step(st);
            if (rc == SQLITE_DONE) break;
            if (rc != SQLITE_ROW) throw sqliteFailure(conn, db);
            buf.clear();
            for (int c = 0; c < n; ++c) {
                const ColumnType type = cols[size_t(c)].type;
                const bool nat = native[size_t(c)];
                const bool text = !nat && (type == ColumnType::Text || type == ColumnType::Memo);
                switch (sqlite3_column_type(st, c)) {
                case SQLITE_NULL:
                    buf.push_back(char(TagNull));
                    break;
                case SQLITE_INTEGER: {
                    const qint64 v = sqlite3_column_int64(st, c);
                    if (!nat && type == ColumnType::Float) {
                        putDouble(buf, double(v));
                    } else if (text) {
                        const int len = std::snprintf(num, sizeof num, "%lld", static_cast<long long>(v));
                        putText(buf, num, len);
                    } else {
                        putInteger(buf, v);
                    }
                    break;
                }
                case SQLITE_FLOAT:
                    if (text) {
                        const QByteArray t = QByteArray::number(sqlite3_column_double(st, c), 'g', 15);
                        putText(buf, t.constData(), t.size());
                    } else {
                        putDouble(buf, sqlite3_column_double(st, c));
                    }
                    break;
                default: {
                    const char *p = reinterpret_cast<const char *>(sqlite3_column_text(st, c));
                    const int len = sqlite3_column_bytes(st, c);
                    if (!nat && type == ColumnType::DateTime) {
                        qint64 secs;
                        if (parseDateTimeText(p, size_t(len), &secs)) {
                            putDateTimeSecs(buf, secs);
                            break;
                        }
                    } else if (!nat && type == ColumnType::Float) {
                        char *end = nullptr;
                        const double d = std::strtod(p, &end);
                        if (len > 0 && end == p + len) {
                            putDouble(buf, d);
                            break;
                        }
                    } else if (!nat && type == ColumnType::Integer) {
                        char *end = nullptr;
                        const long long v = std::strtoll(p, &end, 10);
                        if (len > 0 && end == p + len) {
                            putInteger(buf, v);
                            break;
                        }
                    }
                    putText(buf, p, len);
                    break;
                }
                }
            }
            pushRow(buf);
        }
    }

    // Rows straight from libpq's text result.
    void readPostgres(Connection &conn, PGconn *pg, const QString &sql, const QVariantMap &params) {
        PGresult *res;
        if (params.isEmpty()) {
            res = PQexec(pg, sql.toUtf8().constData());
        } else {
            QStringList order;
            const QByteArray text = pgPositional(sql, params, &order);
            std::vector<QByteArray> values(size_t(order.size()));
            std::vector<const char *> ptrs(size_t(order.size()));
            for (int i = 0; i < order.size(); ++i) {
                bool isNull = false;
                values[size_t(i)] = pgText(params.value(order[i]), &isNull);
                ptrs[size_t(i)] = isNull ? nullptr : values[size_t(i)].constData();
            }
            res = PQexecParams(pg, text.constData(), int(order.size()), nullptr, ptrs.data(), nullptr,
                               nullptr, 0);
        }
        struct Clear {
            PGresult *r;
            ~Clear() { PQclear(r); }
        } guard{res};
        const ExecStatusType status = PQresultStatus(res);
        if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) throw pgFailure(conn, pg, res);
        const int n = PQnfields(res);
        resizeColumns(n);
        for (int c = 0; c < n; ++c) {
            bool isNative = false;
            const ColumnType t = typeOfOid(PQftype(res, c), &isNative);
            // Unquoted names come back folded to lower case; the system's names are upper case.
            addColumn(c, QString::fromUtf8(PQfname(res, c)).toUpper(), t, isNative);
        }
        const int count = PQntuples(res);
        rows.reserve(size_t(count));
        std::string buf;
        for (int r = 0; r < count; ++r) {
            buf.clear();
            for (int c = 0; c < n; ++c) {
                if (PQgetisnull(res, r, c)) {
                    buf.push_back(char(TagNull));
                    continue;
                }
                const char *p = PQgetvalue(res, r, c);
                const int len = PQgetlength(res, r, c);
                switch (native[size_t(c)] ? ColumnType::Text : cols[size_t(c)].type) {
                case ColumnType::Float: {
                    char *end = nullptr;
                    const double d = std::strtod(p, &end);
                    if (end == p + len && len > 0) {
                        putDouble(buf, d);
                        continue;
                    }
                    break;
                }
                case ColumnType::Integer: {
                    char *end = nullptr;
                    const long long v = std::strtoll(p, &end, 10);
                    if (end == p + len && len > 0) {
                        putInteger(buf, v);
                        continue;
                    }
                    break;
                }
                case ColumnType::DateTime: {
                    qint64 secs;
                    if (parseDateTimeText(p, size_t(len), &secs)) {
                        putDateTimeSecs(buf, secs);
                        continue;
                    }
                    break;
                }
                default:
                    break;
                }
                putText(buf, p, len);
            }
            pushRow(buf);
        }
    }

    // The cells as they are bound for writing: date-times as 'yyyy-MM-dd hh:mm:ss' text, built without
    // QDateTime (whose local-time conversions cost more than the statement).
    std::vector<QVariant> storageValues(const std::string &data) const {
        std::vector<QVariant> values;
        values.reserve(cols.size());
        const char *p = data.data();
        for (size_t c = 0; c < cols.size(); ++c) {
            const char *q = p;
            switch (quint8(*q++)) {
            case TagDateTime: {
                const qint64 secs = qint64(getVarint(q));
                const QDate d = QDate::fromJulianDay(kEpochDay + secs / 86400);
                const int t = int(secs % 86400);
                char buf[32];
                const int n = std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", d.year(),
                                            d.month(), d.day(), t / 3600, t / 60 % 60, t % 60);
                values.push_back(QString::fromLatin1(buf, n));
                break;
            }
            case TagNull:
                values.push_back(QVariant());
                break;
            default:
                values.push_back(readCell(p, ColumnType::Text));
                break;
            }
            skipCell(p);
        }
        return values;
    }

    std::vector<QVariant> decode(const std::string &data) const {
        std::vector<QVariant> values;
        values.reserve(cols.size());
        const char *p = data.data();
        for (size_t c = 0; c < cols.size(); ++c) {
            values.push_back(readCell(p, cols[c].type));
            skipCell(p);
        }
        return values;
    }
};

// ---------------------------------------------------------------------------------------------------

QString Field::name() const {
    return m_query->fieldName(m_index);
}
ColumnType Field::type() const {
    return m_query->columnInfo(m_index).type;
}
int Field::width() const {
    if (!m_query->isUpdatable(m_index)) return 0;
    const ColumnInfo c = m_query->columnInfo(m_index);
    return c.type == ColumnType::Text ? c.width : 0;
}
QVariant Field::value() const {
    return m_query->currentValue(m_index);
}
bool Field::isNull() const {
    const QVariant v = value();
    return !v.isValid() || v.isNull();
}

QString Field::asString() const {
    return Query::textOf(value(), type());
}

double Field::asFloat() const {
    const QVariant v = value();
    if (!v.isValid() || v.isNull()) return 0;
    if (v.metaType().id() == QMetaType::QString) {
        const QString t = v.toString().trimmed();
        if (t.isEmpty()) return 0;
        bool ok = false;
        double d = QLocale().toDouble(t, &ok);
        if (!ok) d = t.toDouble(&ok);
        if (!ok) throw DbError(QStringLiteral("'%1' 不是有效的数值").arg(t));
        return d;
    }
    if (v.metaType().id() == QMetaType::QDateTime)
        throw DbError(QStringLiteral("字段 %1 不能作为数值读取").arg(name()));
    return v.toDouble();
}

int Field::asInteger() const {
    const QVariant v = value();
    if (!v.isValid() || v.isNull()) return 0;
    switch (v.metaType().id()) {
    case QMetaType::Double:
        return int(std::llround(v.toDouble()));
    case QMetaType::QString: {
        const QString t = v.toString().trimmed();
        if (t.isEmpty()) return 0;
        bool ok = false;
        const int i = t.toInt(&ok);
        if (!ok) throw DbError(QStringLiteral("'%1' 不是有效的整数").arg(t));
        return i;
    }
    case QMetaType::QDateTime:
        throw DbError(QStringLiteral("字段 %1 不能作为整数读取").arg(name()));
    default:
        return v.toInt();
    }
}

QDateTime Field::asDateTime() const {
    const QVariant v = value();
    if (!v.isValid() || v.isNull()) return {};
    const QDateTime dt = Connection::dateTimeFromStorage(v);
    if (!dt.isValid()) {
        const QString t = v.toString().trimmed();
        if (t.isEmpty()) return {};
        throw DbError(QStringLiteral("'%1' 不是有效的日期时间").arg(t));
    }
    return dt;
}

void Field::setValue(const QVariant &value) {
    m_query->setCurrentValue(m_index, value);
}
void Field::setAsString(const QString &text) {
    setValue(text);
}
void Field::setAsFloat(double value) {
    setValue(value);
}
void Field::setAsInteger(int value) {
    setValue(value);
}
void Field::setAsDateTime(const QDateTime &value) {
    setValue(value.isValid() ? QVariant(value) : QVariant());
}
void Field::clear() {
    setValue(QVariant());
}

// ---------------------------------------------------------------------------------------------------

Query::Query(Connection *connection, QObject *parent)
    : QObject(parent)
    , m_connection(connection)
    , d(std::make_unique<Impl>()) {}

Query::~Query() = default;

void Query::setConnection(Connection *connection) {
    if (connection == m_connection) return;
    close();
    m_connection = connection;
}

void Query::setSql(const QString &sql) {
    close();
    m_sql = sql;
    m_params.clear();
}

void Query::bindValue(const QString &name, const QVariant &value) {
    m_params.insert(name.startsWith(QLatin1Char(':')) ? name.mid(1) : name, value);
}

QString Query::updateTable() const {
    if (!m_updateTable.isEmpty()) return m_updateTable;
    static const QRegularExpression from(QStringLiteral("\\bfrom\\s+([\\[\\]\"\\w.]+)"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto m = from.match(m_sql);
    if (!m.hasMatch()) return {};
    QString name = m.captured(1);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0) name = name.mid(dot + 1);
    name.remove(QLatin1Char('[')).remove(QLatin1Char(']')).remove(QLatin1Char('"'));
    return name;
}

void Query::checkActive() const {
    if (!m_active) throw DbError(QStringLiteral("数据集没有打开"));
}

void Query::open() {
    close();
    if (!m_connection) throw DbError(QStringLiteral("查询没有数据库连接"));
    if (m_sql.trimmed().isEmpty()) throw DbError(QStringLiteral("查询的语句为空"));
    Impl &s = *d;
    // The schema first: PostgreSQL streams the rows, and no other statement may run meanwhile.
    const QString table = updateTable();
    if (!table.isEmpty()) {
        try {
            s.schema = m_connection->tableSchema(table);
            s.hasSchema = true;
        } catch (const DbError &) {
            s.hasSchema = false; // a derived table or a function: the dataset is read-only for the batch
        }
    }
    try {
        if (auto *lite = static_cast<sqlite3 *>(m_connection->sqliteHandle()))
            s.readSqlite(*m_connection, lite, m_sql, m_params);
        else if (auto *pg = static_cast<PGconn *>(m_connection->postgresHandle()))
            s.readPostgres(*m_connection, pg, m_sql, m_params);
        else
            throw DbError(QStringLiteral("数据库未连接"));
    } catch (...) {
        s.clear();
        throw;
    }
    s.rows.shrink_to_fit();

    m_active = true;
    s.cursor = s.rows.empty() ? -1 : 0;
    m_bof = true;
    m_eof = s.rows.empty();
    m_state = DatasetState::Browse;
    notifyReset();
    if (!controlsDisabled()) emit stateChanged(m_state);
    notifyCurrent();
}

void Query::close() {
    const bool was = m_active;
    if (was && !controlsDisabled()) emit aboutToReset();
    d->clear();
    m_active = false;
    m_bof = m_eof = true;
    const bool stateWas = m_state != DatasetState::Inactive;
    m_state = DatasetState::Inactive;
    if (was && !controlsDisabled()) {
        emit reset();
        if (stateWas) emit stateChanged(m_state);
        emit currentChanged(-1);
    }
}

void Query::execute() {
    if (!m_connection) throw DbError(QStringLiteral("查询没有数据库连接"));
    if (m_sql.trimmed().isEmpty()) throw DbError(QStringLiteral("查询的语句为空"));
    close();
    QSqlQuery q = m_connection->run(m_sql, m_params, true);
    q.finish();
}

// --- navigation ------------------------------------------------------------------------------------

int Query::recordCount() const {
    return int(d->rows.size());
}
int Query::recNo() const {
    return d->cursor + 1;
}
int Query::currentRow() const {
    return d->cursor;
}

void Query::moveTo(int row, bool bof, bool eof) {
    const int before = d->cursor;
    d->cursor = d->rows.empty() ? -1 : qBound(0, row, int(d->rows.size()) - 1);
    m_bof = bof || d->rows.empty();
    m_eof = eof || d->rows.empty();
    if (d->cursor != before) notifyCurrent();
}

void Query::first() {
    checkActive();
    checkBrowseMode();
    moveTo(0, true, false);
}

void Query::last() {
    checkActive();
    checkBrowseMode();
    moveTo(int(d->rows.size()) - 1, false, true);
}

void Query::next() {
    checkActive();
    checkBrowseMode();
    if (m_eof) return;
    if (d->cursor + 1 < int(d->rows.size()))
        moveTo(d->cursor + 1, false, false);
    else
        moveTo(d->cursor, false, true);
}

void Query::prior() {
    checkActive();
    checkBrowseMode();
    if (m_bof) return;
    if (d->cursor > 0)
        moveTo(d->cursor - 1, false, false);
    else
        moveTo(d->cursor, true, false);
}

void Query::setRecNo(int recNo) {
    checkActive();
    checkBrowseMode();
    if (d->rows.empty()) return;
    moveTo(recNo - 1, false, false);
}

bool Query::locate(const QString &field, const QVariant &value, bool caseInsensitive) {
    checkActive();
    checkBrowseMode();
    const int c = fieldIndex(field);
    if (c < 0) throw DbError(QStringLiteral("字段 %1 不存在").arg(field));
    const ColumnType type = d->cols[size_t(c)].type;
    const bool wantNull = !value.isValid() || value.isNull();
    QVariant want;
    if (!wantNull) {
        try {
            want = d->native[size_t(c)] ? value : coerce(c, value);
        } catch (const DbError &) {
            return false; // a value of the wrong kind matches no row
        }
    }
    const QString wantText = want.toString();
    for (size_t r = 0; r < d->rows.size(); ++r) {
        const QVariant v = readCell(cellAt(d->rows[r].data, c), type);
        const bool isNull = !v.isValid() || v.isNull();
        bool match;
        if (wantNull || isNull)
            match = wantNull && isNull;
        else if (type == ColumnType::Text || type == ColumnType::Memo || d->native[size_t(c)])
            match = v.toString().compare(wantText,
                                         caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0;
        else if (type == ColumnType::Float || type == ColumnType::Integer)
            match = v.toDouble() == want.toDouble();
        else
            match = v == want;
        if (match) {
            moveTo(int(r), false, false);
            return true;
        }
    }
    return false;
}

// --- fields ----------------------------------------------------------------------------------------

int Query::fieldCount() const {
    return int(d->cols.size());
}

QString Query::fieldName(int index) const {
    if (index < 0 || index >= fieldCount()) throw DbError(QStringLiteral("字段序号 %1 超出范围").arg(index));
    return d->cols[size_t(index)].name;
}

int Query::fieldIndex(const QString &name) const {
    return d->byName.value(name.trimmed().toLower(), -1);
}

Field Query::field(int index) {
    if (index < 0 || index >= fieldCount()) throw DbError(QStringLiteral("字段序号 %1 超出范围").arg(index));
    return Field(this, index);
}

Field Query::fieldByName(const QString &name) {
    const int i = fieldIndex(name);
    if (i < 0) throw DbError(QStringLiteral("字段 %1 不存在").arg(name));
    return Field(this, i);
}

ColumnInfo Query::columnInfo(int column) const {
    if (column < 0 || column >= fieldCount())
        throw DbError(QStringLiteral("字段序号 %1 超出范围").arg(column));
    return d->cols[size_t(column)];
}

bool Query::isUpdatable(int column) const {
    return column >= 0 && column < fieldCount() && d->updatable[size_t(column)];
}

QVariant Query::value(int row, int column) const {
    if (row < 0 || row >= recordCount() || column < 0 || column >= fieldCount()) return {};
    if (row == d->cursor && (m_state == DatasetState::Edit || m_state == DatasetState::Insert))
        return d->buffer[size_t(column)];
    return readCell(cellAt(d->rows[size_t(row)].data, column), d->cols[size_t(column)].type);
}

QString Query::displayText(int row, int column) const {
    if (column < 0 || column >= fieldCount()) return {};
    return textOf(value(row, column), d->cols[size_t(column)].type);
}

QString Query::textOf(const QVariant &value, ColumnType type) {
    Q_UNUSED(type);
    if (!value.isValid() || value.isNull()) return {};
    switch (value.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return numberText(value.toDouble());
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        if (dt.time() == QTime(0, 0)) return dt.date().toString(QStringLiteral("yyyy-MM-dd"));
        return Connection::dateTimeToText(dt);
    }
    default:
        return value.toString();
    }
}

QVariant Query::currentValue(int column) const {
    if (column < 0 || column >= fieldCount())
        throw DbError(QStringLiteral("字段序号 %1 超出范围").arg(column));
    if (d->cursor < 0) return readCell("\0", d->cols[size_t(column)].type);
    return value(d->cursor, column);
}

QVariant Query::coerce(int column, const QVariant &value) const {
    const ColumnInfo &c = d->cols[size_t(column)];
    const bool isNull = !value.isValid() || value.isNull();
    if (d->native[size_t(column)]) return isNull ? QVariant(QMetaType::fromType<QString>()) : value;
    const int id = isNull ? QMetaType::UnknownType : value.metaType().id();
    switch (c.type) {
    case ColumnType::Text:
    case ColumnType::Memo:
        if (isNull) return QVariant(QMetaType::fromType<QString>());
        if (id == QMetaType::Double || id == QMetaType::Float) return numberText(value.toDouble());
        if (id == QMetaType::QDateTime || id == QMetaType::QDate)
            return textOf(Connection::dateTimeFromStorage(value), ColumnType::DateTime);
        return value.toString();
    case ColumnType::Float: {
        if (isNull) return QVariant(QMetaType::fromType<double>());
        if (id == QMetaType::QString) {
            const QString t = value.toString().trimmed();
            if (t.isEmpty()) return QVariant(QMetaType::fromType<double>());
            bool ok = false;
            double v = QLocale().toDouble(t, &ok);
            if (!ok) v = QLocale::c().toDouble(t, &ok);
            if (!ok || !std::isfinite(v)) throw DbError(QStringLiteral("'%1' 不是有效的数值").arg(t));
            return v;
        }
        if (id == QMetaType::QDateTime || id == QMetaType::QDate)
            throw DbError(QStringLiteral("'%1' 不是有效的数值").arg(value.toString()));
        bool ok = false;
        const double v = value.toDouble(&ok);
        if (!ok || !std::isfinite(v))
            throw DbError(QStringLiteral("'%1' 不是有效的数值").arg(value.toString()));
        return v;
    }
    case ColumnType::Integer: {
        if (isNull) return QVariant(QMetaType::fromType<int>());
        if (id == QMetaType::QString) {
            const QString t = value.toString().trimmed();
            if (t.isEmpty()) return QVariant(QMetaType::fromType<int>());
            bool ok = false;
            int v = QLocale().toInt(t, &ok);
            if (!ok) v = t.toInt(&ok);
            if (!ok) throw DbError(QStringLiteral("'%1' 不是有效的整数").arg(t));
            return v;
        }
        if (id == QMetaType::Double || id == QMetaType::Float) {
            const double v = std::round(value.toDouble());
            if (!std::isfinite(v) || v < std::numeric_limits<int>::min() ||
                v > std::numeric_limits<int>::max())
                throw DbError(QStringLiteral("'%1' 不是有效的整数").arg(numberText(value.toDouble())));
            return int(v);
        }
        bool ok = false;
        const qlonglong v = value.toLongLong(&ok);
        if (!ok || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
            throw DbError(QStringLiteral("'%1' 不是有效的整数").arg(value.toString()));
        return int(v);
    }
    case ColumnType::DateTime: {
        if (isNull) return QVariant(QMetaType::fromType<QDateTime>());
        if (id == QMetaType::QString && value.toString().trimmed().isEmpty())
            return QVariant(QMetaType::fromType<QDateTime>());
        QDateTime dt;
        if (id == QMetaType::QString || id == QMetaType::QDateTime || id == QMetaType::QDate)
            dt = Connection::dateTimeFromStorage(value);
        if (!dt.isValid() && id == QMetaType::QString) {
            const QString t = value.toString().trimmed();
            const QLocale loc;
            dt = loc.toDateTime(t, QLocale::ShortFormat);
            if (!dt.isValid()) dt = QDateTime(loc.toDate(t, QLocale::ShortFormat), QTime(0, 0));
            if (dt.isValid()) dt = Connection::dateTimeFromStorage(dt);
        }
        if (!dt.isValid()) throw DbError(QStringLiteral("'%1' 不是有效的日期时间").arg(value.toString()));
        return dt;
    }
    }
    return value;
}

void Query::setCurrentValue(int column, const QVariant &value) {
    if (column < 0 || column >= fieldCount())
        throw DbError(QStringLiteral("字段序号 %1 超出范围").arg(column));
    if (m_state != DatasetState::Edit && m_state != DatasetState::Insert)
        throw DbError(
            QStringLiteral("数据集不在编辑或插入状态,不能修改字段 %1").arg(d->cols[size_t(column)].name));
    const QVariant v = coerce(column, value);
    const ColumnInfo &c = d->cols[size_t(column)];
    if (d->updatable[size_t(column)] && c.type == ColumnType::Text && !v.isNull()) {
        // Refuse at once what could never be saved; the width is checked again at post.
        const qsizetype n = gbkBytes(v.toString());
        if (n < 0) throw DbError(QStringLiteral("字段 %1 含有无法保存的字符").arg(c.name));
    }
    d->buffer[size_t(column)] = v;
    notifyChanged(d->cursor);
}

void Query::validate(const std::vector<QVariant> &values) const {
    for (size_t i = 0; i < values.size(); ++i) {
        if (!d->updatable[i]) continue;
        const ColumnInfo &c = d->cols[i];
        const QVariant &v = values[i];
        const bool isNull = !v.isValid() || v.isNull();
        if (isNull) {
            if (!c.nullable) throw DbError(QStringLiteral("字段 %1 必须有值").arg(c.name));
            continue;
        }
        if (c.type == ColumnType::Text || c.type == ColumnType::Memo) {
            const qsizetype n = gbkBytes(v.toString());
            if (n < 0) throw DbError(QStringLiteral("字段 %1 含有无法保存的字符").arg(c.name));
            if (c.type == ColumnType::Text && c.width > 0 && n > c.width)
                throw DbError(QStringLiteral("字段 %1 的内容过长(最多%2字节)").arg(c.name).arg(c.width));
        }
    }
}

// --- editing ---------------------------------------------------------------------------------------

void Query::setState(DatasetState state) {
    if (m_state == state) return;
    m_state = state;
    if (!controlsDisabled()) emit stateChanged(state);
}

void Query::checkBrowseMode() {
    if (m_state == DatasetState::Edit || m_state == DatasetState::Insert) post();
}

void Query::append() {
    checkActive();
    checkBrowseMode();
    Impl &s = *d;
    std::vector<QVariant> values(s.cols.size());
    for (size_t c = 0; c < s.cols.size(); ++c)
        values[c] = s.updatable[c] && s.cols[c].defaultValue.isValid() ? s.cols[c].defaultValue
                                                                       : coerce(int(c), QVariant());
    Row r;
    r.data = s.encode(values);
    r.seq = s.nextSeq++;
    r.status = Row::Inserted;
    const int row = int(s.rows.size());
    if (!controlsDisabled()) emit aboutToInsertRow(row);
    s.cursorBeforeInsert = s.cursor;
    s.rows.push_back(std::move(r));
    s.buffer = std::move(values);
    s.cursor = row;
    m_bof = m_eof = false;
    m_state = DatasetState::Insert;
    if (!controlsDisabled()) {
        emit rowInserted(row);
        emit stateChanged(m_state);
    }
    notifyCurrent();
}

void Query::edit() {
    checkActive();
    if (m_state == DatasetState::Edit || m_state == DatasetState::Insert) return;
    if (d->rows.empty()) {
        append();
        return;
    }
    d->buffer = d->decode(d->rows[size_t(d->cursor)].data);
    setState(DatasetState::Edit);
}

void Query::post() {
    checkActive();
    if (m_state != DatasetState::Edit && m_state != DatasetState::Insert) return;
    validate(d->buffer);
    Row &r = d->rows[size_t(d->cursor)];
    std::string data = d->encode(d->buffer);
    if (data != r.data) {
        if (r.status == Row::Unchanged) {
            r.orig = std::make_unique<std::string>(std::move(r.data));
            r.status = Row::Modified;
        }
        r.data = std::move(data);
    }
    d->buffer.clear();
    setState(DatasetState::Browse);
    notifyChanged(d->cursor);
}

void Query::cancel() {
    if (m_state == DatasetState::Edit) {
        d->buffer.clear();
        setState(DatasetState::Browse);
        notifyChanged(d->cursor);
        return;
    }
    if (m_state != DatasetState::Insert) return;
    const int row = d->cursor;
    d->buffer.clear();
    m_state = DatasetState::Browse;
    if (!controlsDisabled()) emit aboutToRemoveRow(row);
    d->rows.erase(d->rows.begin() + row);
    if (!controlsDisabled()) {
        emit rowRemoved(row);
        emit stateChanged(m_state);
    }
    const int back = d->cursorBeforeInsert;
    d->cursor = -2; // force the notice
    moveTo(back < 0 ? 0 : back, false, false);
}

void Query::deleteRecord() {
    checkActive();
    if (m_state == DatasetState::Insert) {
        cancel();
        return;
    }
    if (m_state == DatasetState::Edit) cancel();
    if (d->rows.empty()) throw DbError(QStringLiteral("数据集为空,没有可删除的记录"));
    const int row = d->cursor;
    if (!controlsDisabled()) emit aboutToRemoveRow(row);
    Row r = std::move(d->rows[size_t(row)]);
    d->rows.erase(d->rows.begin() + row);
    if (r.status != Row::Inserted) {
        if (!r.orig) r.orig = std::make_unique<std::string>(r.data);
        d->deleted.push_back(std::move(r));
    }
    if (!controlsDisabled()) emit rowRemoved(row);
    d->cursor = -2;
    moveTo(row, false, false);
}

bool Query::hasPendingUpdates() const {
    if (!d->deleted.empty()) return true;
    for (const Row &r : d->rows)
        if (r.status != Row::Unchanged) return true;
    return false;
}

void Query::applyUpdates() {
    checkActive();
    checkBrowseMode();
    Impl &s = *d;
    if (!hasPendingUpdates()) return;
    if (!s.hasSchema) throw DbError(QStringLiteral("查询没有可更新的数据表"));
    if (!m_connection) throw DbError(QStringLiteral("查询没有数据库连接"));

    std::vector<int> writable;
    for (size_t c = 0; c < s.cols.size(); ++c)
        if (s.updatable[c]) writable.push_back(int(c));
    std::vector<int> keyCols;
    for (const QString &k : s.schema.primaryKey()) {
        const int c = fieldIndex(k);
        if (c < 0) throw DbError(QStringLiteral("查询中缺少主键字段 %1,无法保存").arg(k));
        keyCols.push_back(c);
    }
    const bool noKey = keyCols.empty();

    const QString table = s.schema.name;
    std::unique_ptr<BatchRunner> runner;
    if (auto *lite = static_cast<sqlite3 *>(m_connection->sqliteHandle()))
        runner = std::make_unique<SqliteRunner>(*m_connection, lite);
    else if (auto *pg = static_cast<PGconn *>(m_connection->postgresHandle()))
        runner = std::make_unique<PgRunner>(*m_connection, pg);
    else
        throw DbError(QStringLiteral("数据库未连接"));
    auto exec = [&](const QString &sql, const QVariantList &values) { return runner->run(sql, values); };
    // Criteria: column = original value, or IS NULL.
    auto where = [&](const std::vector<int> &cols, const std::vector<QVariant> &orig, QVariantList &values) {
        QStringList parts;
        for (int c : cols) {
            const QVariant &v = orig[size_t(c)];
            const QString name = s.cols[size_t(c)].name;
            if (!v.isValid() || v.isNull()) {
                parts << name + QStringLiteral(" IS NULL");
            } else {
                parts << name + QStringLiteral("=?");
                values << v;
            }
        }
        return parts.join(QStringLiteral(" AND "));
    };

    // Every inserted row has the same statement.
    QStringList names, marks;
    for (int c : writable) {
        names << s.cols[size_t(c)].name;
        marks << QStringLiteral("?");
    }
    const QString insertSql =
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(table, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    try {
        Transaction t(*m_connection);
        for (const Row &r : s.deleted) {
            const std::vector<QVariant> orig = s.storageValues(*r.orig);
            QVariantList values;
            const QString sql =
                QStringLiteral("DELETE FROM %1 WHERE %2").arg(table, where(writable, orig, values));
            if (exec(sql, values) == 0) throw DbError(kConflict);
        }
        for (const Row &r : s.rows) {
            if (r.status == Row::Modified) {
                const std::vector<QVariant> orig = s.storageValues(*r.orig);
                const std::vector<QVariant> cur = s.storageValues(r.data);
                // Checked again as it goes out; a refusal rolls back what went before it.
                validate(cur);
                std::vector<int> changed;
                for (int c : writable)
                    if (!sameValue(orig[size_t(c)], cur[size_t(c)])) changed.push_back(c);
                if (changed.empty()) continue;
                QStringList sets;
                QVariantList values;
                for (int c : changed) {
                    sets << s.cols[size_t(c)].name + QStringLiteral("=?");
                    values << cur[size_t(c)];
                }
                std::vector<int> criteria = noKey ? writable : keyCols;
                for (int c : changed)
                    if (std::find(criteria.begin(), criteria.end(), c) == criteria.end())
                        criteria.push_back(c);
                const QString sql =
                    QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                        .arg(table, sets.join(QStringLiteral(", ")), where(criteria, orig, values));
                if (exec(sql, values) == 0) throw DbError(kConflict);
            } else if (r.status == Row::Inserted) {
                const std::vector<QVariant> cur = s.storageValues(r.data);
                validate(cur);
                QVariantList values;
                values.reserve(qsizetype(writable.size()));
                for (int c : writable)
                    values << cur[size_t(c)];
                exec(insertSql, values);
            }
        }
        t.commit();
    } catch (...) {
        runner->finish(); // the transaction has ended (rolled back) by now
        throw;
    }
    runner->finish();

    // Sent: what the cache holds is now what the database holds.
    s.deleted.clear();
    for (Row &r : s.rows) {
        r.orig.reset();
        r.status = Row::Unchanged;
    }
}

void Query::cancelUpdates() {
    checkActive();
    if (m_state == DatasetState::Edit || m_state == DatasetState::Insert) cancel();
    if (!hasPendingUpdates()) return;
    Impl &s = *d;
    quint32 currentSeq = s.cursor >= 0 ? s.rows[size_t(s.cursor)].seq : 0;
    if (!controlsDisabled()) emit aboutToReset();
    std::vector<Row> rows;
    rows.reserve(s.rows.size() + s.deleted.size());
    for (Row &r : s.rows) {
        if (r.status == Row::Inserted) continue;
        if (r.orig) {
            r.data = std::move(*r.orig);
            r.orig.reset();
        }
        r.status = Row::Unchanged;
        rows.push_back(std::move(r));
    }
    for (Row &r : s.deleted) {
        r.data = std::move(*r.orig);
        r.orig.reset();
        r.status = Row::Unchanged;
        rows.push_back(std::move(r));
    }
    s.deleted.clear();
    std::sort(rows.begin(), rows.end(), [](const Row &a, const Row &b) { return a.seq < b.seq; });
    s.rows = std::move(rows);
    int cursor = 0;
    for (size_t i = 0; i < s.rows.size(); ++i)
        if (s.rows[i].seq <= currentSeq) cursor = int(i);
    s.cursor = s.rows.empty() ? -1 : cursor;
    m_bof = m_eof = s.rows.empty();
    if (!controlsDisabled()) {
        emit reset();
        emit currentChanged(s.cursor);
    }
}

// --- notices ---------------------------------------------------------------------------------------

void Query::disableControls() {
    ++m_disabled;
}

void Query::enableControls() {
    if (m_disabled == 0) return;
    if (--m_disabled > 0) return;
    emit aboutToReset();
    emit reset();
    emit stateChanged(m_state);
    emit currentChanged(d->cursor);
}

void Query::notifyReset() {
    if (controlsDisabled()) return;
    emit aboutToReset();
    emit reset();
}

void Query::notifyChanged(int row) {
    if (!controlsDisabled() && row >= 0) emit rowChanged(row);
}

void Query::notifyCurrent() {
    if (!controlsDisabled()) emit currentChanged(d->cursor);
}

qint64 Query::cacheBytes() const {
    qint64 bytes = qint64(d->rows.capacity() * sizeof(Row));
    auto heap = [](const std::string &s) -> qint64 {
        // libstdc++ keeps 15 bytes inline; longer text sits in a heap block with malloc's overhead.
        return s.capacity() > 15 ? qint64((s.capacity() + 1 + 8 + 15) / 16 * 16) : 0;
    };
    for (const Row &r : d->rows) {
        bytes += heap(r.data);
        if (r.orig) bytes += qint64(sizeof(std::string)) + 16 + heap(*r.orig);
    }
    return bytes;
}

} // namespace lumvard::platform
