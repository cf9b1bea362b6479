#pragma once
// The check-in entry window both check-in paths share ("入住登记" from a vacant room, "预定转入住"
// from a reserved one): the toolbar, the room list with its category filter, the RZK entry form
// (DB10401-DB10415), the rate and deposit rules, the deposit receipt and the registration's ending.
// A window adds its guest-type and document-type widgets, picks its rows and registers its own way.
#include "frontdesk/FormParts.h"
#include "frontdesk/RoomPicker.h"
#include "platform/Query.h"
#include "platform/gui/DataGrid.h" // complete, so that the grid passes as the QTableView it is

#include <QDateTime>
#include <QWidget>

class QComboBox;
class QFormLayout;
class QLineEdit;
class QToolButton;

namespace lumvard::frontdesk {

class CheckInWindow : public QWidget {
    Q_OBJECT
public:
    ~CheckInWindow() override;

    platform::Query Q103;  // the rooms to pick from (DS103)
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
    QLineEdit *DB10409 = nullptr; // 客人姓名
    QLineEdit *DB10411 = nullptr; // 证件号码
    QLineEdit *DB10412 = nullptr; // 证件地址
    QLineEdit *DB10413 = nullptr; // 随行人数
    QLineEdit *DB10415 = nullptr; // 入住时间
    QLineEdit *DB10414 = nullptr; // 操作员

    bool registered() const { return m_registered; }
    bool prepared() const { return m_prepared; } // a picked room's check-in waits to be registered

    // Handlers (exceptions reach the caller; the window's connections run them guarded).
    virtual void FormShow();
    void LBComboxChange();
    virtual void FJGridDblClick() = 0;
    virtual void DB10405Exit() = 0;
    virtual void DB10407Exit() = 0;
    virtual void BDJClick() = 0;
    void BRZDClick();
    virtual void BSXClick() = 0;
    void TeThemeSpeedButton4Click();

protected:
    struct Kind {
        QString objectName;
        QString title;
        QString roomsTitle;
        RoomList rooms;
        QString firstFilterItem;
        bool guestEditable; // the guest's name and document number are typed here
    };
    CheckInWindow(const Kind &kind, QWidget *parent);

    // Lays the form out with the window's own guest-type widget in row `guestTypeRow` and its
    // document-type widget; `chain` is the Return order of the entry fields.
    void layOutForm(QWidget *guestType, int guestTypeRow, QWidget *documentType,
                    const QList<QWidget *> &chain);

    // The rate 1, a cleared price, the focus on the rate and the previous check-in dropped: the first
    // steps of every pick.
    void startPick();
    // The picked row's number, room, category, standard price, time and operator.
    void fillPicked(int row, const QString &number);
    // "实际价不能为零!" / "总额不能为零!" with the focus on the field; false when told.
    bool amountsGiven();
    // The fields as ReadCheckIn reads them.
    CheckInFields fields(const QString &documentType) const;
    // The check-in `c` is written: shows its number, tells the operator and opens it for the receipt.
    void finishRegistration(const CheckIn &c);

    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

    double m_standardPrice = 0;
    QDateTime m_checkInTime; // kept to the second, shown in DB10415
    bool m_prepared = false;
    bool m_registered = false;

private:
    RoomList m_rooms;
    QString m_firstFilterItem;
    QFormLayout *m_form = nullptr;
    EntryKeys *m_keys = nullptr;
};

} // namespace lumvard::frontdesk
