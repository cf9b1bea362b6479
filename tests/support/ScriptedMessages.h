#pragma once
// Answers the system's messages in tests. Each expected message is scripted ahead with its answer;
// a message that was not expected, or that differs from the next expectation, fails the test.
#include "foundation/XDias.h"

#include <QList>
#include <QString>

namespace lumvard::test {

struct ExpectedMessage {
    MessageRequest::Channel channel = MessageRequest::Channel::Dialog;
    int kind = -1;    // -1: any kind
    int buttons = -1; // -1: any buttons
    int modal = -1;   // -1: either
    QString text;     // exact text, or a part of it when `contains`
    bool contains = false;
    qintptr answer = 1;
};

class ScriptedMessages final : public MessagePresenter {
public:
    ScriptedMessages();           // installs itself for its lifetime
    ~ScriptedMessages() override; // fails the test if an expectation was not met

    ScriptedMessages &expect(const ExpectedMessage &m);
    ScriptedMessages &expectWarning(const QString &text);           // ShowWarning
    ScriptedMessages &expectInfo(const QString &text);              // ShowInfo, modal
    ScriptedMessages &expectNotice(const QString &text);            // ShowInfo, not modal
    ScriptedMessages &expectConfirm(const QString &text, bool yes); // AskConfirm(…, true)
    ScriptedMessages &expectErrorBox(const QString &part); // standard error box, text containing part
    ScriptedMessages &expectSystemBox(const QString &caption, const QString &text);

    const QList<MessageRequest> &seen() const { return m_seen; }
    int pending() const { return int(m_expected.size()); }

    qintptr present(const MessageRequest &request) override;
    void destroyNotice() override { m_notice = false; }
    bool noticeOnScreen() const override { return m_notice; }

private:
    MessagePresenter *m_previous;
    QList<ExpectedMessage> m_expected;
    QList<MessageRequest> m_seen;
    bool m_notice = false;
};

// Installed by the test mains: any message outside a ScriptedMessages scope fails the test.
void installStrictMessages();

QString describe(const MessageRequest &r);

} // namespace lumvard::test
