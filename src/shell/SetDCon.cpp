#include "shell/SetDCon.h"

#include "foundation/XDias.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVBoxLayout>

namespace lumvard::shell {

TFSetCon::TFSetCon(QWidget *parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("TFSetCon"));
    setWindowTitle(QStringLiteral("设置数据库连接"));
    ConnectionSettingsForm::Options o;
    o.okCaption = QStringLiteral("确认");
    o.tested = &m_tested;
    o.onTested = [this](const platform::ConnectionSettings &s) { m_settings = s; };
    o.onStored = [this](const platform::ConnectionSettings &s) {
        m_settings = s;
        ShowInfo(QStringLiteral("为使数据库连接的设置有效\r\n请退出程序后重新进入..."));
        // Inside the MDI frame the sub-window is what closes (and frees this window with it).
        if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
            sub->close();
        else
            close();
    };
    form = new ConnectionSettingsForm(std::move(o), this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(form);
    setFixedSize(sizeHint().expandedTo(QSize(340, 0)));
}

void TFSetCon::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (m_centred) return;
    m_centred = true;
    // Centred in the main window's client area.
    auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (!sub || !sub->mdiArea()) return;
    const QRect area = sub->mdiArea()->viewport()->rect();
    sub->move(area.center() - sub->rect().center());
}

} // namespace lumvard::shell
