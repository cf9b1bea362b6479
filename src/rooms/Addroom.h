#pragma once
// "添加客房": builds the room inventory. Three pages: new rooms ("添加客房"), room categories ("类别")
// and floors ("楼层"). Floors and categories are written at once; a new room is entered into the
// cached row of Q103 and written only when the operator confirms "保存".
#include "platform/Query.h"

#include <QWidget>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace lumvard::platform {
class DataGrid;
}

namespace lumvard::rooms {

class TFaddroom : public QWidget {
    Q_OBJECT
public:
    explicit TFaddroom(QWidget *parent = nullptr);
    ~TFaddroom() override;

    platform::Query Q103; // "Select * from FJK"
    platform::Query Q101; // "Select * from LCK"
    platform::Query Q102; // "Select * from LBK"

    QTabWidget *PageControl = nullptr;
    QWidget *TeCustomTabSheet1 = nullptr; // "添加客房"
    QWidget *TeCustomTabSheet2 = nullptr; // "类别"
    QWidget *TeCustomTabSheet3 = nullptr; // "楼层"

    platform::DataGrid *FJGrid = nullptr;
    QLineEdit *DB10301 = nullptr;
    QComboBox *DB10302 = nullptr;
    QComboBox *DB10303 = nullptr;
    QComboBox *DB10304 = nullptr;
    QLineEdit *DB10305 = nullptr;
    QPushButton *BAdd = nullptr;
    QPushButton *BOk = nullptr;
    QPushButton *BCan = nullptr;
    QPushButton *FJExit = nullptr;

    QListWidget *LBList = nullptr;
    QLineEdit *LBEdit = nullptr;
    QPushButton *LBSave = nullptr;
    QPushButton *LBDel = nullptr;
    QPushButton *LBExit = nullptr;

    QListWidget *LCList = nullptr;
    QLineEdit *LCEdit = nullptr;
    QPushButton *LCSave = nullptr;
    QPushButton *LCDel = nullptr;
    QPushButton *LCExit = nullptr;

    bool roomPending() const { return m_pending; }

    // Handlers (exceptions reach the caller; the signal connections run them guarded).
    void FormShow();
    void TeCustomTabSheet1Show();
    void LCSaveClick();
    void LBSaveClick();
    void LCDelClick();
    void LBDelClick();
    void BAddClick();
    void BOkClick();
    void BCanClick();
    void LCExitClick();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Lookup; // a floor or category page: its list, edit, query, table and texts
    void buildRoomPage();
    QWidget *buildLookupPage(const QString &listTitle, const QString &addTitle, const QString &nameLabel,
                             QListWidget *&list, QLineEdit *&edit, QPushButton *&save, QPushButton *&del,
                             QPushButton *&exit, const QString &prefix);
    void saveLookup(const Lookup &l);
    void deleteLookup(const Lookup &l);
    Lookup floors();
    Lookup categories();
    void setEntering(bool entering);
    static QStringList namesOf(platform::Query &query, const QString &field);

    bool m_pending = false;
};

} // namespace lumvard::rooms
