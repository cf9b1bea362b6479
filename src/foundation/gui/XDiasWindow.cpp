#include "foundation/gui/XDiasWindow.h"

#include "foundation/TextFormats.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace lumvard {
namespace {

TFXDias *g_instance = nullptr;
std::function<void(qint32)> g_helpHandler;

// Width of one character (one code point) in GBK bytes; a character GBK cannot hold still takes
// the width of a double-byte character, so that nothing is lost from the display.
int gbkWidth(const QString &ch) {
    if (ch.size() == 1 && ch.at(0).unicode() < 0x80) return 1;
    bool ok = true;
    const QByteArray b = toGbk(ch, &ok);
    return ok && !b.isEmpty() ? int(b.size()) : 2;
}

QFont titleFont() {
    QFont f;
    f.setFamilies({QStringLiteral("黑体"), QStringLiteral("SimHei"), QStringLiteral("WenQuanYi Micro Hei")});
    f.setPixelSize(16);
    return f;
}

QFont dialogFont() {
    QFont f;
    f.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei")});
    f.setPixelSize(14);
    return f;
}

quint8 normalKind(quint8 kind) {
    return kind <= 6 ? kind : 0;
}

} // namespace

QStringList splitMessageLines(const QString &text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n') continue;
        lines << text.mid(start, i - start);
        if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n') ++i;
        start = i + 1;
    }
    if (start < n) lines << text.mid(start);
    return lines;
}

QStringList wrapMessageLine(const QString &line, int limitBytes) {
    QStringList pieces;
    QString rest = line;
    for (;;) {
        qsizetype i = 0;
        int bytes = 0;
        bool fits = true;
        while (i < rest.size()) {
            const qsizetype step = rest.at(i).isHighSurrogate() && i + 1 < rest.size() ? 2 : 1;
            const int w = gbkWidth(rest.mid(i, step));
            if (bytes + w > limitBytes) {
                fits = false;
                if (i == 0) // a single character wider than the limit still makes progress
                    i = step;
                break;
            }
            bytes += w;
            i += step;
        }
        if (fits) {
            pieces << rest;
            return pieces;
        }
        pieces << rest.left(i);
        rest = rest.mid(i);
    }
}

QString messageKindTitle(quint8 kind) {
    static const char *const prefixes[] = {"错误[", "警告[", "提示[", "帮助["};
    const quint8 k = normalKind(kind);
    const int base = k >= 4 ? k - 4 : k; // 4..6 look like 0..2
    return QString::fromUtf8(prefixes[base]) + QGuiApplication::applicationDisplayName() +
           QStringLiteral("]");
}

QColor messageKindColour(quint8 kind) {
    switch (normalKind(kind)) {
    case 1:
    case 5:
        return QColor(0x00, 0x00, 0x80);
    case 2:
    case 3:
    case 6:
        return QColor(0x00, 0x80, 0x80);
    default:
        return QColor(0xFF, 0x00, 0x00);
    }
}

TFXDias::TFXDias(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("FXDias"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(dialogFont());
    setFocusPolicy(Qt::StrongFocus);
    resize(DesignWidth, DesignHeight);

    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("PANT"));
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setAutoFillBackground(true);
    m_title->setFont(titleFont());
    m_title->installEventFilter(this);

    m_body = new QLabel(this);
    m_body->setObjectName(QStringLiteral("Image1"));

    m_strip = new QWidget(this);
    m_strip->setObjectName(QStringLiteral("PANB"));

    auto makeButton = [this](const char *name, const char *caption) {
        auto *b = new QPushButton(QString::fromUtf8(caption), m_strip);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false); // Enter is decided by keyPressEvent: only the focused button
        b->resize(ButtonWidth, ButtonHeight);
        b->hide();
        return b;
    };
    m_help = makeButton("BTHelp", "帮助(&H)");
    m_ok = makeButton("BTOK", "确定(&Y)");
    m_cancel = makeButton("BTCancel", "取消(&C)");
    setTabOrder(m_help, m_ok);
    setTabOrder(m_ok, m_cancel);
    connect(m_ok, &QPushButton::clicked, this, [this] { done(1); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { done(2); });
    connect(m_help, &QPushButton::clicked, this, [this] {
        if (m_helpContext != 0 && g_helpHandler) g_helpHandler(m_helpContext);
    });

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(BlinkOnMs);
    connect(m_timer, &QTimer::timeout, this, &TFXDias::blinkTick);

    if (g_instance) // one dialog per process: a second one replaces the first as the registered one
        g_instance->detach();
    g_instance = this;
}

TFXDias::~TFXDias() {
    detach();
}

TFXDias *TFXDias::instance() {
    return g_instance;
}

void TFXDias::setHelpHandler(std::function<void(qint32)> handler) {
    g_helpHandler = std::move(handler);
}

void TFXDias::detach() {
    if (g_instance == this) {
        g_instance = nullptr;
        // A closed dialog waits for its deferred deletion; it must not be found and reused.
        setObjectName(QString());
    }
}

QString TFXDias::titleText() const {
    return m_title->text();
}

void TFXDias::setMessage(const QString &text, quint8 kind, quint8 buttons, qint32 helpContext) {
    m_text = text;
    m_kind = kind;
    m_buttons = buttons;
    m_helpContext = helpContext;
    layoutTitle();
    layoutBody();
    layoutButtons();
}

void TFXDias::layoutTitle() {
    m_titleColour = messageKindColour(m_kind);
    showTitleColour(m_titleColour);
    const QString title = messageKindTitle(m_kind);
    m_title->setText(title);
    const int w = QFontMetrics(m_title->font()).horizontalAdvance(title) + 40;
    if (w > width()) resize(w, height());
}

void TFXDias::layoutBody() {
    QStringList lines = splitMessageLines(m_text);
    if (!lines.isEmpty() && lines.first().startsWith(u'&')) {
        m_title->setText(lines.takeFirst().mid(1)); // the dialog is not widened for this title
    }
    const QFontMetrics fm(font());
    m_lineHeight = fm.size(Qt::TextSingleLine, QStringLiteral("高")).height() + 8;

    int w = qMax(width(), DesignWidth);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringList pieces = wrapMessageLine(lines.at(i), WrapBytes);
        if (pieces.size() > 1) {
            lines[i] = pieces.first();
            lines.insert(i + 1, pieces.mid(1).join(QString())); // examined and cut again in its turn
        }
        const int lw = fm.horizontalAdvance(lines.at(i)) + 96;
        if (lw > w) w = lw;
    }
    m_lines = lines;

    int h = int(lines.size() + 1) * m_lineHeight + 100;
    const QScreen *scr = screen() ? screen() : QGuiApplication::primaryScreen();
    if (scr && h > scr->geometry().height() - 28) h = scr->geometry().height() - 28;
    resize(w, h);

    m_title->setGeometry(0, 0, w, TitleBarHeight);
    m_strip->setGeometry(0, h - StripHeight, w, StripHeight);

    // The body is a picture of the lines, drawn once per layout.
    const QSize pic(qMax(1, w - 10), qMax(1, h - 100));
    const qreal dpr = devicePixelRatioF();
    QPixmap pm(pic * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(palette().color(QPalette::Window));
    {
        QPainter p(&pm);
        p.setFont(font());
        p.setPen(palette().color(QPalette::WindowText));
        for (qsizetype j = 0; j < lines.size(); ++j) {
            const int y = int(j) * m_lineHeight + m_lineHeight / 2;
            p.drawText(QRect(BodyLeft, y, pic.width() - BodyLeft, m_lineHeight), Qt::AlignLeft | Qt::AlignTop,
                       lines.at(j));
        }
    }
    m_body->setPixmap(pm);
    const int middle = h - TitleBarHeight - StripHeight;
    m_body->setGeometry(5, TitleBarHeight + (middle - pic.height()) / 2, pic.width(), pic.height());
}

void TFXDias::layoutButtons() {
    // Applied in bit order: a later bit's caption wins. Buttons are never hidden again here.
    if (m_buttons & 0x01) {
        m_ok->setText(QStringLiteral("确定(&Y)"));
        m_ok->show();
    }
    if (m_buttons & 0x02) {
        m_cancel->setText(QStringLiteral("取消(&C)"));
        m_cancel->show();
    }
    if (m_buttons & 0x04) {
        m_ok->setText(QStringLiteral("明白(&Y)"));
        m_ok->show();
    }
    if (m_buttons & 0x08) {
        m_ok->setText(QStringLiteral("是的(&Y)"));
        m_ok->show();
    }
    if (m_buttons & 0x10) {
        m_cancel->setText(QStringLiteral("不是(&C)"));
        m_cancel->show();
    }
    if (m_buttons & 0x20) m_help->show();

    const int W = width();
    const bool h = !m_help->isHidden(), o = !m_ok->isHidden(), c = !m_cancel->isHidden();
    const int top = (StripHeight - ButtonHeight) / 2;
    const int count = int(h) + int(o) + int(c);
    if (count == 1) {
        QPushButton *only = h ? m_help : o ? m_ok : m_cancel;
        only->move((W - only->width()) / 2, top);
    } else if (count == 3) {
        const int okLeft = (W - m_ok->width()) / 2;
        m_ok->move(okLeft, top);
        m_help->move(okLeft - m_help->width() - 1, top);
        m_cancel->move(okLeft + m_ok->width() + 1, top);
    } else if (count == 2 && h) {
        QPushButton *other = o ? m_ok : m_cancel;
        const int helpLeft = W / 2 - m_help->width() - 20;
        m_help->move(helpLeft, top);
        other->move(helpLeft + m_help->width() + 40, top);
    } else if (count == 2) {
        m_ok->move(W / 2 - m_ok->width() - 20, top);
        m_cancel->move(W / 2 + 20, top);
    }
    applyInitialFocus();
}

void TFXDias::applyInitialFocus() {
    const quint8 k = m_kind;
    if (!m_cancel->isHidden() && k >= 4 && k <= 6)
        m_cancel->setFocus(Qt::OtherFocusReason);
    else if (!m_help->isHidden() && k == 3)
        m_help->setFocus(Qt::OtherFocusReason);
    else
        setFocus(Qt::OtherFocusReason);
}

void TFXDias::showTitleColour(const QColor &c) {
    m_shownColour = c;
    QPalette pal = m_title->palette();
    pal.setColor(QPalette::Window, c);
    pal.setColor(QPalette::WindowText, Qt::white);
    m_title->setPalette(pal);
}

void TFXDias::FlashTitle1() {
    if (m_shownColour != m_titleColour) showTitleColour(m_titleColour);
}

void TFXDias::FlashTitle5() {
    if (m_shownColour == m_titleColour)
        showTitleColour(
            QColor(255 - m_titleColour.red(), 255 - m_titleColour.green(), 255 - m_titleColour.blue()));
}

void TFXDias::blinkTick() {
    if (m_shownColour == m_titleColour) {
        FlashTitle5();
        m_timer->setInterval(BlinkOffMs);
    } else {
        FlashTitle1();
        m_timer->setInterval(BlinkOnMs);
    }
}

bool TFXDias::press(QPushButton *button) {
    if (button->isHidden() || !button->isEnabled()) return false;
    button->click();
    return true;
}

void TFXDias::keyPressEvent(QKeyEvent *event) {
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool plainOrAlt = mods == Qt::NoModifier || mods == Qt::AltModifier || mods == Qt::ShiftModifier;
    if (plainOrAlt) {
        switch (event->key()) {
        case Qt::Key_Y:
            press(m_ok);
            return;
        case Qt::Key_C:
            press(m_cancel);
            return;
        case Qt::Key_H:
            press(m_help);
            return;
        default:
            break;
        }
    }
    if (mods == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_Escape:
            // Esc is the cancel button's key. A modal dialog without any button would otherwise be
            // impossible to leave, so there Esc closes it with the cancel result.
            if (!press(m_cancel) && isModal() && m_ok->isHidden() && m_help->isHidden()) done(2);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            for (QPushButton *b : {m_help, m_ok, m_cancel})
                if (b->hasFocus()) {
                    press(b);
                    break;
                }
            return;
        default:
            break;
        }
    }
    QWidget::keyPressEvent(event);
}

void TFXDias::changeEvent(QEvent *event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        m_dragging = false;
        m_dragOrigin = QPoint();
        if (!m_timer->isActive()) m_timer->start();
    }
    QDialog::changeEvent(event);
}

bool TFXDias::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_title) {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto *me = static_cast<QMouseEvent *>(event);
            if (me->button() == Qt::LeftButton) {
                m_dragging = true;
                m_dragOrigin = me->position().toPoint();
                return true;
            }
            break;
        }
        case QEvent::MouseMove: {
            auto *me = static_cast<QMouseEvent *>(event);
            if (m_dragging) {
                move(me->globalPosition().toPoint() - m_dragOrigin);
                return true;
            }
            break;
        }
        case QEvent::MouseButtonRelease: {
            auto *me = static_cast<QMouseEvent *>(event);
            if (me->button() == Qt::LeftButton) {
                m_dragging = false;
                m_dragOrigin = QPoint();
                return true;
            }
            break;
        }
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFXDias::done(int result) {
    detach();
    QDialog::done(result);
}

// Closing the window in any other way answers like the cancel button.
void TFXDias::reject() {
    done(2);
}

} // namespace lumvard
