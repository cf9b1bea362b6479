#pragma once
// "退房登记": checks a guest out. The operator picks a room with an open check-in; the window counts
// the stay in half days, works out the room charge and prepares the settlement row (shown in the grid
// from the data module's QADOQ). "结帐" writes that row and closes the check-in together, only while
// the check-in is still open, then lets the operator set the room's new status; "帐单" prints the bill.
#include "platform/Query.h"

#include <QDateTime>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QToolButton;

namespace lumvard::platform {
class QueryModel;
}

namespace lumvard::frontdesk {

class TFTFDJ : public QWidget {
    Q_OBJECT
public:
    explicit TFTFDJ(QWidget *parent = nullptr);
    ~TFTFDJ() override;

    platform::Query Q104; // the open check-in of the chosen room (DSQ104)

    QToolButton *BJZ = nullptr;                 // "结帐"
    QToolButton *BZD = nullptr;                 // "帐单"
    QToolButton *BSX = nullptr;                 // "刷新"
    QToolButton *TeThemeSpeedButton4 = nullptr; // "退出"
    QComboBox *FJHCombox = nullptr;
    QPushButton *Blook = nullptr;
    QTableView *XFGrid = nullptr;
    QLineEdit *FJ = nullptr;   // 房价
    QLineEdit *YSYJ = nullptr; // 已收押金
    QLineEdit *ZE = nullptr;   // 已收总额
    QLineEdit *RZTS = nullptr; // 住宿天数
    QLineEdit *ZXF = nullptr;  // 住宿费
    QLineEdit *YS = nullptr;   // 实际应收
    QLineEdit *YTYJ = nullptr; // 应退押金
    QLineEdit *SS = nullptr;   // 实收
    QLineEdit *YZ = nullptr;   // 应找
    QLabel *Lyz = nullptr;

    bool settled() const { return m_settled; }
    const QString &refundText() const { return m_refund; }

    // Handlers (exceptions reach the caller; the window's connections run them guarded).
    void FormShow();
    void FJHComboxChange();
    void SSExit();
    void SSKeyDown(); // Enter in SS
    void BlookClick();
    void BJZClick();
    void BZDClick();
    void BSXClick();
    void TeThemeSpeedButton4Click();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    bool roomChosen() const; // a room whose one open check-in is in Q104
    void fillRooms();
    bool openCheckIn(const QString &room);

    platform::QueryModel *m_model = nullptr;
    QString m_refund;
    bool m_settled = false;
};

} // namespace lumvard::frontdesk
