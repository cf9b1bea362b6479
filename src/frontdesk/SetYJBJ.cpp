#include "frontdesk/SetYJBJ.h"

#include "data/DM.h"
#include "data/DepositSupplement.h"
#include "foundation/TextFormats.h"
#include "foundation/XDias.h"
#include "frontdesk/FormParts.h"
#include "frontdesk/RoomPicker.h"
#include "frontdesk/Rzdjrep.h"
#include "platform/gui/DataGrid.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace lumvard::frontdesk {

namespace {

const QString kOpen = QStringLiteral("否");

// The open check-ins, by check-in number.
RoomList openCheckIns() {
    RoomList list;
    list.select = QStringLiteral("Select * from RZK where F104_16=:open");
    list.params = {{QStringLiteral("open"), kOpen}};
    list.categoryColumn = QStringLiteral("F104_03");
    list.orderBy = QStringLiteral("F104_01");
    list.firstItem = QStringLiteral("所有入住房");
    list.columns = {{QStringLiteral("F104_02"), QStringLiteral("房间号"), 0},
                    {QStringLiteral("F104_04"), QStringLiteral("单价"), 0},
                    {QStringLiteral("F104_03"), QStringLiteral("类别"), 0}};
    list.keyField = QStringLiteral("F104_01");
    return list;
}

} // namespace

TFBJYJ::TFBJYJ(QWidget *parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("TFBJYJ"));
    setWindowTitle(QStringLiteral("补交押金"));

    TFDM &dm = FDM();
    for (platform::Query *q : {&Q104, &Q102, &Q1041})
        q->setConnection(&dm.DBConn);
    Q102.setSql(QStringLiteral("Select * from LBK"));

    auto *toolbar = new QHBoxLayout;
    BDJ = AddToolButton(this, toolbar, QStringLiteral("BDJ"), QStringLiteral("补交"),
                        QStringLiteral("补交押金..."));
    BRZD = AddToolButton(this, toolbar, QStringLiteral("BRZD"), QStringLiteral("押金单"),
                         QStringLiteral("打印押金单..."));
    BSX = AddToolButton(this, toolbar, QStringLiteral("BSX"), QStringLiteral("刷新"),
                        QStringLiteral("刷新..."));
    TeThemeSpeedButton4 =
        AddToolButton(this, toolbar, QStringLiteral("TeThemeSpeedButton4"), QStringLiteral("退出"));
    toolbar->addStretch(1);

    auto *listBox = AddRoomListBox(QStringLiteral("预定房间清单"), Q104, openCheckIns(), LBCombox, FJGrid);

    auto *entryBox = Named(new QGroupBox(QStringLiteral("登记信息")), QStringLiteral("TeGroupBox2"));
    auto *form = new QFormLayout(entryBox);
    DB10601 = EntryField(QStringLiteral("DB10601"), false);
    DB10603 = EntryField(QStringLiteral("DB10603"), false);
    DB10614 = EntryField(QStringLiteral("DB10614"), false);
    DB10615 = EntryField(QStringLiteral("DB10615"), false, true);
    DB10608 = EntryField(QStringLiteral("DB10608"), true, true);
    YJYJ = Named(new QLabel, QStringLiteral("YJYJ"));
    QFont bold = YJYJ->font();
    bold.setBold(true);
    YJYJ->setFont(bold);
    DB10604 = EntryField(QStringLiteral("DB10604"), false);
    DB10605 = EntryField(QStringLiteral("DB10605"), false);
    DB10606 = EntryField(QStringLiteral("DB10606"), false);
    DB10607 = EntryField(QStringLiteral("DB10607"), false);
    DB10611 = EntryField(QStringLiteral("DB10611"), false);
    DB10610 = EntryField(QStringLiteral("DB10610"), false);
    auto *amount = new QHBoxLayout;
    amount->addWidget(DB10608, 1);
    amount->addWidget(Named(new QLabel(QStringLiteral("已交押金:")), QStringLiteral("Label1")));
    amount->addWidget(YJYJ);
    form->addRow(QStringLiteral("入住流水号:"), DB10601);
    form->addRow(QStringLiteral("房间号:"), DB10603);
    form->addRow(QStringLiteral("类别:"), DB10614);
    form->addRow(QStringLiteral("标准价:"), DB10615);
    form->addRow(QStringLiteral("押金:"), amount);
    form->addRow(QStringLiteral("客人姓名:"), DB10604);
    form->addRow(QStringLiteral("证件名称:"), DB10605);
    form->addRow(QStringLiteral("证件号码:"), DB10606);
    form->addRow(QStringLiteral("证件地址:"), DB10607);
    form->addRow(QStringLiteral("入住时间:"), DB10611);
    form->addRow(QStringLiteral("操作员:"), DB10610);

    auto *body = new QHBoxLayout;
    body->addWidget(listBox, 1);
    body->addWidget(entryBox, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(toolbar);
    layout->addLayout(body, 1);

    connect(BDJ, &QToolButton::clicked, this, Guarded(this, &TFBJYJ::BDJClick));
    connect(BRZD, &QToolButton::clicked, this, Guarded(this, &TFBJYJ::BRZDClick));
    connect(BSX, &QToolButton::clicked, this, Guarded(this, &TFBJYJ::BSXClick));
    connect(TeThemeSpeedButton4, &QToolButton::clicked, this,
            Guarded(this, &TFBJYJ::TeThemeSpeedButton4Click));
    connect(LBCombox, &QComboBox::currentIndexChanged, this, Guarded(this, &TFBJYJ::LBComboxChange));
    FJGrid->setDoubleClickHandler([this] { FJGridDblClick(); });

    // FormCreate
    dm.OpenSql(Q102, Q102.sql());
    resize(760, 460);
}

TFBJYJ::~TFBJYJ() {
    FJGrid->setQuery(nullptr);
    for (platform::Query *q : {&Q104, &Q102, &Q1041})
        q->blockSignals(true);
}

QList<QLineEdit *> TFBJYJ::fields() const {
    return {DB10601, DB10603, DB10607, DB10604, DB10606, DB10608,
            DB10610, DB10611, DB10614, DB10615, DB10605};
}

void TFBJYJ::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) return;
    runGuarded([this] { FormShow(); });
}

void TFBJYJ::FormShow() {
    ReloadCategoryFilter(LBCombox, Q102, openCheckIns().firstItem);
    LBComboxChange();
    FJGridDblClick(); // the first check-in is selected at once
}

void TFBJYJ::LBComboxChange() {
    OpenRoomList(Q104, LBCombox, openCheckIns());
}

void TFBJYJ::FJGridDblClick() {
    m_saved = false;
    m_depositSoFar = 0;
    DB10608->setFocus();
    const int row = Q104.isActive() ? Q104.currentRow() : -1;
    if (row < 0) {
        // An empty list: nothing to add a deposit to.
        for (QLineEdit *e : fields())
            e->clear();
        YJYJ->clear();
        return;
    }
    auto text = [&](const char *name) {
        return Q104.displayText(row, Q104.fieldIndex(QLatin1String(name))).trimmed();
    };
    auto value = [&](const char *name) { return Q104.value(row, Q104.fieldIndex(QLatin1String(name))); };
    m_depositSoFar = value("F104_07").toDouble();
    DB10601->setText(text("F104_01"));
    DB10603->setText(text("F104_02"));
    DB10604->setText(text("F104_09"));
    DB10605->setText(text("F104_10"));
    DB10606->setText(text("F104_11"));
    DB10607->setText(text("F104_12"));
    DB10608->setText(QStringLiteral("0"));
    YJYJ->setText(formatGeneral(m_depositSoFar));
    DB10610->setText(text("F104_14"));
    DB10611->setText(formatDateTime(value("F104_15").toDateTime()));
    DB10614->setText(text("F104_03"));
    DB10615->setText(formatGeneral(value("F104_06").toDouble()));
}

void TFBJYJ::BDJClick() {
    const SupplementAmount amount = ReadSupplementAmount(DB10608->text());
    if (!amount.accepted()) {
        ShowInfo(amount.refusal);
        DB10608->setFocus();
        return;
    }
    const QString number = DB10601->text().trimmed();
    if (number.isEmpty()) {
        // No check-in selected (an empty list): there is no row to add the deposit to.
        ShowWarning(kSupplementFailedMessage);
        return;
    }
    if (!AskConfirm(QStringLiteral("押金录入正确吗?"))) return;

    bool written = false;
    try {
        written = SupplementDeposit(FDM().DBConn, number, m_depositSoFar, amount.value);
    } catch (const platform::DbError &e) {
        m_saved = false;
        ShowWarning(kSupplementFailedMessage + QLatin1Char('\n') + e.message());
        return;
    }
    if (!written) {
        // Another workstation changed the deposit or settled the check-in since it was selected.
        m_saved = false;
        ShowWarning(kSupplementFailedMessage);
        return;
    }
    m_saved = true;
    m_receiptBase = m_depositSoFar;
    ShowInfo(QStringLiteral("补交成功!"));
    BDJ->setEnabled(false);
    FDM().OpenSql(Q1041, QStringLiteral("Select * From RZK Where F104_01=:no"),
                  {{QStringLiteral("no"), number}});
}

void TFBJYJ::BRZDClick() {
    if (m_saved && Q1041.isActive() && Q1041.recordCount() == 1) {
        TYJRep report(Q1041, m_receiptBase); // "押金:" shows only the amount just paid
        report.preview(this);
        return;
    }
    ShowInfo(QStringLiteral("操作无效,请先补交押金!"));
}

void TFBJYJ::BSXClick() {
    FJGrid->setFocus();
    LBComboxChange(); // the category filter stays
    BDJ->setEnabled(true);
    for (QLineEdit *e : fields())
        e->clear();
}

void TFBJYJ::TeThemeSpeedButton4Click() {
    CloseWindow(this);
}

} // namespace lumvard::frontdesk
