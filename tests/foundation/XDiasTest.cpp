// The message operations through the presenter seam: what each operation asks of the presenter and
// how it reads the answer.
#include "foundation/XDias.h"
#include "foundation/Errors.h"

#include <QList>
#include <gtest/gtest.h>
#include <optional>
#include <stdexcept>
#include <system_error>

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

namespace {

// Shuts the reporter down whatever a test leaves behind.
struct ReporterScope {
    ~ReporterScope() { Shut_XError(); }
};

struct DerivedRange : std::out_of_range {
    DerivedRange()
        : std::out_of_range("index 9") {}
};

} // namespace

TEST(XExceptionP, ReportTextByClass) {
    struct Case {
        const char *name;
        std::function<void()> raise;
        std::optional<QString> text;
    };
    const auto s = [](const char *t) { return std::optional<QString>(QString::fromUtf8(t)); };
    const QList<Case> cases = {
        {"own error", [] { throw Error(QStringLiteral("库存不足")); },
         s("&自定义错误!\r\n库存不足\r\n错误代码:0")},
        {"own error with title", [] { throw Error(QStringLiteral("&备份\r\n失败")); },
         s("&备份\r\n失败\r\n错误代码:0")},
        {"conversion", [] { throw std::invalid_argument("stoi"); },
         s("&程序设计错误!\r\n类型转换或赋值时出错...\r\nstoi")},
        {"range", [] { throw std::out_of_range("at"); }, s("&系统错误!\r\n范围检查错误,越界...\r\nat")},
        {"derived range", [] { throw DerivedRange(); }, s("&系统错误!\r\n范围检查错误,越界...\r\nindex 9")},
        {"memory", [] { throw std::bad_alloc(); }, s("&内存堆错误!\r\n内存空间不够...\r\nstd::bad_alloc")},
        {"overflow", [] { throw std::overflow_error("x"); }, s("&系统错误!\r\n整数溢出...\r\nx")},
        {"system", [] { throw std::system_error(std::error_code(-5, std::generic_category()), "open"); },
         std::optional<QString>(QStringLiteral("&操作系统(Win32)错误!\r\nopen: ") +
                                QString::fromStdString(std::generic_category().message(-5)) +
                                QStringLiteral("\r\n由'RaiseLastWin32Error'获得的错误代码:4294967291"))},
        {"plain runtime error unchanged", [] { throw std::runtime_error("数据库出错"); }, s("数据库出错")},
        {"logic error of no precise class", [] { throw std::domain_error("d"); }, std::nullopt},
        {"no std::exception", [] { throw 42; }, std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.raise();
            FAIL() << "nothing raised";
        } catch (const std::exception &e) {
            EXPECT_EQ(TXExceptionP::reportText(&e, false), c.text);
        } catch (...) {
            EXPECT_EQ(TXExceptionP::reportText(nullptr, false), c.text);
        }
    }
}

TEST(XExceptionP, DetailAppendsClassAndParent) {
    const std::out_of_range plain("at");
    EXPECT_TRUE(TXExceptionP::reportText(&plain, true)
                    ->endsWith(QStringLiteral(
                        "\r\nat\r\nClassName:std::out_of_range; ClassParent:std::logic_error")));
    const DerivedRange derived;
    EXPECT_TRUE(TXExceptionP::reportText(&derived, true)
                    ->endsWith(QStringLiteral("ClassName:(anonymous namespace)::DerivedRange; "
                                              "ClassParent:std::out_of_range")));
}

TEST(XExceptionP, InstalledReporterShowsGuardedErrorsInTheDialog) {
    ReporterScope scope;
    RecordingPresenter p;
    ShowInfo(QStringLiteral("正在导入..."), false);
    ASSERT_EQ(Start_XError(nullptr), 1);
    EXPECT_FALSE(runGuarded([] { throw std::invalid_argument("abc"); }));
    EXPECT_FALSE(p.notice) << "the notice is destroyed before the report";
    ASSERT_EQ(p.requests.size(), 2);
    const MessageRequest &r = p.requests.last();
    EXPECT_EQ(r.channel, MessageRequest::Channel::Dialog);
    EXPECT_EQ(r.kind, KindError);
    EXPECT_EQ(r.buttons, BtnUnderstood);
    EXPECT_TRUE(r.modal);
    EXPECT_TRUE(
        r.text.startsWith(QStringLiteral("&程序设计错误!\r\n类型转换或赋值时出错...\r\nabc\r\nClassName:")));

    // A family without its precise class goes to the standard box, unchanged.
    runGuarded([] { throw std::domain_error("d"); });
    ASSERT_EQ(p.requests.size(), 3);
    EXPECT_EQ(p.requests.last().channel, MessageRequest::Channel::ErrorBox);
    EXPECT_EQ(p.requests.last().text, QStringLiteral("d"));

    // Shut down, errors go to the standard box again.
    EXPECT_EQ(Shut_XError(), 1);
    runGuarded([] { throw std::invalid_argument("abc"); });
    EXPECT_EQ(p.requests.last().channel, MessageRequest::Channel::ErrorBox);
    EXPECT_EQ(p.requests.last().text, QStringLiteral("abc"));
}

TEST(XExceptionP, SecondStartKeepsTheFirstSavedHandler) {
    ReporterScope scope;
    int ownHandlerCalls = 0;
    setExceptionHandler([&ownHandlerCalls](const std::exception *) { ++ownHandlerCalls; });
    RecordingPresenter p;
    EXPECT_EQ(Start_XError(nullptr), 1);
    EXPECT_EQ(Start_XError(nullptr), 1);
    EXPECT_EQ(Shut_XError(), 1);
    runGuarded([] { throw std::runtime_error("x"); });
    EXPECT_EQ(ownHandlerCalls, 1) << "the handler from before the reporter is back";
    EXPECT_TRUE(p.requests.isEmpty());
    setExceptionHandler({});
}

TEST(XExceptionP, ShutAndShowWithoutReporter) {
    RecordingPresenter p;
    EXPECT_EQ(Shut_XError(), 1);
    EXPECT_FALSE(bool(exceptionHandler()));
    const std::invalid_argument e("abc");
    EXPECT_EQ(Show_XError(nullptr, &e), 1);
    ASSERT_EQ(p.requests.size(), 1);
    EXPECT_EQ(p.requests.first().channel, MessageRequest::Channel::ErrorBox);
    EXPECT_EQ(p.requests.first().text, QStringLiteral("abc"));

    ReporterScope scope;
    Start_XError(nullptr);
    EXPECT_EQ(Show_XError(nullptr, &e), 1);
    EXPECT_EQ(p.requests.last().channel, MessageRequest::Channel::Dialog);
}
