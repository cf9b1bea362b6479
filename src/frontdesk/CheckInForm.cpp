#include "frontdesk/CheckInForm.h"

#include "data/AppContext.h"
#include "data/DM.h"
#include "foundation/TextFormats.h"
#include "foundation/XDias.h"
#include "frontdesk/Rzdjrep.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace lumvard::frontdesk {

CheckInWindow::CheckInWindow(const Kind &kind, QWidget *parent)
    : QWidget(parent)
    , m_rooms(kind.rooms)
    , m_firstFilterItem(kind.firstFilterItem) {
    setObjectName(kind.objectName);
    setWindowTitle(kind.title);

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

    auto *roomsBox = AddRoomListBox(kind.roomsTitle, Q103, m_rooms, LBCombox, FJGrid);

    auto *entryBox = Named(new QGroupBox(QStringLiteral("登记信息")), QStringLiteral("TeGroupBox2"));
    m_form = new QFormLayout(entryBox);
    DB10401 = EntryField(QStringLiteral("DB10401"), false);
    DB10402 = EntryField(QStringLiteral("DB10402"), false);
    DB10403 = EntryField(QStringLiteral("DB10403"), false);
    DB10404 = EntryField(QStringLiteral("DB10404"), false, true);
    DB10405 = EntryField(QStringLiteral("DB10405"), true, true);
    DB10406 = EntryField(QStringLiteral("DB10406"), false, true);
    DB10407 = EntryField(QStringLiteral("DB10407"), true, true);
    DB10408 = EntryField(QStringLiteral("DB10408"), false, true);
    DB10409 = EntryField(QStringLiteral("DB10409"), kind.guestEditable);
    DB10411 = EntryField(QStringLiteral("DB10411"), kind.guestEditable);
    DB10412 = EntryField(QStringLiteral("DB10412"), true);
    DB10413 = EntryField(QStringLiteral("DB10413"), true, true);
    DB10415 = EntryField(QStringLiteral("DB10415"), false);
    DB10414 = EntryField(QStringLiteral("DB10414"), false);

    auto *body = new QHBoxLayout;
    body->addWidget(roomsBox, 1);
    body->addWidget(entryBox, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(toolbar);
    layout->addLayout(body, 1);

    m_keys = new EntryKeys(this);
    m_keys->onExit(DB10405, [this] { DB10405Exit(); });
    m_keys->onExit(DB10407, [this] { DB10407Exit(); });

    connect(BDJ, &QToolButton::clicked, this, Guarded(this, &CheckInWindow::BDJClick));
    connect(BRZD, &QToolButton::clicked, this, Guarded(this, &CheckInWindow::BRZDClick));
    connect(BSX, &QToolButton::clicked, this, Guarded(this, &CheckInWindow::BSXClick));
    connect(TeThemeSpeedButton4, &QToolButton::clicked, this,
            Guarded(this, &CheckInWindow::TeThemeSpeedButton4Click));
    connect(LBCombox, &QComboBox::currentIndexChanged, this, Guarded(this, &CheckInWindow::LBComboxChange));
    FJGrid->setDoubleClickHandler([this] { FJGridDblClick(); });

    // FormCreate
    dm.OpenSql(Q102, Q102.sql());
    resize(760, 520);
}

CheckInWindow::~CheckInWindow() {
    FJGrid->setQuery(nullptr);
    for (platform::Query *q : {&Q103, &Q102, &Q1041})
        q->blockSignals(true);
}

void CheckInWindow::layOutForm(QWidget *guestType, int guestTypeRow, QWidget *documentType,
                               const QList<QWidget *> &chain) {
    const QList<QPair<const char *, QWidget *>> rows = {
        {"入住流水号:", DB10401}, {"房间号:", DB10402},        {"类别:", DB10403},     {"标准价:", DB10404},
        {"折价率:", DB10405},     {"实际价:", DB10406},        {"押金:", DB10407},     {"总额:", DB10408},
        {"客人姓名:", DB10409},   {"证件名称:", documentType}, {"证件号码:", DB10411}, {"证件地址:", DB10412},
        {"随行人数:", DB10413},   {"入住时间:", DB10415},      {"操作员:", DB10414},
    };
    for (int i = 0; i < rows.size(); ++i) {
        if (i == guestTypeRow) m_form->addRow(QStringLiteral("客人类别:"), guestType);
        m_form->addRow(QString::fromUtf8(rows[i].first), rows[i].second);
    }
    m_keys->setChain(chain);
}

void CheckInWindow::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) return;
    runGuarded([this] { FormShow(); });
}

void CheckInWindow::closeEvent(QCloseEvent *event) {
    // A prepared check-in lives only in the fields: closing drops it, nothing is written.
    m_prepared = false;
    QWidget::closeEvent(event);
}

void CheckInWindow::FormShow() {
    m_registered = false;
    ReloadCategoryFilter(LBCombox, Q102, m_firstFilterItem);
    LBComboxChange();
}

void CheckInWindow::LBComboxChange() {
    OpenRoomList(Q103, LBCombox, m_rooms);
}

void CheckInWindow::startPick() {
    DB10405->setText(QStringLiteral("1"));
    DB10406->clear();
    DB10405->setFocus();
    m_prepared = false; // the previous, unregistered check-in is dropped
    m_registered = true;
}

void CheckInWindow::fillPicked(int row, const QString &number) {
    m_standardPrice = Q103.value(row, Q103.fieldIndex(QStringLiteral("F103_05"))).toDouble();
    m_checkInTime = NowToTheSecond();
    DB10401->setText(number);
    DB10402->setText(Q103.displayText(row, Q103.fieldIndex(QStringLiteral("F103_01"))).trimmed());
    DB10403->setText(Q103.displayText(row, Q103.fieldIndex(QStringLiteral("F103_02"))).trimmed());
    DB10404->setText(formatGeneral(m_standardPrice));
    DB10414->setText(AppContext().OperatorCode);
    DB10415->setText(formatDateTime(m_checkInTime));
}

bool CheckInWindow::amountsGiven() {
    const QString actual = DB10406->text();
    const QString total = DB10408->text();
    if (actual.isEmpty() || actual == QLatin1String("0")) {
        ShowInfo(QStringLiteral("实际价不能为零!"));
        DB10406->setFocus();
        return false;
    }
    if (total.isEmpty() || total == QLatin1String("0")) {
        ShowInfo(QStringLiteral("总额不能为零!"));
        DB10408->setFocus();
        return false;
    }
    return true;
}

CheckInFields CheckInWindow::fields(const QString &documentType) const {
    return {DB10401, DB10402,      DB10403, DB10405, DB10406, DB10407, DB10408,
            DB10409, documentType, DB10411, DB10412, DB10413, DB10414};
}

void CheckInWindow::finishRegistration(const CheckIn &c) {
    DB10401->setText(c.number); // the next free number when ours was taken meanwhile
    m_prepared = false;
    m_registered = true;
    ShowInfo(QStringLiteral("入住登记成功!"));
    BDJ->setEnabled(false);
    FDM().OpenSql(Q1041, QStringLiteral("Select * From RZK Where F104_01=:no"),
                  {{QStringLiteral("no"), c.number}});
}

void CheckInWindow::BRZDClick() {
    if (m_registered && Q1041.isActive() && Q1041.recordCount() == 1) {
        TYJRep report(Q1041, 0); // the whole deposit of the new check-in
        report.preview(this);
        return;
    }
    ShowInfo(QStringLiteral("操作无效,请先登记!"));
}

void CheckInWindow::TeThemeSpeedButton4Click() {
    CloseWindow(this);
}

} // namespace lumvard::frontdesk
