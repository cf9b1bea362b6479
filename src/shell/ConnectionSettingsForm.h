#pragma once
// The one layout and logic of the two connection dialogs (start-up TFSDataCon, menu TFSetCon):
// server name, user and password, "测试" on the form's own connection DCon, and storing the tested
// settings scrambled under AppContext().SettingsKey. The owner supplies the tested flag (its life
// differs between the two) and what follows a test, the storing and "取消并退出".
#include "platform/Connection.h"

#include <QWidget>
#include <functional>

class QLineEdit;
class QPushButton;

namespace lumvard::shell {

class ConnectionSettingsForm : public QWidget {
    Q_OBJECT
public:
    struct Options {
        QString okCaption;                                                  // "确认并进入" or "确认"
        bool withCancel = false;                                            // "取消并退出"
        bool *tested = nullptr;                                             // the owner's tested flag
        std::function<void(const platform::ConnectionSettings &)> onTested; // after a successful test
        std::function<void(const platform::ConnectionSettings &)> onStored; // after storing
        std::function<void()> onCancel;
    };

    ConnectionSettingsForm(Options options, QWidget *parent = nullptr);
    ~ConnectionSettingsForm() override;

    QLineEdit *SN = nullptr;
    QLineEdit *DU = nullptr;
    QLineEdit *DP = nullptr;
    QPushButton *BTest = nullptr;
    QPushButton *BOk = nullptr;
    QPushButton *BCan = nullptr; // only with Options::withCancel
    platform::Connection DCon;

    // The server settings the fields describe (trimmed texts, no database).
    platform::ConnectionSettings settingsFromFields() const;
    bool tested() const { return *m_options.tested; }

    void BTestClick();
    void BOkClick();
    void BCanClick();

    // Waiting for the server during a test; the default is the provider's usual 15 s.
    static int testTimeoutSeconds;

private:
    Options m_options;
};

} // namespace lumvard::shell
