#include "data/ReservationTakeUp.h"

#include "data/DM.h"
#include "data/RoomStatus.h"
#include "foundation/Errors.h"
#include "foundation/TextFormats.h"
#include "platform/Command.h"
#include "platform/Connection.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVariantMap>

namespace lumvard {

namespace {

// Attempts at a free check-in number while other workstations keep taking the one we hold.
constexpr int kNumberAttempts = 20;

const QString kOpen = QStringLiteral("否");
const QString kClosed = QStringLiteral("是");

QVariantMap checkInValues(const CheckIn &c) {
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
        {QStringLiteral("F104_16"), kOpen},
        {QStringLiteral("F104_17"), 0},
    };
}

// Text columns count GBK bytes; a value that does not fit is refused before anything is written
// (PostgreSQL would count characters and take it).
void checkWidths(platform::Connection &conn, const QVariantMap &values) {
    const platform::TableSchema &schema = conn.tableSchema(QStringLiteral("RZK"));
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

bool checkInNumberTaken(platform::Connection &conn, const QString &number) {
    QSqlQuery q = conn.run(QStringLiteral("Select count(*) from RZK Where F104_01=:no"),
                           {{QStringLiteral("no"), number}});
    const bool taken = q.next() && q.value(0).toInt() > 0;
    q.finish();
    return taken;
}

} // namespace

std::optional<OpenReservation> FindOpenReservation(platform::Connection &connection, const QString &room) {
    QSqlQuery q = connection.run(
        QStringLiteral("Select F106_01, F106_02, F106_03, F106_04, F106_05, F106_06, F106_07, F106_08 "
                       "From KRYDK Where F106_03=:room and F106_13=:open"),
        {{QStringLiteral("room"), room}, {QStringLiteral("open"), kOpen}});
    std::optional<OpenReservation> found;
    if (q.next()) {
        OpenReservation r;
        r.number = q.value(0).toString().trimmed();
        r.guestType = q.value(1).toString().trimmed();
        r.room = q.value(2).toString().trimmed();
        r.guest = q.value(3).toString().trimmed();
        r.documentType = q.value(4).toString().trimmed();
        r.documentNo = q.value(5).toString().trimmed();
        r.address = q.value(6).toString().trimmed();
        r.deposit = q.value(7).toDouble();
        // Several open reservations of one room: which guest arrived is not for us to guess.
        if (!q.next()) found = r;
    }
    q.finish();
    return found;
}

bool TakeUpReservation(TFDM &dm, const QString &reservationNo, CheckIn &c) {
    if (!c.checkedInAt.isValid()) throw Error(QStringLiteral("入住时间无效!"));
    platform::Connection &conn = dm.DBConn;
    checkWidths(conn, checkInValues(c));
    const QString insert = [&] {
        QStringList columns, params;
        const QVariantMap v = checkInValues(c);
        for (auto it = v.cbegin(); it != v.cend(); ++it) {
            columns << it.key();
            params << QLatin1Char(':') + it.key();
        }
        return QStringLiteral("Insert into RZK (%1) values (%2)")
            .arg(columns.join(QLatin1Char(',')), params.join(QLatin1Char(',')));
    }();

    for (int attempt = 1;; ++attempt) {
        try {
            platform::Transaction t(conn);
            // The room first: its row lock makes a second workstation wait here and then find it taken.
            if (!ChangeRoomStatus(conn, c.room, RoomStatusWord::Reserved, RoomStatusWord::Occupied)) {
                t.rollback();
                return false;
            }
            const int closed = platform::Command::run(
                conn,
                QStringLiteral("Update KRYDK set F106_13=:closed "
                               "Where F106_01=:no and F106_03=:room and F106_13=:open"),
                {{QStringLiteral("closed"), kClosed},
                 {QStringLiteral("no"), reservationNo},
                 {QStringLiteral("room"), c.room},
                 {QStringLiteral("open"), kOpen}});
            if (closed != 1) {
                t.rollback();
                return false;
            }
            platform::Command::run(conn, insert, checkInValues(c));
            t.commit();
            return true;
        } catch (const platform::DbError &e) {
            if (!e.isUniqueViolation() || attempt >= kNumberAttempts || !checkInNumberTaken(conn, c.number))
                throw;
            c.number = NextCheckInNumber(dm);
        }
    }
}

} // namespace lumvard
