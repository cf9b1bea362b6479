#include "rooms/RZZL.h"

#include "platform/gui/FieldBinding.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace lumvard::rooms {

namespace {

struct Particular {
    const char *label;
    const char *column;
};

const Particular kParticulars[] = {
    {"入住时间:", "F104_15"}, {"房间号:", "F104_02"},   {"类别:", "F104_03"},     {"标准价:", "F104_04"},
    {"实际价:", "F104_06"},   {"押金:", "F104_07"},     {"客人姓名:", "F104_09"}, {"证件名称:", "F104_10"},
    {"证件号码:", "F104_11"}, {"证件地址:", "F104_12"}, {"操作员:", "F104_14"},
};

} // namespace

TFRZZL::TFRZZL(platform::Query *checkIns, const QString &roomNo, QWidget *parent)
    : QDialog(parent)
    , m_roomNo(roomNo) {
    setObjectName(QStringLiteral("TFRZZL"));
    setWindowTitle(QStringLiteral("房客入住资料"));
    LBT = new QLabel(this);
    LBT->setObjectName(QStringLiteral("LBT"));
    QFont heading = LBT->font();
    heading.setBold(true);
    LBT->setFont(heading);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(LBT);
    auto *form = new QFormLayout;
    for (const Particular &p : kParticulars) {
        const QString column = QString::fromLatin1(p.column);
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("DB") + column.mid(1, 3) + column.mid(5));
        edit->setReadOnly(true);
        edit->setMinimumWidth(200);
        new platform::FieldBinding(checkIns, column, edit);
        form->addRow(QString::fromUtf8(p.label), edit);
        fields << edit;
    }
    layout->addLayout(form);
}

QLineEdit *TFRZZL::fieldFor(const QString &column) const {
    for (int i = 0; i < fields.size(); ++i)
        if (column.compare(QLatin1String(kParticulars[i].column), Qt::CaseInsensitive) == 0) return fields[i];
    return nullptr;
}

void TFRZZL::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    LBT->setText(QStringLiteral("以下是") + m_roomNo + QStringLiteral("房间的客人入住资料"));
}

void TFRZZL::showFor(platform::Query *checkIns, const QString &roomNo, QWidget *parent) {
    TFRZZL dialog(checkIns, roomNo, parent);
    dialog.exec();
}

} // namespace lumvard::rooms
