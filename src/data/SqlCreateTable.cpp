#include "data/SqlCreateTable.h"

#include "data/DM.h"
#include "foundation/Errors.h"
#include "foundation/XDias.h"
#include "platform/Command.h"
#include "platform/Query.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <array>

namespace lumvard {

using platform::Engine;

namespace {

enum class Kind { Text, Float, Int, DateTime, Memo };

struct ColumnDef {
    const char *name;
    Kind kind;
    int width; // Text only
    bool notNull;
    const char *deflt; // SQL literal of the default; nullptr for none
};

struct TableDef {
    const char *table;
    const char *description;
    const char *key;
    QList<ColumnDef> columns;
    // Partial unique indexes created with the table: {name, column, condition}.
    QList<std::array<const char *, 3>> uniqueWhere;
};

const QList<TableDef> &tableDefs() {
    static const QList<TableDef> defs = {
        {"CZYK",
         "操作员定义表",
         "F107_01",
         {
             {"F107_01", Kind::Int, 0, true, "1000"},
             {"F107_02", Kind::Text, 8, true, "'新操作员'"},
             {"F107_03", Kind::Text, 12, false, nullptr},
             {"F107_04", Kind::Memo, 0, false, nullptr},
         },
         {}},
        {"LCK",
         "楼层定义表",
         "F101_01",
         {
             {"F101_01", Kind::Text, 3, true, "'-1'"},
             {"F101_02", Kind::Text, 8, true, "'新楼层'"},
         },
         {}},
        {"LBK",
         "类别定义表",
         "F102_01",
         {
             {"F102_01", Kind::Text, 3, true, "'-1'"},
             {"F102_02", Kind::Text, 8, true, "'新类别'"},
         },
         {}},
        {"FJK",
         "房间定义表",
         "F103_01",
         {
             {"F103_01", Kind::Text, 4, true, "'0000'"},
             {"F103_02", Kind::Text, 8, true, "'类别'"},
             {"F103_03", Kind::Text, 8, true, "'楼层'"},
             {"F103_04", Kind::Text, 8, true, "'状态'"},
             {"F103_05", Kind::Float, 0, true, "0"},
         },
         {}},
        {"RZK",
         "入住定义表",
         "F104_01",
         {
             {"F104_01", Kind::Text, 8, true, "'00000000'"},
             {"F104_02", Kind::Text, 4, true, "''"},
             {"F104_03", Kind::Text, 8, true, "''"},
             {"F104_04", Kind::Float, 0, true, "0"},
             {"F104_05", Kind::Float, 0, true, "1"},
             {"F104_06", Kind::Float, 0, true, "0"},
             {"F104_07", Kind::Float, 0, true, "0"},
             {"F104_08", Kind::Float, 0, true, "0"},
             {"F104_09", Kind::Text, 8, true, "''"},
             {"F104_10", Kind::Text, 8, true, "'身份证'"},
             {"F104_11", Kind::Text, 20, true, "''"},
             {"F104_12", Kind::Text, 50, true, "''"},
             {"F104_13", Kind::Int, 0, true, "0"},
             {"F104_14", Kind::Text, 8, true, "''"},
             {"F104_15", Kind::DateTime, 0, true, nullptr},
             {"F104_16", Kind::Text, 2, true, "'否'"},
             {"F104_17", Kind::Int, 0, true, "0"},
         },
         // A room has at most one guest checked in at a time, whichever workstation registers.
         {{"UX_RZK_OpenRoom", "F104_02", "F104_16='否'"}}},
        {"KRXFK",
         "客人消费定义表",
         "F105_01",
         {
             {"F105_01", Kind::Text, 8, true, "'00000000'"},
             {"F105_02", Kind::Text, 4, true, "''"},
             {"F105_03", Kind::Text, 10, true, "''"},
             {"F105_04", Kind::Text, 10, true, "''"},
             {"F105_05", Kind::Float, 0, true, "0"},
             {"F105_06", Kind::Float, 0, true, "0"},
             {"F105_07", Kind::Float, 0, true, "0"},
             {"F105_08", Kind::Text, 8, true, "''"},
             {"F105_09", Kind::DateTime, 0, true, nullptr},
             {"F105_10", Kind::DateTime, 0, true, nullptr},
             {"F105_11", Kind::Text, 7, true, nullptr},
         },
         {}},
        {"KRYDK",
         "客人预定定义表",
         "F106_01",
         {
             {"F106_01", Kind::Text, 8, true, "'00000000'"},
             {"F106_02", Kind::Text, 4, true, "'散客'"},
             {"F106_03", Kind::Text, 4, true, "''"},
             {"F106_04", Kind::Text, 8, true, "''"},
             {"F106_05", Kind::Text, 8, true, "''"},
             {"F106_06", Kind::Text, 20, true, "''"},
             {"F106_07", Kind::Text, 50, true, "''"},
             {"F106_08", Kind::Float, 0, true, "0"},
             {"F106_09", Kind::Text, 15, true, "''"},
             {"F106_10", Kind::Text, 8, true, "''"},
             {"F106_11", Kind::DateTime, 0, true, nullptr},
             {"F106_12", Kind::Memo, 0, false, nullptr},
             {"F106_13", Kind::Text, 2, true, "'否'"},
         },
         // A room is reserved by at most one open reservation at a time.
         {{"UX_KRYDK_OpenRoom", "F106_03", "F106_13='否'"}}},
    };
    return defs;
}

QString typeName(const ColumnDef &c, Engine engine) {
    const bool pg = engine == Engine::PostgreSQL;
    switch (c.kind) {
    case Kind::Text:
        return QStringLiteral("varchar(%1)").arg(c.width);
    case Kind::Float:
        return pg ? QStringLiteral("double precision") : QStringLiteral("float");
    case Kind::Int:
        return pg ? QStringLiteral("integer") : QStringLiteral("int");
    case Kind::DateTime:
        return pg ? QStringLiteral("timestamp(0) without time zone") : QStringLiteral("datetime");
    case Kind::Memo:
        return QStringLiteral("text");
    }
    return {};
}

const TableDef *findDef(const QString &table) {
    for (const TableDef &d : tableDefs())
        if (table.compare(QLatin1String(d.table), Qt::CaseInsensitive) == 0) return &d;
    return nullptr;
}

bool isIdentifier(const QString &name) {
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(name).hasMatch();
}

} // namespace

const QList<TableEntry> &TableCatalogue() {
    static const QList<TableEntry> catalogue = [] {
        QList<TableEntry> list;
        for (const TableDef &d : tableDefs())
            list.append({QString::fromUtf8(d.table), QString::fromUtf8(d.description)});
        return list;
    }();
    return catalogue;
}

bool BuildCreateStatements(const QString &table, Engine engine, QStringList &out) {
    const TableDef *def = findDef(table);
    if (!def) return false;
    const QString name = QString::fromUtf8(def->table);
    QStringList parts;
    for (const ColumnDef &c : def->columns) {
        QString col = QString::fromUtf8(c.name) + QLatin1Char(' ') + typeName(c, engine);
        col += c.notNull ? QStringLiteral(" NOT NULL") : QStringLiteral(" NULL");
        if (c.deflt) col += QStringLiteral(" DEFAULT ") + QString::fromUtf8(c.deflt);
        parts << col;
    }
    parts << QStringLiteral("CONSTRAINT PK_%1 PRIMARY KEY (%2)").arg(name, QString::fromUtf8(def->key));
    out << QStringLiteral("CREATE TABLE %1 (%2)").arg(name, parts.join(QStringLiteral(", ")));
    for (const auto &ix : def->uniqueWhere)
        out << QStringLiteral("CREATE UNIQUE INDEX %1 ON %2 (%3) WHERE %4")
                   .arg(QString::fromUtf8(ix[0]), name, QString::fromUtf8(ix[1]), QString::fromUtf8(ix[2]));
    return true;
}

bool CreateMissingTables(TFDM &dm) {
    try {
        dm.TableNames = dm.DBConn.userTables();
        for (const TableEntry &entry : TableCatalogue()) {
            if (dm.TableNames.contains(entry.table, Qt::CaseInsensitive)) continue;
            QStringList statements;
            BuildCreateStatements(entry.table, dm.DBConn.engine(), statements);
            // A table and its indexes come as one unit, so a failure leaves no half-made table.
            bool created = false;
            {
                platform::Transaction tx(dm.DBConn);
                if (dm.ExecScript(statements)) {
                    try {
                        tx.commit();
                        created = true;
                    } catch (const std::exception &) {
                    }
                }
            }
            if (!created) {
                ShowSystemBox(QCoreApplication::applicationName(),
                              QStringLiteral("创建") + entry.description +
                                  QStringLiteral("失败!\r\n请检查数据库..."),
                              MessageRequest::Icon::Information);
                return false;
            }
            dm.TableNames << entry.table;
        }
        dm.DBConn.forgetSchemas();
        return true;
    } catch (const std::exception &) {
        ShowSystemBox(QStringLiteral("错误"), QStringLiteral("创建数据表失败!请与管理员联系..."),
                      MessageRequest::Icon::Error);
        return false;
    }
}

QString NextSerialNo(TFDM &dm, const QString &table, const QString &keyColumn, int width, bool datasetEmpty) {
    qint64 next = 1;
    if (!datasetEmpty) {
        if (!isIdentifier(table) || !isIdentifier(keyColumn))
            throw Error(QStringLiteral("无效的表名或字段名: %1.%2").arg(table, keyColumn));
        // The column default "-1" is no number of ours; leaving it out also keeps the text maximum
        // independent of how the collation orders "-".
        const QString sql =
            QStringLiteral("Select MAX(%1) as ID from %2 Where %1<>'-1'").arg(keyColumn, table);
        if (!dm.OpenSql(dm.QADOT, sql))
            throw Error(QStringLiteral("读取%1的最大编号失败!\r\n%2").arg(table, dm.lastError()));
        const platform::Field id = dm.QADOT.fieldByName(QStringLiteral("ID"));
        if (!id.isNull()) {
            const QString text = id.asString().trimmed();
            bool ok = false;
            const qint64 max = text.toLongLong(&ok);
            if (!ok || max < 0)
                throw Error(QStringLiteral("%1的编号\"%2\"不是数字,无法生成新编号!").arg(table, text));
            next = max + 1;
        }
    }
    const QString digits = QString::number(next);
    if (digits.size() > width)
        throw Error(QStringLiteral("%1的编号已用完(最多%2位),无法生成新编号!").arg(table).arg(width));
    return digits.rightJustified(width, QLatin1Char('0'));
}

void SqlFilter::bindTo(platform::Query &query) const {
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        query.bindValue(it.key(), it.value());
}

void SqlFilter::bindTo(platform::Command &command) const {
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        command.bindValue(it.key(), it.value());
}

namespace {

QString dateText(const QDate &d) {
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

// column in [from, to): half-open, so the last second of a day stays in it and midnight starts the next.
SqlFilter halfOpen(const QString &column, const QString &param, const QDate &from, const QDate &to) {
    const QString p1 = param + QStringLiteral("_from");
    const QString p2 = param + QStringLiteral("_to");
    SqlFilter f;
    f.sql = QStringLiteral("%1>=:%2 and %1<:%3").arg(column, p1, p2);
    f.params.insert(p1, dateText(from));
    f.params.insert(p2, dateText(to));
    return f;
}

} // namespace

SqlFilter DayFilter(const QString &column, const QString &param, const QDate &day) {
    return halfOpen(column, param, day, day.addDays(1));
}

SqlFilter DayRangeFilter(const QString &column, const QString &param, const QDate &first, const QDate &last) {
    return halfOpen(column, param, first, last.addDays(1));
}

SqlFilter MonthFilter(const QString &column, const QString &param, const QDate &month) {
    const QDate start(month.year(), month.month(), 1);
    return halfOpen(column, param, start, start.addMonths(1));
}

SqlFilter YearOfMonthTextFilter(const QString &column, const QString &param, int year) {
    SqlFilter f;
    f.sql = QStringLiteral("substr(%1,1,4)=:%2").arg(column, param);
    f.params.insert(param, QString::number(year).rightJustified(4, QLatin1Char('0')));
    return f;
}

} // namespace lumvard
