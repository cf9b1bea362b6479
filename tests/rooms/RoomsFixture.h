#pragma once
// A data module on a fresh database of each engine holding the room tables, for the room windows.
#include "data/DM.h"
#include "support/DataModuleFixture.h"
#include "support/Engines.h"
#include "support/ShowWindow.h"

#include <QComboBox>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace lumvard::test {

class RoomsTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        dm = std::make_unique<TFDM>();
        ASSERT_TRUE(OpenWithTables(
            *dm, *scratch, engine(),
            {QStringLiteral("LCK"), QStringLiteral("LBK"), QStringLiteral("FJK"), QStringLiteral("RZK")}));
    }
    void TearDown() override {
        dm.reset();
        EngineTest::TearDown();
    }

    void addFloor(const QString &code, const QString &name) {
        exec(QStringLiteral("insert into LCK (F101_01, F101_02) values ('%1', '%2')").arg(code, name));
    }
    void addCategory(const QString &code, const QString &name) {
        exec(QStringLiteral("insert into LBK (F102_01, F102_02) values ('%1', '%2')").arg(code, name));
    }
    void addRoom(const QString &no, const QString &category, const QString &floor, const QString &status,
                 double price) {
        exec(QStringLiteral("insert into FJK (F103_01, F103_02, F103_03, F103_04, F103_05) values "
                            "('%1', '%2', '%3', '%4', %5)")
                 .arg(no, category, floor, status)
                 .arg(price));
    }
    int count(const QString &table) {
        return scalar(QStringLiteral("select count(*) from ") + table).toInt();
    }

    std::unique_ptr<TFDM> dm;
};

// Chooses an item of a drop-down as the operator does (the binding writes on the choice).
inline void choose(QComboBox *combo, const QString &text) {
    const int index = combo->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

} // namespace lumvard::test
