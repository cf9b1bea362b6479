#pragma once
// Shows a window under test exposed and active, so that focus moves as on a screen. Header only:
// the support library itself has no widgets.
#include <QTest>
#include <QWidget>

namespace lumvard::test {

[[nodiscard]] inline bool showAndActivate(QWidget *w) {
    w->show();
    if (!QTest::qWaitForWindowExposed(w)) return false;
    w->activateWindow();
    w->raise();
    return QTest::qWaitForWindowActive(w);
}

} // namespace lumvard::test
