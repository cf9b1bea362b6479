#pragma once
// The deposit receipt: one RZK row, printed after a check-in, a supplementary deposit or a
// reservation taken up. The deposit base belongs to each print request: "押金:" prints the deposit
// of the row minus the base (0 prints the whole deposit; the supplementary deposit passes the
// deposit held before, so that only the amount just paid prints).
#include "platform/gui/BandedReport.h"

namespace lumvard::platform {
class Query;
}

namespace lumvard::frontdesk {

class TYJRep : public platform::BandedReport {
public:
    // `row` holds the one check-in row to print (the detail band prints it).
    explicit TYJRep(platform::Query &row, double depositBase = 0);

    double depositBase() const { return m_depositBase; }

private:
    double m_depositBase;
};

} // namespace lumvard::frontdesk
