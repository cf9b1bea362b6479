#include "rooms/Editstatus.h"

#include "data/DM.h"
#include "foundation/XDias.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumvard::rooms {

TFeditstatus::TFeditstatus(const QString &roomNo, QWidget *parent)
    : QDialog(parent)
    , m_roomNo(roomNo) {
    setObjectName(QStringLiteral("TFeditstatus"));
    setWindowTitle(QStringLiteral("改变房间状态"));
    LZT = new QLabel(this);
    LZT->setObjectName(QStringLiteral("LZT"));
    ZTCombox = new QComboBox(this);
    ZTCombox->setObjectName(QStringLiteral("ZTCombox"));
    ZTCombox->setEditable(true); // any typed word is taken
    ZTCombox->setInsertPolicy(QComboBox::NoInsert);
    ZTCombox->addItems({QStringLiteral("空房间"), QStringLiteral("打扫中"), QStringLiteral("修理中")});
    ZTCombox->setCurrentIndex(0);
    TeThemeButton1 = new QPushButton(QStringLiteral("确定"), this);
    TeThemeButton1->setObjectName(QStringLiteral("TeThemeButton1"));
    TeThemeButton1->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(LZT);
    layout->addWidget(ZTCombox);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(TeThemeButton1);
    layout->addLayout(buttons);
    setMinimumWidth(260);

    connect(TeThemeButton1, &QPushButton::clicked, this,
            [this] { runGuarded([this] { TeThemeButton1Click(); }); });
}

void TFeditstatus::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    LZT->setText(QStringLiteral("房间") + m_roomNo + QStringLiteral("的状态改变为:"));
}

void TFeditstatus::TeThemeButton1Click() {
    const QString status = ZTCombox->currentText();
    if (!status.isEmpty()) {
        TFDM &dm = FDM();
        // The word and the room go in as values, never as statement text.
        m_written = dm.ExecSql(dm.QADO, QStringLiteral("Update FJK set F103_04=:status where F103_01=:room"),
                               {{QStringLiteral("status"), status}, {QStringLiteral("room"), m_roomNo}});
        if (!m_written)
            ShowWarning(QStringLiteral("房间%1的状态未能改变!\r\n%2").arg(m_roomNo, dm.lastError()));
    }
    accept();
}

bool TFeditstatus::run(const QString &roomNo, QWidget *parent) {
    TFeditstatus dialog(roomNo, parent);
    dialog.exec();
    return dialog.statusWritten();
}

} // namespace lumvard::rooms
