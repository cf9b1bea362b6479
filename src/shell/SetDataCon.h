#pragma once
// The connection dialog of the start-up: shown modally when no server settings are stored or they
// no longer reach the server. It leaves either by "确认并进入" after a successful test (settings
// stored, AppContext().ServerConnection set) or by "取消并退出", after which the caller ends the
// program.
#include "platform/Connection.h"
#include "shell/ConnectionSettingsForm.h"

#include <QDialog>
#include <optional>

namespace lumvard::shell {

class TFSDataCon : public QDialog {
    Q_OBJECT
public:
    explicit TFSDataCon(QWidget *parent = nullptr);

    ConnectionSettingsForm *form = nullptr;

    // The tested flag lives once per process: false at the first showing, then whatever the last
    // test left.
    static bool tested() { return s_tested; }
    static void resetTestedFlag() { s_tested = false; } // a fresh process (tests)

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override; // Esc does not leave: only the two buttons do

private:
    static bool s_tested;
    bool m_leaving = false;
};

// The start-up hook: shows TFSDataCon modally. Returns the stored settings, or nullopt after
// "取消并退出".
std::optional<platform::ConnectionSettings> askServerSettings();

} // namespace lumvard::shell
