#pragma once
// The login dialog: the operator picks "code|name" from the list and types the password; the
// super-operator password logs in as "SuperOper". Fills the operator fields of AppContext and sets
// LoggedIn when a password was accepted.
#include <QDialog>
#include <optional>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace lumvard {
class TFDM;
}

namespace lumvard::shell {

class TFPass : public QDialog {
    Q_OBJECT
public:
    explicit TFPass(TFDM &dm, QWidget *parent = nullptr);

    QComboBox *ComboBox1 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QPushButton *Bok = nullptr;
    QPushButton *Bcan = nullptr;
    QPushButton *Bexit = nullptr;

    // The operator code of a list entry: the number before the first "|"; nullopt for text that is
    // not of that form (typed text without "|", or no number before it).
    static std::optional<int> operatorCodeOf(const QString &entry);

    // Handlers, public so that the start sequence and tests can drive them as the widgets do.
    void FormShow();
    void ComboBox1Change();
    void Confirm(); // Bok, or Enter in Edit1
    void BcanClick();
    void BexitClick();

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    TFDM &m_dm;
    bool m_shownOnce = false;
    // The code of the operator whose row ComboBox1Change last took; the confirmation checks that
    // the text still names that operator.
    std::optional<int> m_chosenCode;
};

// Shows the login modally; true when an operator was logged in.
bool runLogin(TFDM &dm);

} // namespace lumvard::shell
