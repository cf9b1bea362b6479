#pragma once
// The reservation fixture's database (categories, rooms 0101-0103 at 180, 0201 at 380, 0202 occupied)
// with the check-in and room-income journals and two rooms of the front desk's examples: 0301 at 150
// and 0302 at 168.
#include "reservations/ReservationFixture.h"

namespace lumvard::test {

class FrontDeskFixture : public ReservationFixture {
protected:
    void SetUp() override {
        ReservationFixture::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_TRUE(CreateTables(*dm, engine(), {QStringLiteral("RZK"), QStringLiteral("KRXFK")}));
        addRoom({"0301", "标准间", "三楼", "空房间", 150});
        addRoom({"0302", "标准间", "三楼", "空房间", 168});
    }

    void TearDown() override {
        if (dm) dm->QADOQ.close();
        ReservationFixture::TearDown();
    }

    int rows(const QString &table) {
        return scalarOf(QStringLiteral("select count(*) from ") + table, {}).toInt();
    }
    QVariant rzk(const QString &number, const QString &column) {
        return scalarOf(QStringLiteral("select %1 from RZK where F104_01=:n").arg(column),
                        {{QStringLiteral("n"), number}});
    }
    QVariant krxfk(const QString &number, const QString &column) {
        return scalarOf(QStringLiteral("select %1 from KRXFK where F105_01=:n").arg(column),
                        {{QStringLiteral("n"), number}});
    }
    // A check-in written by another workstation.
    void otherCheckIn(const QString &number, const QString &room, const QDateTime &at, double price,
                      double deposit, double total) {
        workstation2(
            QStringLiteral(
                "insert into RZK (F104_01, F104_02, F104_03, F104_06, F104_07, F104_08, "
                "F104_09, F104_15, F104_16) values (:n, :r, '标准间', :p, :d, :t, '王五', :at, '否')"),
            {{QStringLiteral("n"), number},
             {QStringLiteral("r"), room},
             {QStringLiteral("p"), price},
             {QStringLiteral("d"), deposit},
             {QStringLiteral("t"), total},
             {QStringLiteral("at"), platform::Connection::dateTimeToText(at)}});
        workstation2(QStringLiteral("update FJK set F103_04='入住房' where F103_01=:r"),
                     {{QStringLiteral("r"), room}});
    }
};

} // namespace lumvard::test
