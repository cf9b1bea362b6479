#include "foundation/XFiles.h"
#include "foundation/Errors.h"
#include "foundation/TextFormats.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstring>
#include <gtest/gtest.h>
#include <zlib.h>

using namespace lumvard;

namespace {

QByteArray le32(qint32 v) {
    QByteArray b(4, '\0');
    qToLittleEndian<qint32>(v, b.data());
    return b;
}

QByteArray le64(double v) {
    quint64 bits;
    std::memcpy(&bits, &v, sizeof bits);
    QByteArray b(8, '\0');
    qToLittleEndian<quint64>(bits, b.data());
    return b;
}

class XFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }
    QString write(const QString &name, const QByteArray &bytes) const {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path(name);
    }
    static QByteArray read(const QString &p) {
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
};

} // namespace

TEST_F(XFileTest, EmptyHeaderIs36BytesFollowedByStoredPayload) {
    TXFile xf;
    xf.setPayload("abc");
    EXPECT_EQ(xf.SaveContainer(path("a.x")), 39);
    const QByteArray expected =
        le32(0) + le64(1.0) + le32(0) + le32(0) + le32(0) + le32(0) + le32(0) + le32(0) + "abc";
    EXPECT_EQ(read(path("a.x")), expected);

    TXFile back;
    EXPECT_EQ(back.LoadContainer(path("a.x")), 3);
    EXPECT_EQ(back.HeaderLength(), 36);
    EXPECT_EQ(back.Payload(), QByteArray("abc"));
    EXPECT_EQ(back.PayloadPosition(), 0);
    EXPECT_EQ(back.Version(), 1.0);
}

TEST_F(XFileTest, HeaderFieldsAreGbkLittleEndianInLayoutOrder) {
    TXFile xf;
    xf.setTitle(QStringLiteral("新楼层"));
    xf.setVersion(2.5);
    xf.setCompression(0);
    xf.setOption(-7);
    xf.setNote(QStringLiteral("注"));
    xf.setSourceName(QStringLiteral("C:\\data\\Quarn.XIX"));
    EXPECT_EQ(xf.SourceName(), QStringLiteral("Quarn.XIX"));
    xf.setPayload(QByteArray("\x00\x01", 2));
    xf.SaveContainer(path("h.x"));

    const QByteArray expected = le32(6) + toGbk(QStringLiteral("新楼层")) + le64(2.5) + le32(0) + le32(-7) +
                                le32(2) + toGbk(QStringLiteral("注")) + le32(9) + "Quarn.XIX" + le32(0) +
                                le32(0) + QByteArray("\x00\x01", 2);
    EXPECT_EQ(read(path("h.x")), expected);

    TXFile back;
    back.LoadContainer(path("h.x"));
    EXPECT_EQ(back.Title(), QStringLiteral("新楼层"));
    EXPECT_EQ(back.Version(), 2.5);
    EXPECT_EQ(back.Option(), -7);
    EXPECT_EQ(back.Note(), QStringLiteral("注"));
    EXPECT_EQ(back.SourceName(), QStringLiteral("Quarn.XIX"));
    EXPECT_EQ(back.Payload(), QByteArray("\x00\x01", 2));
}

TEST_F(XFileTest, CompressionLevelsWriteZlibStreamsThatReadBack) {
    QByteArray payload;
    for (int i = 0; i < 5000; ++i)
        payload += QByteArray::number(i % 97) + ',';
    const struct {
        qint32 compression;
        int level;
    } cases[] = {{1, -1}, {2, 1}, {3, 9}, {7, 0}, {-1, 0}};
    for (const auto &c : cases) {
        EXPECT_EQ(zlibLevelFor(c.compression), c.level);
        TXFile xf;
        xf.setCompression(c.compression);
        xf.setPayload(payload);
        const qint64 size = xf.SaveContainer(path("c.x"));
        const QByteArray file = read(path("c.x"));
        ASSERT_EQ(size, file.size());
        const QByteArray stream = file.mid(36);
        // zlib header: CM 8, and the check bits make the first two bytes a multiple of 31.
        EXPECT_EQ(quint8(stream[0]) & 0x0F, 8) << c.compression;
        EXPECT_EQ(((quint8(stream[0]) << 8) | quint8(stream[1])) % 31, 0) << c.compression;
        // The level shows in the FLEVEL bits (0 fastest/stored, 2 default, 3 best).
        const int flevel = quint8(stream[1]) >> 6;
        EXPECT_EQ(flevel, c.level == -1 ? 2 : c.level == 9 ? 3 : 0) << c.compression;
        if (c.level == 0)
            EXPECT_GT(stream.size(), payload.size());
        else
            EXPECT_LT(stream.size(), payload.size() / 2);

        TXFile back;
        EXPECT_EQ(back.LoadContainer(path("c.x")), payload.size());
        EXPECT_EQ(back.Payload(), payload);
        EXPECT_EQ(back.Compression(), c.compression);
    }
}

TEST_F(XFileTest, ShortAndLyingHeadersLeaveTheRestAsPayload) {
    const struct {
        const char *name;
        QByteArray bytes;
        qint64 headerLength;
        QByteArray payload;
        QString title;
    } cases[] = {
        {"under 4 bytes", QByteArray("\x05\x00\x41", 3), 0, QByteArray("\x05\x00\x41", 3), {}},
        {"empty file", QByteArray(), 0, QByteArray(), {}},
        {"title longer than the rest", le32(100) + "abcdef", 4, "abcdef", {}},
        {"negative title length", le32(-5) + "abc", 4, "abc", {}},
        {"no room for the version", le32(2) + "ab" + "1234567", 6, "1234567", QStringLiteral("ab")},
        {"note longer than the rest",
         le32(0) + le64(1.0) + le32(0) + le32(0) + le32(50) + "xyz",
         24,
         "xyz",
         {}},
        {"reserved words missing",
         le32(0) + le64(1.0) + le32(0) + le32(0) + le32(0) + le32(0) + "1234567",
         28,
         "1234567",
         {}},
    };
    for (const auto &c : cases) {
        TXFile xf;
        xf.setTitle(QStringLiteral("old"));
        xf.setPayload("old");
        EXPECT_EQ(xf.LoadContainer(write(QStringLiteral("s.x"), c.bytes)), c.payload.size()) << c.name;
        EXPECT_EQ(xf.HeaderLength(), c.headerLength) << c.name;
        EXPECT_EQ(xf.Payload(), c.payload) << c.name;
        EXPECT_EQ(xf.Title(), c.title) << c.name;
        EXPECT_EQ(xf.Compression(), 0) << c.name;
    }
}

TEST_F(XFileTest, ReservedWordsAndSourceDirectoryAreDroppedOnReading) {
    const QByteArray bytes = le32(0) + le64(3.0) + le32(0) + le32(9) + le32(0) + le32(10) + "dir\\a.dat" +
                             "X" + le32(11) + le32(12) + "P";
    // A 10-byte SourceName "dir\a.datX"; reserved words are read and not kept as meaningful.
    TXFile xf;
    xf.LoadContainer(write(QStringLiteral("r.x"), bytes));
    EXPECT_EQ(xf.SourceName(), QStringLiteral("a.datX"));
    EXPECT_EQ(xf.Option(), 9);
    EXPECT_EQ(xf.Payload(), QByteArray("P"));
    xf.SaveContainer(path("r2.x"));
    EXPECT_EQ(read(path("r2.x")).mid(read(path("r2.x")).size() - 9, 8), le32(0) + le32(0));
}

TEST_F(XFileTest, InflationErrorsNameTheFileSizeAndEmptyThePayload) {
    TXFile xf;
    xf.setCompression(1);
    xf.setPayload(QByteArray(2000, 'q') + "tail");
    xf.SaveContainer(path("z.x"));
    const QByteArray good = read(path("z.x"));

    const struct {
        const char *name;
        QByteArray bytes;
    } cases[] = {
        {"truncated stream", good.left(good.size() - 6)},
        {"garbage instead of a stream", good.left(36) + "not a zlib stream"},
        {"no payload at all", good.left(36)},
    };
    for (const auto &c : cases) {
        TXFile back;
        back.setPayload("stale");
        try {
            back.LoadContainer(write(QStringLiteral("bad.x"), c.bytes));
            ADD_FAILURE() << c.name << ": no error";
        } catch (const Error &e) {
            EXPECT_TRUE(e.message().startsWith(
                QStringLiteral("解压缓冲区出错! (长度 = %1):\r\n").arg(c.bytes.size())))
                << c.name << ": " << e.message().toStdString();
            EXPECT_GT(e.message().size(),
                      QStringLiteral("解压缓冲区出错! (长度 = %1):\r\n").arg(c.bytes.size()).size());
        }
        EXPECT_TRUE(back.Payload().isEmpty()) << c.name;
    }
}

TEST_F(XFileTest, MissingFilesAndUnwritablePathsRaise) {
    TXFile xf;
    EXPECT_THROW(xf.LoadContainer(path("nope.x")), Error);
    EXPECT_THROW(xf.LoadPlain(path("nope.x")), Error);
    EXPECT_THROW(xf.SaveContainer(path("no/such/dir/f.x")), Error);
    EXPECT_THROW(xf.SavePlain(path("no/such/dir/f.x")), Error);
    xf.setTitle(QStringLiteral("房😀"));
    EXPECT_THROW(xf.SaveContainer(path("emoji.x")), Error);
    EXPECT_FALSE(QFile::exists(path("emoji.x")));
}

TEST_F(XFileTest, PlainLoadAndSaveSetTheSourceName) {
    TXFile xf;
    xf.setTitle(QStringLiteral("keep"));
    EXPECT_EQ(xf.LoadPlain(write(QStringLiteral("data.bin"), "plain bytes")), 11);
    EXPECT_EQ(xf.SourceName(), QStringLiteral("data.bin"));
    EXPECT_EQ(xf.Title(), QStringLiteral("keep"));
    EXPECT_EQ(xf.SavePlain(path("copy.bin")), 11);
    EXPECT_EQ(xf.SourceName(), QStringLiteral("copy.bin"));
    EXPECT_EQ(read(path("copy.bin")), QByteArray("plain bytes"));
}

TEST_F(XFileTest, PackFileToADirectoryNamesTheOutputFromTheSource) {
    // A record file whose SourceName is empty: the output is TempX + "X".
    TXFile src;
    src.setTitle(QStringLiteral("t"));
    src.setPayload("payload");
    src.SaveContainer(path("src.x"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("out")));

    for (const QString &delimiter : {QStringLiteral("\\"), QStringLiteral("/")}) {
        QFile::remove(path("out/TempXX"));
        QString destination = path("out") + delimiter;
        const qint64 size = PackFile(path("src.x"), true, true, 0, QString(), destination);
        EXPECT_EQ(destination, path("out/TempXX"));
        ASSERT_TRUE(QFile::exists(path("out/TempXX")));
        EXPECT_EQ(size, QFileInfo(path("out/TempXX")).size());
        TXFile back;
        back.LoadContainer(destination);
        EXPECT_EQ(back.SourceName(), QStringLiteral("TempX"));
        EXPECT_EQ(back.Title(), QStringLiteral("t"));
        EXPECT_EQ(back.Payload(), QByteArray("payload"));
    }
}

TEST_F(XFileTest, PackFilePacksAndUnpacksPlainFiles) {
    write(QStringLiteral("report.txt"), QByteArray(3000, 'r'));
    QString packed = path("packed.x");
    ASSERT_GT(PackFile(path("report.txt"), false, true, 3, QStringLiteral("报表"), packed), 0);
    EXPECT_EQ(packed, path("packed.x"));
    TXFile back;
    back.LoadContainer(packed);
    EXPECT_EQ(back.Title(), QStringLiteral("报表"));
    EXPECT_EQ(back.Compression(), 3);
    EXPECT_EQ(back.SourceName(), QStringLiteral("report.txt"));

    // Unpacking into the same directory: "report.txt" + "X".
    QString unpacked = dir.path() + QLatin1Char('/');
    EXPECT_EQ(PackFile(packed, true, false, 0, QString(), unpacked), 3000);
    EXPECT_EQ(unpacked, path("report.txtX"));
    EXPECT_EQ(read(unpacked), QByteArray(3000, 'r'));

    // Failures are -1, silently.
    QString missing = path("m.x");
    EXPECT_EQ(PackFile(path("absent"), false, true, 0, QString(), missing), -1);
    write(QStringLiteral("broken.x"), QByteArray(36, '\0').replace(12, 1, "\x01", 1) + "junk");
    QString out = path("o.x");
    EXPECT_EQ(PackFile(path("broken.x"), true, true, 0, QString(), out), -1);
}

TEST_F(XFileTest, PackFileWithEmptyDestinationWritesInTheWorkingDirectory) {
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    write(QStringLiteral("in.txt"), "x");
    QString destination;
    EXPECT_EQ(PackFile(QStringLiteral("in.txt"), false, false, 0, QString(), destination), 1);
    EXPECT_EQ(destination, QStringLiteral("in.txtX"));
    EXPECT_TRUE(QFile::exists(path("in.txtX")));
    QDir::setCurrent(before);
}
