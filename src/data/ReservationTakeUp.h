#pragma once
// Taking up a reservation when its guest arrives: the check-in row, the closing of the reservation
// and the room's change from "预定房" to "入住房" are written together, and only while the reservation
// is still open and the room still reserved (another workstation may have cancelled or taken it up
// since the room was picked).
#include "data/FrontDesk.h"

#include <QString>
#include <optional>

namespace lumvard {

// The open reservation of a room, as the check-in takes it over.
struct OpenReservation {
    QString number;       // F106_01
    QString guestType;    // F106_02: shown, not stored with the check-in
    QString room;         // F106_03
    QString guest;        // F106_04
    QString documentType; // F106_05
    QString documentNo;   // F106_06
    QString address;      // F106_07
    double deposit = 0;   // F106_08: stays with the reservation, the check-in takes a new deposit
};

// The one open reservation of the room; nullopt when it has none or several. Raises DbError.
std::optional<OpenReservation> FindOpenReservation(platform::Connection &connection, const QString &room);

// Writes `checkIn` (for the reservation's room), closes reservation `reservationNo` and sets the room
// from "预定房" to "入住房", in one transaction. Returns false with nothing written when the reservation
// is no longer open or the room no longer reserved. A check-in number taken meanwhile is replaced by
// the next free one, left in `checkIn.number`. A text wider than its column raises lumvard::Error
// before anything is written; database errors raise platform::DbError with nothing written.
bool TakeUpReservation(TFDM &dm, const QString &reservationNo, CheckIn &checkIn);

} // namespace lumvard
