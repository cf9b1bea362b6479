#pragma once
// "入住登记": checks a guest into a vacant room. The operator picks a room from the vacant list
// (optionally of one category), gives the discount rate, the deposit and the guest's particulars, and
// registers: the RZK row and the room's change from "空房间" to "入住房" are written together, only
// while the room is still vacant. A group is checked in room by room ("刷新" → "仍属于同一团体吗?"
// keeps the guest's particulars); only its first room carries the deposit and the deposit receipt.
#include "platform/Query.h"
#include "platform/gui/DataGrid.h" // complete, so that the grid passes as the QTableView it is

#include <QDateTime>
#include <QWidget>

class QComboBox;
class QLineEdit;
class QToolButton;

namespace lumvard::frontdesk {

class TFDJroom : public QWidget {
    Q_OBJECT
public:
    explicit TFDJroom(QWidget *parent = nullptr);
    ~TFDJroom() override;

    platform::Query Q103;  // the vacant rooms (DS103)
    platform::Query Q102;  // "Select * from LBK"
    platform::Query Q1041; // the registered check-in, source of the deposit receipt

    QToolButton *BDJ = nullptr;                 // "登记"
    QToolButton *BRZD = nullptr;                // "入住单"
    QToolButton *BSX = nullptr;                 // "刷新"
    QToolButton *TeThemeSpeedButton4 = nullptr; // "退出"
    QComboBox *LBCombox = nullptr;
    platform::DataGrid *FJGrid = nullptr;
    QLineEdit *DB10401 = nullptr; // 入住流水号
    QLineEdit *DB10402 = nullptr; // 房间号
    QLineEdit *DB10403 = nullptr; // 类别
    QLineEdit *DB10404 = nullptr; // 标准价
    QLineEdit *DB10405 = nullptr; // 折价率
    QLineEdit *DB10406 = nullptr; // 实际价
    QLineEdit *DB10407 = nullptr; // 押金
    QLineEdit *DB10408 = nullptr; // 总额
    QComboBox *DB10602 = nullptr; // 客人类别
    QLineEdit *DB10409 = nullptr; // 客人姓名
    QComboBox *DB10410 = nullptr; // 证件名称
    QLineEdit *DB10411 = nullptr; // 证件号码
    QLineEdit *DB10412 = nullptr; // 证件地址
    QLineEdit *DB10413 = nullptr; // 随行人数
    QLineEdit *DB10415 = nullptr; // 入住时间
    QLineEdit *DB10414 = nullptr; // 操作员

    bool registered() const { return m_registered; }
    bool groupContinuation() const { return m_group; }
    bool prepared() const { return m_prepared; } // a picked room's row waits to be registered

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
    void clearAll();

    double m_standardPrice = 0;
    QDateTime m_checkInTime; // kept to the second, shown in DB10415
    bool m_prepared = false;
    bool m_registered = false;
    bool m_group = false;
};

} // namespace lumvard::frontdesk
