#pragma once
// Message operations: every message, notice, question and error of the system goes through here.
// The operations hand each request to the installed MessagePresenter: the real dialog window in the
// program, a scripted responder in tests, standard error output in command-line tools.
#include <QString>
#include <QtGlobal>
#include <exception>
#include <functional>
#include <optional>

namespace lumvard {

// Bits of a button set; applied in this order, so a later bit's caption wins on the same button.
enum MessageButton : quint8 {
    BtnOk = 0x01,         // BTOK "确定(&Y)"
    BtnCancel = 0x02,     // BTCancel "取消(&C)"
    BtnUnderstood = 0x04, // BTOK "明白(&Y)"
    BtnYes = 0x08,        // BTOK "是的(&Y)"
    BtnNo = 0x10,         // BTCancel "不是(&C)"
    BtnHelp = 0x20,       // BTHelp "帮助(&H)"
};

// Dialog kinds 0..6 (error, warning, info, help; 4..6 as 0..2 with the focus on cancel).
enum MessageKind : quint8 {
    KindError = 0,
    KindWarning = 1,
    KindInfo = 2,
    KindHelp = 3,
    KindErrorCancel = 4,
    KindWarningCancel = 5,
    KindInfoCancel = 6,
};

struct MessageRequest {
    enum class Channel {
        Dialog,    // the system's message dialog (Show_XDia)
        ErrorBox,  // the standard error box: an error that no operation handled
        SystemBox, // the standard message box with its own caption and icon and one OK button
    };
    enum class Icon { None, Information, Error };

    Channel channel = Channel::Dialog;
    QString text;
    quint8 kind = KindError;
    quint8 buttons = 0;
    qint32 helpContext = 0;
    bool modal = true;
    QString caption; // SystemBox only
    Icon icon = Icon::None;
};

class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    // Shows one request. Modal: the result (1 for BTOK, 2 for BTCancel, Esc or closing).
    // Modeless: a non-zero handle of the notice, which stays on screen.
    virtual qintptr present(const MessageRequest &request) = 0;
    // Destroys the modeless notice on screen, if any.
    virtual void destroyNotice() = 0;
    virtual bool noticeOnScreen() const = 0;
};

// Installs the presenter for the process (not owned); nullptr restores the default presenter, which
// writes to standard error and answers every modal request with 2.
void installMessagePresenter(MessagePresenter *presenter);
MessagePresenter *messagePresenter();

// The dialog entry behind the three operations (a modal request while a notice is on screen
// destroys the notice and returns 2 at once).
qintptr Show_XDia(const QString &text, quint8 kind, quint8 buttons, qint32 helpContext, bool modal);

int ShowWarning(const QString &text);
// Modal: the dialog result. Not modal: the notice's handle. A text that is empty once blanks and
// control characters are trimmed destroys the current notice and returns 1.
qintptr ShowInfo(const QString &text, bool modal = true);
bool AskConfirm(const QString &text, bool defaultNo = true);

// The standard error box for an error that no operation handled.
void ShowErrorBox(const QString &message);
// The standard message box with a caption, an icon and one OK button.
void ShowSystemBox(const QString &caption, const QString &text, MessageRequest::Icon icon);

// Runs an event handler; any exception it raises ends the handler and is shown in the standard
// error box, so that no exception reaches Qt's event loop. Returns false when it caught one.
bool runGuarded(const std::function<void()> &handler);

// The application's exception handler: runGuarded hands it every exception it catches (nullptr for
// one that is no std::exception). Without a handler the standard error box shows the message.
using ExceptionHandler = std::function<void(const std::exception *)>;
ExceptionHandler exceptionHandler();
void setExceptionHandler(ExceptionHandler handler);
// The standard error box for an exception, with the message it was raised with.
void showStandardException(const std::exception *e);

// The exception reporter: turns an exception into a readable message by its class and shows it in the
// message dialog. It comes into play only when another module installs it with Start_XError.
class TXExceptionP {
public:
    // The report text for an exception, or no value when its family is recognised but not its precise
    // class (then the standard error box shows it). `detail` appends the class names.
    static std::optional<QString> reportText(const std::exception *e, bool detail);
    // Destroys any notice, then shows the report modally as kind 0 with "明白(&Y)".
    void report(const std::exception *e);

    void *owner = nullptr; // passed on to Show_XDia, which ignores it
    bool detail = false;
    ExceptionHandler saved; // the handler in place before installation
};

// Creates the reporter if needed (-1 if that fails), sets its detail flag and installs it as the
// application's exception handler: 1, or 0 if installing failed.
int Start_XError(void *owner);
// Puts the saved handler back and destroys the reporter; always 1.
int Shut_XError();
// Reports one exception through the reporter, else the standard error box: 1; -1 when there is
// neither a reporter nor an application object.
int Show_XError(void *sender, const std::exception *e);

// Keeps a modeless wait notice on screen for its lifetime; closed also when the work throws.
class WaitNotice {
public:
    explicit WaitNotice(const QString &text);
    ~WaitNotice();
    WaitNotice(const WaitNotice &) = delete;
    WaitNotice &operator=(const WaitNotice &) = delete;

private:
    bool m_shown = false;
};

} // namespace lumvard
