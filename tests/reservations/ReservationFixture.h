#pragma once
// A data module on a fresh database of either engine with categories, rooms and the reservation
// journal; the fixture's own connection `db` is a second workstation on the same database.
#include "data/AppContext.h"
#include "data/DM.h"
#include "foundation/Clock.h"
#include "platform/Command.h"
#include "platform/QueryModel.h"
#include "support/DataModuleTest.h"
#include "support/ScriptedMessages.h"
#include "support/ShowWindow.h"

#include <QApplication>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace lumvard::test {

struct RoomRow {
    const char *room;
    const char *category;
    const char *floor;
    const char *status;
    double price;
};

class ReservationFixture : public DataModuleTest {
protected:
    void SetUp() override {
        DataModuleTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        resetAppContext();
        AppContext().OperatorCode = QStringLiteral("1001");
        AppContext().OrgName = QStringLiteral("一号宾馆");
        openWith({QStringLiteral("LBK"), QStringLiteral("FJK"), QStringLiteral("KRYDK")});
        if (HasFatalFailure()) return;
        int code = 1;
        for (const char *category : {"标准间", "套房"})
            workstation2(QStringLiteral("insert into LBK (F102_01, F102_02) values (:c, :n)"),
                         {{QStringLiteral("c"), QString::number(code++).rightJustified(3, QLatin1Char('0'))},
                          {QStringLiteral("n"), QString::fromUtf8(category)}});
        const RoomRow rooms[] = {
            {"0101", "标准间", "一楼", "空房间", 180}, {"0102", "标准间", "一楼", "空房间", 180},
            {"0103", "标准间", "一楼", "空房间", 180}, {"0201", "套房", "二楼", "空房间", 380},
            {"0202", "套房", "二楼", "入住房", 380},
        };
        for (const RoomRow &r : rooms)
            addRoom(r);
    }

    void TearDown() override {
        DataModuleTest::TearDown();
        resetAppContext();
    }

    void addRoom(const RoomRow &r) {
        workstation2(
            QStringLiteral(
                "insert into FJK (F103_01, F103_02, F103_03, F103_04, F103_05) values (:r, :c, :f, :s, :p)"),
            {{QStringLiteral("r"), QString::fromUtf8(r.room)},
             {QStringLiteral("c"), QString::fromUtf8(r.category)},
             {QStringLiteral("f"), QString::fromUtf8(r.floor)},
             {QStringLiteral("s"), QString::fromUtf8(r.status)},
             {QStringLiteral("p"), r.price}});
    }

    // A statement from the other workstation.
    int workstation2(const QString &sql, const QVariantMap &params = {}) { return run(sql, params); }

    QString roomStatus(const QString &room) {
        return scalarOf(QStringLiteral("select F103_04 from FJK where F103_01=:r"),
                        {{QStringLiteral("r"), room}})
            .toString();
    }

    int reservationCount() { return scalarOf(QStringLiteral("select count(*) from KRYDK"), {}).toInt(); }

    // Moves the grid to the room and double-clicks it (through the window's guarded connection).
    static bool pickRoom(QTableView *grid, platform::Query &list, const QString &room) {
        const int column = list.fieldIndex(QStringLiteral("F103_01"));
        for (int r = 0; r < list.recordCount(); ++r)
            if (list.displayText(r, column) == room) {
                const QModelIndex index = grid->model()->index(r, 0);
                grid->setCurrentIndex(index);
                emit grid->doubleClicked(index);
                return true;
            }
        return false;
    }

    static QStringList roomsListed(platform::Query &list) {
        QStringList out;
        const int column = list.fieldIndex(QStringLiteral("F103_01"));
        for (int r = 0; r < list.recordCount(); ++r)
            out << list.displayText(r, column);
        return out;
    }

    static void settle() {
        QApplication::processEvents();
        QApplication::processEvents();
    }
};

[[nodiscard]] inline bool showActive(QWidget *w) {
    return showAndActivate(w);
}

} // namespace lumvard::test
