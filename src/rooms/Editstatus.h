#pragma once
// "改变房间状态": the checkout asks the operator for the room's new status after a settlement. The
// chosen (or typed) word is written to FJK at once; closing the dialog any other way changes nothing.
#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QPushButton;

namespace lumvard::rooms {

class TFeditstatus : public QDialog {
    Q_OBJECT
public:
    // The room whose status is changed (the checkout passes F104_02 of the check-in row in QADOT).
    explicit TFeditstatus(const QString &roomNo, QWidget *parent = nullptr);

    // Shows the dialog modally; true when a status was written.
    static bool run(const QString &roomNo, QWidget *parent = nullptr);

    const QString &roomNo() const { return m_roomNo; }
    bool statusWritten() const { return m_written; }

    QLabel *LZT = nullptr;
    QComboBox *ZTCombox = nullptr;
    QPushButton *TeThemeButton1 = nullptr; // "确定"

    void TeThemeButton1Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString m_roomNo;
    bool m_written = false;
};

} // namespace lumvard::rooms
