#include "reservations/ZRroom.h"

#include "data/DM.h"
#include "data/FrontDesk.h"
#include "data/RoomStatus.h"
#include "foundation/TextFormats.h"
#include "foundation/XDias.h"

#include <QLineEdit>
#include <QToolButton>

namespace lumvard::reservations {

using frontdesk::EntryField;
using frontdesk::NumberOf;

TFZRroom::TFZRroom(QWidget *parent)
    : CheckInWindow({QStringLiteral("TFZRroom"), QStringLiteral("预定转入住"), QStringLiteral("预定房间清单"),
                     frontdesk::ReservedRoomList(true), QStringLiteral("所有预定房"), false},
                    parent) {
    DB10416 = EntryField(QStringLiteral("DB10416"), false);
    DB10410 = EntryField(QStringLiteral("DB10410"), false);
    DB10601 = EntryField(QStringLiteral("DB10601"), false);
    DB10601->setParent(this);
    DB10601->setVisible(false);
    layOutForm(DB10416, 1, DB10410, {DB10405, DB10407, DB10409});
}

void TFZRroom::FJGridDblClick() {
    const int row = Q103.isActive() ? Q103.currentRow() : -1;
    if (row < 0) return;

    // The total belonged to the previous room's price; it is computed again when the deposit is left.
    DB10408->clear();
    startPick();

    const QString room = Q103.displayText(row, Q103.fieldIndex(QStringLiteral("F103_01"))).trimmed();
    TFDM &dm = FDM();
    // A reserved room with no open reservation (cancelled or taken up elsewhere) cannot be picked.
    const std::optional<OpenReservation> r = FindOpenReservation(dm.DBConn, room);
    if (!r) return;
    const QString number = NextCheckInNumber(dm); // a failure leaves no check-in prepared
    m_registered = false;
    m_prepared = true;

    fillPicked(row, number);
    DB10416->setText(r->guestType);
    DB10409->setText(r->guest);
    DB10410->setText(r->documentType);
    DB10411->setText(r->documentNo);
    DB10412->setText(r->address);
    DB10601->setText(r->number);
}

void TFZRroom::DB10405Exit() {
    const std::optional<double> rate = frontdesk::LeaveRateField(DB10405);
    if (!rate) return;
    if (!m_prepared) return;
    const double actual = ActualPrice(m_standardPrice, *rate);
    DB10406->setText(formatGeneral(actual));
    // A total already shown follows the new price, so the total stored is always price + deposit.
    if (!DB10408->text().isEmpty()) {
        bool depositOk = false;
        const double deposit = parseNumber(DB10407->text().trimmed(), &depositOk);
        if (depositOk)
            DB10408->setText(formatGeneral(CheckInTotal(actual, deposit)));
        else
            DB10408->clear();
    }
}

void TFZRroom::DB10407Exit() {
    if (DB10407->text().trimmed().isEmpty()) DB10407->setText(QStringLiteral("0"));
    const double deposit = NumberOf(DB10407->text());
    if (!m_prepared) return;
    // Without an actual price (the rate was refused or never left) there is no total yet; the
    // registration then asks for the price.
    if (DB10406->text().isEmpty()) {
        DB10408->clear();
        return;
    }
    DB10408->setText(formatGeneral(CheckInTotal(NumberOf(DB10406->text()), deposit)));
}

void TFZRroom::BDJClick() {
    if (DB10601->text().isEmpty()) return; // no reservation picked
    if (!amountsGiven()) return;
    if (!m_prepared) return;

    // Read before the question: a text that is no number stops here with its reason.
    CheckIn c = frontdesk::ReadCheckIn(fields(DB10410->text()), m_standardPrice, m_checkInTime);

    if (!AskConfirm(QStringLiteral("入住信息正确吗?"))) return;

    if (!TakeUpReservation(FDM(), DB10601->text(), c)) {
        // Cancelled, taken up or the room changed at another workstation since the pick.
        m_prepared = false;
        ShowInfo(kRoomStatusChangedMessage);
        return;
    }
    finishRegistration(c);
}

void TFZRroom::BSXClick() {
    m_prepared = false;
    BDJ->setEnabled(true);
    for (QLineEdit *e : {DB10401, DB10402, DB10403, DB10404, DB10405, DB10406, DB10407, DB10408, DB10409,
                         DB10410, DB10411, DB10412, DB10413, DB10414, DB10415, DB10416})
        e->clear();
    LBComboxChange(); // the room just taken up leaves the list; the category filter stays
}

} // namespace lumvard::reservations
