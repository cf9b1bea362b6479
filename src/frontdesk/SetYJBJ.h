#pragma once
// "补交押金": a further deposit for a guest still checked in. The operator selects an open check-in,
// types the amount paid and confirms: the deposit and total of its RZK row grow, but only while the
// deposit still reads what was shown at selection (a supplement taken meanwhile at another
// workstation is never overwritten). The deposit receipt then prints only the amount just paid.
#include "platform/Query.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace lumvard::platform {
class DataGrid;
}

namespace lumvard::frontdesk {

class TFBJYJ : public QWidget {
    Q_OBJECT
public:
    explicit TFBJYJ(QWidget *parent = nullptr);
    ~TFBJYJ() override;

    platform::Query Q104;  // the open check-ins (DS104)
    platform::Query Q102;  // "Select * from LBK"
    platform::Query Q1041; // the supplemented check-in, source of the deposit receipt

    QToolButton *BDJ = nullptr;                 // "补交"
    QToolButton *BRZD = nullptr;                // "押金单"
    QToolButton *BSX = nullptr;                 // "刷新"
    QToolButton *TeThemeSpeedButton4 = nullptr; // "退出"
    QComboBox *LBCombox = nullptr;
    platform::DataGrid *FJGrid = nullptr;
    QLineEdit *DB10601 = nullptr; // 入住流水号
    QLineEdit *DB10603 = nullptr; // 房间号
    QLineEdit *DB10614 = nullptr; // 类别
    QLineEdit *DB10615 = nullptr; // 标准价 (the actual price)
    QLineEdit *DB10608 = nullptr; // 押金: the amount to add
    QLabel *YJYJ = nullptr;       // 已交押金
    QLineEdit *DB10604 = nullptr; // 客人姓名
    QLineEdit *DB10605 = nullptr; // 证件名称
    QLineEdit *DB10606 = nullptr; // 证件号码
    QLineEdit *DB10607 = nullptr; // 证件地址
    QLineEdit *DB10611 = nullptr; // 入住时间
    QLineEdit *DB10610 = nullptr; // 操作员

    double depositSoFar() const { return m_depositSoFar; }
    bool supplementSaved() const { return m_saved; }

    // Handlers (exceptions reach the caller; the window's connections run them guarded).
    void FormShow();
    void LBComboxChange();
    void FJGridDblClick();
    void BDJClick();
    void BRZDClick();
    void BSXClick();
    void TeThemeSpeedButton4Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QList<QLineEdit *> fields() const;

    double m_depositSoFar = 0; // F104_07 of the check-in selected last, as read then
    double m_receiptBase = 0;  // the deposit before the supplement the receipt documents
    bool m_saved = false;
};

} // namespace lumvard::frontdesk
