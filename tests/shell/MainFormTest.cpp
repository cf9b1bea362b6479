#include "shell/Main.h"

#include "ShellFixture.h"
#include "shell/SetDCon.h"
#include "support/ScriptedMessages.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTimer>

using namespace lumvard;
using namespace lumvard::test;
using namespace lumvard::shell;

namespace {

class MainFormTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        ASSERT_TRUE(programDir.isValid());
        AppContextRecord &ctx = AppContext();
        ctx.ProgramDir = programDir.path() + QLatin1Char('/');
        ctx.DbType = QStringLiteral("SQL2000");
        ctx.OrgName = QStringLiteral("东湖宾馆");
        ctx.OperatorCode = QStringLiteral("1001");
        ctx.OperatorName = QStringLiteral("SuperOper");
        QDir(programDir.path()).mkpath(QStringLiteral("MainImg"));
    }
    void TearDown() override {
        form.reset();
        ShellFixture::TearDown();
    }
    TMainForm &create() {
        form = std::make_unique<TMainForm>(dm);
        return *form;
    }
    void writePicture(const QString &name, QColor color) {
        QImage img(8, 8, QImage::Format_RGB32);
        img.fill(color);
        ASSERT_TRUE(img.save(programDir.filePath(QStringLiteral("MainImg/") + name)));
    }
    QString picturePath(const QString &name) const {
        return QFileInfo(programDir.filePath(QStringLiteral("MainImg/") + name)).absoluteFilePath();
    }

    QTemporaryDir programDir;
    std::unique_ptr<TMainForm> form;
};

struct MenuRow {
    const char *top;
    const char *name;
    const char *caption;
    const char *handler; // nullptr for separators
};

// The designed menu, item by item.
const MenuRow kMenu[] = {
    {"N1", "N49", "设置数据库连接", "N49Click"},
    {"MenuItem9", "N40", "添加新客房", "N40Click"},
    {"MenuItem9", "N41", "删除旧客房", "N41Click"},
    {"MenuItem9", "MenuItem10", "编辑客房", "N11Click"},
    {"MenuItem9", "MenuItem11", "-", nullptr},
    {"MenuItem9", "N51", "客房查询", "N51Click"},
    {"MenuItem12", "MenuItem13", "客房预定", "MenuItem13Click"},
    {"MenuItem12", "MenuItem14", "预定转入住", "N20Click"},
    {"MenuItem12", "MenuItem15", "取消预定", "N16Click"},
    {"MenuItem12", "N42", "-", nullptr},
    {"MenuItem12", "N43", "预定查询", "N43Click"},
    {"MenuItem16", "MenuItem17", "入住登记", "N24Click"},
    {"MenuItem16", "MenuItem18", "-", nullptr},
    {"MenuItem16", "N4", "补交押金", "N4Click"},
    {"MenuItem16", "N5", "-", nullptr},
    {"MenuItem16", "N2", "退房登记", "N2Click"},
    {"MenuItem16", "N3", "-", nullptr},
    {"MenuItem16", "N44", "客房登记查询", "N44Click"},
    {"MenuItem16", "N45", "退房登记查询", "N45Click"},
    {"MenuItem24", "MenuItem25", "修改预定流水", "MenuItem25Click"},
    {"MenuItem24", "N47", "修改客房收入流水", "N47Click"},
    {"MenuItem24", "N46", "修改入住流水", "N46Click"},
    {"N52", "N53", "客房状态图", "N53Click"},
    {"N52", "N54", "客房收入日趋势分析", "N54Click"},
    {"N52", "N55", "客户收入月均势分析", "N55Click"},
    {"MenuItem19", "PDA1", "预定现金日报表", "PDA1Click"},
    {"MenuItem19", "MenuItem20", "入住现金日报表", "MenuItem20Click"},
    {"MenuItem19", "MenuItem21", "客房收入日报表", "MenuItem21Click"},
    {"MenuItem19", "MenuItem22", "-", nullptr},
    {"MenuItem19", "MenuItem23", "预定现金期间报表", "MenuItem23Click"},
    {"MenuItem19", "N48", "入住现金期间报表", "N48Click"},
    {"MenuItem19", "N50", "客房收入期间报表", "N50Click"},
    {"N56", "N57", "操作员设置", "N57Click"},
    {"N56", "N58", "口令设置", "N58Click"},
    {"N56", "N59", "数据备份", "N59Click"},
    {"MenuItem30", "MenuItem31", "平铺", "N37Click"},
    {"MenuItem30", "N38", "层叠", "N38Click"},
    {"MenuItem30", "N39", "排列", "N39Click"},
};

TEST_F(MainFormTest, MenuIsTheDesignedOne) {
    create();
    const QList<QAction *> tops = form->MM->actions();
    const QStringList topNames = {"N1",         "MenuItem9",  "MenuItem12", "MenuItem16",
                                  "MenuItem24", "N52",        "MenuItem19", "N56",
                                  "MenuItem30", "MenuItem32", "MenuItem33", "MenuItem34"};
    const QStringList topCaptions = {"初始数据", "客房管理", "销售管理", "前台收银", "修改流水", "经理查询",
                                     "报表",     "系统维护", "窗口",     "帮助",     "关于",     "退出系统"};
    const QList<int> topTags = {1, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1};
    ASSERT_EQ(tops.size(), topNames.size());
    for (int i = 0; i < tops.size(); ++i) {
        EXPECT_EQ(tops[i]->objectName(), topNames[i]);
        EXPECT_EQ(tops[i]->text(), topCaptions[i]);
        EXPECT_EQ(tops[i]->property("tag").toInt(), topTags[i]) << topNames[i].toStdString();
    }
    EXPECT_EQ(form->menuItem(QStringLiteral("MenuItem32"))->property("handler").toString(),
              QStringLiteral("MenuItem32Click"));
    EXPECT_EQ(form->menuItem(QStringLiteral("MenuItem33"))->property("handler").toString(),
              QStringLiteral("N31Click"));
    EXPECT_EQ(form->menuItem(QStringLiteral("MenuItem34"))->property("handler").toString(),
              QStringLiteral("N32Click"));

    QList<const MenuRow *> expected;
    for (const MenuRow &r : kMenu)
        expected << &r;
    int k = 0;
    for (QAction *top : tops) {
        if (!top->menu()) continue;
        for (QAction *a : top->menu()->actions()) {
            ASSERT_LT(k, expected.size());
            const MenuRow &r = *expected[k++];
            SCOPED_TRACE(r.name);
            EXPECT_EQ(top->objectName(), QString::fromLatin1(r.top));
            EXPECT_EQ(a->objectName(), QString::fromLatin1(r.name));
            if (r.handler) {
                EXPECT_FALSE(a->isSeparator());
                EXPECT_EQ(a->text(), QString::fromUtf8(r.caption));
                EXPECT_EQ(a->property("handler").toString(), QString::fromLatin1(r.handler));
            } else {
                EXPECT_TRUE(a->isSeparator());
            }
        }
    }
    EXPECT_EQ(k, expected.size());
}

TEST_F(MainFormTest, CaptionStatusBarAndDatabaseTypeFollowTheContext) {
    AppContext().OperatorCode.clear(); // super operator with nobody chosen
    create();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("东湖宾馆-Lumvard"));
    EXPECT_EQ(form->findChild<QLabel *>(QStringLiteral("SOper"))->text(), QStringLiteral("|SuperOper"));
    EXPECT_EQ(form->findChild<QLabel *>(QStringLiteral("RSDType"))->text(), QStringLiteral("SQL2000"));
    EXPECT_EQ(form->findChild<QLabel *>(QStringLiteral("Version"))->text(), QStringLiteral("Version 2.0"));
    EXPECT_TRUE(form->menuItem(QStringLiteral("N49"))->isVisible());
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    EXPECT_FALSE(form->findChild<QLabel *>(QStringLiteral("RC"))->text().isEmpty());
}

TEST_F(MainFormTest, AccessHidesTheConnectionItemButNotItsGroup) {
    AppContext().DbType = QStringLiteral("Access");
    create();
    EXPECT_FALSE(form->menuItem(QStringLiteral("N49"))->isVisible());
    EXPECT_TRUE(form->menuItem(QStringLiteral("N1"))->isVisible());
}

TEST_F(MainFormTest, PictureShowRunsFromTheSecondPictureAndSkipsDirectoriesAndBadFiles) {
    writePicture(QStringLiteral("A.png"), Qt::red);
    writePicture(QStringLiteral("B.png"), Qt::green);
    writePicture(QStringLiteral("C.png"), Qt::blue);
    QDir(programDir.path()).mkpath(QStringLiteral("MainImg/Z-sub"));
    create();
    EXPECT_EQ(form->pictures(),
              QStringList({picturePath("A.png"), picturePath("B.png"), picturePath("C.png")}));
    EXPECT_TRUE(form->shownPicture().isEmpty()) << "the gradient only until the first tick";
    EXPECT_EQ(form->Timer2->interval(), 3000);
    QStringList shown;
    for (int i = 0; i < 4; ++i) {
        form->Timer2Timer();
        shown << QFileInfo(form->shownPicture()).fileName();
    }
    EXPECT_EQ(shown, QStringList({"B.png", "C.png", "A.png", "B.png"}));
    EXPECT_FALSE(form->area->picture().isNull());
}

TEST_F(MainFormTest, UnreadablePictureLeavesTheBackgroundBareForOneTick) {
    writePicture(QStringLiteral("A.png"), Qt::red);
    QFile bad(programDir.filePath(QStringLiteral("MainImg/B.png")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a picture");
    bad.close();
    create();
    form->Timer2Timer(); // B: broken
    EXPECT_TRUE(form->shownPicture().isEmpty());
    EXPECT_TRUE(form->area->picture().isNull());
    form->Timer2Timer(); // A
    EXPECT_EQ(form->shownPicture(), picturePath("A.png"));
}

TEST_F(MainFormTest, EmptyPictureDirectoryShowsNothing) {
    create();
    form->Timer2Timer();
    EXPECT_TRUE(form->shownPicture().isEmpty());
    EXPECT_EQ(form->pictureIndex(), 0);
}

// A stand-in business window.
class Probe : public QWidget {
public:
    explicit Probe(QWidget *parent)
        : QWidget(parent) {
        resize(200, 120);
    }
};

TEST_F(MainFormTest, FrontBringsTheOpenWindowForwardOnceLeavesItWhereItIs) {
    create();
    form->registry().add<Probe>(QStringLiteral("MenuItem13"), WindowPattern::Once); // 客房预定
    form->registry().add<Probe>(QStringLiteral("N43"), WindowPattern::Front);       // 预定查询
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QAction *reserve = form->menuItem(QStringLiteral("MenuItem13"));
    QAction *query = form->menuItem(QStringLiteral("N43"));

    reserve->trigger();
    QWidget *once = form->registry().window(QStringLiteral("MenuItem13"));
    ASSERT_NE(once, nullptr);
    EXPECT_FALSE(form->registry().subWindow(QStringLiteral("MenuItem13"))->isMaximized());
    query->trigger();
    QWidget *front = form->registry().window(QStringLiteral("N43"));
    ASSERT_NE(front, nullptr);
    EXPECT_TRUE(form->registry().subWindow(QStringLiteral("N43"))->isMaximized());
    EXPECT_EQ(form->area->activeSubWindow()->widget(), front);

    reserve->trigger();
    EXPECT_EQ(form->registry().window(QStringLiteral("MenuItem13")), once);
    EXPECT_EQ(form->area->activeSubWindow()->widget(), front) << "once: the open window stays behind";

    form->area->setActiveSubWindow(form->registry().subWindow(QStringLiteral("MenuItem13")));
    query->trigger();
    EXPECT_EQ(form->registry().window(QStringLiteral("N43")), front);
    EXPECT_EQ(form->area->activeSubWindow()->widget(), front) << "front: the open window comes forward";
    EXPECT_EQ(form->area->subWindowList().size(), 2);

    // Closing frees the window and empties its reference; the next choice creates a new one.
    form->registry().subWindow(QStringLiteral("MenuItem13"))->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form->registry().window(QStringLiteral("MenuItem13")), nullptr);
    reserve->trigger();
    EXPECT_NE(form->registry().window(QStringLiteral("MenuItem13")), nullptr);
    EXPECT_EQ(form->area->subWindowList().size(), 2);
}

TEST_F(MainFormTest, UnbuiltWindowsDoNothingAndTheConnectionWindowOpensOnce) {
    create();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->menuItem(QStringLiteral("N59"))->trigger();
    EXPECT_TRUE(form->area->subWindowList().isEmpty());
    form->menuItem(QStringLiteral("N49"))->trigger();
    form->menuItem(QStringLiteral("N49"))->trigger();
    ASSERT_EQ(form->area->subWindowList().size(), 1);
    EXPECT_NE(qobject_cast<TFSetCon *>(form->area->subWindowList().first()->widget()), nullptr);
}

TEST_F(MainFormTest, ExitQuestionDefaultsToNoAndKeepsTheProgramOnNo) {
    create();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->menuItem(QStringLiteral("N49"))->trigger();
    {
        ScriptedMessages m;
        m.expect({MessageRequest::Channel::Dialog, KindInfoCancel, BtnYes | BtnNo, 1,
                  QStringLiteral("确定退出Lumvard码?"), false, 2});
        form->menuItem(QStringLiteral("MenuItem34"))->trigger();
    }
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->area->subWindowList().size(), 1);
    {
        ScriptedMessages m;
        m.expectConfirm(QStringLiteral("确定退出Lumvard码?"), true);
        EXPECT_TRUE(form->close());
    }
    EXPECT_FALSE(form->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form->area->subWindowList().isEmpty());
}

TEST_F(MainFormTest, TileAndCascadeArrangeTheChildren) {
    create();
    form->registry().add<Probe>(QStringLiteral("N40"), WindowPattern::Once);
    form->registry().add<Probe>(QStringLiteral("N41"), WindowPattern::Once);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->menuItem(QStringLiteral("N40"))->trigger();
    form->menuItem(QStringLiteral("N41"))->trigger();
    QMdiSubWindow *a = form->registry().subWindow(QStringLiteral("N40"));
    QMdiSubWindow *b = form->registry().subWindow(QStringLiteral("N41"));
    form->menuItem(QStringLiteral("MenuItem31"))->trigger();
    EXPECT_FALSE(a->geometry().intersects(b->geometry()));
    form->menuItem(QStringLiteral("N38"))->trigger();
    EXPECT_TRUE(a->geometry().intersects(b->geometry()));
    a->showMinimized();
    b->showMinimized();
    form->menuItem(QStringLiteral("N39"))->trigger();
    const QRect client = form->area->viewport()->rect();
    EXPECT_EQ(a->geometry().bottom(), client.bottom());
    EXPECT_EQ(b->geometry().bottom(), client.bottom());
    EXPECT_FALSE(a->geometry().intersects(b->geometry()));
}

} // namespace
