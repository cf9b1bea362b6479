// The real message dialog, offscreen: layout, keys, modal and modeless use through the presenter.
#include "foundation/gui/XDiasWindow.h"
#include "foundation/TextFormats.h"
#include "foundation/XDias.h"
#include "foundation/gui/DialogPresenter.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace lumvard;

namespace {

// Puts the real dialog presenter in place for one test and restores the strict one afterwards.
class RealDialogs {
public:
    RealDialogs()
        : m_previous(messagePresenter()) {
        installDialogPresenter();
    }
    ~RealDialogs() {
        delete TFXDias::instance();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        installMessagePresenter(m_previous);
    }
    RealDialogs(const RealDialogs &) = delete;
    RealDialogs &operator=(const RealDialogs &) = delete;

private:
    MessagePresenter *m_previous;
};

[[nodiscard]] bool activate(QWidget *w) {
    if (!QTest::qWaitForWindowExposed(w)) return false;
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
}

// Runs `answer` on the modal window of type T as soon as it is up. If the window is still up a
// while after the answer, the test fails and the window is closed so that the test cannot hang.
template <typename T> void whenModalUp(std::function<void(T *)> answer, int attempt = 0) {
    QTimer::singleShot(attempt == 0 ? 0 : 20, [answer, attempt] {
        T *w = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!w) {
            if (attempt < 100)
                whenModalUp<T>(answer, attempt + 1);
            else
                ADD_FAILURE() << "no modal window came up";
            return;
        }
        EXPECT_TRUE(activate(w));
        QPointer<T> guard(w);
        answer(w);
        QTimer::singleShot(3000, [guard] {
            if (guard && guard->isVisible()) {
                ADD_FAILURE() << "the window did not close on its answer";
                guard->close();
            }
        });
    });
}

// Types a key the way the keyboard would deliver it: to the focused widget of the dialog.
void typeKey(QWidget *dialog, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget *target = QApplication::focusWidget();
    if (!target || target->window() != dialog) target = dialog;
    QTest::keyClick(target, key, mods);
}

int gbk(const QString &s) {
    return int(gbkLength(s));
}

} // namespace

TEST(XDiasWindow, SplitsLinesAtEveryKindOfBreak) {
    const QList<std::pair<QString, QStringList>> cases = {
        {QStringLiteral("a\r\nb"), {QStringLiteral("a"), QStringLiteral("b")}},
        {QStringLiteral("a\rb\nc"), {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}},
        {QStringLiteral("a\n\nb"), {QStringLiteral("a"), QString(), QStringLiteral("b")}},
        {QStringLiteral("a\r\n"), {QStringLiteral("a")}},
        {QStringLiteral("\n"), {QString()}},
        {QString(), {}},
    };
    for (const auto &[text, lines] : cases)
        EXPECT_EQ(splitMessageLines(text), lines) << text.toStdString();
}

TEST(XDiasWindow, WrapsLinesAtSixtyEightGbkBytes) {
    const QString zhong = QStringLiteral("中"); // d6 d0: its trail byte also looks like a lead byte
    const QString a67(67, u'a'), a66(66, u'a');
    struct Case {
        const char *name;
        QString line;
        QList<int> pieceBytes;
    };
    const QList<Case> cases = {
        {"68 ASCII stay whole", QString(68, u'a'), {68}},
        {"69 ASCII cut after 68", QString(69, u'a'), {68, 1}},
        {"140 ASCII", QString(140, u'a'), {68, 68, 4}},
        {"Chinese char starting at byte 68 moves on", a67 + zhong, {67, 2}},
        {"Chinese char ending at byte 68 stays", a66 + zhong + QStringLiteral("b"), {68, 1}},
        {"34 Chinese chars and one more", QString(zhong).repeated(35), {68, 2}},
        {"one ASCII before Chinese chars", QStringLiteral("x") + QString(zhong).repeated(40), {67, 14}},
        {"character outside GBK counts two bytes", a67 + QStringLiteral("\U0001F600"), {67, 2}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList pieces = wrapMessageLine(c.line, 68);
        QList<int> bytes;
        for (const QString &p : pieces)
            bytes << (gbk(p) >= 0 ? gbk(p) : int(p.size()));
        EXPECT_EQ(bytes, c.pieceBytes);
        EXPECT_EQ(pieces.join(QString()), c.line) << "nothing lost or split inside a character";
    }
}

TEST(XDiasWindow, ButtonSetsCaptionsAndPlacement) {
    struct Case {
        quint8 buttons;
        QString help, ok, cancel; // empty: hidden
        int helpX, okX, cancelX;  // for the design width 295
    };
    const QString Y = QStringLiteral("确定(&Y)"), M = QStringLiteral("明白(&Y)"),
                  S = QStringLiteral("是的(&Y)");
    const QString C = QStringLiteral("取消(&C)"), N = QStringLiteral("不是(&C)"),
                  H = QStringLiteral("帮助(&H)");
    const QList<Case> cases = {
        {0x01, {}, Y, {}, 0, 105, 0},        {0x01 | 0x04, {}, M, {}, 0, 105, 0},
        {0x08 | 0x10, {}, S, N, 0, 42, 167}, {0x01 | 0x02, {}, Y, C, 0, 42, 167},
        {0x02 | 0x10, {}, {}, N, 0, 0, 105}, {0x20, H, {}, {}, 105, 0, 0},
        {0x20 | 0x04, H, M, {}, 42, 167, 0}, {0x20 | 0x02, H, {}, C, 42, 0, 167},
        {0x3F, H, S, N, 19, 105, 191},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << "buttons 0x" << std::hex << int(c.buttons));
        TFXDias d;
        d.setMessage(QStringLiteral("x"), KindInfo, c.buttons, 0);
        ASSERT_EQ(d.width(), 295);
        const std::tuple<QPushButton *, QString, int> expected[] = {{d.helpButton(), c.help, c.helpX},
                                                                    {d.okButton(), c.ok, c.okX},
                                                                    {d.cancelButton(), c.cancel, c.cancelX}};
        for (const auto &[b, caption, x] : expected) {
            EXPECT_EQ(b->isHidden(), caption.isEmpty()) << b->objectName().toStdString();
            if (!caption.isEmpty()) {
                EXPECT_EQ(b->text(), caption);
                EXPECT_EQ(b->x(), x) << b->objectName().toStdString();
                EXPECT_EQ(b->size(), QSize(85, 29));
            }
        }
    }
}

TEST(XDiasWindow, ReusedDialogKeepsButtonsItShowedBefore) {
    TFXDias d;
    d.setMessage(QStringLiteral("x"), KindInfo, BtnHelp, 0);
    d.setMessage(QStringLiteral("y"), KindInfo, BtnUnderstood, 0);
    EXPECT_FALSE(d.helpButton()->isHidden());
    EXPECT_FALSE(d.okButton()->isHidden());
    EXPECT_EQ(d.helpButton()->x(), 42);
    EXPECT_EQ(d.okButton()->x(), 167);
}

TEST(XDiasWindow, KindsGiveTitleColourAndFocus) {
    struct Case {
        int kind;
        const char *title;
        QColor colour;
        const char *focus; // object name of the focus holder
    };
    const QColor red(0xFF, 0, 0), navy(0, 0, 0x80), teal(0, 0x80, 0x80);
    const QList<Case> cases = {
        {0, "错误[Lumvard]", red, "FXDias"},    {1, "警告[Lumvard]", navy, "FXDias"},
        {2, "提示[Lumvard]", teal, "FXDias"},   {3, "帮助[Lumvard]", teal, "BTHelp"},
        {4, "错误[Lumvard]", red, "BTCancel"},  {5, "警告[Lumvard]", navy, "BTCancel"},
        {6, "提示[Lumvard]", teal, "BTCancel"}, {7, "错误[Lumvard]", red, "FXDias"},
        {255, "错误[Lumvard]", red, "FXDias"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.kind);
        auto d = std::make_unique<TFXDias>();
        d->setAttribute(Qt::WA_DeleteOnClose, false);
        d->setMessage(QStringLiteral("正文"), quint8(c.kind), BtnYes | BtnNo | BtnHelp, 0);
        EXPECT_EQ(d->titleText(), QString::fromUtf8(c.title));
        EXPECT_EQ(d->titleColour(), c.colour);
        const QPalette pal = d->findChild<QLabel *>(QStringLiteral("PANT"))->palette();
        EXPECT_EQ(pal.color(QPalette::Window), c.colour);
        EXPECT_EQ(pal.color(QPalette::WindowText), QColor(Qt::white));
        d->show();
        ASSERT_TRUE(activate(d.get()));
        ASSERT_TRUE(QApplication::focusWidget());
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QString::fromUtf8(c.focus));
    }
}

TEST(XDiasWindow, CancelFocusNeedsTheCancelButton) {
    TFXDias d;
    d.setAttribute(Qt::WA_DeleteOnClose, false);
    d.setMessage(QStringLiteral("x"), KindInfoCancel, BtnUnderstood, 0);
    d.show();
    ASSERT_TRUE(activate(&d));
    EXPECT_EQ(QApplication::focusWidget(), &d);
}

TEST(XDiasWindow, TitleLineReplacesTheKindTitle) {
    TFXDias d;
    d.setMessage(QStringLiteral("&系统错误!\r\n被零除...\r\n第三行"), KindError, BtnUnderstood, 0);
    EXPECT_EQ(d.titleText(), QStringLiteral("系统错误!"));
    EXPECT_EQ(d.bodyLines(), (QStringList{QStringLiteral("被零除..."), QStringLiteral("第三行")}));
    EXPECT_EQ(d.height(), 3 * d.lineHeight() + 100);

    TFXDias alone;
    alone.setMessage(QStringLiteral("&Title"), KindInfo, 0, 0);
    EXPECT_EQ(alone.titleText(), QStringLiteral("Title"));
    EXPECT_TRUE(alone.bodyLines().isEmpty());
    EXPECT_EQ(alone.height(), alone.lineHeight() + 100);

    // An ampersand further down is just text.
    TFXDias later;
    later.setMessage(QStringLiteral("第一行\n&第二行"), KindInfo, 0, 0);
    EXPECT_EQ(later.titleText(), QStringLiteral("提示[Lumvard]"));
    EXPECT_EQ(later.bodyLines().size(), 2);
}

TEST(XDiasWindow, EmptyTextShowsAnEmptyBody) {
    TFXDias d;
    d.setMessage(QString(), KindWarning, BtnUnderstood, 0);
    EXPECT_EQ(d.titleText(), QStringLiteral("警告[Lumvard]"));
    EXPECT_TRUE(d.bodyLines().isEmpty());
    EXPECT_EQ(d.height(), d.lineHeight() + 100);
}

TEST(XDiasWindow, LongLinesWidenAndWrap) {
    TFXDias d;
    const QString wide(68, u'W');
    d.setMessage(QString(140, u'W'), KindInfo, BtnUnderstood, 0);
    EXPECT_EQ(d.bodyLines(), (QStringList{wide, wide, QString(4, u'W')}));
    const int expected = QFontMetrics(d.font()).horizontalAdvance(wide) + 96;
    ASSERT_GT(expected, 295);
    EXPECT_EQ(d.width(), expected);
    EXPECT_EQ(d.height(), 4 * d.lineHeight() + 100);
    EXPECT_EQ(d.okButton()->x(), (expected - 85) / 2);

    // Reused with a short text: never narrower than before.
    d.setMessage(QStringLiteral("短"), KindInfo, BtnUnderstood, 0);
    EXPECT_EQ(d.width(), expected);
    EXPECT_EQ(d.height(), 2 * d.lineHeight() + 100);
}

TEST(XDiasWindow, HeightIsCappedAboveTheScreenBottom) {
    TFXDias d;
    QStringList many;
    for (int i = 0; i < 200; ++i)
        many << QStringLiteral("第%1行").arg(i);
    d.setMessage(many.join(u'\n'), KindInfo, BtnUnderstood, 0);
    const QScreen *scr = d.screen();
    ASSERT_TRUE(scr);
    ASSERT_GT(201 * d.lineHeight() + 100, scr->geometry().height() - 28);
    EXPECT_EQ(d.height(), scr->geometry().height() - 28);
    EXPECT_EQ(d.okButton()->parentWidget()->geometry().bottom(), d.height() - 1) << "buttons stay visible";
}

TEST(XDiasWindow, TitleBlinksWithTheComplementColour) {
    TFXDias d;
    d.setAttribute(Qt::WA_DeleteOnClose, false);
    d.setMessage(QStringLiteral("x"), KindError, BtnUnderstood, 0);
    auto *timer = d.findChild<QTimer *>(QStringLiteral("Timer1"));
    ASSERT_TRUE(timer);
    EXPECT_FALSE(timer->isActive());
    d.show();
    ASSERT_TRUE(activate(&d));
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 3000);
    d.blinkTick();
    EXPECT_EQ(d.shownTitleColour(), QColor(0, 0xFF, 0xFF));
    EXPECT_EQ(timer->interval(), 200);
    d.blinkTick();
    EXPECT_EQ(d.shownTitleColour(), QColor(0xFF, 0, 0));
    EXPECT_EQ(timer->interval(), 3000);
    d.FlashTitle1(); // already showing the title colour: stays
    EXPECT_EQ(d.shownTitleColour(), QColor(0xFF, 0, 0));
}

TEST(XDiasWindow, DraggedByTheTitleBar) {
    TFXDias d;
    d.setAttribute(Qt::WA_DeleteOnClose, false);
    d.setMessage(QStringLiteral("x"), KindInfo, BtnUnderstood, 0);
    d.show();
    ASSERT_TRUE(activate(&d));
    d.move(100, 100);
    auto *bar = d.findChild<QLabel *>(QStringLiteral("PANT"));
    const QPointF grab(30, 10);
    QMouseEvent press(QEvent::MouseButtonPress, grab, bar->mapToGlobal(grab), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(bar, &press);
    const QPointF to(250, 180);
    QMouseEvent moveTo(QEvent::MouseMove, grab, to, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &moveTo);
    EXPECT_EQ(d.pos(), QPoint(220, 170));
    QMouseEvent release(QEvent::MouseButtonRelease, grab, to, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &release);
    QMouseEvent after(QEvent::MouseMove, grab, QPointF(400, 400), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &after);
    EXPECT_EQ(d.pos(), QPoint(220, 170)) << "no drag after the button is released";
}

TEST(XDiasWindow, AskConfirmAnswersByKey) {
    struct Case {
        const char *name;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        bool expected;
    };
    const QList<Case> cases = {
        {"Enter on the focused 不是", Qt::Key_Return, Qt::NoModifier, false},
        {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, false},
        {"Y", Qt::Key_Y, Qt::NoModifier, true},
        {"Alt+Y", Qt::Key_Y, Qt::AltModifier, true},
        {"C", Qt::Key_C, Qt::NoModifier, false},
        {"Alt+C", Qt::Key_C, Qt::AltModifier, false},
        {"Esc", Qt::Key_Escape, Qt::NoModifier, false},
    };
    RealDialogs real;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QString focus;
        whenModalUp<TFXDias>([&focus, c](TFXDias *d) {
            focus = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
            EXPECT_EQ(d->okButton()->text(), QStringLiteral("是的(&Y)"));
            EXPECT_EQ(d->cancelButton()->text(), QStringLiteral("不是(&C)"));
            typeKey(d, c.key, c.mods);
        });
        EXPECT_EQ(AskConfirm(QStringLiteral("确定要删除吗?"), true), c.expected);
        EXPECT_EQ(focus, QStringLiteral("BTCancel"));
        EXPECT_EQ(TFXDias::instance(), nullptr) << "destroyed before returning";
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

TEST(XDiasWindow, WarningIgnoresEnterAndEscUntilY) {
    RealDialogs real;
    bool stillUp = false;
    whenModalUp<TFXDias>([&stillUp](TFXDias *d) {
        typeKey(d, Qt::Key_Return);
        typeKey(d, Qt::Key_Escape);
        QTest::qWait(50);
        stillUp = d->isVisible();
        typeKey(d, Qt::Key_Y);
    });
    EXPECT_EQ(ShowWarning(QStringLiteral("房间号不能为空!")), 1);
    EXPECT_TRUE(stillUp);
}

TEST(XDiasWindow, ClosingAModalDialogAnswersTwo) {
    RealDialogs real;
    whenModalUp<TFXDias>([](TFXDias *d) { d->close(); });
    EXPECT_EQ(ShowInfo(QStringLiteral("保存成功!")), 2);
    EXPECT_EQ(TFXDias::instance(), nullptr);
}

TEST(XDiasWindow, NoticeStaysUntilABlankInfo) {
    RealDialogs real;
    const qintptr handle = ShowInfo(QStringLiteral("正在备份数据库,请稍候..."), false);
    EXPECT_NE(handle, 0);
    QPointer<TFXDias> notice = TFXDias::instance();
    ASSERT_TRUE(notice);
    EXPECT_TRUE(notice->isVisible());
    EXPECT_FALSE(notice->isModal());
    EXPECT_EQ(notice->objectName(), QStringLiteral("FXDias"));
    EXPECT_TRUE(notice->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(notice->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(notice->okButton()->isHidden() && notice->cancelButton()->isHidden() &&
                notice->helpButton()->isHidden());

    // A second notice reuses the window.
    EXPECT_EQ(ShowInfo(QStringLiteral("正在压缩..."), false), handle);
    EXPECT_EQ(TFXDias::instance(), notice.data());
    EXPECT_EQ(notice->bodyLines(), QStringList{QStringLiteral("正在压缩...")});

    EXPECT_EQ(ShowInfo(QStringLiteral("  \t\r\n"), false), 1);
    EXPECT_TRUE(notice.isNull());
    EXPECT_EQ(TFXDias::instance(), nullptr);
}

TEST(XDiasWindow, ModalRequestOverANoticeReturnsTwoAndDestroysIt) {
    RealDialogs real;
    ShowInfo(QStringLiteral("正在处理..."), false);
    QPointer<TFXDias> notice = TFXDias::instance();
    ASSERT_TRUE(notice);
    // No answer is scripted: a dialog shown here would hang until the guard below closes it.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (QWidget *w = QApplication::activeModalWidget()) {
            ADD_FAILURE() << "a modal dialog was shown over the notice";
            w->close();
        }
    });
    guard.start(2000);
    EXPECT_EQ(ShowWarning(QStringLiteral("出错了")), 2);
    EXPECT_TRUE(notice.isNull());
    EXPECT_EQ(TFXDias::instance(), nullptr);
}

TEST(XDiasWindow, ClosedNoticeIsDestroyedAndNotReused) {
    RealDialogs real;
    Show_XDia(QStringLiteral("导入完成"), KindInfo, BtnUnderstood, 0, false);
    QPointer<TFXDias> notice = TFXDias::instance();
    ASSERT_TRUE(notice);
    notice->okButton()->click();
    EXPECT_EQ(TFXDias::instance(), nullptr);
    EXPECT_FALSE(messagePresenter()->noticeOnScreen());
    // A new notice before the closed one is deleted gets a window of its own.
    ShowInfo(QStringLiteral("下一个"), false);
    EXPECT_NE(TFXDias::instance(), notice.data());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(notice.isNull());
    ASSERT_TRUE(TFXDias::instance());
    EXPECT_TRUE(TFXDias::instance()->isVisible());
}

TEST(XDiasWindow, HelpButtonCallsTheHandlerAndStaysOpen) {
    RealDialogs real;
    QList<qint32> asked;
    TFXDias::setHelpHandler([&asked](qint32 topic) { asked << topic; });
    bool stillUp = false;
    whenModalUp<TFXDias>([&stillUp](TFXDias *d) {
        EXPECT_EQ(QApplication::focusWidget(), d->helpButton());
        typeKey(d, Qt::Key_H, Qt::AltModifier);
        QTest::qWait(200);
        stillUp = d->isVisible();
        typeKey(d, Qt::Key_Y);
    });
    EXPECT_EQ(Show_XDia(QStringLiteral("帮助"), KindHelp, BtnOk | BtnHelp, 17, true), 1);
    TFXDias::setHelpHandler({});
    EXPECT_EQ(asked, QList<qint32>{17});
    EXPECT_TRUE(stillUp);
}

TEST(XDiasWindow, ErrorAndSystemBoxesAreMessageBoxes) {
    RealDialogs real;
    struct Seen {
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
    };
    auto capture = [](Seen *seen) {
        whenModalUp<QMessageBox>([seen](QMessageBox *box) {
            *seen = {box->windowTitle(), box->text(), box->icon()};
            box->close();
        });
    };
    Seen error;
    capture(&error);
    ShowErrorBox(QStringLiteral("'abc' is not a valid floating point value"));
    EXPECT_EQ(error.title, QStringLiteral("Lumvard"));
    EXPECT_EQ(error.text, QStringLiteral("'abc' is not a valid floating point value"));
    EXPECT_EQ(error.icon, QMessageBox::Critical);

    Seen info;
    capture(&info);
    ShowSystemBox(QStringLiteral("数据备份"), QStringLiteral("备份完成!"), MessageRequest::Icon::Information);
    EXPECT_EQ(info.title, QStringLiteral("数据备份"));
    EXPECT_EQ(info.text, QStringLiteral("备份完成!"));
    EXPECT_EQ(info.icon, QMessageBox::Information);
    EXPECT_EQ(TFXDias::instance(), nullptr) << "boxes do not use the message dialog";
}
