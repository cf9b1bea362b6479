#include "foundation/XDias.h"

#include "foundation/Errors.h"

#include <QCoreApplication>
#include <QHash>
#include <QTextStream>
#include <cstdlib>
#include <cxxabi.h>
#include <exception>
#include <ios>
#include <memory>
#include <new>
#include <stdexcept>
#include <system_error>
#include <typeinfo>

namespace lumvard {
namespace {

class StderrPresenter final : public MessagePresenter {
public:
    qintptr present(const MessageRequest &r) override {
        QTextStream err(stderr);
        err << (r.channel == MessageRequest::Channel::SystemBox ? r.caption + QStringLiteral(": ")
                                                                : QString())
            << r.text << Qt::endl;
        return r.modal ? 2 : 1;
    }
    void destroyNotice() override {}
    bool noticeOnScreen() const override { return false; }
};

StderrPresenter g_default;
MessagePresenter *g_presenter = &g_default;

bool blankOrControl(QChar c) {
    return c.unicode() <= 0x20 || c.category() == QChar::Other_Control;
}

ExceptionHandler g_exceptionHandler;
std::unique_ptr<TXExceptionP> g_reporter;
bool g_reporterInstalled = false;

QString messageOf(const std::exception *e) {
    if (!e) return QStringLiteral("未知错误");
    if (const auto *own = dynamic_cast<const Error *>(e)) return own->message();
    return QString::fromUtf8(e->what());
}

QString className(const std::exception &e) {
    const char *mangled = typeid(e).name();
    int status = 0;
    char *name = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    const QString out = QString::fromUtf8(status == 0 && name ? name : mangled);
    std::free(name);
    return out;
}

QString parentOf(const QString &family) {
    static const QHash<QString, QString> parents = {
        {QStringLiteral("lumvard::Error"), QStringLiteral("std::runtime_error")},
        {QStringLiteral("std::ios_base::failure"), QStringLiteral("std::system_error")},
        {QStringLiteral("std::system_error"), QStringLiteral("std::runtime_error")},
        {QStringLiteral("std::bad_alloc"), QStringLiteral("std::exception")},
        {QStringLiteral("std::bad_cast"), QStringLiteral("std::exception")},
        {QStringLiteral("std::invalid_argument"), QStringLiteral("std::logic_error")},
        {QStringLiteral("std::out_of_range"), QStringLiteral("std::logic_error")},
        {QStringLiteral("std::length_error"), QStringLiteral("std::logic_error")},
        {QStringLiteral("std::overflow_error"), QStringLiteral("std::runtime_error")},
        {QStringLiteral("std::underflow_error"), QStringLiteral("std::runtime_error")},
        {QStringLiteral("std::range_error"), QStringLiteral("std::runtime_error")},
        {QStringLiteral("std::runtime_error"), QStringLiteral("std::exception")},
    };
    return parents.value(family, QString());
}

} // namespace

void installMessagePresenter(MessagePresenter *presenter) {
    g_presenter = presenter ? presenter : &g_default;
}

MessagePresenter *messagePresenter() {
    return g_presenter;
}

qintptr Show_XDia(const QString &text, quint8 kind, quint8 buttons, qint32 helpContext, bool modal) {
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

int ShowWarning(const QString &text) {
    return int(Show_XDia(text, KindWarning, BtnUnderstood, 0, true));
}

qintptr ShowInfo(const QString &text, bool modal) {
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

bool AskConfirm(const QString &text, bool defaultNo) {
    return Show_XDia(text, defaultNo ? KindInfoCancel : KindInfo, BtnYes | BtnNo, 0, true) == 1;
}

void ShowErrorBox(const QString &message) {
    MessageRequest r;
    r.channel = MessageRequest::Channel::ErrorBox;
    r.text = message;
    r.icon = MessageRequest::Icon::Error;
    g_presenter->present(r);
}

void ShowSystemBox(const QString &caption, const QString &text, MessageRequest::Icon icon) {
    MessageRequest r;
    r.channel = MessageRequest::Channel::SystemBox;
    r.caption = caption;
    r.text = text;
    r.icon = icon;
    g_presenter->present(r);
}

bool runGuarded(const std::function<void()> &handler) {
    try {
        handler();
        return true;
    } catch (const std::exception &e) {
        if (g_exceptionHandler)
            g_exceptionHandler(&e);
        else
            showStandardException(&e);
    } catch (...) {
        if (g_exceptionHandler)
            g_exceptionHandler(nullptr);
        else
            showStandardException(nullptr);
    }
    return false;
}

ExceptionHandler exceptionHandler() {
    return g_exceptionHandler;
}

void setExceptionHandler(ExceptionHandler handler) {
    g_exceptionHandler = std::move(handler);
}

void showStandardException(const std::exception *e) {
    ShowErrorBox(messageOf(e));
}

std::optional<QString> TXExceptionP::reportText(const std::exception *e, bool detail) {
    const QString tail = QStringLiteral("\r\n") + messageOf(e);
    auto prefixed = [&tail](const char *prefix) { return QString::fromUtf8(prefix) + tail; };
    QString message = messageOf(e);
    QString family; // the class the exception was recognised by
    bool known = true;

    // First match wins; more derived classes are tested before their families.
    if (!e) {
        known = false;
    } else if (const auto *own = dynamic_cast<const Error *>(e)) {
        family = QStringLiteral("lumvard::Error");
        const QString code = QStringLiteral("\r\n错误代码:0");
        message = own->message().startsWith(u'&')
                      ? own->message() + code
                      : QStringLiteral("&自定义错误!\r\n") + own->message() + code;
    } else if (const auto *io = dynamic_cast<const std::ios_base::failure *>(e)) {
        family = QStringLiteral("std::ios_base::failure");
        message = QStringLiteral("&输入输出(InOut)错误!\r\n\r\n") + messageOf(e) +
                  QStringLiteral("错误代码:") + QString::number(io->code().value());
    } else if (const auto *sys = dynamic_cast<const std::system_error *>(e)) {
        family = QStringLiteral("std::system_error");
        message = QStringLiteral("&操作系统(Win32)错误!\r\n") + messageOf(e) +
                  QStringLiteral("\r\n由'RaiseLastWin32Error'获得的错误代码:") +
                  QString::number(quint32(sys->code().value()));
    } else if (dynamic_cast<const std::bad_alloc *>(e)) {
        family = QStringLiteral("std::bad_alloc");
        message = prefixed("&内存堆错误!\r\n内存空间不够...");
    } else if (dynamic_cast<const std::bad_cast *>(e)) {
        family = QStringLiteral("std::bad_cast");
        message = prefixed("&程序错误!\r\n使用'As'运算时出错...");
    } else if (dynamic_cast<const std::invalid_argument *>(e)) {
        family = QStringLiteral("std::invalid_argument");
        message = prefixed("&程序设计错误!\r\n类型转换或赋值时出错...");
    } else if (dynamic_cast<const std::out_of_range *>(e)) {
        family = QStringLiteral("std::out_of_range");
        message = prefixed("&系统错误!\r\n范围检查错误,越界...");
    } else if (dynamic_cast<const std::length_error *>(e)) {
        family = QStringLiteral("std::length_error");
        message = prefixed("&系统错误!\r\n列表数据错误...\r\n可能是越界或重复...");
    } else if (dynamic_cast<const std::logic_error *>(e)) {
        known = false; // a logic error of no precise class
    } else if (dynamic_cast<const std::overflow_error *>(e)) {
        family = QStringLiteral("std::overflow_error");
        message = prefixed("&系统错误!\r\n整数溢出...");
    } else if (dynamic_cast<const std::underflow_error *>(e)) {
        family = QStringLiteral("std::underflow_error");
        message = prefixed("&系统错误!\r\n浮点计算时出错!\r\n浮点数太小...");
    } else if (dynamic_cast<const std::range_error *>(e)) {
        family = QStringLiteral("std::range_error");
        message = prefixed("&系统错误!\r\n范围检查错误,越界...");
    } else if (dynamic_cast<const std::runtime_error *>(e)) {
        family = QStringLiteral("std::runtime_error");
    } else {
        family = QStringLiteral("std::exception");
    }
    if (!known) return std::nullopt;
    if (detail) {
        const QString name = className(*e);
        message += QStringLiteral("\r\nClassName:") + name + QStringLiteral("; ClassParent:") +
                   (name == family ? parentOf(family) : family);
    }
    return message;
}

void TXExceptionP::report(const std::exception *e) {
    const std::optional<QString> text = reportText(e, detail);
    if (!text) {
        showStandardException(e);
        return;
    }
    ShowInfo(QString(), true); // no notice stays under the report
    Show_XDia(*text, KindError, BtnUnderstood, 0, true);
}

int Start_XError(void *owner) {
    if (!g_reporter) {
        try {
            g_reporter = std::make_unique<TXExceptionP>();
        } catch (const std::bad_alloc &) {
            return -1;
        }
    }
    g_reporter->detail = true;
    g_reporter->owner = owner;
    // Installed twice, the reporter keeps the handler from before the first installation, so that
    // Shut_XError leaves a working handler behind.
    if (!g_reporterInstalled) g_reporter->saved = g_exceptionHandler;
    g_exceptionHandler = [](const std::exception *e) {
        if (g_reporter)
            g_reporter->report(e);
        else
            showStandardException(e);
    };
    g_reporterInstalled = true;
    return 1;
}

int Shut_XError() {
    if (g_reporter) {
        g_exceptionHandler = g_reporter->saved;
        g_reporterInstalled = false;
        g_reporter.reset();
    }
    return 1;
}

int Show_XError(void *sender, const std::exception *e) {
    (void)sender;
    if (g_reporter) {
        g_reporter->report(e);
        return 1;
    }
    if (!QCoreApplication::instance()) return -1;
    showStandardException(e);
    return 1;
}

WaitNotice::WaitNotice(const QString &text) {
    if (!text.trimmed().isEmpty()) {
        ShowInfo(text, false);
        m_shown = true;
    }
}

WaitNotice::~WaitNotice() {
    if (m_shown) ShowInfo(QString(), true);
}

} // namespace lumvard
