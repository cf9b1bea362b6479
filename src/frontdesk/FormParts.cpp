#include "frontdesk/FormParts.h"

#include "data/FrontDesk.h"
#include "foundation/Clock.h"
#include "foundation/Errors.h"
#include "foundation/TextFormats.h"
#include "foundation/XDias.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace lumvard::frontdesk {

QLineEdit *EntryField(const QString &name, bool editable, bool right) {
    auto *e = Named(new QLineEdit, name);
    e->setReadOnly(!editable);
    if (right) e->setAlignment(Qt::AlignRight);
    return e;
}

QToolButton *AddToolButton(QWidget *owner, QHBoxLayout *toolbar, const QString &name, const QString &text,
                           const QString &hint) {
    auto *b = Named(new QToolButton(owner), name);
    b->setText(text);
    if (!hint.isEmpty()) b->setToolTip(hint);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    toolbar->addWidget(b);
    return b;
}

QComboBox *AddCategoryFilter(QVBoxLayout *layout) {
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("类别:")));
    auto *combo = Named(new QComboBox, QStringLiteral("LBCombox"));
    row->addWidget(combo, 1);
    layout->addLayout(row);
    return combo;
}

double NumberOf(const QString &text) {
    bool ok = false;
    const double value = parseNumber(text, &ok);
    if (!ok) throw Error(QStringLiteral("\"%1\"不是有效的数字!").arg(text));
    return value;
}

void Refocus(QWidget *w) {
    w->setFocus();
    QPointer<QWidget> target(w);
    QTimer::singleShot(0, w, [target] {
        if (target) target->setFocus();
    });
}

std::optional<double> LeaveRateField(QLineEdit *rateField) {
    const QString text = rateField->text().trimmed();
    if (text.isEmpty()) return std::nullopt;
    bool ok = false;
    const double rate = parseNumber(text, &ok);
    if (!ok) {
        Refocus(rateField);
        throw Error(QStringLiteral("\"%1\"不是有效的数字!").arg(text));
    }
    if (!IsValidRate(rate)) {
        ShowInfo(QStringLiteral("折价率录入不规范!"));
        Refocus(rateField);
        return std::nullopt;
    }
    return rate;
}

CheckIn ReadCheckIn(const CheckInFields &f, double standardPrice, const QDateTime &checkedInAt) {
    CheckIn c;
    c.number = f.number->text().trimmed();
    c.room = f.room->text();
    c.category = f.category->text();
    c.standardPrice = standardPrice;
    c.rate = NumberOf(f.rate->text());
    c.actualPrice = NumberOf(f.actualPrice->text());
    c.deposit = NumberOf(f.deposit->text().trimmed().isEmpty() ? QStringLiteral("0") : f.deposit->text());
    c.total = NumberOf(f.total->text());
    c.guest = f.guest->text();
    c.documentType = f.documentType;
    c.documentNo = f.documentNo->text();
    c.address = f.address->text();
    const QString companions = f.companions->text().trimmed();
    if (!companions.isEmpty()) {
        bool ok = false;
        c.companions = companions.toInt(&ok);
        if (!ok || c.companions < 0)
            throw Error(QStringLiteral("随行人数\"%1\"不是有效的整数!").arg(companions));
    }
    c.operatorCode = f.operatorCode->text();
    c.checkedInAt = checkedInAt;
    return c;
}

QDateTime NowToTheSecond() {
    QDateTime t = Now();
    t.setTime(QTime(t.time().hour(), t.time().minute(), t.time().second()));
    return t;
}

void CloseWindow(QWidget *w) {
    if (auto *sub = qobject_cast<QMdiSubWindow *>(w->parentWidget()))
        sub->close();
    else
        w->close();
}

void EntryKeys::watch(QWidget *field) {
    field->removeEventFilter(this);
    field->installEventFilter(this);
}

void EntryKeys::onExit(QWidget *field, std::function<void()> handler) {
    m_exit.insert(field, std::move(handler));
    watch(field);
}

void EntryKeys::onReturn(QWidget *field, std::function<void()> handler) {
    m_return.insert(field, std::move(handler));
    watch(field);
}

void EntryKeys::setChain(const QList<QWidget *> &chain) {
    m_chain = chain;
    for (QWidget *w : chain)
        watch(w);
}

bool EntryKeys::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        const auto exit = m_exit.constFind(watched);
        if (exit != m_exit.cend() && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            runGuarded(*exit);
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (const auto own = m_return.constFind(watched); own != m_return.cend()) {
                runGuarded(*own);
                return true;
            }
            const int at = m_chain.indexOf(static_cast<QWidget *>(watched));
            if (at >= 0 && at + 1 < m_chain.size()) {
                m_chain[at + 1]->setFocus(Qt::TabFocusReason); // the focus-out runs the exit handler
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace lumvard::frontdesk
