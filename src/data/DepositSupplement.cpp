#include "data/DepositSupplement.h"

#include "foundation/TextFormats.h"
#include "platform/Command.h"

#include <cmath>

namespace lumvard {

SupplementAmount ReadSupplementAmount(const QString &text) {
    SupplementAmount a;
    const QString typed = text.trimmed();
    if (typed.isEmpty()) {
        a.refusal = kDepositZeroMessage;
        return a;
    }
    bool ok = false;
    a.value = parseNumber(typed, &ok);
    if (!ok)
        a.refusal = QStringLiteral("补交金额\"%1\"不是有效的数字!").arg(typed);
    else if (a.value < 0)
        a.refusal = QStringLiteral("补交金额不能为负数!");
    else if (a.value == 0)
        a.refusal = kDepositZeroMessage; // "0.0" adds nothing either
    return a;
}

bool SupplementDeposit(platform::Connection &connection, const QString &checkInNo, double seenDeposit,
                       double amount) {
    const double deposit = seenDeposit + amount;
    // Deposits are money: a difference below a hundredth of a cent is the same value read back.
    const int rows = platform::Command::run(
        connection,
        QStringLiteral("Update RZK set F104_07=:deposit, F104_08=coalesce(F104_06,0)+:total "
                       "Where F104_01=:no and F104_16=:open and abs(coalesce(F104_07,0)-:seen)<0.0001"),
        {{QStringLiteral("deposit"), deposit},
         {QStringLiteral("total"), deposit},
         {QStringLiteral("no"), checkInNo},
         {QStringLiteral("open"), QStringLiteral("否")},
         {QStringLiteral("seen"), seenDeposit}});
    return rows == 1;
}

} // namespace lumvard
