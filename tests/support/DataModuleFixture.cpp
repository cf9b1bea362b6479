#include "support/DataModuleFixture.h"

#include "data/SqlCreateTable.h"

namespace lumvard::test {

::testing::AssertionResult OpenWithTables(TFDM &dm, const ScratchDatabase &scratch, platform::Engine engine,
                                          const QStringList &tables) {
    if (!dm.OpenConnection(dm.DBConn, scratch.settings()))
        return ::testing::AssertionFailure() << dm.lastError().toStdString();
    return CreateTables(dm, engine, tables);
}

::testing::AssertionResult CreateTables(TFDM &dm, platform::Engine engine, const QStringList &tables) {
    for (const QString &table : tables) {
        QStringList create;
        if (!BuildCreateStatements(table, engine, create))
            return ::testing::AssertionFailure() << "no statements for " << table.toStdString();
        for (const QString &sql : create)
            if (!dm.ExecCommand(sql))
                return ::testing::AssertionFailure()
                       << table.toStdString() << ": " << dm.lastError().toStdString();
    }
    return ::testing::AssertionSuccess();
}

} // namespace lumvard::test
