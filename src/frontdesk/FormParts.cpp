#include "frontdesk/FormParts.h"

#include "data/FrontDesk.h"
#include "foundation/Clock.h"
#include "foundation/Errors.h"
#include "foundation/TextFormats.h"
#include "foundation/XDias.h"

#include <QComboBox>
#include <QHBoxLayout>
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

} // namespace lumvard::frontdesk
