#pragma once
// A database test of the data layer: the data module `dm` opened on the scratch database of either
// engine with the tables the test names, and the fixture's own connection `db` as a second
// workstation.
#include "data/DM.h"
#include "platform/Command.h"
#include "support/DataModuleFixture.h"
#include "support/Engines.h"

#include <QSqlQuery>
#include <gtest/gtest.h>
#include <memory>

namespace lumvard::test {

class DataModuleTest : public EngineTest {
protected:
    // Call from SetUp: opens the data module and creates `tables`.
    void openWith(const QStringList &tables) {
        dm = std::make_unique<TFDM>();
        ASSERT_TRUE(OpenWithTables(*dm, *scratch, engine(), tables));
    }
    void TearDown() override {
        if (dm) {
            dm->QADO.close();
            dm->QADOT.close();
            dm->DBConn.close();
        }
        dm.reset();
        EngineTest::TearDown();
    }

    // A statement from the other workstation.
    int run(const QString &sql, const QVariantMap &params = {}) {
        return platform::Command::run(db, sql, params);
    }

    QVariant scalarOf(const QString &sql, const QVariantMap &params = {}) {
        QSqlQuery q = db.run(sql, params);
        QVariant v = q.next() ? q.value(0) : QVariant();
        q.finish();
        return v;
    }

    std::unique_ptr<TFDM> dm;
};

} // namespace lumvard::test
