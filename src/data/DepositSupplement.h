#pragma once
// A further deposit for a guest still checked in: the deposit of the RZK row grows by the amount paid
// and its total is recomputed (actual price + new deposit). The change is made only from the deposit
// the operator saw when selecting the check-in, so a supplement taken meanwhile at another
// workstation is never overwritten.
#include <QString>

namespace lumvard {

namespace platform {
class Connection;
}

inline const QString kDepositZeroMessage = QStringLiteral("押金不能为零!");
inline const QString kSupplementFailedMessage = QStringLiteral("补交失败!");

// The amount as typed. `refusal` is empty when the text is a usable amount (a number above zero,
// decimals allowed: they are money too); otherwise it holds the message for the operator.
struct SupplementAmount {
    double value = 0;
    QString refusal;
    bool accepted() const { return refusal.isEmpty(); }
};
SupplementAmount ReadSupplementAmount(const QString &text);

// Adds `amount` to the deposit of the open check-in `checkInNo` while that deposit still reads
// `seenDeposit`; the total becomes actual price + the new deposit. False, and nothing written, when
// the deposit was changed meanwhile, the check-in was closed or does not exist. Raises DbError.
bool SupplementDeposit(platform::Connection &connection, const QString &checkInNo, double seenDeposit,
                       double amount);

} // namespace lumvard
