#include "reservations/YDroom.h"

#include "data/AppContext.h"
#include "data/DM.h"
#include "data/FrontDesk.h"
#include "data/RoomStatus.h"
#include "data/SqlCreateTable.h"
#include "foundation/Clock.h"
#include "foundation/TextFormats.h"
#include "foundation/XDias.h"
#include "frontdesk/FormParts.h"
#include "frontdesk/RoomPicker.h"
#include "platform/Command.h"
#include "platform/gui/DataGrid.h"
#include "reservations/YDDJReport.h"

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

namespace {

const QString kDateTimeForm = QStringLiteral("yyyy-MM-dd hh:mm:ss");
// Attempts at a free reservation number when other workstations keep taking the one we hold.
constexpr int kNumberAttempts = 20;

bool numberTaken(const QString &number) {
    TFDM &dm = FDM();
    if (!dm.OpenSql(dm.QADOT, QStringLiteral("Select count(*) as N from KRYDK Where F106_01=:no"),
                    {{QStringLiteral("no"), number}}))
        throw Error(dm.lastError());
    return dm.QADOT.fieldByName(QStringLiteral("N")).asInteger() > 0;
}

} // namespace

TFYDroom::TFYDroom(QWidget *parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("TFYDroom"));
    setWindowTitle(QStringLiteral("客房预定"));

    TFDM &dm = FDM();
    for (platform::Query *q : {&Q106, &Q1061, &Q103, &Q102})
        q->setConnection(&dm.DBConn);
    Q106.setSql(QStringLiteral("select * From KRYDK"));
    Q1061.setSql(QStringLiteral("select * From KRYDK"));
    Q102.setSql(QStringLiteral("Select * from LBK"));

    auto *toolbar = new QHBoxLayout;
    BDJ = AddToolButton(this, toolbar, QStringLiteral("BDJ"), QStringLiteral("预定"));
    BRZD = AddToolButton(this, toolbar, QStringLiteral("BRZD"), QStringLiteral("定金单"));
    BSX = AddToolButton(this, toolbar, QStringLiteral("BSX"), QStringLiteral("刷新"));
    TeThemeSpeedButton4 =
        AddToolButton(this, toolbar, QStringLiteral("TeThemeSpeedButton4"), QStringLiteral("退出"));
    toolbar->addStretch(1);

    // Left: the vacant rooms.
    auto *roomsBox = frontdesk::AddRoomListBox(QStringLiteral("房间状态"), Q103, frontdesk::VacantRoomList(),
                                               LBCombox, FJGrid);

    // Right: the reservation.
    auto *entryBox = Named(new QGroupBox(QStringLiteral("登记信息")), QStringLiteral("TeGroupBox2"));
    auto *form = new QFormLayout(entryBox);
    DB10601 = EntryField(QStringLiteral("DB10601"), false);
    DB10603 = EntryField(QStringLiteral("DB10603"), false);
    DB10614 = EntryField(QStringLiteral("DB10614"), false);
    DB10615 = EntryField(QStringLiteral("DB10615"), false);
    DB10616 = EntryField(QStringLiteral("DB10616"), true);
    DB10617 = EntryField(QStringLiteral("DB10617"), false);
    DB10608 = EntryField(QStringLiteral("DB10608"), true);
    DB10602 = Named(new QComboBox, QStringLiteral("DB10602"));
    DB10602->addItems({QStringLiteral("散客"), QStringLiteral("团体")});
    DB10604 = EntryField(QStringLiteral("DB10604"), true);
    DB10605 = Named(new QComboBox, QStringLiteral("DB10605"));
    DB10605->setEditable(true);
    DB10605->addItems({QStringLiteral("身份证"), QStringLiteral("工作证"), QStringLiteral("军官证"),
                       QStringLiteral("警官证"), QStringLiteral("士兵证"), QStringLiteral("护照"),
                       QStringLiteral("户口簿"), QStringLiteral("驾驶证"), QStringLiteral("其他证件")});
    DB10606 = EntryField(QStringLiteral("DB10606"), true);
    DB10607 = EntryField(QStringLiteral("DB10607"), true);
    DB10609 = EntryField(QStringLiteral("DB10609"), true);
    DB10611 = EntryField(QStringLiteral("DB10611"), false);
    DB10610 = EntryField(QStringLiteral("DB10610"), false);
    form->addRow(QStringLiteral("预定流水号:"), DB10601);
    form->addRow(QStringLiteral("房间号:"), DB10603);
    form->addRow(QStringLiteral("类别:"), DB10614);
    form->addRow(QStringLiteral("标准价:"), DB10615);
    form->addRow(QStringLiteral("折价率:"), DB10616);
    form->addRow(QStringLiteral("实际价:"), DB10617);
    form->addRow(QStringLiteral("定金:"), DB10608);
    form->addRow(QStringLiteral("客人类别:"), DB10602);
    form->addRow(QStringLiteral("客人姓名:"), DB10604);
    form->addRow(QStringLiteral("证件名称:"), DB10605);
    form->addRow(QStringLiteral("证件号码:"), DB10606);
    form->addRow(QStringLiteral("证件地址:"), DB10607);
    form->addRow(QStringLiteral("联系电话:"), DB10609);
    form->addRow(QStringLiteral("预定时间:"), DB10611);
    form->addRow(QStringLiteral("操作员:"), DB10610);

    auto *body = new QHBoxLayout;
    body->addWidget(roomsBox, 1);
    body->addWidget(entryBox, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(toolbar);
    layout->addLayout(body, 1);

    auto *keys = new frontdesk::EntryKeys(this);
    keys->onExit(DB10616, [this] { DB10616Exit(); });
    keys->onExit(DB10608, [this] { DB10608Exit(); });
    keys->setChain({DB10616, DB10608, DB10602, DB10604, DB10605, DB10606, DB10607, DB10609});

    connect(BDJ, &QToolButton::clicked, this, frontdesk::Guarded(this, &TFYDroom::BDJClick));
    connect(BRZD, &QToolButton::clicked, this, frontdesk::Guarded(this, &TFYDroom::BRZDClick));
    connect(BSX, &QToolButton::clicked, this, frontdesk::Guarded(this, &TFYDroom::BSXClick));
    connect(TeThemeSpeedButton4, &QToolButton::clicked, this,
            frontdesk::Guarded(this, &TFYDroom::TeThemeSpeedButton4Click));
    connect(LBCombox, &QComboBox::currentIndexChanged, this,
            frontdesk::Guarded(this, &TFYDroom::LBComboxChange));
    FJGrid->setDoubleClickHandler([this] { FJGridDblClick(); });

    // FormCreate
    dm.OpenSql(Q102, Q102.sql());
    dm.OpenSql(Q106, Q106.sql());
    resize(760, 480);
}

TFYDroom::~TFYDroom() {
    FJGrid->setQuery(nullptr);
    for (platform::Query *q : {&Q106, &Q1061, &Q103, &Q102})
        q->blockSignals(true);
}

void TFYDroom::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) return;
    runGuarded([this] { FormShow(); });
}

void TFYDroom::closeEvent(QCloseEvent *event) {
    // An unsaved reservation is dropped: nothing of it was written.
    runGuarded([this] {
        if (!m_saved && Q106.isActive()) Q106.cancelUpdates();
    });
    QWidget::closeEvent(event);
}

bool TFYDroom::entering() const {
    return Q106.isActive() && (Q106.state() == platform::DatasetState::Edit ||
                               Q106.state() == platform::DatasetState::Insert || Q106.hasPendingUpdates());
}

void TFYDroom::FormShow() {
    m_saved = false;
    m_group = false;
    frontdesk::ReloadCategoryFilter(LBCombox, Q102, frontdesk::kAllCategories);
    LBComboxChange();
}

void TFYDroom::LBComboxChange() {
    frontdesk::OpenRoomList(Q103, LBCombox, frontdesk::VacantRoomList());
}

void TFYDroom::FJGridDblClick() {
    const int row = Q103.isActive() ? Q103.currentRow() : -1;
    if (row < 0) return;

    DB10616->setText(QStringLiteral("1"));
    DB10617->clear();
    DB10616->setFocus();
    if (entering() && !m_saved) Q106.cancelUpdates();
    m_saved = true;
    try {
        const QString number = NextSerialNo(FDM(), QStringLiteral("KRYDK"), QStringLiteral("F106_01"), 8,
                                            !Q106.isActive() || Q106.isEmpty());
        if (!entering()) {
            Q106.append();
            m_saved = false;
        }
        auto cell = [&](const char *name) {
            return Q103.displayText(row, Q103.fieldIndex(QLatin1String(name)));
        };
        DB10601->setText(number);
        DB10603->setText(cell("F103_01"));
        DB10614->setText(cell("F103_02"));
        DB10615->setText(cell("F103_05"));
        DB10610->setText(AppContext().OperatorCode);
        DB10611->setText(Now().toString(kDateTimeForm));
    } catch (...) {
        // The row being entered is dropped; the reason is shown by the caller's error box.
        if (Q106.isActive()) Q106.cancelUpdates();
        m_saved = false;
        throw;
    }
}

void TFYDroom::DB10616Exit() {
    const std::optional<double> rate = frontdesk::LeaveRateField(DB10616);
    if (!rate) return;
    if (entering()) DB10617->setText(formatGeneral(ActualPrice(frontdesk::NumberOf(DB10615->text()), *rate)));
}

void TFYDroom::DB10608Exit() {
    if (DB10608->text().isEmpty() || m_group) DB10608->setText(QStringLiteral("0"));
}

void TFYDroom::BDJClick() {
    struct Check {
        bool failed;
        const char *message;
        QWidget *focus;
    };
    const QString actual = DB10617->text();
    const Check checks[] = {
        {actual.isEmpty() || actual == QLatin1String("0"), "实际价不能为零!", DB10617},
        {DB10602->currentText().isEmpty(), "客人类别不能为空!", DB10602},
        {DB10604->text().isEmpty(), "客人姓名不能为空!", DB10604},
        {DB10605->currentText().isEmpty(), "证件名称不能为空!", DB10605},
        {DB10606->text().isEmpty(), "证件号码不能为空!", DB10606},
        {DB10607->text().isEmpty(), "证件地址不能为空!", DB10607},
        {DB10609->text().isEmpty(), "联系电话不能为空!", DB10609},
    };
    for (const Check &c : checks)
        if (c.failed) {
            ShowInfo(QString::fromUtf8(c.message));
            c.focus->setFocus();
            return;
        }
    if (!entering()) return;

    // Only the first room of a group carries the deposit, also when the field was never left.
    if (m_group) DB10608->setText(QStringLiteral("0"));
    // Converted before anything is assigned: a deposit that is no number stops here, with its reason.
    const QString depositText = DB10608->text().trimmed();
    bool ok = true;
    const double deposit = depositText.isEmpty() ? 0.0 : parseNumber(depositText, &ok);
    if (!ok) throw Error(QStringLiteral("定金\"%1\"不是有效的数字!").arg(depositText));
    const QDateTime reservedAt = QDateTime::fromString(DB10611->text(), kDateTimeForm);
    if (!reservedAt.isValid())
        throw Error(QStringLiteral("预定时间\"%1\"不是有效的日期时间!").arg(DB10611->text()));

    if (Q106.state() == platform::DatasetState::Browse) Q106.edit(); // a save that failed before
    auto set = [this](const char *name, const QString &value) {
        Q106.fieldByName(QLatin1String(name)).setAsString(value);
    };
    set("F106_01", DB10601->text());
    set("F106_02", DB10602->currentText());
    set("F106_03", DB10603->text());
    set("F106_04", DB10604->text());
    set("F106_05", DB10605->currentText());
    set("F106_06", DB10606->text());
    set("F106_07", DB10607->text());
    Q106.fieldByName(QStringLiteral("F106_08")).setAsFloat(deposit);
    set("F106_09", DB10609->text());
    set("F106_10", DB10610->text());
    Q106.fieldByName(QStringLiteral("F106_11")).setAsDateTime(reservedAt);
    set("F106_13", QStringLiteral("否"));

    if (!AskConfirm(QStringLiteral("客房预定信息正确吗?"))) return;

    writeReservation(DB10603->text());
}

void TFYDroom::writeReservation(const QString &room) {
    TFDM &dm = FDM();
    Q106.post(); // a text too wide for its column stops here, nothing written
    for (int attempt = 1;; ++attempt) {
        try {
            platform::Transaction t(dm.DBConn);
            if (!ChangeRoomStatus(dm.DBConn, room, RoomStatusWord::Vacant, RoomStatusWord::Reserved)) {
                // Another workstation took the room since it was picked.
                t.rollback();
                ShowInfo(kRoomStatusChangedMessage);
                return;
            }
            Q106.applyUpdates();
            t.commit();
            break;
        } catch (const platform::DbError &e) {
            // The number was taken by another workstation since the pick: take the next free one.
            const QString number = DB10601->text();
            if (!e.isUniqueViolation() || attempt >= kNumberAttempts || !numberTaken(number)) throw;
            const QString next =
                NextSerialNo(dm, QStringLiteral("KRYDK"), QStringLiteral("F106_01"), 8, false);
            DB10601->setText(next);
            Q106.edit();
            Q106.fieldByName(QStringLiteral("F106_01")).setAsString(next);
            Q106.post();
        }
    }
    m_saved = true;
    ShowInfo(QStringLiteral("客房预定成功!"));
    dm.OpenSql(Q1061, QStringLiteral("Select * From KRYDK Where F106_01=:no"),
               {{QStringLiteral("no"), DB10601->text().trimmed()}});
    BDJ->setEnabled(false);
}

void TFYDroom::fullReset() {
    for (QLineEdit *e : {DB10601, DB10603, DB10607, DB10604, DB10606, DB10608, DB10609, DB10610, DB10611,
                         DB10614, DB10615, DB10616, DB10617})
        e->clear();
    DB10602->setCurrentIndex(DB10602->findText(QStringLiteral("散客")));
    DB10605->setCurrentIndex(DB10605->findText(QStringLiteral("身份证")));
    DB10605->setEditText(QStringLiteral("身份证"));
    m_group = false;
    BRZD->setEnabled(true);
}

void TFYDroom::BSXClick() {
    if (entering()) Q106.cancelUpdates();
    BDJ->setEnabled(true);
    if (DB10602->currentText() == QStringLiteral("散客")) {
        fullReset();
    } else if (AskConfirm(QStringLiteral("仍属于同一团体吗?"))) {
        for (QLineEdit *e : {DB10601, DB10603, DB10608, DB10610, DB10611, DB10614, DB10615, DB10616, DB10617})
            e->clear();
        DB10602->setCurrentIndex(DB10602->findText(QStringLiteral("团体")));
        m_group = true;
        BRZD->setEnabled(false); // the deposit receipt belongs to the group's first room
    } else {
        fullReset();
    }
    LBComboxChange();
}

void TFYDroom::BRZDClick() {
    if (m_saved && Q1061.isActive() && Q1061.recordCount() == 1) {
        TYddjRep report(Q1061, Q106);
        report.preview(this);
        return;
    }
    ShowInfo(QStringLiteral("操作无效,请先预定!"));
}

void TFYDroom::TeThemeSpeedButton4Click() {
    frontdesk::CloseWindow(this);
}

} // namespace lumvard::reservations
