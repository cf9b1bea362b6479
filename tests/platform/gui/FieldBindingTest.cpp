#include "platform/gui/FieldBinding.h"
#include "platform/Command.h"
#include "support/Engines.h"
#include "support/ScriptedMessages.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

using namespace lumvard;
using namespace lumvard::platform;

namespace {

class FieldBindingEngine : public lumvard::test::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        execScript(QStringLiteral(
            "CREATE TABLE FJK (F103_01 varchar(4) NOT NULL DEFAULT '0000', F103_02 varchar(8) NOT NULL "
            "DEFAULT "
            "'类别', F103_03 varchar(8) NOT NULL DEFAULT '楼层', F103_04 varchar(8) NOT NULL DEFAULT '状态', "
            "F103_05 float NOT NULL DEFAULT 0, PRIMARY KEY (F103_01));\n"
            "INSERT INTO FJK VALUES ('0101', '标准间', '一楼', '空房间', 168);\n"
            "INSERT INTO FJK VALUES ('0102', '套房', '一楼', '修理中', 298)"));
        q = std::make_unique<Query>(&db);
        q->setSql(QStringLiteral("Select * from FJK order by F103_01"));
    }
    void TearDown() override {
        q.reset();
        EngineTest::TearDown();
    }
    std::unique_ptr<Query> q;
};

TEST_P(FieldBindingEngine, LineEditFollowsTheCursorAndWritesWhileEditing) {
    QLineEdit price;
    auto *b = new FieldBinding(q.get(), QStringLiteral("F103_05"), &price);
    EXPECT_EQ(b->widget(), &price);
    EXPECT_EQ(price.text(), QString()); // closed
    q->open();
    EXPECT_EQ(price.text(), QStringLiteral("168"));
    q->next();
    EXPECT_EQ(price.text(), QStringLiteral("298"));

    // Typing while browsing changes nothing.
    price.setText(QStringLiteral("1"));
    emit price.editingFinished();
    EXPECT_EQ(price.text(), QStringLiteral("298"));
    EXPECT_FALSE(q->hasPendingUpdates());

    q->edit();
    price.setText(QStringLiteral("199.50"));
    QTest::keyClick(&price, Qt::Key_Return);
    EXPECT_DOUBLE_EQ(q->fieldByName(QStringLiteral("F103_05")).asFloat(), 199.5);
    EXPECT_EQ(price.text(), QStringLiteral("199.5"));
    q->cancel();
    EXPECT_EQ(price.text(), QStringLiteral("298"));

    // A change made in code shows at once.
    q->edit();
    q->fieldByName(QStringLiteral("F103_05")).setAsFloat(300);
    EXPECT_EQ(price.text(), QStringLiteral("300"));
    q->post();
    q->append();
    EXPECT_EQ(price.text(), QStringLiteral("0")); // the column default
    q->cancel();
    q->close();
    EXPECT_EQ(price.text(), QString());
}

TEST_P(FieldBindingEngine, RefusedValueIsReportedAndUndone) {
    QLineEdit price;
    new FieldBinding(q.get(), QStringLiteral("F103_05"), &price);
    q->open();
    q->edit();
    price.setText(QStringLiteral("abc"));
    {
        lumvard::test::ScriptedMessages m;
        m.expectErrorBox(QStringLiteral("'abc' 不是有效的数值"));
        emit price.editingFinished();
    }
    EXPECT_EQ(price.text(), QStringLiteral("168"));
    EXPECT_DOUBLE_EQ(q->fieldByName(QStringLiteral("F103_05")).asFloat(), 168);
}

TEST_P(FieldBindingEngine, ComboInListModeAcceptsOnlyItsItems) {
    QComboBox status;
    status.addItems({QStringLiteral("空房间"), QStringLiteral("入住房"), QStringLiteral("预定房"),
                     QStringLiteral("打扫中")});
    new FieldBinding(q.get(), QStringLiteral("F103_04"), &status, true);
    EXPECT_FALSE(status.isEditable());
    q->open();
    EXPECT_EQ(status.currentIndex(), 0);
    q->next(); // "修理中" is not offered: nothing is selected
    EXPECT_EQ(status.currentIndex(), -1);
    q->edit();
    status.setCurrentIndex(3);
    emit status.activated(3);
    EXPECT_EQ(q->fieldByName(QStringLiteral("F103_04")).asString(), QStringLiteral("打扫中"));
    q->post();
    q->first();
    EXPECT_EQ(status.currentText(), QStringLiteral("空房间"));
}

TEST_P(FieldBindingEngine, EditableComboTakesTypedText) {
    QComboBox floor;
    floor.addItems({QStringLiteral("一楼"), QStringLiteral("二楼")});
    new FieldBinding(q.get(), QStringLiteral("F103_03"), &floor);
    ASSERT_TRUE(floor.isEditable());
    q->open();
    EXPECT_EQ(floor.currentText(), QStringLiteral("一楼"));
    q->edit();
    floor.setEditText(QStringLiteral("夹层"));
    emit floor.lineEdit()->editingFinished();
    EXPECT_EQ(q->fieldByName(QStringLiteral("F103_03")).asString(), QStringLiteral("夹层"));
    q->applyUpdates();
    EXPECT_EQ(scalar(QStringLiteral("SELECT F103_03 FROM FJK WHERE F103_01='0101'")).toString(),
              QStringLiteral("夹层"));
}

LUMVARD_ON_BOTH_ENGINES(FieldBindingEngine);

} // namespace
