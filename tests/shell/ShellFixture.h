#pragma once
// A data module on a fresh local database holding the operator table, for the shell windows.
#include "data/AppContext.h"
#include "data/DM.h"
#include "support/DataModuleFixture.h"
#include "support/Engines.h"
#include "support/ShowWindow.h"

#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace lumvard::test {

struct OperatorRow {
    int code;
    QString name;
    QVariant password; // null for NULL
    QString rights;
};

class ShellFixture : public ::testing::Test {
protected:
    void SetUp() override {
        resetAppContext();
        scratch = std::make_unique<ScratchDatabase>(platform::Engine::SQLite);
        ASSERT_TRUE(scratch->ok()) << scratch->error().toStdString();
        ASSERT_TRUE(OpenWithTables(dm, *scratch, platform::Engine::SQLite, {QStringLiteral("CZYK")}));
    }

    void TearDown() override {
        dm.QADO.close();
        dm.F107.close();
        resetAppContext();
    }

    void addOperators(const QList<OperatorRow> &rows) {
        for (const OperatorRow &r : rows)
            ASSERT_TRUE(dm.ExecCommand(
                QStringLiteral(
                    "insert into CZYK (F107_01, F107_02, F107_03, F107_04) values (:c, :n, :p, :r)"),
                {{QStringLiteral("c"), r.code},
                 {QStringLiteral("n"), r.name},
                 {QStringLiteral("p"), r.password},
                 {QStringLiteral("r"), r.rights}}))
                << dm.lastError().toStdString();
    }

    std::unique_ptr<ScratchDatabase> scratch;
    TFDM dm;
};

} // namespace lumvard::test
