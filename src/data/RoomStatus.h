#pragma once
// The room's status word (F103_04) is the hand-over between the sales windows, and several
// workstations sell the same rooms. A window therefore changes a room's status only from the status
// it saw when the operator picked the room: if another workstation changed it meanwhile, nothing is
// written and the operator is told to refresh.
#include "foundation/Errors.h"
#include "platform/Connection.h"

#include <QString>

namespace lumvard {

// The status words of FJK.F103_04.
namespace RoomStatusWord {
inline const QString Vacant = QStringLiteral("空房间");
inline const QString Occupied = QStringLiteral("入住房");
inline const QString Reserved = QStringLiteral("预定房");
inline const QString Cleaning = QStringLiteral("打扫中");
inline const QString Repair = QStringLiteral("修理中");
} // namespace RoomStatusWord

// Shown when the room (or its journal row) was changed by another workstation after it was picked.
inline const QString kRoomStatusChangedMessage = QStringLiteral("该房间状态已改变,请刷新后重新选择!");

// Raised when a room or journal row no longer reads what the operator picked; carries the message.
class RoomStatusChanged : public Error {
public:
    RoomStatusChanged()
        : Error(kRoomStatusChangedMessage) {}
};

// Sets F103_04 of the room to `to` only while it still reads `from`. Returns false (and writes
// nothing) when the room reads anything else or does not exist. Raises DbError on a database failure.
// Run it inside the caller's Transaction, together with the journal row it belongs to.
bool ChangeRoomStatus(platform::Connection &connection, const QString &room, const QString &from,
                      const QString &to);

// The same, raising RoomStatusChanged instead of returning false.
void RequireRoomStatusChange(platform::Connection &connection, const QString &room, const QString &from,
                             const QString &to);

} // namespace lumvard
