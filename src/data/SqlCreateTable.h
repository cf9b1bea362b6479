#pragma once
// The seven tables of the system: the catalogue, their CREATE statements on each engine, the
// creation of missing tables, key numbering and the date filters of the journal queries.
#include "platform/Connection.h"

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace lumvard {

class TFDM;

namespace platform {
class Query;
class Command;
} // namespace platform

struct TableEntry {
    QString table;       // "CZYK"
    QString description; // "操作员定义表"
};

// In the order in which tables are checked and created.
const QList<TableEntry> &TableCatalogue();

// The statements that create one table on the engine: the CREATE TABLE, followed by the indexes
// created with it. False (and nothing appended) for a name outside the catalogue (letter case
// ignored).
bool BuildCreateStatements(const QString &table, platform::Engine engine, QStringList &out);

// Creates, in catalogue order, every table the connected database lacks (names compared ignoring
// letter case). A failed table shows "创建…失败!" and stops: later tables are not attempted; tables
// created so far remain. An error reading the table list shows "创建数据表失败!请与管理员联系...".
bool CreateMissingTables(TFDM &dm);

// The next key of a journal or lookup table, zero-padded to the width: 1 when the caller's dataset
// is empty (no query runs), else the table's highest key + 1 (read through dm.QADOT). A stored "-1"
// (the column default) is ignored. Raises lumvard::Error when the maximum cannot be read or the
// next number does not fit the width.
QString NextSerialNo(TFDM &dm, const QString &table, const QString &keyColumn, int width, bool datasetEmpty);

// A piece of a WHERE clause with its bound values (names without the colon).
struct SqlFilter {
    QString sql;
    QVariantMap params;

    void bindTo(platform::Query &query) const;
    void bindTo(platform::Command &command) const;
};

// The same fragments serve both engines: dates are bound as 'yyyy-MM-dd' text, which both compare
// correctly against the stored date-times, and the ranges are half-open, so a time of 23:59:59
// belongs to its day. `param` is the parameter name stem (without the colon); the fragment binds
// param + "_from" and param + "_to", or param itself.

// column within the day.
SqlFilter DayFilter(const QString &column, const QString &param, const QDate &day);
// column within the days first..last, both included.
SqlFilter DayRangeFilter(const QString &column, const QString &param, const QDate &first, const QDate &last);
// column (a date-time) within the month of `month` (its day is ignored).
SqlFilter MonthFilter(const QString &column, const QString &param, const QDate &month);
// column (month text "yyyy-mm", like F105_11) within the year.
SqlFilter YearOfMonthTextFilter(const QString &column, const QString &param, int year);

} // namespace lumvard
