#pragma once
// "预定转入住": the guest of a reservation arrives. The operator picks a reserved room; its one open
// reservation gives the guest's particulars (its deposit stays with the reservation: the check-in
// takes its own), the operator sets the rate, the deposit, the address and the companions, and
// registers: the check-in row, the closing of the reservation and the room's change from "预定房" to
// "入住房" are written together, only while the reservation is still open and the room still reserved.
#include "data/ReservationTakeUp.h"
#include "frontdesk/CheckInForm.h"

namespace lumvard::reservations {

class TFZRroom : public frontdesk::CheckInWindow {
    Q_OBJECT
public:
    explicit TFZRroom(QWidget *parent = nullptr);

    QLineEdit *DB10416 = nullptr; // 客人类别 (of the reservation, not stored)
    QLineEdit *DB10410 = nullptr; // 证件名称
    QLineEdit *DB10601 = nullptr; // hidden: the reservation being taken up

    void FJGridDblClick() override;
    void DB10405Exit() override;
    void DB10407Exit() override;
    void BDJClick() override;
    void BSXClick() override;
};

} // namespace lumvard::reservations
