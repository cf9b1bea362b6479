#pragma once
// "取消预定": cancels the open reservation of a reserved room. The reservation is closed ("是", its
// deposit stays recorded) and the room goes from "预定房" back to "空房间" in one transaction.
#include "platform/Query.h"
#include "platform/gui/DataGrid.h"

#include <QWidget>

class QComboBox;
class QLineEdit;
class QToolButton;

namespace lumvard::reservations {

class TFQXroom : public QWidget {
    Q_OBJECT
public:
    explicit TFQXroom(QWidget *parent = nullptr);
    ~TFQXroom() override;

    platform::Query Q103; // the reserved rooms (DS103)
    platform::Query Q102; // "Select * from LBK"

    QToolButton *BDJ = nullptr;                 // "取消"
    QToolButton *BSX = nullptr;                 // "刷新"
    QToolButton *TeThemeSpeedButton4 = nullptr; // "退出"
    QComboBox *LBCombox = nullptr;
    platform::DataGrid *FJGrid = nullptr;
    QLineEdit *DB10601 = nullptr;
    QLineEdit *DB10602 = nullptr;
    QLineEdit *DB10603 = nullptr;
    QLineEdit *DB10614 = nullptr;
    QLineEdit *DB10615 = nullptr;
    QLineEdit *DB10608 = nullptr;
    QLineEdit *DB10604 = nullptr;
    QLineEdit *DB10605 = nullptr;
    QLineEdit *DB10606 = nullptr;
    QLineEdit *DB10607 = nullptr;
    QLineEdit *DB10609 = nullptr;
    QLineEdit *DB10611 = nullptr;
    QLineEdit *DB10610 = nullptr;

    // Handlers (exceptions reach the caller; the window's connections run them guarded).
    void FormShow();
    void LBComboxChange();
    void FJGridDblClick();
    void BDJClick();
    void BSXClick();
    void TeThemeSpeedButton4Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QList<QLineEdit *> fields() const;
};

} // namespace lumvard::reservations
