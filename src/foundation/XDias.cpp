#include "foundation/XDias.h"

#include "foundation/Errors.h"

#include <QTextStream>
#include <exception>

namespace lumvard {
namespace {

class StderrPresenter final : public MessagePresenter {
public:
    qintptr present(const MessageRequest &r) override
    {
        QTextStream err(stderr);
        err << (r.channel == MessageRequest::Channel::SystemBox ? r.caption + QStringLiteral(": ") : QString())
            << r.text << Qt::endl;
        return r.modal ? 2 : 1;
    }
    void destroyNotice() override {}
    bool noticeOnScreen() const override { return false; }
};

StderrPresenter g_default;
MessagePresenter *g_presenter = &g_default;

bool blankOrControl(QChar c) { return c.unicode() <= 0x20 || c.category() == QChar::Other_Control; }

} // namespace

void installMessagePresenter(MessagePresenter *presenter) { g_presenter = presenter ? presenter : &g_default; }

MessagePresenter *messagePresenter() { return g_presenter; }

qintptr Show_XDia(const QString &text, quint8 kind, quint8 buttons, qint32 helpContext, bool modal)
{
    MessagePresenter *p = g_presenter;
    if (modal && p->noticeOnScreen()) {
        // One dialog per process: a modal request does not stack over a notice.
        p->destroyNotice();
        return 2;
    }
    MessageRequest r;
    r.text = text;
    r.kind = kind;
    r.buttons = buttons;
    r.helpContext = helpContext;
    r.modal = modal;
    return p->present(r);
}

int ShowWarning(const QString &text) { return int(Show_XDia(text, KindWarning, BtnUnderstood, 0, true)); }

qintptr ShowInfo(const QString &text, bool modal)
{
    qsizetype b = 0, e = text.size();
    while (b < e && blankOrControl(text[b]))
        ++b;
    while (e > b && blankOrControl(text[e - 1]))
        --e;
    if (b == e) {
        g_presenter->destroyNotice();
        return 1;
    }
    return Show_XDia(text, KindInfo, modal ? BtnUnderstood : 0, 0, modal);
}

bool AskConfirm(const QString &text, bool defaultNo)
{
    return Show_XDia(text, defaultNo ? KindInfoCancel : KindInfo, BtnYes | BtnNo, 0, true) == 1;
}

void ShowErrorBox(const QString &message)
{
    MessageRequest r;
    r.channel = MessageRequest::Channel::ErrorBox;
    r.text = message;
    r.icon = MessageRequest::Icon::Error;
    g_presenter->present(r);
}

void ShowSystemBox(const QString &caption, const QString &text, MessageRequest::Icon icon)
{
    MessageRequest r;
    r.channel = MessageRequest::Channel::SystemBox;
    r.caption = caption;
    r.text = text;
    r.icon = icon;
    g_presenter->present(r);
}

bool runGuarded(const std::function<void()> &handler)
{
    try {
        handler();
        return true;
    } catch (const Error &e) {
        ShowErrorBox(e.message());
    } catch (const std::exception &e) {
        ShowErrorBox(QString::fromUtf8(e.what()));
    } catch (...) {
        ShowErrorBox(QStringLiteral("未知错误"));
    }
    return false;
}

WaitNotice::WaitNotice(const QString &text)
{
    if (!text.trimmed().isEmpty()) {
        ShowInfo(text, false);
        m_shown = true;
    }
}

WaitNotice::~WaitNotice()
{
    if (m_shown)
        ShowInfo(QString(), true);
}

} // namespace lumvard
