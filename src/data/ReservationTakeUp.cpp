#include "data/ReservationTakeUp.h"

#include "data/DM.h"
#include "data/RoomStatus.h"
#include "platform/Command.h"
#include "platform/Connection.h"

#include <QSqlQuery>

namespace lumvard {

namespace {

const QString kOpen = QStringLiteral("否");
const QString kClosed = QStringLiteral("是");

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
    return RegisterCheckIn(dm, c, RoomStatusWord::Reserved, [&] {
        const int closed =
            platform::Command::run(dm.DBConn,
                                   QStringLiteral("Update KRYDK set F106_13=:closed "
                                                  "Where F106_01=:no and F106_03=:room and F106_13=:open"),
                                   {{QStringLiteral("closed"), kClosed},
                                    {QStringLiteral("no"), reservationNo},
                                    {QStringLiteral("room"), c.room},
                                    {QStringLiteral("open"), kOpen}});
        return closed == 1;
    });
}

} // namespace lumvard
