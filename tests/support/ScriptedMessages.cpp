#include "support/ScriptedMessages.h"

#include <gtest/gtest.h>

namespace lumvard::test {
namespace {

const char *channelName(MessageRequest::Channel c) {
    switch (c) {
    case MessageRequest::Channel::Dialog:
        return "dialog";
    case MessageRequest::Channel::ErrorBox:
        return "error box";
    case MessageRequest::Channel::SystemBox:
        return "system box";
    }
    return "?";
}

class StrictPresenter final : public MessagePresenter {
public:
    qintptr present(const MessageRequest &r) override {
        ADD_FAILURE() << "unexpected message: " << describe(r).toStdString();
        return r.modal ? 2 : 1;
    }
    void destroyNotice() override {}
    bool noticeOnScreen() const override { return false; }
};

StrictPresenter g_strict;

} // namespace

QString describe(const MessageRequest &r) {
    return QStringLiteral("[%1 kind=%2 buttons=0x%3 %4%5] %6")
        .arg(QString::fromLatin1(channelName(r.channel)))
        .arg(r.kind)
        .arg(r.buttons, 2, 16, QLatin1Char('0'))
        .arg(r.modal ? QStringLiteral("modal") : QStringLiteral("modeless"))
        .arg(r.caption.isEmpty() ? QString() : QStringLiteral(" caption=") + r.caption)
        .arg(r.text);
}

void installStrictMessages() {
    installMessagePresenter(&g_strict);
}

ScriptedMessages::ScriptedMessages()
    : m_previous(messagePresenter()) {
    installMessagePresenter(this);
}

ScriptedMessages::~ScriptedMessages() {
    installMessagePresenter(m_previous);
    for (const auto &e : m_expected)
        ADD_FAILURE() << "expected message never came: " << e.text.toStdString();
}

ScriptedMessages &ScriptedMessages::expect(const ExpectedMessage &m) {
    m_expected.append(m);
    return *this;
}

ScriptedMessages &ScriptedMessages::expectWarning(const QString &text) {
    return expect({MessageRequest::Channel::Dialog, KindWarning, BtnUnderstood, 1, text, false, 1});
}

ScriptedMessages &ScriptedMessages::expectInfo(const QString &text) {
    return expect({MessageRequest::Channel::Dialog, KindInfo, BtnUnderstood, 1, text, false, 1});
}

ScriptedMessages &ScriptedMessages::expectNotice(const QString &text) {
    return expect({MessageRequest::Channel::Dialog, KindInfo, 0, 0, text, false, 1});
}

ScriptedMessages &ScriptedMessages::expectConfirm(const QString &text, bool yes) {
    return expect(
        {MessageRequest::Channel::Dialog, KindInfoCancel, BtnYes | BtnNo, 1, text, false, yes ? 1 : 2});
}

ScriptedMessages &ScriptedMessages::expectErrorBox(const QString &part) {
    return expect({MessageRequest::Channel::ErrorBox, -1, -1, -1, part, true, 1});
}

ScriptedMessages &ScriptedMessages::expectSystemBox(const QString &caption, const QString &text) {
    ExpectedMessage m{MessageRequest::Channel::SystemBox, -1, -1, -1, text, false, 1};
    m.text = caption + QStringLiteral("|") + text;
    return expect(m);
}

qintptr ScriptedMessages::present(const MessageRequest &r) {
    m_seen.append(r);
    if (m_expected.isEmpty()) {
        ADD_FAILURE() << "unexpected message: " << describe(r).toStdString();
        return r.modal ? 2 : 1;
    }
    const ExpectedMessage e = m_expected.takeFirst();
    const QString text =
        r.channel == MessageRequest::Channel::SystemBox ? r.caption + QStringLiteral("|") + r.text : r.text;
    const bool ok = e.channel == r.channel && (e.kind < 0 || e.kind == r.kind) &&
                    (e.buttons < 0 || e.buttons == r.buttons) && (e.modal < 0 || bool(e.modal) == r.modal) &&
                    (e.contains ? text.contains(e.text) : text == e.text);
    if (!ok) {
        ADD_FAILURE() << "message differs from the script\n  expected: " << e.text.toStdString()
                      << "\n  got:      " << describe(r).toStdString();
        return r.modal ? 2 : 1;
    }
    if (!r.modal) {
        m_notice = true;
        return 1;
    }
    return e.answer;
}

} // namespace lumvard::test
