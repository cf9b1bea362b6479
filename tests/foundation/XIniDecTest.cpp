#include "foundation/XIniDec.h"
#include "foundation/Errors.h"
#include "foundation/TextFormats.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace lumvard;

namespace {

class XIniTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }

    // A configuration as the administrators write it.
    QString writeConfig(qint32 compression = 1) {
        TXIni ini;
        ini.CreateEmpty();
        ini.WriteValue(QStringLiteral("XDBName"), QStringLiteral("Hotel"));
        ini.WriteValue(QStringLiteral("DBType"), QStringLiteral("SQL2000"));
        ini.WriteValue(QStringLiteral("DanWeiMingCheng"), QStringLiteral("顺达宾馆"));
        ini.WriteValue(QStringLiteral("SuperOperPassword"), QStringLiteral("s3cret"));
        ini.Save(path("Quarn.XIX"), compression);
        return path("Quarn.XIX");
    }
    static QByteArray read(const QString &p) {
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
    static void write(const QString &p, const QByteArray &bytes) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    static QByteArray storedContainer(const QByteArray &payload) {
        return QByteArray(4, '\0') + QByteArray::fromHex("000000000000f03f") + QByteArray(24, '\0') + payload;
    }
};

} // namespace

TEST_F(XIniTest, ReadsKeysIgnoringLetterCase) {
    for (qint32 compression : {0, 1, 3}) {
        TXIni ini;
        ini.setFileName(writeConfig(compression));
        EXPECT_EQ(ini.FileName(), path("Quarn.XIX"));
        EXPECT_EQ(ini.LoadResult(), 4);
        EXPECT_EQ(ini.ReadValue(QStringLiteral("xdbname")), QStringLiteral("Hotel"));
        EXPECT_EQ(ini.ReadValue(QStringLiteral("DBTYPE")), QStringLiteral("SQL2000"));
        EXPECT_EQ(ini.ReadValue(QStringLiteral("DanWeiMingCheng")), QStringLiteral("顺达宾馆"));
        EXPECT_EQ(ini.ReadValue(QStringLiteral("ODBCDSN")), QString());
    }
}

TEST_F(XIniTest, PayloadIsTheDocumentedTableStream) {
    TXIni ini;
    ini.CreateEmpty();
    ini.WriteValue(QStringLiteral("K"), QStringLiteral("值"));
    ini.Save(path("t.XIX"), 0);
    const QByteArray file = read(path("t.XIX"));
    const QByteArray sourceName = "t.XIX";
    const QByteArray expected = QByteArray("LMT1") + QByteArray::fromHex("02000000") +
                                QByteArray::fromHex("03000000") + "IDX" + '\x01' +
                                QByteArray::fromHex("01000000") + "X" + '\x01' +
                                QByteArray::fromHex("01000000") + '\x01' + QByteArray::fromHex("01000000") +
                                "K" + '\x01' + QByteArray::fromHex("02000000") + toGbk(QStringLiteral("值"));
    EXPECT_EQ(file.mid(36 + sourceName.size()), expected);
    EXPECT_EQ(file.mid(28, sourceName.size()), sourceName);
}

TEST_F(XIniTest, TheFirstRowOfAKeyWinsAndWritingUpdatesIt) {
    TMemTable t;
    const int idx = t.addField(QStringLiteral("IDX"), TMemTable::FieldType::Text);
    const int x = t.addField(QStringLiteral("X"), TMemTable::FieldType::Text);
    EXPECT_EQ(t.addField(QStringLiteral("idx"), TMemTable::FieldType::Integer), idx);
    t.appendRow({QStringLiteral("DBType"), QStringLiteral("Access")});
    t.appendRow({QStringLiteral("dbtype"), QStringLiteral("SQL7")});
    write(path("dup.XIX"), storedContainer(t.save()));

    TXIni ini;
    ini.setFileName(path("dup.XIX"));
    EXPECT_EQ(ini.LoadResult(), 2);
    EXPECT_EQ(ini.ReadValue(QStringLiteral("DBTYPE")), QStringLiteral("Access"));
    ini.WriteValue(QStringLiteral("DbType"), QStringLiteral("SQL2000"));
    EXPECT_EQ(ini.MD().rowCount(), 2);
    EXPECT_EQ(ini.MD().text(0, x), QStringLiteral("SQL2000"));
    EXPECT_EQ(ini.MD().text(0, idx), QStringLiteral("DBType"));
    EXPECT_TRUE(ini.RemoveValue(QStringLiteral("DBTYPE")));
    EXPECT_EQ(ini.MD().rowCount(), 0);
    EXPECT_THROW(ini.WriteValue(QStringLiteral("K"), QStringLiteral("😀")), Error);
}

TEST_F(XIniTest, TypedColumnsAndExtraColumnsSurviveAndReadAsText) {
    TMemTable t;
    t.addField(QStringLiteral("IDX"), TMemTable::FieldType::Text);
    t.addField(QStringLiteral("X"), TMemTable::FieldType::Float);
    t.addField(QStringLiteral("N"), TMemTable::FieldType::Integer);
    t.addField(QStringLiteral("B"), TMemTable::FieldType::Boolean);
    t.appendRow({QStringLiteral("rate"), 0.85, 7, true});
    t.appendRow({QStringLiteral("none")});
    write(path("typed.XIX"), storedContainer(t.save()));

    TXIni ini;
    ini.setFileName(path("typed.XIX"));
    ASSERT_EQ(ini.LoadResult(), 2);
    EXPECT_EQ(ini.ReadValue(QStringLiteral("RATE")), QStringLiteral("0.85"));
    EXPECT_EQ(ini.ReadValue(QStringLiteral("none")), QString());
    const TMemTable &md = ini.MD();
    EXPECT_EQ(md.fields().size(), 4);
    EXPECT_EQ(md.fields()[2].type, TMemTable::FieldType::Integer);
    EXPECT_EQ(md.value(0, 2).toLongLong(), 7);
    EXPECT_EQ(md.text(0, 3), QStringLiteral("True"));
    EXPECT_FALSE(md.value(1, 2).isValid());
}

TEST_F(XIniTest, BrokenFilesNeverRaiseAndEveryLookupIsEmpty) {
    const QByteArray good = read(writeConfig(1));
    const QByteArray stored = read(writeConfig(0));
    const qsizetype headerLength = 36 + 9; // SourceName "Quarn.XIX"
    QByteArray wrongMagic = stored;
    wrongMagic[headerLength] = 'X';
    QByteArray hugeText = stored;
    // The first row's IDX text length, after magic, field list and row count (4+4+8+6+4 bytes) and
    // the presence flag.
    qToLittleEndian<quint32>(0x7FFFFFF0u, hugeText.data() + headerLength + 4 + 4 + 8 + 6 + 4 + 1);

    const struct {
        const char *name;
        QByteArray bytes;
    } cases[] = {
        {"truncated compressed file", good.left(good.size() - 5)},
        {"truncated stored table", stored.left(stored.size() - 3)},
        {"wrong magic", wrongMagic},
        {"text length beyond the end", hugeText},
        {"trailing bytes after the rows", stored + "zz"},
        {"empty file", QByteArray()},
        {"only a header", good.left(headerLength)},
        {"random bytes", QByteArray::fromHex("deadbeef00112233445566778899aabbccddeeff")},
    };
    for (const auto &c : cases) {
        write(path("bad.XIX"), c.bytes);
        TXIni ini;
        ini.setFileName(path("bad.XIX"));
        EXPECT_EQ(ini.LoadResult(), -1) << c.name;
        EXPECT_FALSE(ini.MD().isOpen()) << c.name;
        EXPECT_EQ(ini.ReadValue(QStringLiteral("XDBName")), QString()) << c.name;
    }

    TXIni missing;
    missing.setFileName(path("absent.XIX"));
    EXPECT_EQ(missing.LoadResult(), -1);
    EXPECT_EQ(missing.ReadValue(QStringLiteral("XDBName")), QString());
}

TEST_F(XIniTest, LoadingAnotherFileReplacesTheRows) {
    TXIni ini;
    ini.setFileName(writeConfig());
    ASSERT_EQ(ini.ReadValue(QStringLiteral("XDBName")), QStringLiteral("Hotel"));
    write(path("bad.XIX"), "junk");
    ini.setFileName(path("bad.XIX"));
    EXPECT_EQ(ini.ReadValue(QStringLiteral("XDBName")), QString());
    EXPECT_EQ(ini.MD().rowCount(), 0);
}

TEST_F(XIniTest, PartialTableKeepsRowsReadBeforeTheFaultButStaysClosed) {
    TMemTable t;
    t.addField(QStringLiteral("IDX"), TMemTable::FieldType::Text);
    t.addField(QStringLiteral("X"), TMemTable::FieldType::Text);
    t.appendRow({QStringLiteral("a"), QStringLiteral("1")});
    t.appendRow({QStringLiteral("b"), QStringLiteral("2")});
    const QByteArray stream = t.save();
    TMemTable partial;
    EXPECT_EQ(partial.load(stream.left(stream.size() - 2)), -1);
    EXPECT_EQ(partial.rowCount(), 1);
    EXPECT_FALSE(partial.isOpen());
    TMemTable whole;
    EXPECT_EQ(whole.load(stream), 2);
}

TEST_F(XIniTest, RowCountsBeyondTheStreamAreRefusedAtOnce) {
    // A billion announced rows must neither be read nor make room for them.
    const QByteArray noColumns =
        QByteArray("LMT1") + QByteArray::fromHex("00000000") + QByteArray::fromHex("00ca9a3b");
    const QByteArray oneColumn = QByteArray("LMT1") + QByteArray::fromHex("01000000") +
                                 QByteArray::fromHex("01000000") + "X" + '\x01' +
                                 QByteArray::fromHex("00ca9a3b") + QByteArray(16, '\0');
    for (const QByteArray &stream : {noColumns, oneColumn}) {
        TMemTable t;
        EXPECT_EQ(t.load(stream), -1);
        EXPECT_EQ(t.rowCount(), 0);
    }
    TMemTable empty;
    EXPECT_EQ(empty.load(QByteArray("LMT1") + QByteArray(8, '\0')), 0);
}
