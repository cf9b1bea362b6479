#pragma once
// The connection settings window of the menu ("初始数据" / "设置数据库连接"): an MDI child with the
// layout of the start-up dialog. Stored settings take effect at the next start; the running program
// keeps its connection.
#include "shell/ConnectionSettingsForm.h"

#include <QWidget>

namespace lumvard::shell {

class TFSetCon : public QWidget {
    Q_OBJECT
public:
    explicit TFSetCon(QWidget *parent = nullptr);

    ConnectionSettingsForm *form = nullptr;
    bool tested() const { return m_tested; }
    // The settings of the last successful test; kept to the window itself.
    const platform::ConnectionSettings &testedSettings() const { return m_settings; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool m_tested = false; // cleared on creation
    bool m_centred = false;
    platform::ConnectionSettings m_settings;
};

} // namespace lumvard::shell
