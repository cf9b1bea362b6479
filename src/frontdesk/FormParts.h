#pragma once
// The pieces the front-desk and reservation windows build and handle alike: named widgets, the
// toolbar buttons, the category filter row, reading a typed number, putting the focus back in a
// refused field, the discount rate field and closing the window from its "退出" button.
#include <QDateTime>
#include <QString>
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

// Now, to the second (as a check-in time is stored).
QDateTime NowToTheSecond();

// Closes the window, through its MDI sub-window when it has one.
void CloseWindow(QWidget *w);

} // namespace lumvard::frontdesk
