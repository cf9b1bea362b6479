#pragma once
// The pieces the front-desk and reservation windows build and handle alike: named widgets, the
// toolbar buttons, the category filter row, reading a typed number, putting the focus back in a
// refused field, the discount rate field and closing the window from its "退出" button.
#include "data/FrontDesk.h"
#include "foundation/XDias.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QComboBox;
class QHBoxLayout;
class QLineEdit;
class QToolButton;
class QVBoxLayout;
class QWidget;

namespace lumvard::frontdesk {

// Gives the widget the object name the tests and the design know it by.
template <class W> W *Named(W *w, const QString &name) {
    w->setObjectName(name);
    return w;
}

// A handler of the window as a slot: its errors go to the standard error box.
template <class W> auto Guarded(W *window, void (W::*handler)()) {
    return [window, handler] { runGuarded([&] { (window->*handler)(); }); };
}

// An entry line: read-only unless `editable`, numbers right-aligned.
QLineEdit *EntryField(const QString &name, bool editable, bool right = false);

// A text-only tool button of `owner`, added to the toolbar row.
QToolButton *AddToolButton(QWidget *owner, QHBoxLayout *toolbar, const QString &name, const QString &text,
                           const QString &hint = QString());

// The "类别:" row above a room list; returns its combo, named LBCombox.
QComboBox *AddCategoryFilter(QVBoxLayout *layout);

// A number the operator typed or the window computed; a text that is no number raises lumvard::Error
// naming it.
double NumberOf(const QString &text);

// Puts the focus back in `w`, also when called from its own focus-out (the focus moves on first,
// then comes back).
void Refocus(QWidget *w);

// The discount rate field left: nullopt when it is empty or refused. A rate outside (0, 1] is told
// with "折价率录入不规范!"; a text that is no number raises lumvard::Error. Either way the focus
// goes back to the field.
std::optional<double> LeaveRateField(QLineEdit *rate);

// The check-in entry form's fields, as both check-in windows lay them out.
struct CheckInFields {
    QLineEdit *number;
    QLineEdit *room;
    QLineEdit *category;
    QLineEdit *rate;
    QLineEdit *actualPrice;
    QLineEdit *deposit;
    QLineEdit *total;
    QLineEdit *guest;
    QString documentType; // a drop-down in one window, a field in the other
    QLineEdit *documentNo;
    QLineEdit *address;
    QLineEdit *companions;
    QLineEdit *operatorCode;
};

// The check-in the form shows. An empty deposit is 0 and empty companions none; a price, rate,
// deposit or total that is no number, or companions that are no whole number of at least 0, raise
// lumvard::Error naming the text, before anything is asked or written.
CheckIn ReadCheckIn(const CheckInFields &f, double standardPrice, const QDateTime &checkedInAt);

// Now, to the second (as a check-in time is stored).
QDateTime NowToTheSecond();

// Closes the window, through its MDI sub-window when it has one.
void CloseWindow(QWidget *w);

// The keyboard of an entry form: a field's exit handler runs when the focus leaves it for another
// control of the window (not when the window loses activation or a popup opens); Return or Enter moves
// on along the entry chain (leaving the field runs its exit handler) or runs the field's own Return
// handler. Handlers run guarded: their errors go to the standard error box.
class EntryKeys : public QObject {
public:
    explicit EntryKeys(QObject *parent)
        : QObject(parent) {}

    void onExit(QWidget *field, std::function<void()> handler);
    void onReturn(QWidget *field, std::function<void()> handler);
    void setChain(const QList<QWidget *> &chain);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watch(QWidget *field);
    QHash<QObject *, std::function<void()>> m_exit;
    QHash<QObject *, std::function<void()>> m_return;
    QList<QWidget *> m_chain;
};

} // namespace lumvard::frontdesk
