#include "frontdesk/TFroom.h"

#include "data/AppContext.h"
#include "data/DM.h"
#include "data/FrontDesk.h"
#include "foundation/Clock.h"
#include "foundation/TextFormats.h"
#include "foundation/XDias.h"
#include "frontdesk/FormParts.h"
#include "frontdesk/JZReport.h"
#include "frontdesk/JZTS.h"
#include "platform/QueryModel.h"
#include "rooms/Editstatus.h"
#include "rooms/RZZL.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace lumvard::frontdesk {

namespace {

const QString kNoRowSql = QStringLiteral("Select * from KRXFK Where F105_02='A'");

} // namespace

TFTFDJ::TFTFDJ(QWidget *parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("TFTFDJ"));
    setWindowTitle(QStringLiteral("退房登记"));
    TFDM &dm = FDM();
    Q104.setConnection(&dm.DBConn);

    auto *toolbar = new QHBoxLayout;
    BJZ = AddToolButton(this, toolbar, QStringLiteral("BJZ"), QStringLiteral("结帐"));
    BZD = AddToolButton(this, toolbar, QStringLiteral("BZD"), QStringLiteral("帐单"));
    BSX = AddToolButton(this, toolbar, QStringLiteral("BSX"), QStringLiteral("刷新"));
    TeThemeSpeedButton4 =
        AddToolButton(this, toolbar, QStringLiteral("TeThemeSpeedButton4"), QStringLiteral("退出"));
    toolbar->addStretch(1);

    auto *roomLine = new QHBoxLayout;
    roomLine->addWidget(new QLabel(QStringLiteral("房间号:")));
    FJHCombox = Named(new QComboBox, QStringLiteral("FJHCombox"));
    FJHCombox->setMinimumWidth(100);
    roomLine->addWidget(FJHCombox);
    Blook = Named(new QPushButton(QStringLiteral("查看房客入住信息")), QStringLiteral("Blook"));
    roomLine->addWidget(Blook);
    roomLine->addStretch(1);

    XFGrid = Named(new QTableView, QStringLiteral("XFGrid"));
    m_model = new platform::QueryModel(&dm.QADOQ, this);
    m_model->setColumns({QStringLiteral("F105_01"), QStringLiteral("F105_02"), QStringLiteral("F105_03"),
                         QStringLiteral("F105_04"), QStringLiteral("F105_05"), QStringLiteral("F105_06"),
                         QStringLiteral("F105_07"), QStringLiteral("F105_08"), QStringLiteral("F105_09")},
                        {QStringLiteral("退房流水号"), QStringLiteral("房间号"), QStringLiteral("项目类别"),
                         QStringLiteral("项目名称"), QStringLiteral("实际单价"), QStringLiteral("住宿天数"),
                         QStringLiteral("实收金额"), QStringLiteral("操作员"), QStringLiteral("收银时间")});
    XFGrid->setModel(m_model);
    XFGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    XFGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    XFGrid->verticalHeader()->hide();

    auto *results = new QGridLayout;
    auto result = [&](QLineEdit *&e, const QString &name, const QString &label, int row, int column) {
        e = Named(new QLineEdit, name);
        e->setAlignment(Qt::AlignRight);
        e->setReadOnly(true);
        auto *l = new QLabel(label);
        results->addWidget(l, row, column * 2);
        results->addWidget(e, row, column * 2 + 1);
        return l;
    };
    result(FJ, QStringLiteral("FJ"), QStringLiteral("房价:"), 0, 0);
    result(YSYJ, QStringLiteral("YSYJ"), QStringLiteral("已收押金:"), 0, 1);
    result(ZE, QStringLiteral("ZE"), QStringLiteral("已收总额:"), 0, 2);
    result(RZTS, QStringLiteral("RZTS"), QStringLiteral("住宿天数:"), 1, 0);
    result(ZXF, QStringLiteral("ZXF"), QStringLiteral("住宿费:"), 1, 1);
    result(YS, QStringLiteral("YS"), QStringLiteral("实际应收:"), 1, 2);
    result(YTYJ, QStringLiteral("YTYJ"), QStringLiteral("应退押金:"), 2, 0);
    result(SS, QStringLiteral("SS"), QStringLiteral("实收:"), 2, 1);
    Lyz = result(YZ, QStringLiteral("YZ"), QStringLiteral("应找:"), 2, 2);
    Lyz->setObjectName(QStringLiteral("Lyz"));
    SS->setReadOnly(false);
    SS->setStyleSheet(QStringLiteral("color: blue;"));
    SS->setToolTip(QStringLiteral("输入实收金额后请按回车..."));
    YZ->setStyleSheet(QStringLiteral("color: red;"));
    auto *keys = new EntryKeys(this);
    keys->onExit(SS, [this] { SSExit(); });
    keys->onReturn(SS, [this] { SSKeyDown(); });

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(toolbar);
    layout->addLayout(roomLine);
    layout->addWidget(XFGrid, 1);
    layout->addLayout(results);

    connect(BJZ, &QToolButton::clicked, this, Guarded(this, &TFTFDJ::BJZClick));
    connect(BZD, &QToolButton::clicked, this, Guarded(this, &TFTFDJ::BZDClick));
    connect(BSX, &QToolButton::clicked, this, Guarded(this, &TFTFDJ::BSXClick));
    connect(TeThemeSpeedButton4, &QToolButton::clicked, this,
            Guarded(this, &TFTFDJ::TeThemeSpeedButton4Click));
    connect(Blook, &QPushButton::clicked, this, Guarded(this, &TFTFDJ::BlookClick));
    connect(FJHCombox, &QComboBox::currentIndexChanged, this, Guarded(this, &TFTFDJ::FJHComboxChange));
    resize(760, 420);
}

TFTFDJ::~TFTFDJ() {
    XFGrid->setModel(nullptr);
    Q104.blockSignals(true);
}

void TFTFDJ::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) return;
    runGuarded([this] { FormShow(); });
}

void TFTFDJ::closeEvent(QCloseEvent *event) {
    // The prepared settlement row is never sent from QADOQ; closing drops it.
    runGuarded([] {
        TFDM &dm = FDM();
        dm.QADOQ.close();
    });
    QWidget::closeEvent(event);
}

bool TFTFDJ::roomChosen() const {
    return !FJHCombox->currentText().isEmpty() && Q104.isActive() && Q104.recordCount() == 1;
}

void TFTFDJ::fillRooms() {
    TFDM &dm = FDM();
    const QSignalBlocker block(FJHCombox);
    FJHCombox->clear();
    platform::Query rooms(&dm.DBConn);
    if (!dm.OpenSql(rooms, QStringLiteral("Select F104_02 From RZK Where F104_16=:open"),
                    {{QStringLiteral("open"), QStringLiteral("否")}}))
        throw Error(dm.lastError());
    QStringList items;
    for (int r = 0; r < rooms.recordCount(); ++r)
        items << rooms.displayText(r, 0).trimmed();
    items.sort();
    FJHCombox->addItems(items);
    FJHCombox->setCurrentIndex(-1);
}

bool TFTFDJ::openCheckIn(const QString &room) {
    TFDM &dm = FDM();
    if (!dm.OpenSql(Q104, QStringLiteral("Select * From RZK Where F104_16=:open and F104_02=:room"),
                    {{QStringLiteral("open"), QStringLiteral("否")}, {QStringLiteral("room"), room}}))
        throw Error(dm.lastError());
    return Q104.recordCount() == 1;
}

void TFTFDJ::FormShow() {
    m_settled = false;
    TFDM &dm = FDM();
    if (!dm.OpenSql(dm.QADOQ, kNoRowSql)) throw Error(dm.lastError());
    fillRooms();
}

void TFTFDJ::FJHComboxChange() {
    SS->setFocus();
    const QString room = FJHCombox->currentText();
    if (room.isEmpty()) return;
    if (!openCheckIn(room)) return;

    auto number = [this](const char *name) { return Q104.fieldByName(QLatin1String(name)).asFloat(); };
    const double price = number("F104_06");
    const double deposit = number("F104_07");
    const double received = number("F104_08") - deposit;
    const QDateTime cashierTime = Now();
    const double days = StayDays(Q104.fieldByName(QStringLiteral("F104_15")).asDateTime(), cashierTime);
    const double charge = RoomCharge(price, days);
    FJ->setText(formatGeneral(price));
    YSYJ->setText(formatGeneral(deposit));
    ZE->setText(formatPattern(QStringLiteral(",0"), received));
    RZTS->setText(formatGeneral(days));
    ZXF->setText(formatGeneral(charge));
    YS->setText(formatGeneral(charge));
    YTYJ->setText(YSYJ->text());
    m_refund = formatMoney(deposit);
    SS->setText(formatGeneral(received)); // a form that reads back as a number, also from 1 000 up
    YZ->clear();

    TFDM &dm = FDM();
    const QString settlementNo = NextSettlementNumber(dm);
    if (dm.QADOQ.isActive()) dm.QADOQ.cancelUpdates();
    if (!dm.OpenSql(dm.QADOQ, kNoRowSql)) throw Error(dm.lastError());
    dm.QADOQ.append();
    auto set = [&dm](const char *name, const QVariant &value) {
        dm.QADOQ.fieldByName(QLatin1String(name)).setValue(value);
    };
    set("F105_01", settlementNo);
    set("F105_02", room);
    set("F105_03", Q104.fieldByName(QStringLiteral("F104_03")).asString());
    set("F105_04", QStringLiteral("住宿费"));
    set("F105_05", price);
    set("F105_06", days);
    set("F105_07", charge);
    set("F105_08", AppContext().OperatorCode);
    set("F105_09", cashierTime);
    // Left unposted: the settlement date is only known when "结帐" is confirmed.
    m_settled = false;
    SS->setFocus();
}

void TFTFDJ::SSExit() {
    if (!roomChosen()) return;
    const QString text = SS->text().trimmed();
    if (text.isEmpty()) {
        ShowInfo(QStringLiteral("实收金额不正确,请重新录入!"));
        Refocus(SS);
        return;
    }
    const double amount = NumberOf(text);
    if (amount < 0) {
        ShowInfo(QStringLiteral("实收金额不正确,请重新录入!"));
        Refocus(SS);
    }
}

void TFTFDJ::SSKeyDown() {
    const double change = NumberOf(SS->text()) - NumberOf(YS->text());
    YZ->setText(formatGeneral(change));
    const QString payable = QStringLiteral("￥") + YS->text().trimmed();
    const QString received = QStringLiteral("￥") + SS->text().trimmed();
    if (change >= 0)
        TFTS::run(payable, received, QStringLiteral("应找:"), QStringLiteral("￥") + YZ->text().trimmed(),
                  this);
    else
        TFTS::run(payable, received, QStringLiteral("客人应补:"),
                  QStringLiteral("￥") + formatGeneral(-change).trimmed(), this);
}

void TFTFDJ::BlookClick() {
    const QString room = FJHCombox->currentText();
    if (room.isEmpty()) {
        ShowInfo(QStringLiteral("请先选择房间号!"));
        return;
    }
    if (openCheckIn(room)) rooms::TFRZZL::showFor(&Q104, room, this);
    SS->setFocus();
}

void TFTFDJ::BJZClick() {
    const QString room = FJHCombox->currentText();
    if (room.isEmpty()) return;
    TFDM &dm = FDM();
    if (!roomChosen() || !dm.QADOQ.isActive() || dm.QADOQ.recordCount() != 1) return;
    if (!AskConfirm(QStringLiteral("客人结帐信息正确吗?"))) return;

    auto field = [&dm](const char *name) { return dm.QADOQ.fieldByName(QLatin1String(name)); };
    Settlement s;
    s.number = field("F105_01").asString();
    s.room = field("F105_02").asString();
    s.category = field("F105_03").asString();
    s.item = field("F105_04").asString();
    s.price = field("F105_05").asFloat();
    s.days = field("F105_06").asFloat();
    s.charge = field("F105_07").asFloat();
    s.operatorCode = field("F105_08").asString();
    s.cashierTime = field("F105_09").asDateTime();
    s.settledOn = Today();
    const QString checkInNo = Q104.fieldByName(QStringLiteral("F104_01")).asString();
    if (!SettleCheckIn(dm, checkInNo, s)) {
        ShowInfo(kCheckInClosedMessage);
        return;
    }
    // The row as written: the next free number when ours was taken meanwhile, and its dates.
    if (dm.QADOQ.state() == platform::DatasetState::Browse) dm.QADOQ.edit();
    field("F105_01").setValue(s.number);
    field("F105_10").setValue(QDateTime(s.settledOn, QTime(0, 0)));
    field("F105_11").setValue(formatMonth(s.settledOn));
    dm.QADOQ.post();
    m_settled = true;
    BJZ->setEnabled(false);
    ShowInfo(QStringLiteral("结帐成功,该房间已改为离店状态!"));
    rooms::TFeditstatus::run(Q104.fieldByName(QStringLiteral("F104_02")).asString(), this);
}

void TFTFDJ::BZDClick() {
    TFDM &dm = FDM();
    if (m_settled && Q104.isActive() && Q104.recordCount() == 1 && dm.QADOQ.isActive() &&
        dm.QADOQ.recordCount() == 1) {
        TJZRep bill(dm.QADOQ, Q104, m_refund);
        bill.preview(this);
        return;
    }
    ShowInfo(QStringLiteral("操作无效,请先结帐!"));
}

void TFTFDJ::BSXClick() {
    FJHCombox->setFocus();
    BJZ->setEnabled(true);
    m_settled = false;
    TFDM &dm = FDM();
    if (dm.QADOQ.isActive()) dm.QADOQ.cancelUpdates();
    for (QLineEdit *e : {FJ, YSYJ, ZE, RZTS, ZXF, YS, YTYJ, SS, YZ})
        e->clear();
    m_refund.clear();
    Q104.close();
    fillRooms();
    if (!dm.OpenSql(dm.QADOQ, kNoRowSql)) throw Error(dm.lastError());
}

void TFTFDJ::TeThemeSpeedButton4Click() {
    TFDM &dm = FDM();
    dm.QADO.close();
    dm.QADOT.close();
    dm.QADOQ.close();
    CloseWindow(this);
}

} // namespace lumvard::frontdesk
