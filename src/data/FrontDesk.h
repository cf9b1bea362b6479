#pragma once
// The front desk's business rules without any window: the length of a stay and its charge, the
// check-in (RZK row + room "空房间" → "入住房") and the settlement (KRXFK row + the check-in closed),
// each written as one unit of work. Several workstations sell the same rooms, so each write only
// happens from the state the operator saw; a number taken meanwhile by another workstation is
// replaced by the next free one.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <functional>

namespace lumvard {

class TFDM;

namespace platform {
class Connection;
}

// The length of a stay in days, in steps of one half: the calendar days between the check-in date
// and today, plus half a day for a departure from 13:00 to 16:59 and a whole day from 17:00 on. A
// departure on the day of arrival counts one day whatever the hour; so does a check-in dated after
// `now` (another workstation's clock ahead of ours), which never yields a stay of less than a day.
double StayDays(const QDateTime &checkedInAt, const QDateTime &now);

// The room charge: price per night times days, not rounded.
double RoomCharge(double actualPrice, double days);

// A discount rate is a fraction of the standard price: above 0, at most 1.
bool IsValidRate(double rate);

// The actual price of a room at a discount rate, and the total a check-in takes: price plus deposit.
double ActualPrice(double standardPrice, double rate);
double CheckInTotal(double actualPrice, double deposit);

// One check-in row of RZK as registered.
struct CheckIn {
    QString number; // F104_01, 8 digits
    QString room;   // F104_02
    QString category;
    double standardPrice = 0;
    double rate = 1;
    double actualPrice = 0;
    double deposit = 0;
    double total = 0;
    QString guest;
    QString documentType;
    QString documentNo;
    QString address;
    int companions = 0;
    QString operatorCode;
    QDateTime checkedInAt;
};

// Writes the check-in row and sets the room from "空房间" to "入住房", together. Returns false and
// writes nothing when the room no longer reads "空房间" (another workstation took it). When the
// check-in number was taken meanwhile, the next free number is used and left in `checkIn.number`.
// A text wider than its column raises lumvard::Error before anything is written; database errors
// raise platform::DbError with nothing written.
bool RegisterCheckIn(TFDM &dm, CheckIn &checkIn);

// The same check-in writer for a room that reads `fromStatus` (a reservation taken up starts from
// "预定房"). `alsoInSameTransaction` runs after the room changed and before the row is inserted, in the
// same transaction; returning false rolls everything back and makes this return false. It may run
// again when the check-in number has to be replaced.
bool RegisterCheckIn(TFDM &dm, CheckIn &checkIn, const QString &fromStatus,
                     const std::function<bool()> &alsoInSameTransaction);

// One settlement row of KRXFK.
struct Settlement {
    QString number;   // F105_01
    QString room;     // F105_02
    QString category; // F105_03
    QString item = QStringLiteral("住宿费");
    double price = 0;  // F105_05
    double days = 0;   // F105_06
    double charge = 0; // F105_07
    QString operatorCode;
    QDateTime cashierTime; // F105_09: when the room was chosen
    QDate settledOn;       // F105_10 (time zero) and F105_11 (its month, "yyyy-MM")
};

// Writes the settlement row and closes the check-in `checkInNumber`, together. Returns false and
// writes nothing when that check-in is no longer open (settled by another workstation). A settlement
// number taken meanwhile is replaced by the next free one, left in `settlement.number`.
bool SettleCheckIn(TFDM &dm, const QString &checkInNumber, Settlement &settlement);

// The next check-in or settlement number (reads the table's highest number).
QString NextCheckInNumber(TFDM &dm);
QString NextSettlementNumber(TFDM &dm);

// Shown when the check-in to settle was closed by another workstation after the room was chosen.
inline const QString kCheckInClosedMessage = QStringLiteral("该房间已由其他收银台结帐,请刷新后重新选择!");

} // namespace lumvard
