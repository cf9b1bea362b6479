#pragma once
// A data module on a fresh local database holding the operator table, for the shell windows.
#include "data/AppContext.h"
#include "data/DM.h"
#include "data/SqlCreateTable.h"
#include "support/Engines.h"

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
        ASSERT_TRUE(dm.OpenConnection(dm.DBConn, scratch->settings())) << dm.lastError().toStdString();
        QStringList create;
        ASSERT_TRUE(BuildCreateStatements(QStringLiteral("CZYK"), platform::Engine::SQLite, create));
        for (const QString &sql : create)
            ASSERT_TRUE(dm.ExecCommand(sql)) << dm.lastError().toStdString();
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

// Shown, exposed and active, so that focus moves as on a screen.
[[nodiscard]] inline bool showAndActivate(QWidget *w) {
    w->show();
    if (!QTest::qWaitForWindowExposed(w)) return false;
    w->activateWindow();
    w->raise();
    return QTest::qWaitForWindowActive(w);
}

} // namespace lumvard::test
