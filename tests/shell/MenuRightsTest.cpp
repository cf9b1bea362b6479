#include "shell/MenuRights.h"

#include "ShellFixture.h"
#include "shell/Main.h"

#include <QAction>
#include <QMenuBar>

using namespace lumvard;
using namespace lumvard::test;
using namespace lumvard::shell;

namespace {

RightsItem item(const QString &caption, std::vector<RightsItem> items = {}, int tag = 0) {
    RightsItem i;
    i.caption = caption;
    i.tag = tag;
    i.items = std::move(items);
    return i;
}

TEST(RightsTree, SubstringRuleSeparatorsThirdLevelAndAlwaysAvailableItems) {
    std::vector<RightsItem> menu = {
        item(QStringLiteral("窗口"), {item(QStringLiteral("平铺"))}, AlwaysAvailableTag),
        item(QStringLiteral("前台收银"),
             {item(QStringLiteral("入住登记")), item(QStringLiteral("-")), item(QStringLiteral("退房登记")),
              item(QStringLiteral("-")),
              item(QStringLiteral("退房登记查询"),
                   {item(QStringLiteral("-")), item(QStringLiteral("明细")),
                    item(QStringLiteral("汇总"), {item(QStringLiteral("深层"))})})}),
        item(QStringLiteral("报表"), {item(QStringLiteral("预定现金日报表"))}),
    };
    // States that the rights must leave alone or overwrite.
    menu[0].enabled = false;
    menu[0].items[0].enabled = false;
    menu[1].items[4].items[2].items[0].enabled = false;
    menu[2].items[0].enabled = true;

    applyRightsToTree(menu, QStringLiteral("前台收银;退房登记查询;汇总;"));

    EXPECT_FALSE(menu[0].enabled) << "tag-1 items are never touched";
    EXPECT_FALSE(menu[0].items[0].enabled);
    const RightsItem &front = menu[1];
    EXPECT_TRUE(front.enabled);
    EXPECT_FALSE(front.items[0].enabled) << "入住登记";
    EXPECT_FALSE(front.items[1].enabled) << "separator after 入住登记";
    EXPECT_TRUE(front.items[2].enabled) << "退房登记 occurs inside 退房登记查询";
    EXPECT_TRUE(front.items[3].enabled) << "separator after 退房登记";
    EXPECT_TRUE(front.items[4].enabled);
    const RightsItem &query = front.items[4];
    EXPECT_TRUE(query.items[0].enabled) << "third-level separator keeps the caption before it";
    EXPECT_FALSE(query.items[1].enabled) << "明细";
    EXPECT_TRUE(query.items[2].enabled) << "汇总";
    EXPECT_FALSE(query.items[2].items[0].enabled) << "a fourth level keeps its state";
    EXPECT_FALSE(menu[2].enabled);
    EXPECT_FALSE(menu[2].items[0].enabled);
}

TEST(RightsTree, EmptyRightsAllowNothingAndEmptyCaptionsNeverMatch) {
    std::vector<RightsItem> menu = {
        item(QStringLiteral("客房管理"), {item(QString()), item(QStringLiteral("-"))})};
    applyRightsToTree(menu, QString());
    EXPECT_FALSE(menu[0].enabled);
    applyRightsToTree(menu, QStringLiteral("客房管理;"));
    EXPECT_TRUE(menu[0].enabled);
    EXPECT_FALSE(menu[0].items[0].enabled);
    EXPECT_FALSE(menu[0].items[1].enabled);
    EXPECT_FALSE(captionAllowed(QString(), QStringLiteral("abc")));
}

// On the main window's real menu, through the data module.
class MenuRightsOnMainMenu : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        addOperators(
            {{1001, QStringLiteral("前台"), QStringLiteral("a"), QStringLiteral("前台收银;退房登记查询;")},
             {1002, QStringLiteral("散项"), QStringLiteral("b"), QStringLiteral("添加新客房;客房预定;")}});
        AppContext().DbType = QStringLiteral("SQL2000");
        AppContext().ProgramDir = QStringLiteral("/nonexistent/");
        form = std::make_unique<TMainForm>(dm);
    }
    void TearDown() override {
        form.reset();
        ShellFixture::TearDown();
    }
    bool enabled(const char *name) const {
        QAction *a = form->menuItem(QString::fromLatin1(name));
        EXPECT_NE(a, nullptr) << name;
        return a && a->isEnabled();
    }
    QStringList enabledGoverned() const {
        QStringList out;
        for (QAction *top : form->MM->actions()) {
            if (top->property("tag").toInt() == 1) continue;
            if (top->isEnabled()) out << top->objectName();
            if (top->menu())
                for (QAction *a : top->menu()->actions())
                    if (a->isEnabled()) out << a->objectName();
        }
        return out;
    }
    std::unique_ptr<TMainForm> form;
};

TEST_F(MenuRightsOnMainMenu, CheckoutQueryRightAlsoEnablesCheckout) {
    ASSERT_TRUE(ApplyRights(dm, 1001, form->MM));
    // N5 follows 补交押金 and stays disabled; N3 follows 退房登记.
    EXPECT_EQ(enabledGoverned(), QStringList({QStringLiteral("MenuItem16"), QStringLiteral("N2"),
                                              QStringLiteral("N3"), QStringLiteral("N45")}));
    for (const char *always :
         {"N1", "N49", "MenuItem30", "MenuItem31", "N38", "N39", "MenuItem32", "MenuItem33", "MenuItem34"})
        EXPECT_TRUE(enabled(always)) << always;
}

TEST_F(MenuRightsOnMainMenu, ItemsWithoutTheirGroupStayUnreachable) {
    ASSERT_TRUE(ApplyRights(dm, 1002, form->MM));
    EXPECT_FALSE(enabled("MenuItem9"));
    EXPECT_TRUE(enabled("N40"));
    EXPECT_FALSE(enabled("MenuItem12"));
    EXPECT_TRUE(enabled("MenuItem13"));
}

TEST_F(MenuRightsOnMainMenu, AnOperatorWhoseRowIsGoneGetsNothing) {
    ASSERT_TRUE(ApplyRights(dm, 4711, form->MM));
    EXPECT_TRUE(enabledGoverned().isEmpty()) << enabledGoverned().join(QLatin1Char(',')).toStdString();
}

TEST_F(MenuRightsOnMainMenu, AnErrorLeavesTheMenuAsItWas) {
    const QStringList before = enabledGoverned();
    ASSERT_EQ(before.size(), 41) << "seven governed groups with 34 items, all enabled as designed";
    ASSERT_TRUE(dm.ExecCommand(QStringLiteral("drop table CZYK")));
    EXPECT_FALSE(ApplyRights(dm, 1001, form->MM));
    EXPECT_EQ(enabledGoverned(), before);
}

TEST_F(MenuRightsOnMainMenu, ShowingTheWindowAppliesTheRightsUnlessSuperOper) {
    AppContext().OperatorId = 1001;
    AppContext().OperatorName = QStringLiteral("前台");
    TMainForm restricted(dm);
    restricted.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&restricted));
    EXPECT_FALSE(restricted.menuItem(QStringLiteral("MenuItem9"))->isEnabled());
    EXPECT_TRUE(restricted.menuItem(QStringLiteral("N45"))->isEnabled());

    AppContext().OperatorName = QStringLiteral("SuperOper");
    TMainForm super(dm);
    super.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&super));
    for (QAction *a : super.MM->findChildren<QAction *>())
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
}

} // namespace
