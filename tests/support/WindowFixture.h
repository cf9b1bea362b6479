#pragma once
// A window test on top of a database fixture: the clock stands at `startAt`, `w` is the window under
// test (opened shown and active), and rooms are picked and fields left the way the operator does.
#include "foundation/Clock.h"
#include "support/ScriptedMessages.h"
#include "support/ShowWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace lumvard::test {

template <class Base, class Window> class WindowFixture : public Base {
protected:
    void SetUp() override {
        Base::SetUp();
        if (this->IsSkipped() || this->HasFatalFailure()) return;
        clock = std::make_unique<ScopedClock>(startAt);
    }
    void TearDown() override {
        w.reset();
        clock.reset();
        Base::TearDown();
    }

    void openWindow() {
        w = std::make_unique<Window>();
        ASSERT_TRUE(showAndActivate(w.get()));
    }
    // Moves the room grid to the room (as the grid shows it, sorted or not) and double-clicks it.
    void pick(const QString &room) {
        const int column = w->Q103.fieldIndex(QStringLiteral("F103_01"));
        for (int r = 0; r < w->Q103.recordCount(); ++r)
            if (w->Q103.displayText(r, column) == room) {
                const QModelIndex index = w->FJGrid->model()->index(w->FJGrid->gridRowOfRecord(r), 0);
                w->FJGrid->setCurrentIndex(index);
                emit w->FJGrid->doubleClicked(index);
                return;
            }
        FAIL() << "room not listed: " << room.toStdString();
    }
    // Clicks the button; the window must answer with exactly this information.
    static void clickExpectingInfo(QAbstractButton *button, const QString &info) {
        ScriptedMessages m;
        m.expectInfo(info);
        button->click();
    }
    // Leaves a field the way the operator does: the focus moves on.
    static void leave(QWidget *from, QWidget *to) {
        from->setFocus();
        to->setFocus();
        QApplication::processEvents();
        QApplication::processEvents();
    }

    QDateTime startAt{QDate(2024, 5, 1), QTime(10, 20, 30)};
    std::unique_ptr<ScopedClock> clock;
    std::unique_ptr<Window> w;
};

} // namespace lumvard::test
