// The message operations through the presenter seam: what each operation asks of the presenter and
// how it reads the answer.
#include "foundation/XDias.h"
#include "foundation/Errors.h"

#include <QList>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace lumvard;

namespace {

// Records every request and answers with a fixed result; keeps a notice "on screen" like the
// real dialog does after a modeless request.
class RecordingPresenter final : public MessagePresenter {
public:
    RecordingPresenter()
        : m_previous(messagePresenter()) {
        installMessagePresenter(this);
    }
    ~RecordingPresenter() override { installMessagePresenter(m_previous); }

    qintptr present(const MessageRequest &r) override {
        requests.append(r);
        if (r.channel == MessageRequest::Channel::Dialog && !r.modal) {
            notice = true;
            return 4711;
        }
        return answer;
    }
    void destroyNotice() override {
        ++destroyed;
        notice = false;
    }
    bool noticeOnScreen() const override { return notice; }

    QList<MessageRequest> requests;
    qintptr answer = 1;
    bool notice = false;
    int destroyed = 0;

private:
    MessagePresenter *m_previous;
};

} // namespace

TEST(XDias, OperationsAskForTheirKindButtonsAndMode) {
    struct Case {
        const char *name;
        std::function<void()> call;
        quint8 kind;
        quint8 buttons;
        bool modal;
    };
    const QList<Case> cases = {
        {"ShowWarning", [] { ShowWarning(QStringLiteral("x")); }, KindWarning, BtnUnderstood, true},
        {"ShowInfo modal", [] { ShowInfo(QStringLiteral("x")); }, KindInfo, BtnUnderstood, true},
        {"ShowInfo notice", [] { ShowInfo(QStringLiteral("x"), false); }, KindInfo, 0, false},
        {"AskConfirm defaultNo", [] { AskConfirm(QStringLiteral("x"), true); }, KindInfoCancel,
         BtnYes | BtnNo, true},
        {"AskConfirm defaultYes", [] { AskConfirm(QStringLiteral("x"), false); }, KindInfo, BtnYes | BtnNo,
         true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RecordingPresenter p;
        c.call();
        ASSERT_EQ(p.requests.size(), 1);
        const MessageRequest &r = p.requests.first();
        EXPECT_EQ(r.channel, MessageRequest::Channel::Dialog);
        EXPECT_EQ(r.text, QStringLiteral("x"));
        EXPECT_EQ(r.kind, c.kind);
        EXPECT_EQ(r.buttons, c.buttons);
        EXPECT_EQ(r.modal, c.modal);
        EXPECT_EQ(r.helpContext, 0);
    }
}

TEST(XDias, AskConfirmIsTrueOnlyForTheFirstButton) {
    const QList<std::pair<qintptr, bool>> answers = {
        {1, true}, {2, false}, {0, false}, {-1, false}, {3, false}};
    for (const auto &[answer, expected] : answers) {
        RecordingPresenter p;
        p.answer = answer;
        EXPECT_EQ(AskConfirm(QStringLiteral("删除吗?")), expected) << "answer " << answer;
    }
}

TEST(XDias, BlankInfoDestroysTheNoticeWithoutADialog) {
    for (const QString &blank : {QString(), QStringLiteral("  \t\r\n"), QStringLiteral("\x01 \x1f\x7f")}) {
        RecordingPresenter p;
        EXPECT_EQ(ShowInfo(QStringLiteral("正在备份..."), false), 4711);
        ASSERT_TRUE(p.notice);
        EXPECT_EQ(ShowInfo(blank, false), 1);
        EXPECT_EQ(p.destroyed, 1);
        EXPECT_FALSE(p.notice);
        EXPECT_EQ(p.requests.size(), 1) << "no dialog for a blank text";
    }
}

TEST(XDias, TextWithBlanksAroundIsShownUntrimmed) {
    RecordingPresenter p;
    ShowInfo(QStringLiteral("  完成 \r\n"));
    ASSERT_EQ(p.requests.size(), 1);
    EXPECT_EQ(p.requests.first().text, QStringLiteral("  完成 \r\n"));
}

TEST(XDias, ModalRequestOverANoticeReturnsTwoAndDestroysIt) {
    RecordingPresenter p;
    p.answer = 1;
    ShowInfo(QStringLiteral("正在处理..."), false);
    EXPECT_EQ(ShowWarning(QStringLiteral("出错了")), 2);
    EXPECT_EQ(p.destroyed, 1);
    EXPECT_FALSE(p.notice);
    EXPECT_EQ(p.requests.size(), 1) << "the warning is not shown";
    // With the notice gone the next modal request is shown again.
    EXPECT_TRUE(AskConfirm(QStringLiteral("继续吗?")));
    EXPECT_EQ(p.requests.size(), 2);
}

TEST(XDias, ModelessRequestOverANoticeReusesIt) {
    RecordingPresenter p;
    ShowInfo(QStringLiteral("第一步..."), false);
    EXPECT_EQ(ShowInfo(QStringLiteral("第二步..."), false), 4711);
    EXPECT_EQ(p.destroyed, 0);
    ASSERT_EQ(p.requests.size(), 2);
    EXPECT_EQ(p.requests.last().text, QStringLiteral("第二步..."));
}

TEST(XDias, WaitNoticeClosesAlsoWhenTheWorkThrows) {
    RecordingPresenter p;
    try {
        WaitNotice wait(QStringLiteral("正在备份数据库..."));
        EXPECT_TRUE(p.notice);
        throw Error(QStringLiteral("备份失败"));
    } catch (const Error &) {
    }
    EXPECT_FALSE(p.notice);
    EXPECT_EQ(p.destroyed, 1);
}

TEST(XDias, ErrorAndSystemBoxesUseTheirChannels) {
    RecordingPresenter p;
    ShowErrorBox(QStringLiteral("无法转换"));
    ShowSystemBox(QStringLiteral("备份"), QStringLiteral("完成"), MessageRequest::Icon::Information);
    ASSERT_EQ(p.requests.size(), 2);
    EXPECT_EQ(p.requests[0].channel, MessageRequest::Channel::ErrorBox);
    EXPECT_EQ(p.requests[0].text, QStringLiteral("无法转换"));
    EXPECT_EQ(p.requests[1].channel, MessageRequest::Channel::SystemBox);
    EXPECT_EQ(p.requests[1].caption, QStringLiteral("备份"));
    EXPECT_EQ(p.requests[1].icon, MessageRequest::Icon::Information);
}

TEST(XDias, RunGuardedShowsTheErrorsOwnMessage) {
    struct Case {
        std::function<void()> handler;
        const char *shown;
    };
    const QList<Case> cases = {
        {[] { throw Error(QStringLiteral("房间号不能为空")); }, "房间号不能为空"},
        {[] { throw std::runtime_error("bad number"); }, "bad number"},
        {[] { throw 42; }, "未知错误"},
    };
    for (const Case &c : cases) {
        RecordingPresenter p;
        EXPECT_FALSE(runGuarded(c.handler));
        ASSERT_EQ(p.requests.size(), 1);
        EXPECT_EQ(p.requests.first().channel, MessageRequest::Channel::ErrorBox);
        EXPECT_EQ(p.requests.first().text, QString::fromUtf8(c.shown));
    }
    RecordingPresenter quiet;
    EXPECT_TRUE(runGuarded([] {}));
    EXPECT_TRUE(quiet.requests.isEmpty());
}
