#include "data/RoomStatus.h"

#include "platform/Command.h"

namespace lumvard {

bool ChangeRoomStatus(platform::Connection &connection, const QString &room, const QString &from,
                      const QString &to) {
    const int rows = platform::Command::run(
        connection, QStringLiteral("Update FJK set F103_04=:to Where F103_01=:room and F103_04=:from"),
        {{QStringLiteral("to"), to}, {QStringLiteral("room"), room}, {QStringLiteral("from"), from}});
    return rows == 1;
}

void RequireRoomStatusChange(platform::Connection &connection, const QString &room, const QString &from,
                             const QString &to) {
    if (!ChangeRoomStatus(connection, room, from, to)) throw RoomStatusChanged();
}

} // namespace lumvard
