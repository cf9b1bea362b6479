#include "foundation/XFuncs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumvard;

namespace {

// Sets an environment variable for the scope of a test and restores the old value.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const QString &value)
        : m_name(name)
        , m_had(qEnvironmentVariableIsSet(name)) {
        m_old = qgetenv(name);
        qputenv(name, value.toLocal8Bit());
    }
    ~ScopedEnv() {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

// Keeps the working directory and program directory of the test run.
class ProgramDirTest : public ::testing::Test {
protected:
    void TearDown() override {
        QDir::setCurrent(m_cwd);
        setProgramDir(m_programDir);
    }
    QTemporaryDir dir;

private:
    QString m_cwd = QDir::currentPath();
    QString m_programDir = ProgramDir();
};

} // namespace

TEST(ProgramDirFor, EndsInExactlyOneSlash) {
    const struct {
        const char *path;
        const char *dir;
    } cases[] = {
        {"/opt/lumvard/bin/lumvard", "/opt/lumvard/bin/"},
        {"/opt/lumvard//lumvard", "/opt/lumvard/"},
        {"/lumvard", "/"},
        {"lumvard", "./"},
        {"", "./"},
        {"bin/lumvard", "bin/"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(programDirFor(QString::fromUtf8(c.path)), QString::fromUtf8(c.dir)) << c.path;
}

TEST_F(ProgramDirTest, BecomesTheWorkingDirectoryWithTemp) {
    ScopedEnv noOverride("LUMVARD_PROGRAM_DIR", QString());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("app")));
    ASSERT_TRUE(initProgramDir(dir.path() + QStringLiteral("/app/lumvard")));
    EXPECT_EQ(ProgramDir(), dir.path() + QStringLiteral("/app/"));
    EXPECT_EQ(QDir::currentPath(), QFileInfo(dir.path() + QStringLiteral("/app")).canonicalFilePath());
    EXPECT_TRUE(QFileInfo(dir.path() + QStringLiteral("/app/Temp")).isDir());
}

TEST_F(ProgramDirTest, RelativeDirectoriesBecomeAbsolute) {
    ScopedEnv noOverride("LUMVARD_PROGRAM_DIR", QString());
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("rel/app")));
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    ASSERT_TRUE(initProgramDir(QStringLiteral("rel/app/lumvard")));
    EXPECT_EQ(ProgramDir(), QDir::currentPath() + QStringLiteral("/"));
    EXPECT_TRUE(QFileInfo(ProgramDir() + QStringLiteral("Temp")).isDir());
    EXPECT_TRUE(QDir::isAbsolutePath(ProgramDir()));

    // No directory part: the working directory itself, written "./".
    ASSERT_TRUE(initProgramDir(QStringLiteral("lumvard")));
    EXPECT_EQ(ProgramDir(), QStringLiteral("./"));
}

TEST_F(ProgramDirTest, EnvironmentOverrideWins) {
    ScopedEnv over("LUMVARD_PROGRAM_DIR", dir.path() + QStringLiteral("/elsewhere//"));
    ASSERT_TRUE(initProgramDir(QStringLiteral("/nonexistent/bin/lumvard")));
    EXPECT_EQ(ProgramDir(), dir.path() + QStringLiteral("/elsewhere/"));
    EXPECT_TRUE(QFileInfo(dir.path() + QStringLiteral("/elsewhere/Temp")).isDir());
}

TEST_F(ProgramDirTest, AMissingDirectoryIsReported) {
    ScopedEnv noOverride("LUMVARD_PROGRAM_DIR", QString());
    EXPECT_FALSE(initProgramDir(dir.path() + QStringLiteral("/missing/lumvard")));
}

TEST(Scramble, StoredFormIsPositionAndKeyXorPlusTheKey) {
    // 'a' ^ 1 ^ 0x6B = 0x0B, 'b' ^ 2 ^ 0x6B = 0x0B, then the key itself.
    EXPECT_EQ(scramble(QStringLiteral("ab")), QString::fromUtf16(u"\x0B\x0B\x6B"));
    EXPECT_EQ(scramble(QString()), QString(QChar(ScrambleKey)));
    EXPECT_EQ(unscramble(QString()), QString());
    EXPECT_EQ(unscramble(QString(QChar(ScrambleKey))), QString());
    // Reading drops the last character whatever it is.
    EXPECT_EQ(unscramble(QString::fromUtf16(u"\x0B\x0Bz")), QStringLiteral("ab"));
}

TEST(Scramble, RoundTripsLongAndChineseText) {
    QString longText;
    for (int i = 0; i < 600; ++i)
        longText += QChar(u'a' + i % 26);
    for (const QString &t : {QStringLiteral("sa"), QStringLiteral("密码 p@ss;=\r\n"), longText}) {
        const QString s = scramble(t);
        EXPECT_EQ(s.size(), t.size() + 1);
        EXPECT_EQ(unscramble(s), t);
    }
    // The position wraps at 256: position 256 XORs with 0, 257 with 1.
    const QString s = scramble(longText);
    EXPECT_EQ(s.at(255).unicode(), char16_t(longText.at(255).unicode() ^ ScrambleKey));
    EXPECT_EQ(s.at(256).unicode(), char16_t(longText.at(256).unicode() ^ 1 ^ ScrambleKey));
}

TEST(SettingsStoreTest, ScrambledValuesRoundTripThroughTheFile) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("conf/settings.ini"));
    ScopedEnv env("LUMVARD_SETTINGS_FILE", file);
    const QString key = SettingsStore::settingsKeyFor(QStringLiteral("Hotel"));
    EXPECT_EQ(key, QStringLiteral("Software\\Tesklo\\Hotel\\"));
    {
        SettingsStore store;
        EXPECT_EQ(store.filePath(), file);
        ASSERT_TRUE(store.writeScrambled(key, QStringLiteral("Password"), QStringLiteral("ab")));
        ASSERT_TRUE(store.writeScrambled(key, QStringLiteral("User ID"), QStringLiteral("sa")));
        ASSERT_TRUE(store.writeScrambled(key, QStringLiteral("Data Source"), QStringLiteral("(local)")));
        ASSERT_TRUE(store.writeScrambled(key, QStringLiteral("Password"), QStringLiteral("口令\t1")));
    }
    SettingsStore other;
    EXPECT_EQ(other.readScrambled(key, QStringLiteral("Password")), QStringLiteral("口令\t1"));
    EXPECT_EQ(other.readScrambled(key, QStringLiteral("User ID")), QStringLiteral("sa"));
    // The registry's rules: names and keys ignore letter case, the trailing delimiter does not matter.
    EXPECT_EQ(other.readScrambled(QStringLiteral("software\\tesklo\\HOTEL"), QStringLiteral("data source")),
              QStringLiteral("(local)"));
    EXPECT_EQ(other.readScrambled(key, QStringLiteral("Missing")), QString());
    EXPECT_EQ(other.readScrambled(SettingsStore::settingsKeyFor(QStringLiteral("Other")),
                                  QStringLiteral("Password")),
              QString());

    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    // One section per key; reading the missing key created it. Values are not stored readably.
    EXPECT_TRUE(text.contains("[Software\\Tesklo\\Hotel]\n"));
    EXPECT_TRUE(text.contains("[Software\\Tesklo\\Other]\n"));
    EXPECT_TRUE(text.contains("User ID=190008006b00\n")); // 's'^1^0x6B, 'a'^2^0x6B, key
    EXPECT_FALSE(text.contains("(local)"));
    EXPECT_EQ(QFileInfo(file).permissions() & (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup),
              QFile::Permissions());
}

TEST(SettingsStoreTest, UnusualNamesAndDamagedLinesAreHandled) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("settings.ini"));
    SettingsStore store(file);
    const QString key = SettingsStore::settingsKeyFor(QStringLiteral("宾馆[1]=x"));
    ASSERT_TRUE(store.writeString(key, QStringLiteral("a=b"), QStringLiteral("v1")));
    ASSERT_TRUE(store.writeString(key, QStringLiteral("c"), QStringLiteral("v2")));
    EXPECT_EQ(store.readString(key, QStringLiteral("a=b")), QStringLiteral("v1"));

    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("garbage line\nc=zz\n[Broken\n");
    f.close();
    EXPECT_EQ(store.readString(key, QStringLiteral("c")), QStringLiteral("v2"));
    EXPECT_EQ(store.readString(key, QStringLiteral("a=b")), QStringLiteral("v1"));
}

TEST(SettingsStoreTest, UnwritableFileFailsWithoutLosingReads) {
    SettingsStore store(QStringLiteral("/proc/lumvard-no-such/settings.ini"));
    EXPECT_FALSE(store.writeScrambled(QStringLiteral("K"), QStringLiteral("Password"), QStringLiteral("x")));
    EXPECT_EQ(store.readScrambled(QStringLiteral("K"), QStringLiteral("Password")), QString());
}
