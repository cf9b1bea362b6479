#include "reservations/QXroom.h"

#include "data/DM.h"
#include "data/RoomStatus.h"
#include "foundation/XDias.h"
#include "frontdesk/FormParts.h"
#include "frontdesk/RoomPicker.h"
#include "platform/Command.h"
#include "platform/gui/DataGrid.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace lumvard::reservations {

using frontdesk::AddToolButton;
using frontdesk::Named;

TFQXroom::TFQXroom(QWidget *parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("TFQXroom"));
    setWindowTitle(QStringLiteral("取消预定"));

    TFDM &dm = FDM();
    for (platform::Query *q : {&Q103, &Q102})
        q->setConnection(&dm.DBConn);
    Q102.setSql(QStringLiteral("Select * from LBK"));

    auto *toolbar = new QHBoxLayout;
    BDJ = AddToolButton(this, toolbar, QStringLiteral("BDJ"), QStringLiteral("取消"));
    BSX = AddToolButton(this, toolbar, QStringLiteral("BSX"), QStringLiteral("刷新"));
    TeThemeSpeedButton4 =
        AddToolButton(this, toolbar, QStringLiteral("TeThemeSpeedButton4"), QStringLiteral("退出"));
    toolbar->addStretch(1);

    auto *roomsBox = frontdesk::AddRoomListBox(QStringLiteral("预定房间清单"), Q103,
                                               frontdesk::ReservedRoomList(false), LBCombox, FJGrid);

    auto *entryBox = Named(new QGroupBox(QStringLiteral("登记信息")), QStringLiteral("TeGroupBox2"));
    auto *form = new QFormLayout(entryBox);
    auto add = [&](QLineEdit *&e, const QString &name, const QString &label) {
        e = Named(new QLineEdit, name);
        e->setReadOnly(true);
        form->addRow(label, e);
    };
    add(DB10601, QStringLiteral("DB10601"), QStringLiteral("预定流水号:"));
    add(DB10602, QStringLiteral("DB10602"), QStringLiteral("客人类别:"));
    add(DB10603, QStringLiteral("DB10603"), QStringLiteral("房间号:"));
    add(DB10614, QStringLiteral("DB10614"), QStringLiteral("类别:"));
    add(DB10615, QStringLiteral("DB10615"), QStringLiteral("标准价:"));
    add(DB10608, QStringLiteral("DB10608"), QStringLiteral("定金:"));
    add(DB10604, QStringLiteral("DB10604"), QStringLiteral("客人姓名:"));
    add(DB10605, QStringLiteral("DB10605"), QStringLiteral("证件名称:"));
    add(DB10606, QStringLiteral("DB10606"), QStringLiteral("证件号码:"));
    add(DB10607, QStringLiteral("DB10607"), QStringLiteral("证件地址:"));
    add(DB10609, QStringLiteral("DB10609"), QStringLiteral("联系电话:"));
    add(DB10611, QStringLiteral("DB10611"), QStringLiteral("预定时间:"));
    add(DB10610, QStringLiteral("DB10610"), QStringLiteral("操作员:"));

    auto *body = new QHBoxLayout;
    body->addWidget(roomsBox, 1);
    body->addWidget(entryBox, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(toolbar);
    layout->addLayout(body, 1);

    connect(BDJ, &QToolButton::clicked, this, frontdesk::Guarded(this, &TFQXroom::BDJClick));
    connect(BSX, &QToolButton::clicked, this, frontdesk::Guarded(this, &TFQXroom::BSXClick));
    connect(TeThemeSpeedButton4, &QToolButton::clicked, this,
            frontdesk::Guarded(this, &TFQXroom::TeThemeSpeedButton4Click));
    connect(LBCombox, &QComboBox::currentIndexChanged, this,
            frontdesk::Guarded(this, &TFQXroom::LBComboxChange));
    FJGrid->setDoubleClickHandler([this] { FJGridDblClick(); });

    // FormCreate
    dm.OpenSql(Q102, Q102.sql());
    resize(720, 460);
}

TFQXroom::~TFQXroom() {
    FJGrid->setQuery(nullptr);
    for (platform::Query *q : {&Q103, &Q102})
        q->blockSignals(true);
}

QList<QLineEdit *> TFQXroom::fields() const {
    return {DB10601, DB10602, DB10603, DB10614, DB10615, DB10608, DB10604,
            DB10605, DB10606, DB10607, DB10609, DB10611, DB10610};
}

void TFQXroom::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) return;
    runGuarded([this] { FormShow(); });
}

void TFQXroom::FormShow() {
    frontdesk::ReloadCategoryFilter(LBCombox, Q102, QStringLiteral("所有预定房"));
    LBComboxChange();
}

void TFQXroom::LBComboxChange() {
    frontdesk::OpenRoomList(Q103, LBCombox, frontdesk::ReservedRoomList(false));
}

void TFQXroom::FJGridDblClick() {
    const int row = Q103.isActive() ? Q103.currentRow() : -1;
    if (row < 0) return;
    auto cell = [&](const char *name) { return Q103.displayText(row, Q103.fieldIndex(QLatin1String(name))); };
    const QString room = cell("F103_01");

    TFDM &dm = FDM();
    platform::Query &q = dm.QADO;
    q.close();
    // A reserved room with no open reservation, or with several, shows nothing.
    if (!dm.OpenSql(q, QStringLiteral("Select * From KRYDK Where F106_03=:room and F106_13=:open"),
                    {{QStringLiteral("room"), room}, {QStringLiteral("open"), QStringLiteral("否")}}) ||
        q.recordCount() != 1)
        return;
    auto text = [&](const char *name) { return q.displayText(0, q.fieldIndex(QLatin1String(name))); };
    DB10601->setText(text("F106_01"));
    DB10602->setText(text("F106_02"));
    DB10603->setText(room);
    DB10614->setText(cell("F103_02"));
    DB10615->setText(cell("F103_05"));
    DB10608->setText(text("F106_08"));
    DB10604->setText(text("F106_04"));
    DB10605->setText(text("F106_05"));
    DB10606->setText(text("F106_06"));
    DB10607->setText(text("F106_07"));
    DB10609->setText(text("F106_09"));
    DB10611->setText(text("F106_11"));
    DB10610->setText(text("F106_10"));
}

void TFQXroom::BDJClick() {
    if (DB10601->text().isEmpty()) return;
    if (!AskConfirm(QStringLiteral("取消此客房预定吗?"))) return;

    TFDM &dm = FDM();
    {
        platform::Transaction t(dm.DBConn);
        // The reservation closes only while still open, and the room frees only while still reserved:
        // either may have been taken up or cancelled at another workstation since it was shown.
        const int closed = platform::Command::run(
            dm.DBConn, QStringLiteral("Update KRYDK set F106_13=:closed Where F106_01=:no and F106_13=:open"),
            {{QStringLiteral("closed"), QStringLiteral("是")},
             {QStringLiteral("no"), DB10601->text()},
             {QStringLiteral("open"), QStringLiteral("否")}});
        if (closed != 1 ||
            !ChangeRoomStatus(dm.DBConn, DB10603->text(), RoomStatusWord::Reserved, RoomStatusWord::Vacant)) {
            t.rollback();
            ShowInfo(kRoomStatusChangedMessage);
            return;
        }
        t.commit();
    }
    ShowInfo(QStringLiteral("取消客房预定成功!"));
    BDJ->setEnabled(false);
}

void TFQXroom::BSXClick() {
    FJGrid->setFocus();
    BDJ->setEnabled(true);
    for (QLineEdit *e : fields())
        e->clear();
    LBComboxChange();
}

void TFQXroom::TeThemeSpeedButton4Click() {
    frontdesk::CloseWindow(this);
}

} // namespace lumvard::reservations
