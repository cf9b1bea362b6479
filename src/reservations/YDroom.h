#pragma once
// "客房预定": reserves one vacant room at a time. The operator picks a room from the vacant list, gives
// the discount rate, the deposit and the guest's particulars, and saves: the KRYDK row and the room's
// change from "空房间" to "预定房" are written in one transaction. A group is entered room by room
// ("刷新" → "仍属于同一团体吗?" keeps the guest's particulars); only its first room carries the deposit
// and the deposit receipt.
#include "platform/Query.h"
#include "platform/gui/DataGrid.h"

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QToolButton;

namespace lumvard::reservations {

class TFYDroom : public QWidget {
    Q_OBJECT
public:
    explicit TFYDroom(QWidget *parent = nullptr);
    ~TFYDroom() override;

    platform::Query Q106;  // "select * From KRYDK": the reservation being entered
    platform::Query Q1061; // the saved reservation, source of the receipt
    platform::Query Q103;  // the vacant rooms (DS103)
    platform::Query Q102;  // "Select * from LBK"

    QToolButton *BDJ = nullptr;                 // "预定"
    QToolButton *BRZD = nullptr;                // "定金单"
    QToolButton *BSX = nullptr;                 // "刷新"
    QToolButton *TeThemeSpeedButton4 = nullptr; // "退出"
    QComboBox *LBCombox = nullptr;
    platform::DataGrid *FJGrid = nullptr;
    QLineEdit *DB10601 = nullptr; // 预定流水号
    QLineEdit *DB10603 = nullptr; // 房间号
    QLineEdit *DB10614 = nullptr; // 类别
    QLineEdit *DB10615 = nullptr; // 标准价
    QLineEdit *DB10616 = nullptr; // 折价率
    QLineEdit *DB10617 = nullptr; // 实际价
    QLineEdit *DB10608 = nullptr; // 定金
    QComboBox *DB10602 = nullptr; // 客人类别
    QLineEdit *DB10604 = nullptr; // 客人姓名
    QComboBox *DB10605 = nullptr; // 证件名称
    QLineEdit *DB10606 = nullptr; // 证件号码
    QLineEdit *DB10607 = nullptr; // 证件地址
    QLineEdit *DB10609 = nullptr; // 联系电话
    QLineEdit *DB10611 = nullptr; // 预定时间
    QLineEdit *DB10610 = nullptr; // 操作员

    bool saved() const { return m_saved; }
    bool groupContinuation() const { return m_group; }

    // Handlers (exceptions reach the caller; the window's connections run them guarded).
    void FormShow();
    void LBComboxChange();
    void FJGridDblClick();
    void DB10616Exit();
    void DB10608Exit();
    void BDJClick();
    void BSXClick();
    void BRZDClick();
    void TeThemeSpeedButton4Click();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    bool entering() const; // a picked room's row is in Q106 and not yet written
    void writeReservation(const QString &room);
    void fullReset();

    bool m_saved = false;
    bool m_group = false;
};

} // namespace lumvard::reservations
