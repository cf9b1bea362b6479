#pragma once
// The reservation deposit receipt: one KRYDK row, printed from the reservation window after a save.
#include "platform/gui/BandedReport.h"

namespace lumvard::platform {
class Query;
}

namespace lumvard::reservations {

class TYddjRep : public platform::BandedReport {
public:
    // `saved` holds the saved reservation (the detail band prints its row); the deposit is read from
    // the current row of `entered`, the window's dataset the reservation was written from.
    TYddjRep(platform::Query &saved, platform::Query &entered);
};

} // namespace lumvard::reservations
