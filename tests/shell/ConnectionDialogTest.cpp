#include "shell/SetDCon.h"
#include "shell/SetDataCon.h"

#include "ShellFixture.h"
#include "foundation/XFuncs.h"
#include "support/ScriptedMessages.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

using namespace lumvard;
using namespace lumvard::test;
using namespace lumvard::shell;

namespace {

const QString kKey = QStringLiteral("Software\\Tesklo\\Lumvard\\");

class ConnectionDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetAppContext();
        TFSDataCon::resetTestedFlag();
        ASSERT_TRUE(dir.isValid());
        settingsFile = dir.filePath(QStringLiteral("settings.ini"));
        qputenv("LUMVARD_SETTINGS_FILE", settingsFile.toLocal8Bit());
        AppContext().SettingsKey = kKey;
        ConnectionSettingsForm::testTimeoutSeconds = 5;
    }
    void TearDown() override {
        qunsetenv("LUMVARD_SETTINGS_FILE");
        resetAppContext();
    }

    static void fill(ConnectionSettingsForm *f, const QString &sn, const QString &du, const QString &dp) {
        f->SN->setText(sn);
        f->DU->setText(du);
        f->DP->setText(dp);
    }
    // A server that is reachable, when the test server is configured.
    static std::optional<platform::ConnectionSettings> server() { return testServerSettings(); }
    static QString dataSource(const platform::ConnectionSettings &s) {
        return s.host + QLatin1Char(',') + QString::number(s.port);
    }
    // Nothing listens on port 1.
    static QString deadServer() { return QStringLiteral("127.0.0.1,1"); }

    QString stored(const QString &name) { return SettingsStore(settingsFile).readScrambled(kKey, name); }

    QTemporaryDir dir;
    QString settingsFile;
};

TEST_F(ConnectionDialogTest, LayoutAndInitialTexts) {
    TFSDataCon start;
    TFSetCon menu;
    for (ConnectionSettingsForm *f : {start.form, menu.form}) {
        EXPECT_EQ(f->findChild<QLineEdit *>(QStringLiteral("SN"))->text(), QStringLiteral("(local)"));
        EXPECT_EQ(f->findChild<QLineEdit *>(QStringLiteral("DU"))->text(), QStringLiteral("sa"));
        EXPECT_EQ(f->findChild<QLineEdit *>(QStringLiteral("DP"))->echoMode(), QLineEdit::Password);
        EXPECT_EQ(f->BTest->text(), QStringLiteral("测试"));
    }
    EXPECT_EQ(start.windowTitle(), QStringLiteral("设置数据库连接"));
    EXPECT_EQ(menu.windowTitle(), QStringLiteral("设置数据库连接"));
    EXPECT_EQ(start.form->BOk->text(), QStringLiteral("确认并进入"));
    EXPECT_EQ(menu.form->BOk->text(), QStringLiteral("确认"));
    ASSERT_NE(start.findChild<QPushButton *>(QStringLiteral("BCan")), nullptr);
    EXPECT_EQ(start.form->BCan->text(), QStringLiteral("取消并退出"));
    EXPECT_EQ(menu.findChild<QPushButton *>(QStringLiteral("BCan")), nullptr);
}

TEST_F(ConnectionDialogTest, TestNeedsServerAndUserAsTyped) {
    TFSDataCon d;
    ASSERT_TRUE(showAndActivate(&d));
    fill(d.form, QString(), QStringLiteral("sa"), QString());
    {
        ScriptedMessages m;
        m.expectWarning(QStringLiteral("请输入服务器名..."));
        QTest::mouseClick(d.form->BTest, Qt::LeftButton);
    }
    EXPECT_EQ(QApplication::focusWidget(), d.form->SN);
    fill(d.form, QStringLiteral("(local)"), QString(), QString());
    {
        ScriptedMessages m;
        m.expectWarning(QStringLiteral("请输入数据库用户名..."));
        QTest::mouseClick(d.form->BTest, Qt::LeftButton);
    }
    EXPECT_EQ(QApplication::focusWidget(), d.form->DU);
    EXPECT_FALSE(TFSDataCon::tested());
}

TEST_F(ConnectionDialogTest, ConfirmBeforeASuccessfulTestStoresNothing) {
    TFSDataCon d;
    fill(d.form, deadServer(), QStringLiteral("sa"), QStringLiteral("pw"));
    {
        ScriptedMessages m;
        m.expectInfo(QStringLiteral("请先测试数据库连接是否成功!"));
        QTest::mouseClick(d.form->BOk, Qt::LeftButton);
    }
    {
        ScriptedMessages m;
        m.expectWarning(QStringLiteral("连接数据库失败!\r\n请重新设置连接..."));
        QTest::mouseClick(d.form->BTest, Qt::LeftButton);
    }
    EXPECT_FALSE(TFSDataCon::tested());
    {
        ScriptedMessages m;
        m.expectInfo(QStringLiteral("请先测试数据库连接是否成功!"));
        QTest::mouseClick(d.form->BOk, Qt::LeftButton);
    }
    EXPECT_TRUE(stored(QStringLiteral("User ID")).isEmpty());
}

TEST_F(ConnectionDialogTest, StartupDialogStoresTrimmedSettingsAndKeepsItsFlagAcrossShowings) {
    const auto srv = server();
    if (!srv) GTEST_SKIP() << "no test server (LUMVARD_TEST_PG)";
    {
        TFSDataCon d;
        fill(d.form, QStringLiteral("  ") + dataSource(*srv) + QStringLiteral(" "),
             QStringLiteral(" ") + srv->user, srv->password + QStringLiteral("  "));
        ScriptedMessages m;
        m.expectInfo(QStringLiteral("连接数据库成功!"));
        QTest::mouseClick(d.form->BTest, Qt::LeftButton);
        EXPECT_TRUE(TFSDataCon::tested());
        EXPECT_EQ(AppContext().ServerConnection.host, srv->host);
        EXPECT_EQ(AppContext().ServerConnection.user, srv->user);
    }
    // A second showing in the same process starts with the flag as the last test left it.
    AppContext().ServerConnection = {};
    bool accepted = false;
    std::optional<platform::ConnectionSettings> result;
    QTimer::singleShot(0, [&] {
        auto *d = qobject_cast<TFSDataCon *>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        EXPECT_TRUE(TFSDataCon::tested());
        fill(d->form, dataSource(*srv) + QStringLiteral(" "), srv->user + QStringLiteral(" "),
             QStringLiteral(" ") + srv->password);
        accepted = true;
        QTest::mouseClick(d->form->BOk, Qt::LeftButton);
    });
    result = askServerSettings();
    ASSERT_TRUE(accepted);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->engine, platform::Engine::PostgreSQL);
    EXPECT_EQ(result->host, srv->host);
    EXPECT_EQ(result->port, srv->port);
    EXPECT_EQ(result->user, srv->user);
    EXPECT_EQ(result->password, srv->password);
    EXPECT_TRUE(result->database.isEmpty());
    EXPECT_EQ(stored(QStringLiteral("Data Source")), dataSource(*srv));
    EXPECT_EQ(stored(QStringLiteral("User ID")), srv->user);
    EXPECT_EQ(stored(QStringLiteral("Password")), srv->password);
    // Stored scrambled, not as plain text.
    EXPECT_EQ(SettingsStore(settingsFile).readString(kKey, QStringLiteral("User ID")), scramble(srv->user));
}

TEST_F(ConnectionDialogTest, CancelLeavesTheStartupDialogWithoutSettings) {
    QTimer::singleShot(0, [] {
        auto *d = qobject_cast<TFSDataCon *>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        // Esc does not leave: only the buttons do.
        QTest::keyClick(d, Qt::Key_Escape);
        EXPECT_TRUE(d->isVisible());
        QTest::mouseClick(d->form->BCan, Qt::LeftButton);
    });
    EXPECT_EQ(askServerSettings(), std::nullopt);
    EXPECT_TRUE(SettingsStore(settingsFile).readScrambled(kKey, QStringLiteral("Data Source")).isEmpty());
}

TEST_F(ConnectionDialogTest, MenuWindowStartsUntestedEachTimeAndAsksForARestart) {
    const auto srv = server();
    if (!srv) GTEST_SKIP() << "no test server (LUMVARD_TEST_PG)";
    AppContext().ServerConnection.host = QStringLiteral("kept");
    {
        TFSetCon w;
        fill(w.form, dataSource(*srv), srv->user, srv->password);
        ScriptedMessages m;
        m.expectInfo(QStringLiteral("连接数据库成功!"));
        m.expectInfo(QStringLiteral("为使数据库连接的设置有效\r\n请退出程序后重新进入..."));
        QTest::mouseClick(w.form->BTest, Qt::LeftButton);
        EXPECT_TRUE(w.tested());
        QTest::mouseClick(w.form->BOk, Qt::LeftButton);
        EXPECT_EQ(stored(QStringLiteral("User ID")), srv->user);
    }
    EXPECT_EQ(AppContext().ServerConnection.host, QStringLiteral("kept"))
        << "the running program keeps its connection";
    EXPECT_FALSE(TFSDataCon::tested()) << "the two flags are separate";
    TFSetCon again;
    EXPECT_FALSE(again.tested());
    ScriptedMessages m;
    m.expectInfo(QStringLiteral("请先测试数据库连接是否成功!"));
    QTest::mouseClick(again.form->BOk, Qt::LeftButton);
}

TEST_F(ConnectionDialogTest, FailedTestClearsAFlagThatWasSet) {
    const auto srv = server();
    if (!srv) GTEST_SKIP() << "no test server (LUMVARD_TEST_PG)";
    TFSetCon w;
    fill(w.form, dataSource(*srv), srv->user, srv->password);
    {
        ScriptedMessages m;
        m.expectInfo(QStringLiteral("连接数据库成功!"));
        QTest::mouseClick(w.form->BTest, Qt::LeftButton);
    }
    fill(w.form, dataSource(*srv), srv->user, srv->password + QStringLiteral("x"));
    {
        ScriptedMessages m;
        m.expectWarning(QStringLiteral("连接数据库失败!\r\n请重新设置连接..."));
        QTest::mouseClick(w.form->BTest, Qt::LeftButton);
    }
    EXPECT_FALSE(w.tested());
}

} // namespace
