#pragma once
// The data module of a window test: TFDM on a scratch database holding the tables the test needs,
// created with the engine's own statements.
#include "data/DM.h"
#include "support/Engines.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace lumvard::test {

// Opens the data module's connection on the scratch database and creates `tables` there.
::testing::AssertionResult OpenWithTables(TFDM &dm, const ScratchDatabase &scratch, platform::Engine engine,
                                          const QStringList &tables);

// Creates `tables` on the data module's open connection.
::testing::AssertionResult CreateTables(TFDM &dm, platform::Engine engine, const QStringList &tables);

} // namespace lumvard::test
