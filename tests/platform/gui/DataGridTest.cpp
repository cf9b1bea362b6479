#include "platform/gui/DataGrid.h"

#include "support/Engines.h"
#include "support/ScriptedMessages.h"

#include <QHeaderView>
#include <QTest>

using namespace lumvard;
using namespace lumvard::platform;

namespace {

class DataGridTest : public lumvard::test::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        execScript(QStringLiteral(
            "CREATE TABLE FJK (F103_01 varchar(4) NOT NULL DEFAULT '0000', F103_02 varchar(8) NOT NULL "
            "DEFAULT "
            "'类别', F103_03 varchar(8) NOT NULL DEFAULT '楼层', F103_04 varchar(8) NOT NULL DEFAULT '状态', "
            "F103_05 float NOT NULL DEFAULT 0, PRIMARY KEY (F103_01));\n"
            "INSERT INTO FJK VALUES ('0301', '标准间', '三楼', '空房间', 98);\n"
            "INSERT INTO FJK VALUES ('0101', '套房', '一楼', '入住房', 1280);\n"
            "INSERT INTO FJK VALUES ('0201', '标准间', '二楼', '修理中', 168)"));
        q = std::make_unique<Query>(&db);
        q->setSql(QStringLiteral("Select * from FJK order by F103_01 desc"));
        q->open();
        grid = std::make_unique<DataGrid>();
        grid->setQuery(q.get());
        grid->setColumns({{QStringLiteral("F103_01"), QStringLiteral("房间号"), 60},
                          {QStringLiteral("F103_03"), QStringLiteral("楼层"), 0},
                          {QStringLiteral("F103_05"), QStringLiteral("单价"), 80}});
        grid->setKeyField(QStringLiteral("F103_01"));
    }
    void TearDown() override {
        grid.reset();
        q.reset();
        EngineTest::TearDown();
    }
    QStringList column(const QString &field) {
        QStringList out;
        for (int r = 0; r < grid->gridRowCount(); ++r)
            out << grid->cellText(r, field);
        return out;
    }
    std::unique_ptr<Query> q;
    std::unique_ptr<DataGrid> grid;
};

TEST_P(DataGridTest, ColumnsByFieldTitleAndWidth) {
    ASSERT_EQ(grid->model()->columnCount(), 3);
    EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("房间号"));
    EXPECT_EQ(grid->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("单价"));
    EXPECT_EQ(grid->columnWidth(0), 60);
    EXPECT_EQ(grid->columnWidth(2), 80);
    EXPECT_EQ(grid->columnOfField(QStringLiteral("f103_05")), 2);
    EXPECT_EQ(grid->columnOfField(QStringLiteral("F103_02")), -1);
    // Unsorted, the grid keeps the dataset's order.
    EXPECT_EQ(column(QStringLiteral("F103_01")),
              (QStringList{QStringLiteral("0301"), QStringLiteral("0201"), QStringLiteral("0101")}));
}

TEST_P(DataGridTest, InitialSortComparesValuesAndLeavesTheDatasetOrder) {
    grid->setInitialSort(QStringLiteral("F103_05"));
    // 98 < 168 < 1280 as numbers (as texts "1280" would come first).
    EXPECT_EQ(column(QStringLiteral("F103_05")),
              (QStringList{QStringLiteral("98"), QStringLiteral("168"), QStringLiteral("1280")}));
    EXPECT_EQ(grid->horizontalHeader()->sortIndicatorSection(), 2);
    q->first();
    EXPECT_EQ(q->fieldByName(QStringLiteral("F103_01")).asString(), QStringLiteral("0301"));
    grid->setInitialSort(QStringLiteral("F103_03"), Qt::DescendingOrder);
    // Texts compare by code: 二 (U+4E8C) > 三 (U+4E09) > 一 (U+4E00).
    EXPECT_EQ(column(QStringLiteral("F103_01")),
              (QStringList{QStringLiteral("0201"), QStringLiteral("0301"), QStringLiteral("0101")}));
}

TEST_P(DataGridTest, FollowsTheDatasetCursorBothWays) {
    grid->setInitialSort(QStringLiteral("F103_05"));
    // The dataset's first row (0301, 98) is the grid's first row too; its last (0101) is the grid's last.
    q->last();
    EXPECT_EQ(grid->currentIndex().row(), 2);
    EXPECT_EQ(grid->currentKeyValue().toString(), QStringLiteral("0101"));
    EXPECT_TRUE(grid->selectionModel()->isRowSelected(2, {}));

    grid->setCurrentIndex(grid->model()->index(1, 1)); // the row of 0201
    EXPECT_EQ(q->fieldByName(QStringLiteral("F103_01")).asString(), QStringLiteral("0201"));

    // A new row is selected as the dataset moves to it; cancelling it goes back.
    q->append();
    EXPECT_EQ(grid->currentKeyValue().toString(), QStringLiteral("0000"));
    q->cancel();
    EXPECT_EQ(grid->currentKeyValue().toString(), QStringLiteral("0201"));

    // After the dataset is reopened the grid stands on its first row.
    q->close();
    EXPECT_EQ(grid->gridRowCount(), 0);
    q->open();
    EXPECT_EQ(grid->currentKeyValue().toString(), QStringLiteral("0301"));
}

TEST_P(DataGridTest, MovingAwayFromARefusedEditKeepsTheGridOnTheDataset) {
    grid->setEditable(true);
    q->first();
    q->edit();
    q->fieldByName(QStringLiteral("F103_03")).setAsString(QStringLiteral("一二三四五")); // 10 bytes > 8
    {
        lumvard::test::ScriptedMessages m;
        m.expectErrorBox(QStringLiteral("F103_03"));
        grid->setCurrentIndex(grid->model()->index(2, 0));
    }
    EXPECT_EQ(q->recNo(), 1);
    EXPECT_EQ(grid->currentIndex().row(), 0);
    q->cancel();
}

TEST_P(DataGridTest, DoubleClickRunsTheHandlerOnThatRow) {
    QString seen;
    grid->setDoubleClickHandler([&] { seen = q->fieldByName(QStringLiteral("F103_01")).asString(); });
    grid->resize(400, 200);
    grid->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.get()));
    auto doubleClick = [&](int row) {
        const QPoint at = grid->visualRect(grid->model()->index(row, 0)).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    };
    doubleClick(2);
    EXPECT_EQ(seen, QStringLiteral("0101"));

    grid->setDoubleClickHandler([] { throw Error(QStringLiteral("无法打开")); });
    lumvard::test::ScriptedMessages m;
    m.expectErrorBox(QStringLiteral("无法打开"));
    doubleClick(0);
}

TEST_P(DataGridTest, ReadOnlyOrEditableInPlace) {
    const QModelIndex price = grid->model()->index(0, 2);
    EXPECT_FALSE(grid->model()->flags(price) & Qt::ItemIsEditable);
    EXPECT_FALSE(grid->model()->setData(price, 99.0));
    EXPECT_EQ(grid->palette().color(QPalette::Base), grid->palette().color(QPalette::ToolTipBase));

    grid->setEditable(true);
    EXPECT_EQ(grid->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_TRUE(grid->model()->flags(price) & Qt::ItemIsEditable);
    EXPECT_TRUE(grid->model()->setData(price, 99.0));
    q->post();
    // Stays in the dataset's batch until it is sent.
    EXPECT_TRUE(q->hasPendingUpdates());
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("select F103_05 from FJK where F103_01='0301'")).toDouble(), 98);
    q->applyUpdates();
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("select F103_05 from FJK where F103_01='0301'")).toDouble(), 99);
}

TEST_P(DataGridTest, SelectedKeysInGridOrder) {
    grid->setMultiSelect(true);
    grid->setInitialSort(QStringLiteral("F103_01"));
    grid->selectionModel()->select(grid->model()->index(2, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    grid->selectionModel()->select(grid->model()->index(0, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const QVariantList keys = grid->selectedKeyValues();
    ASSERT_EQ(keys.size(), 2);
    EXPECT_EQ(keys[0].toString(), QStringLiteral("0101"));
    EXPECT_EQ(keys[1].toString(), QStringLiteral("0301"));
}

LUMVARD_ON_BOTH_ENGINES(DataGridTest);

} // namespace
