#include "data/FrontDesk.h"

#include "data/DM.h"
#include "data/RoomStatus.h"
#include "data/SqlCreateTable.h"
#include "foundation/Errors.h"
#include "foundation/TextFormats.h"
#include "platform/Command.h"
#include "platform/Connection.h"

#include <QVariantMap>

namespace lumvard {

namespace {

// Attempts at a free number while other workstations keep taking the one we hold.
constexpr int kNumberAttempts = 20;

bool numberTaken(platform::Connection &conn, const QString &table, const QString &key,
                 const QString &number) {
    QSqlQuery q = conn.run(QStringLiteral("Select count(*) from %1 Where %2=:no").arg(table, key),
                           {{QStringLiteral("no"), number}});
    const bool taken = q.next() && q.value(0).toInt() > 0;
    q.finish();
    return taken;
}

// Text columns count GBK bytes; refuse a value that does not fit before anything is written (the
// server would count characters and take it).
void checkWidths(platform::Connection &conn, const QString &table, const QVariantMap &values) {
    const platform::TableSchema &schema = conn.tableSchema(table);
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const int column = schema.indexOf(it.key());
        if (column < 0) continue;
        const platform::ColumnInfo &info = schema.columns.at(column);
        if (info.type != platform::ColumnType::Text || info.width <= 0) continue;
        const QString text = it.value().toString();
        const qsizetype bytes = gbkLength(text);
        if (bytes < 0) throw Error(QStringLiteral("\"%1\"含有无法保存的字符!").arg(text));
        if (bytes > info.width)
            throw Error(
                QStringLiteral("\"%1\"超过了%2的宽度(%3个字节)!").arg(text, info.name).arg(info.width));
    }
}

QString insertSql(const QString &table, const QVariantMap &values) {
    QStringList columns, params;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        columns << it.key();
        params << QLatin1Char(':') + it.key();
    }
    return QStringLiteral("Insert into %1 (%2) values (%3)")
        .arg(table, columns.join(QLatin1Char(',')), params.join(QLatin1Char(',')));
}

// Runs `write` in one transaction; when it fails on a number that another workstation took
// meanwhile, takes the next free number and runs it again.
template <class Write, class Renumber>
bool writeNumbered(TFDM &dm, const QString &table, const QString &key, QString &number, Write write,
                   Renumber nextNumber) {
    for (int attempt = 1;; ++attempt) {
        try {
            platform::Transaction t(dm.DBConn);
            if (!write()) {
                t.rollback();
                return false;
            }
            t.commit();
            return true;
        } catch (const platform::DbError &e) {
            if (!e.isUniqueViolation() || attempt >= kNumberAttempts ||
                !numberTaken(dm.DBConn, table, key, number))
                throw;
            number = nextNumber(dm);
        }
    }
}

} // namespace

double StayDays(const QDateTime &checkedInAt, const QDateTime &now) {
    const qint64 days = checkedInAt.date().daysTo(now.date());
    if (days <= 0) return 1;
    const int hour = now.time().hour();
    if (hour >= 17) return double(days) + 1;
    if (hour >= 13) return double(days) + 0.5;
    return double(days);
}

double RoomCharge(double actualPrice, double days) {
    return actualPrice * days;
}

bool IsValidRate(double rate) {
    return rate > 0 && rate <= 1;
}

double ActualPrice(double standardPrice, double rate) {
    return standardPrice * rate;
}

double CheckInTotal(double actualPrice, double deposit) {
    return actualPrice + deposit;
}

QString NextCheckInNumber(TFDM &dm) {
    return NextSerialNo(dm, QStringLiteral("RZK"), QStringLiteral("F104_01"), 8, false);
}

QString NextSettlementNumber(TFDM &dm) {
    return NextSerialNo(dm, QStringLiteral("KRXFK"), QStringLiteral("F105_01"), 8, false);
}

bool RegisterCheckIn(TFDM &dm, CheckIn &c) {
    return RegisterCheckIn(dm, c, RoomStatusWord::Vacant, [] { return true; });
}

bool RegisterCheckIn(TFDM &dm, CheckIn &c, const QString &fromStatus,
                     const std::function<bool()> &alsoInSameTransaction) {
    if (!c.checkedInAt.isValid()) throw Error(QStringLiteral("入住时间无效!"));
    auto values = [&c] {
        return QVariantMap{
            {QStringLiteral("F104_01"), c.number},
            {QStringLiteral("F104_02"), c.room},
            {QStringLiteral("F104_03"), c.category},
            {QStringLiteral("F104_04"), c.standardPrice},
            {QStringLiteral("F104_05"), c.rate},
            {QStringLiteral("F104_06"), c.actualPrice},
            {QStringLiteral("F104_07"), c.deposit},
            {QStringLiteral("F104_08"), c.total},
            {QStringLiteral("F104_09"), c.guest},
            {QStringLiteral("F104_10"), c.documentType},
            {QStringLiteral("F104_11"), c.documentNo},
            {QStringLiteral("F104_12"), c.address},
            {QStringLiteral("F104_13"), c.companions},
            {QStringLiteral("F104_14"), c.operatorCode},
            {QStringLiteral("F104_15"), c.checkedInAt},
            {QStringLiteral("F104_16"), QStringLiteral("否")},
            {QStringLiteral("F104_17"), 0},
        };
    };
    checkWidths(dm.DBConn, QStringLiteral("RZK"), values());
    return writeNumbered(
        dm, QStringLiteral("RZK"), QStringLiteral("F104_01"), c.number,
        [&] {
            // The room first: its row lock makes a second workstation wait here and then find it taken.
            if (!ChangeRoomStatus(dm.DBConn, c.room, fromStatus, RoomStatusWord::Occupied)) return false;
            if (alsoInSameTransaction && !alsoInSameTransaction()) return false;
            const QVariantMap v = values();
            platform::Command::run(dm.DBConn, insertSql(QStringLiteral("RZK"), v), v);
            return true;
        },
        NextCheckInNumber);
}

bool SettleCheckIn(TFDM &dm, const QString &checkInNumber, Settlement &s) {
    if (!s.cashierTime.isValid() || !s.settledOn.isValid()) throw Error(QStringLiteral("结帐时间无效!"));
    auto values = [&s] {
        return QVariantMap{
            {QStringLiteral("F105_01"), s.number},
            {QStringLiteral("F105_02"), s.room},
            {QStringLiteral("F105_03"), s.category},
            {QStringLiteral("F105_04"), s.item},
            {QStringLiteral("F105_05"), s.price},
            {QStringLiteral("F105_06"), s.days},
            {QStringLiteral("F105_07"), s.charge},
            {QStringLiteral("F105_08"), s.operatorCode},
            {QStringLiteral("F105_09"), s.cashierTime},
            {QStringLiteral("F105_10"), QDateTime(s.settledOn, QTime(0, 0))},
            {QStringLiteral("F105_11"), formatMonth(s.settledOn)},
        };
    };
    checkWidths(dm.DBConn, QStringLiteral("KRXFK"), values());
    return writeNumbered(
        dm, QStringLiteral("KRXFK"), QStringLiteral("F105_01"), s.number,
        [&] {
            const int closed = platform::Command::run(
                dm.DBConn, QStringLiteral("Update RZK set F104_16=:yes Where F104_01=:no and F104_16=:open"),
                {{QStringLiteral("yes"), QStringLiteral("是")},
                 {QStringLiteral("no"), checkInNumber},
                 {QStringLiteral("open"), QStringLiteral("否")}});
            if (closed != 1) return false;
            const QVariantMap v = values();
            platform::Command::run(dm.DBConn, insertSql(QStringLiteral("KRXFK"), v), v);
            return true;
        },
        NextSettlementNumber);
}

} // namespace lumvard
