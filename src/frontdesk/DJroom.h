#pragma once
// "入住登记": checks a guest into a vacant room. The operator picks a room from the vacant list
// (optionally of one category), gives the discount rate, the deposit and the guest's particulars, and
// registers: the RZK row and the room's change from "空房间" to "入住房" are written together, only
// while the room is still vacant. A group is checked in room by room ("刷新" → "仍属于同一团体吗?"
// keeps the guest's particulars); only its first room carries the deposit and the deposit receipt.
#include "frontdesk/CheckInForm.h"

class QComboBox;

namespace lumvard::frontdesk {

class TFDJroom : public CheckInWindow {
    Q_OBJECT
public:
    explicit TFDJroom(QWidget *parent = nullptr);

    QComboBox *DB10602 = nullptr; // 客人类别
    QComboBox *DB10410 = nullptr; // 证件名称

    bool groupContinuation() const { return m_group; }

    void FormShow() override;
    void FJGridDblClick() override;
    void DB10405Exit() override;
    void DB10407Exit() override;
    void BDJClick() override;
    void BSXClick() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void clearAll();

    bool m_group = false;
};

} // namespace lumvard::frontdesk
