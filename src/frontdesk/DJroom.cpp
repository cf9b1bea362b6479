#include "frontdesk/DJroom.h"

#include "data/DM.h"
#include "data/FrontDesk.h"
#include "data/RoomStatus.h"
#include "foundation/TextFormats.h"
#include "foundation/XDias.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>

namespace lumvard::frontdesk {

TFDJroom::TFDJroom(QWidget *parent)
    : CheckInWindow({QStringLiteral("TFDJroom"), QStringLiteral("入住登记"), QStringLiteral("房间状态"),
                     VacantRoomList(), kAllCategories, true},
                    parent) {
    DB10602 = Named(new QComboBox, QStringLiteral("DB10602"));
    DB10602->addItems({QStringLiteral("散客"), QStringLiteral("团体")});
    DB10410 = Named(new QComboBox, QStringLiteral("DB10410"));
    DB10410->setEditable(true);
    DB10410->setInsertPolicy(QComboBox::NoInsert);
    DB10410->addItems({QStringLiteral("身份证"), QStringLiteral("工作证"), QStringLiteral("军官证"),
                       QStringLiteral("警官证"), QStringLiteral("士兵证"), QStringLiteral("护照"),
                       QStringLiteral("户口簿"), QStringLiteral("驾驶证"), QStringLiteral("其他证件")});
    layOutForm(DB10602, 8, DB10410, {DB10405, DB10407, DB10602, DB10409, DB10410, DB10411, DB10412, DB10413});
}

void TFDJroom::closeEvent(QCloseEvent *event) {
    m_registered = true; // nothing of a closed window may print
    CheckInWindow::closeEvent(event);
}

void TFDJroom::FormShow() {
    m_group = false;
    CheckInWindow::FormShow();
}

void TFDJroom::FJGridDblClick() {
    const int row = Q103.isActive() ? Q103.currentRow() : -1;
    if (row < 0) return;

    startPick();
    const QString number = NextCheckInNumber(FDM()); // a failure leaves no row prepared
    m_registered = false;
    m_prepared = true;
    fillPicked(row, number);
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
    if (!amountsGiven()) return;
    struct Check {
        bool failed;
        const char *message;
        QWidget *focus;
    };
    const Check checks[] = {
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
    CheckIn c = ReadCheckIn(fields(DB10410->currentText()), m_standardPrice, m_checkInTime);

    if (!AskConfirm(QStringLiteral("入住信息正确吗?"))) return;

    if (!RegisterCheckIn(FDM(), c)) {
        // Another workstation took the room since it was picked.
        ShowInfo(kRoomStatusChangedMessage);
        return;
    }
    finishRegistration(c);
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

} // namespace lumvard::frontdesk
