#pragma once
// "房客入住资料": the check-in particulars of an occupied room, read-only, shown by the checkout from
// the current row of its check-in dataset.
#include "platform/Query.h"

#include <QDialog>
#include <QList>
#include <QString>

class QLabel;
class QLineEdit;

namespace lumvard::rooms {

class TFRZZL : public QDialog {
    Q_OBJECT
public:
    // checkIns: the caller's check-in dataset (RZK columns), shown at its current row; not owned and
    // kept unchanged. roomNo: the room of the heading (F104_02 of the check-in row in QADOT).
    TFRZZL(platform::Query *checkIns, const QString &roomNo, QWidget *parent = nullptr);

    // Shows the dialog modally.
    static void showFor(platform::Query *checkIns, const QString &roomNo, QWidget *parent = nullptr);

    QLabel *LBT = nullptr;
    // The eleven fields in their order, named DB + table and column ("DB10415" shows F104_15).
    QList<QLineEdit *> fields;
    QLineEdit *fieldFor(const QString &column) const; // "F104_15"; nullptr when not shown

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString m_roomNo;
};

} // namespace lumvard::rooms
