#include "frontdesk/DJroom.h"

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

namespace lumvard::frontdesk {

TFDJroom::TFDJroom(QWidget *parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("TFDJroom"));
    setWindowTitle(QStringLiteral("入住登记"));

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

    auto *roomsBox = AddRoomListBox(QStringLiteral("房间状态"), Q103, VacantRoomList(), LBCombox, FJGrid);

    auto *entryBox = Named(new QGroupBox(QStringLiteral("登记信息")), QStringLiteral("TeGroupBox2"));
    auto *form = new QFormLayout(entryBox);
    DB10401 = EntryField(QStringLiteral("DB10401"), false);
    DB10402 = EntryField(QStringLiteral("DB10402"), false);
    DB10403 = EntryField(QStringLiteral("DB10403"), false);
    DB10404 = EntryField(QStringLiteral("DB10404"), false, true);
    DB10405 = EntryField(QStringLiteral("DB10405"), true, true);
    DB10406 = EntryField(QStringLiteral("DB10406"), false, true);
    DB10407 = EntryField(QStringLiteral("DB10407"), true, true);
    DB10408 = EntryField(QStringLiteral("DB10408"), false, true);
    DB10602 = Named(new QComboBox, QStringLiteral("DB10602"));
    DB10602->addItems({QStringLiteral("散客"), QStringLiteral("团体")});
    DB10409 = EntryField(QStringLiteral("DB10409"), true);
    DB10410 = Named(new QComboBox, QStringLiteral("DB10410"));
    DB10410->setEditable(true);
    DB10410->setInsertPolicy(QComboBox::NoInsert);
    DB10410->addItems({QStringLiteral("身份证"), QStringLiteral("工作证"), QStringLiteral("军官证"),
                       QStringLiteral("警官证"), QStringLiteral("士兵证"), QStringLiteral("护照"),
                       QStringLiteral("户口簿"), QStringLiteral("驾驶证"), QStringLiteral("其他证件")});
    DB10411 = EntryField(QStringLiteral("DB10411"), true);
    DB10412 = EntryField(QStringLiteral("DB10412"), true);
    DB10413 = EntryField(QStringLiteral("DB10413"), true, true);
    DB10415 = EntryField(QStringLiteral("DB10415"), false);
    DB10414 = EntryField(QStringLiteral("DB10414"), false);
    form->addRow(QStringLiteral("入住流水号:"), DB10401);
    form->addRow(QStringLiteral("房间号:"), DB10402);
    form->addRow(QStringLiteral("类别:"), DB10403);
    form->addRow(QStringLiteral("标准价:"), DB10404);
    form->addRow(QStringLiteral("折价率:"), DB10405);
    form->addRow(QStringLiteral("实际价:"), DB10406);
    form->addRow(QStringLiteral("押金:"), DB10407);
    form->addRow(QStringLiteral("总额:"), DB10408);
    form->addRow(QStringLiteral("客人类别:"), DB10602);
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

    auto *keys = new EntryKeys(this);
    keys->onExit(DB10405, [this] { DB10405Exit(); });
    keys->onExit(DB10407, [this] { DB10407Exit(); });
    keys->setChain({DB10405, DB10407, DB10602, DB10409, DB10410, DB10411, DB10412, DB10413});

    connect(BDJ, &QToolButton::clicked, this, Guarded(this, &TFDJroom::BDJClick));
    connect(BRZD, &QToolButton::clicked, this, Guarded(this, &TFDJroom::BRZDClick));
    connect(BSX, &QToolButton::clicked, this, Guarded(this, &TFDJroom::BSXClick));
    connect(TeThemeSpeedButton4, &QToolButton::clicked, this,
            Guarded(this, &TFDJroom::TeThemeSpeedButton4Click));
    connect(LBCombox, &QComboBox::currentIndexChanged, this, Guarded(this, &TFDJroom::LBComboxChange));
    FJGrid->setDoubleClickHandler([this] { FJGridDblClick(); });

    // FormCreate
    dm.OpenSql(Q102, Q102.sql());
    resize(760, 520);
}

TFDJroom::~TFDJroom() {
    FJGrid->setQuery(nullptr);
    for (platform::Query *q : {&Q103, &Q102, &Q1041})
        q->blockSignals(true);
}

void TFDJroom::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) return;
    runGuarded([this] { FormShow(); });
}

void TFDJroom::closeEvent(QCloseEvent *event) {
    // A prepared row lives only in the fields: closing drops it, nothing is written.
    m_prepared = false;
    m_registered = true;
    QWidget::closeEvent(event);
}

void TFDJroom::FormShow() {
    m_group = false;
    m_registered = false;
    ReloadCategoryFilter(LBCombox, Q102, kAllCategories);
    LBComboxChange();
}

void TFDJroom::LBComboxChange() {
    OpenRoomList(Q103, LBCombox, VacantRoomList());
}

void TFDJroom::FJGridDblClick() {
    const int row = Q103.isActive() ? Q103.currentRow() : -1;
    if (row < 0) return;

    DB10405->setText(QStringLiteral("1"));
    DB10406->clear();
    DB10405->setFocus();
    m_prepared = false; // the previous, unregistered row is dropped
    m_registered = true;
    const QString number = NextCheckInNumber(FDM()); // a failure leaves no row prepared
    m_registered = false;
    m_prepared = true;

    auto cell = [&](const char *name) { return Q103.displayText(row, Q103.fieldIndex(QLatin1String(name))); };
    m_standardPrice = Q103.value(row, Q103.fieldIndex(QStringLiteral("F103_05"))).toDouble();
    m_checkInTime = NowToTheSecond();
    DB10401->setText(number);
    DB10402->setText(cell("F103_01"));
    DB10403->setText(cell("F103_02"));
    DB10404->setText(formatGeneral(m_standardPrice));
    DB10414->setText(AppContext().OperatorCode);
    DB10415->setText(formatDateTime(m_checkInTime));
}

void TFDJroom::DB10405Exit() {
    const std::optional<double> rate = LeaveRateField(DB10405);
    if (!rate) return;
    if (m_prepared) DB10406->setText(formatGeneral(ActualPrice(m_standardPrice, *rate)));
}

void TFDJroom::DB10407Exit() {
    if (DB10407->text().trimmed().isEmpty()) DB10407->setText(QStringLiteral("0"));
    if (m_prepared) {
        const double total = CheckInTotal(NumberOf(DB10406->text()), NumberOf(DB10407->text()));
        DB10408->setText(formatGeneral(total));
    }
    // Only the group's first room carries a deposit; the total keeps what was typed.
    if (m_group) DB10407->setText(QStringLiteral("0"));
}

void TFDJroom::BDJClick() {
    struct Check {
        bool failed;
        const char *message;
        QWidget *focus;
    };
    const QString actual = DB10406->text();
    const QString total = DB10408->text();
    const Check checks[] = {
        {actual.isEmpty() || actual == QLatin1String("0"), "实际价不能为零!", DB10406},
        {total.isEmpty() || total == QLatin1String("0"), "总额不能为零!", DB10408},
        {DB10409->text().isEmpty(), "客人姓名不能为空!", DB10409},
        {DB10410->currentText().isEmpty(), "证件名称不能为空!", DB10410},
        {DB10411->text().isEmpty(), "证件号码不能为空!", DB10411},
        {DB10412->text().isEmpty(), "证件地址不能为空!", DB10412},
    };
    for (const Check &c : checks)
        if (c.failed) {
            ShowInfo(QString::fromUtf8(c.message));
            c.focus->setFocus();
            return;
        }
    if (!m_prepared) return;

    // Read before the question: a text that is no number stops here with its reason.
    CheckIn c = ReadCheckIn({DB10401, DB10402, DB10403, DB10405, DB10406, DB10407, DB10408, DB10409,
                             DB10410->currentText(), DB10411, DB10412, DB10413, DB10414},
                            m_standardPrice, m_checkInTime);

    if (!AskConfirm(QStringLiteral("入住信息正确吗?"))) return;

    if (!RegisterCheckIn(FDM(), c)) {
        // Another workstation took the room since it was picked.
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

void TFDJroom::BRZDClick() {
    if (m_registered && Q1041.isActive() && Q1041.recordCount() == 1) {
        TYJRep report(Q1041, 0);
        report.preview(this);
        return;
    }
    ShowInfo(QStringLiteral("操作无效,请先登记!"));
}

void TFDJroom::clearAll() {
    for (QLineEdit *e : {DB10401, DB10402, DB10403, DB10404, DB10405, DB10406, DB10407, DB10408, DB10409,
                         DB10411, DB10412, DB10413, DB10414, DB10415})
        e->clear();
    DB10602->setCurrentIndex(DB10602->findText(QStringLiteral("散客")));
    m_group = false;
    BRZD->setEnabled(true);
}

void TFDJroom::BSXClick() {
    m_prepared = false;
    BDJ->setEnabled(true);
    if (DB10602->currentText() == QStringLiteral("散客")) {
        clearAll();
    } else if (AskConfirm(QStringLiteral("仍属于同一团体吗?"))) {
        m_group = true;
        BRZD->setEnabled(false); // the deposit receipt belongs to the group's first room
        for (QLineEdit *e : {DB10401, DB10402, DB10403, DB10404, DB10405, DB10406, DB10407, DB10408})
            e->clear();
        DB10602->setCurrentIndex(DB10602->findText(QStringLiteral("团体")));
    } else {
        clearAll();
    }
    LBComboxChange();
}

void TFDJroom::TeThemeSpeedButton4Click() {
    CloseWindow(this);
}

} // namespace lumvard::frontdesk
