#include "reservations/ZRroom.h"

#include "data/AppContext.h"
#include "data/DM.h"
#include "data/FrontDesk.h"
#include "data/RoomStatus.h"
#include "foundation/TextFormats.h"
#include "foundation/XDias.h"
#include "frontdesk/FormParts.h"
#include "frontdesk/RoomPicker.h"
#include "frontdesk/Rzdjrep.h"
#include "platform/gui/DataGrid.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace lumvard::reservations {

using frontdesk::AddCategoryFilter;
using frontdesk::AddToolButton;
using frontdesk::EntryField;
using frontdesk::Named;
using frontdesk::NumberOf;

TFZRroom::TFZRroom(QWidget *parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("TFZRroom"));
    setWindowTitle(QStringLiteral("预定转入住"));

    TFDM &dm = FDM();
    for (platform::Query *q : {&Q103, &Q102, &Q1041})
        q->setConnection(&dm.DBConn);
    Q102.setSql(QStringLiteral("Select * from LBK"));

    auto *toolbar = new QHBoxLayout;
    BDJ = AddToolButton(this, toolbar, QStringLiteral("BDJ"), QStringLiteral("登记"));
    BRZD = AddToolButton(this, toolbar, QStringLiteral("BRZD"), QStringLiteral("入住单"));
    BSX = AddToolButton(this, toolbar, QStringLiteral("BSX"), QStringLiteral("刷新"));
    TeThemeSpeedButton4 =
        AddToolButton(this, toolbar, QStringLiteral("TeThemeSpeedButton4"), QStringLiteral("退出"));
    toolbar->addStretch(1);

    auto *roomsBox = frontdesk::AddRoomListBox(QStringLiteral("预定房间清单"), Q103,
                                               frontdesk::ReservedRoomList(true), LBCombox, FJGrid);

    auto *entryBox = Named(new QGroupBox(QStringLiteral("登记信息")), QStringLiteral("TeGroupBox2"));
    auto *form = new QFormLayout(entryBox);
    DB10401 = EntryField(QStringLiteral("DB10401"), false);
    DB10416 = EntryField(QStringLiteral("DB10416"), false);
    DB10402 = EntryField(QStringLiteral("DB10402"), false);
    DB10403 = EntryField(QStringLiteral("DB10403"), false);
    DB10404 = EntryField(QStringLiteral("DB10404"), false, true);
    DB10405 = EntryField(QStringLiteral("DB10405"), true, true);
    DB10406 = EntryField(QStringLiteral("DB10406"), false, true);
    DB10407 = EntryField(QStringLiteral("DB10407"), true, true);
    DB10408 = EntryField(QStringLiteral("DB10408"), false, true);
    DB10409 = EntryField(QStringLiteral("DB10409"), false);
    DB10410 = EntryField(QStringLiteral("DB10410"), false);
    DB10411 = EntryField(QStringLiteral("DB10411"), false);
    DB10412 = EntryField(QStringLiteral("DB10412"), true);
    DB10413 = EntryField(QStringLiteral("DB10413"), true, true);
    DB10415 = EntryField(QStringLiteral("DB10415"), false);
    DB10414 = EntryField(QStringLiteral("DB10414"), false);
    DB10601 = EntryField(QStringLiteral("DB10601"), false);
    DB10601->setVisible(false);
    form->addRow(QStringLiteral("入住流水号:"), DB10401);
    form->addRow(QStringLiteral("客人类别:"), DB10416);
    form->addRow(QStringLiteral("房间号:"), DB10402);
    form->addRow(QStringLiteral("类别:"), DB10403);
    form->addRow(QStringLiteral("标准价:"), DB10404);
    form->addRow(QStringLiteral("折价率:"), DB10405);
    form->addRow(QStringLiteral("实际价:"), DB10406);
    form->addRow(QStringLiteral("押金:"), DB10407);
    form->addRow(QStringLiteral("总额:"), DB10408);
    form->addRow(QStringLiteral("客人姓名:"), DB10409);
    form->addRow(QStringLiteral("证件名称:"), DB10410);
    form->addRow(QStringLiteral("证件号码:"), DB10411);
    form->addRow(QStringLiteral("证件地址:"), DB10412);
    form->addRow(QStringLiteral("随行人数:"), DB10413);
    form->addRow(QStringLiteral("入住时间:"), DB10415);
    form->addRow(QStringLiteral("操作员:"), DB10414);

    auto *body = new QHBoxLayout;
    body->addWidget(roomsBox, 1);
    body->addWidget(entryBox, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(toolbar);
    layout->addLayout(body, 1);

    auto *keys = new frontdesk::EntryKeys(this);
    keys->onExit(DB10405, [this] { DB10405Exit(); });
    keys->onExit(DB10407, [this] { DB10407Exit(); });
    keys->setChain({DB10405, DB10407, DB10409});

    connect(BDJ, &QToolButton::clicked, this, frontdesk::Guarded(this, &TFZRroom::BDJClick));
    connect(BRZD, &QToolButton::clicked, this, frontdesk::Guarded(this, &TFZRroom::BRZDClick));
    connect(BSX, &QToolButton::clicked, this, frontdesk::Guarded(this, &TFZRroom::BSXClick));
    connect(TeThemeSpeedButton4, &QToolButton::clicked, this,
            frontdesk::Guarded(this, &TFZRroom::TeThemeSpeedButton4Click));
    connect(LBCombox, &QComboBox::currentIndexChanged, this,
            frontdesk::Guarded(this, &TFZRroom::LBComboxChange));
    FJGrid->setDoubleClickHandler([this] { FJGridDblClick(); });

    // FormCreate
    dm.OpenSql(Q102, Q102.sql());
    resize(760, 520);
}

TFZRroom::~TFZRroom() {
    FJGrid->setQuery(nullptr);
    for (platform::Query *q : {&Q103, &Q102, &Q1041})
        q->blockSignals(true);
}

void TFZRroom::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) return;
    runGuarded([this] { FormShow(); });
}

void TFZRroom::closeEvent(QCloseEvent *event) {
    // A prepared check-in lives only in the fields: closing drops it, nothing is written.
    m_prepared = false;
    QWidget::closeEvent(event);
}

void TFZRroom::FormShow() {
    m_registered = false;
    frontdesk::ReloadCategoryFilter(LBCombox, Q102, QStringLiteral("所有预定房"));
    LBComboxChange();
}

void TFZRroom::LBComboxChange() {
    frontdesk::OpenRoomList(Q103, LBCombox, frontdesk::ReservedRoomList(true));
}

void TFZRroom::FJGridDblClick() {
    const int row = Q103.isActive() ? Q103.currentRow() : -1;
    if (row < 0) return;

    DB10405->setText(QStringLiteral("1"));
    DB10406->clear();
    // The total belonged to the previous room's price; it is computed again when the deposit is left.
    DB10408->clear();
    DB10405->setFocus();
    m_prepared = false; // a check-in prepared for another room is dropped
    m_registered = true;

    auto cell = [&](const char *name) {
        return Q103.displayText(row, Q103.fieldIndex(QLatin1String(name))).trimmed();
    };
    const QString room = cell("F103_01");
    TFDM &dm = FDM();
    // A reserved room with no open reservation (cancelled or taken up elsewhere) cannot be picked.
    const std::optional<OpenReservation> r = FindOpenReservation(dm.DBConn, room);
    if (!r) return;
    const QString number = NextCheckInNumber(dm); // a failure leaves no check-in prepared
    m_registered = false;
    m_prepared = true;

    m_standardPrice = Q103.value(row, Q103.fieldIndex(QStringLiteral("F103_05"))).toDouble();
    m_checkInTime = frontdesk::NowToTheSecond();
    DB10401->setText(number);
    DB10402->setText(room);
    DB10403->setText(cell("F103_02"));
    DB10404->setText(formatGeneral(m_standardPrice));
    DB10414->setText(AppContext().OperatorCode);
    DB10415->setText(formatDateTime(m_checkInTime));
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
    const QString actual = DB10406->text();
    const QString total = DB10408->text();
    if (actual.isEmpty() || actual == QLatin1String("0")) {
        ShowInfo(QStringLiteral("实际价不能为零!"));
        DB10406->setFocus();
        return;
    }
    if (total.isEmpty() || total == QLatin1String("0")) {
        ShowInfo(QStringLiteral("总额不能为零!"));
        DB10408->setFocus();
        return;
    }
    if (!m_prepared) return;

    // Read before the question: a text that is no number stops here with its reason.
    CheckIn c = frontdesk::ReadCheckIn({DB10401, DB10402, DB10403, DB10405, DB10406, DB10407, DB10408,
                                        DB10409, DB10410->text(), DB10411, DB10412, DB10413, DB10414},
                                       m_standardPrice, m_checkInTime);

    if (!AskConfirm(QStringLiteral("入住信息正确吗?"))) return;

    if (!TakeUpReservation(FDM(), DB10601->text(), c)) {
        // Cancelled, taken up or the room changed at another workstation since the pick.
        m_prepared = false;
        ShowInfo(kRoomStatusChangedMessage);
        return;
    }
    DB10401->setText(c.number); // the next free number when ours was taken meanwhile
    m_prepared = false;
    m_registered = true;
    ShowInfo(QStringLiteral("入住登记成功!"));
    BDJ->setEnabled(false);
    FDM().OpenSql(Q1041, QStringLiteral("Select * From RZK Where F104_01=:no"),
                  {{QStringLiteral("no"), c.number}});
}

void TFZRroom::BRZDClick() {
    if (m_registered && Q1041.isActive() && Q1041.recordCount() == 1) {
        frontdesk::TYJRep report(Q1041, 0); // the whole deposit of the new check-in
        report.preview(this);
        return;
    }
    ShowInfo(QStringLiteral("操作无效,请先登记!"));
}

void TFZRroom::BSXClick() {
    m_prepared = false;
    BDJ->setEnabled(true);
    for (QLineEdit *e : {DB10401, DB10402, DB10403, DB10404, DB10405, DB10406, DB10407, DB10408, DB10409,
                         DB10410, DB10411, DB10412, DB10413, DB10414, DB10415, DB10416})
        e->clear();
    LBComboxChange(); // the room just taken up leaves the list; the category filter stays
}

void TFZRroom::TeThemeSpeedButton4Click() {
    frontdesk::CloseWindow(this);
}

} // namespace lumvard::reservations
