// Speed and memory of the dataset layer against the engines' own C interfaces, on the check-in journal
// (RZK). Prints one "name value" line per figure. PostgreSQL is measured when LUMVARD_TEST_PG is set
// ("host port user password", as scripts/with-postgres.sh exports it).
#include "platform/Query.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <string>
#include <unistd.h>
#include <vector>

using namespace lumvard::platform;

namespace {

const char *kCreate =
    "CREATE TABLE RZK (F104_01 varchar(8) NOT NULL DEFAULT '00000000', F104_02 varchar(4) NOT NULL DEFAULT "
    "'', "
    "F104_03 varchar(8) NOT NULL DEFAULT '', F104_04 float NOT NULL DEFAULT 0, F104_05 float NOT NULL "
    "DEFAULT 1, "
    "F104_06 float NOT NULL DEFAULT 0, F104_07 float NOT NULL DEFAULT 0, F104_08 float NOT NULL DEFAULT 0, "
    "F104_09 varchar(8) NOT NULL DEFAULT '', F104_10 varchar(8) NOT NULL DEFAULT '身份证', F104_11 "
    "varchar(20) NOT "
    "NULL DEFAULT '', F104_12 varchar(50) NOT NULL DEFAULT '', F104_13 int NOT NULL DEFAULT 0, F104_14 "
    "varchar(8) "
    "NOT NULL DEFAULT '', F104_15 %1 NOT NULL, F104_16 varchar(2) NOT NULL DEFAULT '否', F104_17 int NOT "
    "NULL "
    "DEFAULT 0, PRIMARY KEY (F104_01))";

// One realistic check-in, as the 17 texts the engines would hand back.
std::vector<std::string> makeRow(int i) {
    static const char *cats[] = {"标准间", "豪华间", "单人间", "套房"};
    static const double prices[] = {88, 128, 168, 298};
    static const double rates[] = {1, 0.9, 0.85, 0.8};
    static const char *family[] = {"王", "李", "张", "刘", "陈", "杨", "赵", "黄"};
    static const char *given[] = {"伟", "芳", "娜", "秀英", "敏", "静", "丽", "强", "磊", "军"};
    static const char *places[] = {"广东省广州市天河区体育西路", "北京市朝阳区建国路",
                                   "上海市浦东新区世纪大道", "浙江省杭州市西湖区文三路"};
    unsigned h = unsigned(i) * 2654435761u;
    auto pick = [&h](unsigned n) {
        h = h * 1103515245u + 12345u;
        return (h >> 16) % n;
    };
    char buf[64];
    std::vector<std::string> r;
    std::snprintf(buf, sizeof buf, "%08d", i);
    r.emplace_back(buf);
    std::snprintf(buf, sizeof buf, "%02u%02u", 1 + pick(12), 1 + pick(30));
    r.emplace_back(buf);
    const unsigned c = pick(4);
    r.emplace_back(cats[c]);
    const double price = prices[c], rate = rates[pick(4)];
    std::snprintf(buf, sizeof buf, "%g", price);
    r.emplace_back(buf);
    std::snprintf(buf, sizeof buf, "%g", rate);
    r.emplace_back(buf);
    std::snprintf(buf, sizeof buf, "%.15g", price * rate);
    r.emplace_back(buf);
    const double deposit = pick(2) ? 500 : 200;
    std::snprintf(buf, sizeof buf, "%g", deposit);
    r.emplace_back(buf);
    r.emplace_back(buf);
    const unsigned g = pick(10);
    r.emplace_back(std::string(family[pick(8)]) + given[g] + (g != 3 && pick(2) ? given[pick(3)] : ""));
    r.emplace_back("身份证");
    std::snprintf(buf, sizeof buf, "4401%02u19%02u%02u%02u%04u", pick(20), 50 + pick(50), 1 + pick(12),
                  1 + pick(28), pick(10000));
    r.emplace_back(buf);
    std::snprintf(buf, sizeof buf, "%u号", 1 + pick(300));
    r.emplace_back(std::string(places[pick(4)]) + buf);
    std::snprintf(buf, sizeof buf, "%u", pick(3));
    r.emplace_back(buf);
    r.emplace_back("1001");
    std::snprintf(buf, sizeof buf, "20%02u-%02u-%02u %02u:%02u:%02u", 10 + pick(14), 1 + pick(12),
                  1 + pick(28), pick(24), pick(60), pick(60));
    r.emplace_back(buf);
    r.emplace_back(pick(10) ? "是" : "否");
    r.emplace_back("0");
    return r;
}

enum Kind { KText, KFloat, KInt, KDate };
const Kind kKinds[17] = {KText, KText, KText, KFloat, KFloat, KFloat, KFloat, KFloat, KText,
                         KText, KText, KText, KInt,   KText,  KDate,  KText,  KInt};

double ms(const QElapsedTimer &t) {
    return double(t.nsecsElapsed()) / 1e6;
}

long rssBytes() {
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toLong() * sysconf(_SC_PAGESIZE) : 0;
}

void print(const char *name, double value) {
    std::printf("%s %.3f\n", name, value), std::fflush(stdout);
}

double best(int runs, const std::function<double()> &f) {
    double b = 1e300;
    for (int i = 0; i < runs; ++i)
        b = std::min(b, f());
    return b;
}

// --- SQLite ----------------------------------------------------------------------------------------

void sqliteExec(sqlite3 *db, const char *sql) {
    char *err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        std::fprintf(stderr, "sqlite: %s: %s\n", sql, err);
        std::exit(1);
    }
}

void sqliteBind(sqlite3_stmt *st, const std::vector<std::string> &r) {
    for (int c = 0; c < 17; ++c) {
        const std::string &v = r[size_t(c)];
        switch (kKinds[c]) {
        case KFloat:
            sqlite3_bind_double(st, c + 1, std::stod(v));
            break;
        case KInt:
            sqlite3_bind_int(st, c + 1, std::stoi(v));
            break;
        default:
            sqlite3_bind_text(st, c + 1, v.data(), int(v.size()), SQLITE_STATIC);
            break;
        }
    }
}

const char *kInsert = "INSERT INTO RZK VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";

void sqliteFill(sqlite3 *db, int from, int count) {
    sqlite3_stmt *st = nullptr;
    sqliteExec(db, "BEGIN");
    sqlite3_prepare_v2(db, kInsert, -1, &st, nullptr);
    for (int i = from; i < from + count; ++i) {
        const auto r = makeRow(i);
        sqliteBind(st, r);
        if (sqlite3_step(st) != SQLITE_DONE) {
            std::fprintf(stderr, "sqlite insert: %s\n", sqlite3_errmsg(db));
            std::exit(1);
        }
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqliteExec(db, "COMMIT");
}

// Reads every column of every row in its own type; returns the bytes of the rows as text.
double sqliteScan(sqlite3 *db, long long *rawBytes) {
    QElapsedTimer t;
    t.start();
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "select * from RZK", -1, &st, nullptr);
    long long bytes = 0;
    double sum = 0;
    const int n = sqlite3_column_count(st);
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < n; ++c) {
            switch (sqlite3_column_type(st, c)) {
            case SQLITE_INTEGER:
                sum += double(sqlite3_column_int64(st, c));
                break;
            case SQLITE_FLOAT:
                sum += sqlite3_column_double(st, c);
                break;
            case SQLITE_TEXT:
                sum += *sqlite3_column_text(st, c);
                bytes += sqlite3_column_bytes(st, c);
                break;
            default:
                break;
            }
        }
    }
    sqlite3_finalize(st);
    const double elapsed = ms(t);
    if (rawBytes) {
        // The size of the same rows as text, for the memory figure.
        long long text = 0;
        sqlite3_prepare_v2(db, "select * from RZK", -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW)
            for (int c = 0; c < n; ++c) {
                sqlite3_column_text(st, c);
                text += sqlite3_column_bytes(st, c);
            }
        sqlite3_finalize(st);
        *rawBytes = text;
    }
    if (sum == 0.123) std::puts("");
    return elapsed;
}

double queryOpen(Connection &c, long *rssDelta, qint64 *cache, int *rows) {
    const long before = rssBytes();
    QElapsedTimer t;
    t.start();
    Query q(&c);
    q.setSql(QStringLiteral("select * from RZK"));
    q.open();
    const double elapsed = ms(t);
    if (rssDelta) *rssDelta = rssBytes() - before;
    if (cache) *cache = q.cacheBytes();
    if (rows) *rows = q.recordCount();
    return elapsed;
}

void appendRows(Query &q, int from, int count) {
    const auto setRow = [&q](const std::vector<std::string> &r) {
        for (int c = 0; c < 17; ++c) {
            const QString v = QString::fromUtf8(r[size_t(c)].data(), qsizetype(r[size_t(c)].size()));
            Field f = q.field(c);
            switch (kKinds[c]) {
            case KFloat:
                f.setAsFloat(v.toDouble());
                break;
            case KInt:
                f.setAsInteger(v.toInt());
                break;
            case KDate:
                f.setAsDateTime(QDateTime::fromString(v, QStringLiteral("yyyy-MM-dd hh:mm:ss")));
                break;
            default:
                f.setAsString(v);
            }
        }
    };
    for (int i = from; i < from + count; ++i) {
        q.append();
        setRow(makeRow(i));
        q.post();
    }
}

void benchSqlite(const QString &dir, int small, int big, int batch) {
    const QString path = dir + QStringLiteral("/bench.db");
    sqlite3 *raw = nullptr;
    sqlite3_open(path.toUtf8().constData(), &raw);
    sqliteExec(raw, "PRAGMA journal_mode=WAL");
    sqliteExec(raw, QString::fromUtf8(kCreate).arg(QStringLiteral("datetime")).toUtf8().constData());

    ConnectionSettings s;
    s.engine = Engine::SQLite;
    s.filePath = path;
    Connection conn;
    if (!conn.open(s)) {
        std::fprintf(stderr, "open: %s\n", qPrintable(conn.lastError()));
        std::exit(1);
    }
    int have = 0;
    for (int n : {small, big}) {
        QElapsedTimer fill;
        fill.start();
        sqliteFill(raw, have, n - have);
        have = n;
        std::fprintf(stderr, "sqlite: %d rows filled in %.0f ms\n", n, ms(fill));
        const int runs = n > 200000 ? 1 : 3;
        long long rawBytes = 0;
        sqliteScan(raw, &rawBytes);
        const double engine = best(runs, [&] { return sqliteScan(raw, nullptr); });
        long rss = 0;
        qint64 cache = 0;
        int rows = 0;
        queryOpen(conn, nullptr, nullptr, nullptr); // warm
        const double query = best(runs, [&] { return queryOpen(conn, &rss, &cache, &rows); });
        const char *tag = n == small ? "100k" : "1m";
        char name[64];
        std::snprintf(name, sizeof name, "open_%s_engine_ms_sqlite", tag);
        print(name, engine);
        std::snprintf(name, sizeof name, "open_%s_query_ms_sqlite", tag);
        print(name, query);
        std::snprintf(name, sizeof name, "open_%s_ratio_sqlite", tag);
        print(name, query / engine);
        std::snprintf(name, sizeof name, "row_bytes_raw_%s_sqlite", tag);
        print(name, double(rawBytes) / rows);
        std::snprintf(name, sizeof name, "row_bytes_cache_%s_sqlite", tag);
        print(name, double(cache) / rows);
        std::snprintf(name, sizeof name, "row_bytes_rss_%s_sqlite", tag);
        print(name, double(rss) / rows);
        std::snprintf(name, sizeof name, "memory_ratio_%s_sqlite", tag);
        print(name, double(cache) / double(rawBytes)); // held by the cache; RSS also counts freed peaks
    }

    // Batch of appended rows vs the same inserts prepared once in one transaction.
    const int base = 50000000;
    const double engine = best(3, [&] {
        QElapsedTimer t;
        t.start();
        sqliteFill(raw, base, batch);
        const double e = ms(t);
        sqliteExec(raw, "DELETE FROM RZK WHERE F104_01 >= '50000000'");
        return e;
    });
    const double query = best(3, [&] {
        Query q(&conn);
        q.setSql(QStringLiteral("select * from RZK where F104_01='A'"));
        q.open();
        appendRows(q, base, batch);
        QElapsedTimer t;
        t.start();
        q.applyUpdates();
        const double e = ms(t);
        sqliteExec(raw, "DELETE FROM RZK WHERE F104_01 >= '50000000'");
        return e;
    });
    print("batch_10k_engine_ms_sqlite", engine);
    print("batch_10k_query_ms_sqlite", query);
    print("batch_10k_ratio_sqlite", query / engine);
    conn.close();
    sqlite3_close(raw);
}

// --- PostgreSQL ------------------------------------------------------------------------------------

PGconn *pgConnect(const ConnectionSettings &s, const QString &db) {
    const QString info = QStringLiteral("host=%1 port=%2 user=%3 password=%4 dbname=%5")
                             .arg(s.host)
                             .arg(s.port)
                             .arg(s.user, s.password, db);
    PGconn *c = PQconnectdb(info.toUtf8().constData());
    if (PQstatus(c) != CONNECTION_OK) {
        std::fprintf(stderr, "libpq: %s\n", PQerrorMessage(c));
        std::exit(1);
    }
    return c;
}

void pgExec(PGconn *c, const char *sql) {
    PGresult *r = PQexec(c, sql);
    if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK) {
        std::fprintf(stderr, "libpq: %s: %s\n", sql, PQerrorMessage(c));
        std::exit(1);
    }
    PQclear(r);
}

void pgFill(PGconn *c, int from, int count) {
    PGresult *r = PQexec(c, "COPY RZK FROM STDIN");
    PQclear(r);
    std::string buf;
    for (int i = from; i < from + count; ++i) {
        const auto row = makeRow(i);
        for (int k = 0; k < 17; ++k) {
            buf += row[size_t(k)];
            buf += k == 16 ? '\n' : '\t';
        }
        if (buf.size() > 1 << 20) {
            PQputCopyData(c, buf.data(), int(buf.size()));
            buf.clear();
        }
    }
    PQputCopyData(c, buf.data(), int(buf.size()));
    PQputCopyEnd(c, nullptr);
    r = PQgetResult(c);
    if (PQresultStatus(r) != PGRES_COMMAND_OK) {
        std::fprintf(stderr, "copy: %s\n", PQerrorMessage(c));
        std::exit(1);
    }
    PQclear(r);
    while ((r = PQgetResult(c)))
        PQclear(r);
}

double pgScan(PGconn *c, long long *rawBytes) {
    QElapsedTimer t;
    t.start();
    PGresult *r = PQexec(c, "select * from RZK");
    const int rows = PQntuples(r), cols = PQnfields(r);
    long long bytes = 0;
    unsigned touch = 0;
    for (int i = 0; i < rows; ++i)
        for (int k = 0; k < cols; ++k) {
            touch += unsigned(*PQgetvalue(r, i, k));
            bytes += PQgetlength(r, i, k);
        }
    PQclear(r);
    const double e = ms(t);
    if (rawBytes) *rawBytes = bytes;
    if (touch == 1) std::puts("");
    return e;
}

void benchPostgres(const ConnectionSettings &server, int small, int big, int batch) {
    {
        PGconn *admin = pgConnect(server, QStringLiteral("postgres"));
        pgExec(admin, "DROP DATABASE IF EXISTS lumvard_bench");
        pgExec(admin, "CREATE DATABASE lumvard_bench");
        PQfinish(admin);
    }
    PGconn *raw = pgConnect(server, QStringLiteral("lumvard_bench"));
    pgExec(raw, QString::fromUtf8(kCreate).arg(QStringLiteral("timestamp")).toUtf8().constData());
    ConnectionSettings s = server;
    s.database = QStringLiteral("lumvard_bench");
    Connection conn;
    if (!conn.open(s)) {
        std::fprintf(stderr, "open: %s\n", qPrintable(conn.lastError()));
        std::exit(1);
    }
    int have = 0;
    for (int n : {small, big}) {
        QElapsedTimer fill;
        fill.start();
        pgFill(raw, have, n - have);
        have = n;
        pgExec(raw, "VACUUM ANALYZE RZK");
        std::fprintf(stderr, "postgres: %d rows filled in %.0f ms\n", n, ms(fill));
        const int runs = n > 200000 ? 1 : 3;
        long long rawBytes = 0;
        pgScan(raw, &rawBytes);
        const double engine = best(runs, [&] { return pgScan(raw, nullptr); });
        long rss = 0;
        qint64 cache = 0;
        int rows = 0;
        queryOpen(conn, nullptr, nullptr, nullptr);
        const double query = best(runs, [&] { return queryOpen(conn, &rss, &cache, &rows); });
        const char *tag = n == small ? "100k" : "1m";
        char name[64];
        std::snprintf(name, sizeof name, "open_%s_engine_ms_postgres", tag);
        print(name, engine);
        std::snprintf(name, sizeof name, "open_%s_query_ms_postgres", tag);
        print(name, query);
        std::snprintf(name, sizeof name, "open_%s_ratio_postgres", tag);
        print(name, query / engine);
        std::snprintf(name, sizeof name, "row_bytes_raw_%s_postgres", tag);
        print(name, double(rawBytes) / rows);
        std::snprintf(name, sizeof name, "row_bytes_cache_%s_postgres", tag);
        print(name, double(cache) / rows);
        std::snprintf(name, sizeof name, "row_bytes_rss_%s_postgres", tag);
        print(name, double(rss) / rows);
        std::snprintf(name, sizeof name, "memory_ratio_%s_postgres", tag);
        print(name, double(cache) / double(rawBytes)); // held by the cache; RSS also counts freed peaks
    }

    const int base = 50000000;
    const double engine = best(3, [&] {
        QElapsedTimer t;
        t.start();
        pgExec(raw, "BEGIN");
        PGresult *p = PQprepare(raw, "ins",
                                "INSERT INTO RZK VALUES ($1,$2,$3,$4,$5,$6,$7,$8,$9,$10,$11,$12,$13,$14,"
                                "$15,$16,$17)",
                                17, nullptr);
        PQclear(p);
        for (int i = base; i < base + batch; ++i) {
            const auto row = makeRow(i);
            const char *values[17];
            for (int k = 0; k < 17; ++k)
                values[k] = row[size_t(k)].c_str();
            PGresult *r = PQexecPrepared(raw, "ins", 17, values, nullptr, nullptr, 0);
            if (PQresultStatus(r) != PGRES_COMMAND_OK) {
                std::fprintf(stderr, "insert: %s\n", PQerrorMessage(raw));
                std::exit(1);
            }
            PQclear(r);
        }
        pgExec(raw, "COMMIT");
        const double e = ms(t);
        pgExec(raw, "DEALLOCATE ins");
        pgExec(raw, "DELETE FROM RZK WHERE F104_01 >= '50000000'");
        return e;
    });
    const double query = best(3, [&] {
        Query q(&conn);
        q.setSql(QStringLiteral("select * from RZK where F104_01='A'"));
        q.open();
        appendRows(q, base, batch);
        QElapsedTimer t;
        t.start();
        q.applyUpdates();
        const double e = ms(t);
        pgExec(raw, "DELETE FROM RZK WHERE F104_01 >= '50000000'");
        return e;
    });
    print("batch_10k_engine_ms_postgres", engine);
    print("batch_10k_query_ms_postgres", query);
    print("batch_10k_ratio_postgres", query / engine);
    conn.close();
    PQfinish(raw);
    PGconn *admin = pgConnect(server, QStringLiteral("postgres"));
    pgExec(admin, "DROP DATABASE IF EXISTS lumvard_bench");
    PQfinish(admin);
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int small = qEnvironmentVariableIntValue("LUMVARD_BENCH_SMALL") > 0
                          ? qEnvironmentVariableIntValue("LUMVARD_BENCH_SMALL")
                          : 100000;
    const int big = qEnvironmentVariableIntValue("LUMVARD_BENCH_BIG") > 0
                        ? qEnvironmentVariableIntValue("LUMVARD_BENCH_BIG")
                        : 1000000;
    const int batch = 10000;
    const QString only = qEnvironmentVariable("LUMVARD_BENCH_ONLY"); // "sqlite" or "postgres"
    QTemporaryDir dir;
    if (only.isEmpty() || only == QLatin1String("sqlite")) benchSqlite(dir.path(), small, big, batch);
    const QStringList pg =
        qEnvironmentVariable("LUMVARD_TEST_PG").split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (pg.size() >= 4 && (only.isEmpty() || only == QLatin1String("postgres"))) {
        ConnectionSettings s;
        s.engine = Engine::PostgreSQL;
        s.host = pg[0];
        s.port = pg[1].toInt();
        s.user = pg[2];
        s.password = pg[3];
        benchPostgres(s, small, big, batch);
    } else if (only.isEmpty()) {
        std::fprintf(stderr, "PostgreSQL skipped (LUMVARD_TEST_PG not set)\n");
    }
    return 0;
}
