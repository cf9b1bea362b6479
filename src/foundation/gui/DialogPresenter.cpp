#include "foundation/gui/DialogPresenter.h"

#include "foundation/gui/XDiasWindow.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>
#include <QTextStream>

namespace lumvard {
namespace {

QMessageBox::Icon boxIcon(MessageRequest::Icon icon) {
    switch (icon) {
    case MessageRequest::Icon::Information:
        return QMessageBox::Information;
    case MessageRequest::Icon::Error:
        return QMessageBox::Critical;
    case MessageRequest::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

qintptr showBox(QMessageBox::Icon icon, const QString &caption, const QString &text) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok);
    box.setObjectName(QStringLiteral("XDiasBox"));
    box.exec();
    return 1;
}

qintptr showModal(const MessageRequest &r) {
    TFXDias *dlg = TFXDias::instance();
    if (dlg && dlg->isVisible()) {
        // One dialog per process: a modal request never stacks over the notice on screen.
        delete dlg;
        return 2;
    }
    if (!dlg) dlg = new TFXDias;
    dlg->setMessage(r.text, r.kind, r.buttons, r.helpContext);
    QPointer<TFXDias> guard(dlg);
    const int result = dlg->exec();
    if (!guard) // exec() destroys a dialog that closes itself; one destroyed from outside answers 2
        return result == 1 || result == 2 ? result : 2;
    delete guard.data();
    return result == 1 ? 1 : 2;
}

qintptr showModeless(const MessageRequest &r) {
    TFXDias *dlg = TFXDias::instance();
    if (!dlg) dlg = new TFXDias;
    dlg->setMessage(r.text, r.kind, r.buttons, r.helpContext);
    const qintptr handle = qintptr(dlg->winId());
    if (!dlg->isVisible()) dlg->show();
    // Painted now: the caller starts its long work right after and will not return to the loop.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (TFXDias::instance() == dlg) dlg->repaint();
    return handle != 0 ? handle : reinterpret_cast<qintptr>(dlg);
}

} // namespace

qintptr DialogPresenter::present(const MessageRequest &r) {
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        // No widgets without a QApplication: fall back to standard error.
        QTextStream(stderr) << r.text << Qt::endl;
        return r.modal ? 2 : 1;
    }
    switch (r.channel) {
    case MessageRequest::Channel::ErrorBox:
        return showBox(QMessageBox::Critical, QGuiApplication::applicationDisplayName(), r.text);
    case MessageRequest::Channel::SystemBox:
        return showBox(boxIcon(r.icon), r.caption, r.text);
    case MessageRequest::Channel::Dialog:
        break;
    }
    return r.modal ? showModal(r) : showModeless(r);
}

void DialogPresenter::destroyNotice() {
    delete TFXDias::instance();
}

bool DialogPresenter::noticeOnScreen() const {
    const TFXDias *dlg = TFXDias::instance();
    return dlg && dlg->isVisible();
}

DialogPresenter &dialogPresenter() {
    static DialogPresenter presenter;
    return presenter;
}

void installDialogPresenter() {
    installMessagePresenter(&dialogPresenter());
}

} // namespace lumvard
