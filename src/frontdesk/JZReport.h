#pragma once
// The bill of a settlement: the settlement row with the check-in it closed. Money prints as "￥" and
// two decimals, the days as "1.50天".
#include "platform/gui/BandedReport.h"

namespace lumvard::platform {
class Query;
}

namespace lumvard::frontdesk {

class TJZRep : public platform::BandedReport {
public:
    // `settlement` holds the settlement row (the detail band prints it); `checkIn` the check-in row
    // it closed, read at its current row; `refund` the deposit to refund as prepared by the checkout.
    TJZRep(platform::Query &settlement, platform::Query &checkIn, const QString &refund);
};

} // namespace lumvard::frontdesk
