#include "shell/Pass.h"

#include "ShellFixture.h"
#include "support/ScriptedMessages.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using namespace lumvard;
using namespace lumvard::test;
using lumvard::shell::TFPass;

namespace {

class PassTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        // Table order on purpose not sorted by code.
        addOperators({{1002, QStringLiteral("王五"), QStringLiteral("wang"), QString()},
                      {1001, QStringLiteral("张三"), QStringLiteral("zhang"), QString()},
                      {1003, QStringLiteral("无口令"), QVariant(), QString()},
                      {1004, QStringLiteral("同口令"), QStringLiteral("boss"), QString()}});
        AppContext().SuperPassword = QStringLiteral("boss");
        pass = std::make_unique<TFPass>(dm);
        ASSERT_TRUE(showAndActivate(pass.get()));
    }
    void TearDown() override {
        pass.reset();
        ShellFixture::TearDown();
    }

    QComboBox *combo() { return pass->findChild<QComboBox *>(QStringLiteral("ComboBox1")); }
    QLineEdit *edit() { return pass->findChild<QLineEdit *>(QStringLiteral("Edit1")); }
    QPushButton *button(const char *name) {
        return pass->findChild<QPushButton *>(QString::fromLatin1(name));
    }

    void choose(const QString &entry) {
        const int i = combo()->findText(entry);
        ASSERT_GE(i, 0) << entry.toStdString();
        combo()->setCurrentIndex(i);
    }
    void typePassword(const QString &text) {
        edit()->setFocus();
        edit()->clear();
        QTest::keyClicks(edit(), text);
    }
    void pressEnter() { QTest::keyClick(edit(), Qt::Key_Return); }

    std::unique_ptr<TFPass> pass;
};

TEST_F(PassTest, ListsOperatorsInTableOrderWithNobodyChosenAndFocusOnPassword) {
    QStringList items;
    for (int i = 0; i < combo()->count(); ++i)
        items << combo()->itemText(i);
    EXPECT_EQ(items, QStringList({QStringLiteral("1002|王五"), QStringLiteral("1001|张三"),
                                  QStringLiteral("1003|无口令"), QStringLiteral("1004|同口令")}));
    EXPECT_TRUE(combo()->currentText().isEmpty());
    EXPECT_TRUE(AppContext().OperatorCode.isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), edit());
    EXPECT_EQ(pass->windowTitle(), QStringLiteral("进入Lumvard"));
}

TEST_F(PassTest, ChoosingAnOperatorFillsTheContextAndFocusesThePassword) {
    combo()->setFocus();
    choose(QStringLiteral("1001|张三"));
    const AppContextRecord &ctx = AppContext();
    EXPECT_EQ(ctx.OperatorCode, QStringLiteral("1001"));
    EXPECT_EQ(ctx.OperatorId, 1001);
    EXPECT_EQ(ctx.OperatorName, QStringLiteral("张三"));
    EXPECT_EQ(ctx.OperatorPassword, QStringLiteral("zhang"));
    EXPECT_EQ(QApplication::focusWidget(), edit());
}

struct LoginCase {
    const char *label;
    const char *superPassword;
    const char *chosen; // empty: nobody chosen
    const char *typed;
    const char *expectedCode;
    const char *expectedName;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const LoginCase &c, std::ostream *os) {
    *os << c.label;
}

class PassLoginTest : public PassTest, public ::testing::WithParamInterface<LoginCase> {};

TEST_P(PassLoginTest, EnterLogsIn) {
    const LoginCase &c = GetParam();
    AppContext().SuperPassword = QString::fromUtf8(c.superPassword);
    if (*c.chosen) choose(QString::fromUtf8(c.chosen));
    typePassword(QString::fromUtf8(c.typed));
    pressEnter();
    const AppContextRecord &ctx = AppContext();
    EXPECT_TRUE(ctx.LoggedIn);
    EXPECT_EQ(pass->result(), QDialog::Accepted);
    EXPECT_EQ(ctx.OperatorCode, QString::fromUtf8(c.expectedCode));
    EXPECT_EQ(ctx.OperatorName, QString::fromUtf8(c.expectedName));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PassLoginTest,
    ::testing::Values(LoginCase{"OwnPassword", "boss", "1001|张三", "zhang", "1001", "张三"},
                      LoginCase{"EmptyPasswordOperator", "boss", "1003|无口令", "", "1003", "无口令"},
                      LoginCase{"SuperWithNobodyChosen", "boss", "", "boss", "", "SuperOper"},
                      LoginCase{"SuperAfterChoosing", "boss", "1002|王五", "boss", "1002", "SuperOper"},
                      LoginCase{"PasswordEqualToBoth", "boss", "1004|同口令", "boss", "1004", "SuperOper"},
                      LoginCase{"NoSuperPasswordConfigured", "", "", "", "", "SuperOper"}),
    [](const ::testing::TestParamInfo<LoginCase> &i) { return std::string(i.param.label); });

TEST_F(PassTest, WrongPasswordEmptiesTheFieldAndAllowsAnotherTry) {
    choose(QStringLiteral("1001|张三"));
    {
        ScriptedMessages m;
        m.expectInfo(QStringLiteral("口令输入有误,请核对后重新输入!"));
        typePassword(QStringLiteral("wang"));
        pressEnter();
    }
    EXPECT_FALSE(AppContext().LoggedIn);
    EXPECT_TRUE(edit()->text().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), edit());
    EXPECT_TRUE(pass->isVisible());

    typePassword(QStringLiteral("zhang"));
    QTest::mouseClick(button("Bok"), Qt::LeftButton);
    EXPECT_TRUE(AppContext().LoggedIn);
}

TEST_F(PassTest, PasswordWithoutOperatorAsksForOne) {
    ScriptedMessages m;
    m.expectInfo(QStringLiteral("请选择操作员!"));
    typePassword(QStringLiteral("zhang"));
    pressEnter();
    EXPECT_FALSE(AppContext().LoggedIn);
}

TEST_F(PassTest, TypedTextThatNamesNoListEntryIsRefused) {
    for (const QString &typed : {QStringLiteral("zhang"), QStringLiteral("1001"), QStringLiteral("x|y"),
                                 QStringLiteral("1001 or 1=1|"), QStringLiteral("9999|nobody")}) {
        SCOPED_TRACE(typed.toStdString());
        combo()->setFocus();
        combo()->clearEditText();
        QTest::keyClicks(combo()->lineEdit(), typed);
        ScriptedMessages m;
        m.expectInfo(QStringLiteral("请从列表中选择操作员!"));
        typePassword(QStringLiteral("zhang"));
        pressEnter();
        EXPECT_FALSE(AppContext().LoggedIn);
    }
}

TEST_F(PassTest, TextChangedAfterChoosingNoLongerCountsAsThatOperator) {
    choose(QStringLiteral("1001|张三"));
    combo()->setEditText(QStringLiteral("9999|张三"));
    ScriptedMessages m;
    m.expectInfo(QStringLiteral("请从列表中选择操作员!"));
    typePassword(QStringLiteral("zhang"));
    pressEnter();
    EXPECT_FALSE(AppContext().LoggedIn);
}

TEST_F(PassTest, OperatorCodesParseOnlyFromListEntries) {
    EXPECT_EQ(TFPass::operatorCodeOf(QStringLiteral("1001|张三")), 1001);
    EXPECT_EQ(TFPass::operatorCodeOf(QStringLiteral("1001|")), 1001);
    EXPECT_EQ(TFPass::operatorCodeOf(QStringLiteral("|张三")), std::nullopt);
    EXPECT_EQ(TFPass::operatorCodeOf(QStringLiteral("1001")), std::nullopt);
    EXPECT_EQ(TFPass::operatorCodeOf(QStringLiteral("1001;drop table CZYK|x")), std::nullopt);
}

TEST_F(PassTest, CancelClearsBothFieldsButKeepsTheChosenOperator) {
    choose(QStringLiteral("1001|张三"));
    typePassword(QStringLiteral("abc"));
    QTest::mouseClick(button("Bcan"), Qt::LeftButton);
    EXPECT_TRUE(combo()->currentText().isEmpty());
    EXPECT_TRUE(edit()->text().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), combo());
    EXPECT_EQ(AppContext().OperatorCode, QStringLiteral("1001"));
    EXPECT_FALSE(AppContext().LoggedIn);
    EXPECT_TRUE(pass->isVisible());
}

TEST_F(PassTest, ExitLeavesWithoutLoggingIn) {
    choose(QStringLiteral("1001|张三"));
    QTest::mouseClick(button("Bexit"), Qt::LeftButton);
    EXPECT_FALSE(AppContext().LoggedIn);
    EXPECT_EQ(pass->result(), QDialog::Rejected);
    EXPECT_FALSE(pass->isVisible());
}

} // namespace
