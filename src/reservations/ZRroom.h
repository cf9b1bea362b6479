#pragma once
// "预定转入住": the guest of a reservation arrives. The operator picks a reserved room; its one open
// reservation gives the guest's particulars (its deposit stays with the reservation: the check-in
// takes its own), the operator sets the rate, the deposit, the address and the companions, and
// registers: the check-in row, the closing of the reservation and the room's change from "预定房" to
// "入住房" are written together, only while the reservation is still open and the room still reserved.
#include "data/ReservationTakeUp.h"
#include "platform/Query.h"

#include <QDateTime>
#include <QWidget>

class QComboBox;
class QLineEdit;
class QToolButton;

namespace lumvard::platform {
class DataGrid;
}

namespace lumvard::reservations {

class TFZRroom : public QWidget {
    Q_OBJECT
public:
    explicit TFZRroom(QWidget *parent = nullptr);
    ~TFZRroom() override;

    platform::Query Q103;  // the reserved rooms (DS103)
    platform::Query Q102;  // "Select * from LBK"
    platform::Query Q1041; // the registered check-in, source of the deposit receipt

    QToolButton *BDJ = nullptr;                 // "登记"
    QToolButton *BRZD = nullptr;                // "入住单"
    QToolButton *BSX = nullptr;                 // "刷新"
    QToolButton *TeThemeSpeedButton4 = nullptr; // "退出"
    QComboBox *LBCombox = nullptr;
    platform::DataGrid *FJGrid = nullptr;
    QLineEdit *DB10401 = nullptr; // 入住流水号
    QLineEdit *DB10416 = nullptr; // 客人类别 (of the reservation, not stored)
    QLineEdit *DB10402 = nullptr; // 房间号
    QLineEdit *DB10403 = nullptr; // 类别
    QLineEdit *DB10404 = nullptr; // 标准价
    QLineEdit *DB10405 = nullptr; // 折价率
    QLineEdit *DB10406 = nullptr; // 实际价
    QLineEdit *DB10407 = nullptr; // 押金
    QLineEdit *DB10408 = nullptr; // 总额
    QLineEdit *DB10409 = nullptr; // 客人姓名
    QLineEdit *DB10410 = nullptr; // 证件名称
    QLineEdit *DB10411 = nullptr; // 证件号码
    QLineEdit *DB10412 = nullptr; // 证件地址
    QLineEdit *DB10413 = nullptr; // 随行人数
    QLineEdit *DB10415 = nullptr; // 入住时间
    QLineEdit *DB10414 = nullptr; // 操作员
    QLineEdit *DB10601 = nullptr; // hidden: the reservation being taken up

    bool registered() const { return m_registered; }
    bool prepared() const { return m_prepared; } // a picked room's check-in waits to be registered

    // Handlers (exceptions reach the caller; the window's connections run them guarded).
    void FormShow();
    void LBComboxChange();
    void FJGridDblClick();
    void DB10405Exit();
    void DB10407Exit();
    void BDJClick();
    void BRZDClick();
    void BSXClick();
    void TeThemeSpeedButton4Click();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    double m_standardPrice = 0;
    QDateTime m_checkInTime; // kept to the second, shown in DB10415
    bool m_prepared = false;
    bool m_registered = false;
};

} // namespace lumvard::reservations
