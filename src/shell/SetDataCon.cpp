#include "shell/SetDataCon.h"

#include "data/AppContext.h"

#include <QCloseEvent>
#include <QScreen>
#include <QVBoxLayout>

namespace lumvard::shell {

bool TFSDataCon::s_tested = false;

TFSDataCon::TFSDataCon(QWidget *parent)
    : QDialog(parent,
              Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("TFSDataCon"));
    setWindowTitle(QStringLiteral("设置数据库连接"));
    ConnectionSettingsForm::Options o;
    o.okCaption = QStringLiteral("确认并进入");
    o.withCancel = true;
    o.tested = &s_tested;
    o.onTested = [](const platform::ConnectionSettings &s) { AppContext().ServerConnection = s; };
    o.onStored = [this](const platform::ConnectionSettings &s) {
        AppContext().ServerConnection = s;
        m_leaving = true;
        accept();
    };
    o.onCancel = [this] {
        m_leaving = true;
        QDialog::reject();
    };
    form = new ConnectionSettingsForm(std::move(o), this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(form);
    setFixedSize(sizeHint().expandedTo(QSize(340, 0)));
}

void TFSDataCon::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    m_leaving = false;
    if (QScreen *s = screen()) move(s->availableGeometry().center() - rect().center());
}

void TFSDataCon::closeEvent(QCloseEvent *event) {
    if (m_leaving)
        event->accept();
    else
        event->ignore();
}

void TFSDataCon::reject() {}

std::optional<platform::ConnectionSettings> askServerSettings() {
    TFSDataCon dialog;
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return AppContext().ServerConnection;
}

} // namespace lumvard::shell
