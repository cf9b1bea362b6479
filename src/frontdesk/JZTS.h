#pragma once
// "结帐": shows the operator what the guest pays, what was received and the change ("应找:") or the
// amount still owed ("客人应补:"). The checkout hands the four texts over before it is shown.
#include <QDialog>
#include <QString>
#include <functional>

class QLabel;
class QPushButton;

namespace lumvard::frontdesk {

class TFTS : public QDialog {
    Q_OBJECT
public:
    explicit TFTS(QWidget *parent = nullptr);

    // Handed over by the checkout.
    QString payable, received, caption, change;

    QLabel *LYF = nullptr;
    QLabel *LSS = nullptr;
    QLabel *LL = nullptr;
    QLabel *LYZ = nullptr;
    QPushButton *TeThemeButton1 = nullptr; // "确定"

    void FormShow();

    // Shows the dialog modally with the texts; through the show hook when one is installed.
    static void run(const QString &payable, const QString &received, const QString &caption,
                    const QString &change, QWidget *parent = nullptr);

    // Tests: receives the dialog, its texts copied, instead of the modal loop.
    using ShowHook = std::function<void(TFTS &)>;
    static void setShowHook(ShowHook hook);

protected:
    void showEvent(QShowEvent *event) override;
};

} // namespace lumvard::frontdesk
