#include "foundation/XIniDec.h"

#include "foundation/Errors.h"
#include "foundation/TextFormats.h"

#include <QtEndian>
#include <cstring>

namespace lumvard {

namespace {

constexpr char TableMagic[4] = {'L', 'M', 'T', '1'};
constexpr quint32 MaxFields = 1024;
constexpr quint32 MaxNameBytes = 255;

class StreamWriter {
public:
    QByteArray bytes;
    void u8(quint8 v) { bytes.append(char(v)); }
    void u32(quint32 v) { put<quint32>(v); }
    void i64(qint64 v) { put<qint64>(v); }
    void f64(double v) {
        quint64 bits;
        std::memcpy(&bits, &v, sizeof bits);
        put<quint64>(bits);
    }
    void text(const QString &t) {
        bool ok = true;
        const QByteArray b = toGbk(t, &ok);
        if (!ok) throw Error(QStringLiteral("文字含有无法保存的字符: %1").arg(t));
        u32(quint32(b.size()));
        bytes.append(b);
    }

private:
    template <typename T> void put(T v) {
        char b[sizeof(T)];
        qToLittleEndian<T>(v, b);
        bytes.append(b, sizeof(T));
    }
};

// Every read checks the bytes that remain; a short read marks the stream as malformed.
class StreamReader {
public:
    explicit StreamReader(const QByteArray &b)
        : m_b(b) {}
    bool ok = true;
    bool atEnd() const { return m_pos == m_b.size(); }
    qsizetype remaining() const { return m_b.size() - m_pos; }

    quint8 u8() { return need(1) ? quint8(m_b.at(m_pos++)) : 0; }
    quint32 u32() { return get<quint32>(); }
    qint64 i64() { return get<qint64>(); }
    double f64() {
        const quint64 bits = get<quint64>();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    QString text(quint32 maxBytes = 0xFFFFFFFFu) {
        const quint32 n = u32();
        if (!ok || n > maxBytes || !need(n)) {
            ok = false;
            return {};
        }
        const QString t = fromGbk(m_b.mid(m_pos, n));
        m_pos += n;
        return t;
    }
    bool magic() {
        if (!need(4) || std::memcmp(m_b.constData(), TableMagic, 4) != 0) return ok = false;
        m_pos += 4;
        return true;
    }

private:
    bool need(qsizetype n) {
        if (ok && m_b.size() - m_pos >= n) return true;
        ok = false;
        return false;
    }
    template <typename T> T get() {
        if (!need(sizeof(T))) return T{};
        const T v = qFromLittleEndian<T>(m_b.constData() + m_pos);
        m_pos += sizeof(T);
        return v;
    }
    const QByteArray &m_b;
    qsizetype m_pos = 0;
};

bool validType(quint8 t) {
    return t >= 1 && t <= 4;
}

} // namespace

int TMemTable::fieldIndex(const QString &name) const {
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

int TMemTable::addField(const QString &name, FieldType type) {
    const int existing = fieldIndex(name);
    if (existing >= 0) return existing;
    m_fields.append(Field{name, type});
    for (QVariantList &row : m_rows)
        row.append(QVariant());
    return int(m_fields.size()) - 1;
}

void TMemTable::clear() {
    m_fields.clear();
    m_rows.clear();
    m_open = false;
}

void TMemTable::close() {
    m_rows.clear();
    m_open = false;
}

QVariant TMemTable::coerce(const QVariant &value, FieldType type) {
    if (!value.isValid() || value.isNull()) return {};
    QVariant v = value;
    bool converted = true;
    switch (type) {
    case FieldType::Text:
        converted = v.convert(QMetaType::fromType<QString>());
        break;
    case FieldType::Integer:
        converted = v.convert(QMetaType::fromType<qint64>());
        break;
    case FieldType::Float:
        converted = v.convert(QMetaType::fromType<double>());
        break;
    case FieldType::Boolean:
        converted = v.convert(QMetaType::fromType<bool>());
        break;
    }
    return converted ? v : QVariant();
}

int TMemTable::appendRow(const QVariantList &values) {
    QVariantList row;
    row.reserve(m_fields.size());
    for (int i = 0; i < m_fields.size(); ++i)
        row.append(i < values.size() ? coerce(values[i], m_fields[i].type) : QVariant());
    m_rows.append(row);
    return int(m_rows.size()) - 1;
}

void TMemTable::removeRow(int row) {
    if (row >= 0 && row < m_rows.size()) m_rows.removeAt(row);
}

QVariant TMemTable::value(int row, int column) const {
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_fields.size()) return {};
    return m_rows[row][column];
}

void TMemTable::setValue(int row, int column, const QVariant &value) {
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_fields.size()) return;
    m_rows[row][column] = coerce(value, m_fields[column].type);
}

QString TMemTable::text(int row, int column) const {
    const QVariant v = value(row, column);
    if (!v.isValid()) return {};
    switch (m_fields[column].type) {
    case FieldType::Float:
        return formatGeneral(v.toDouble());
    case FieldType::Boolean:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return v.toString();
    }
}

int TMemTable::findRow(int column, const QString &text, Qt::CaseSensitivity cs) const {
    if (column < 0 || column >= m_fields.size()) return -1;
    for (int r = 0; r < m_rows.size(); ++r)
        if (this->text(r, column).compare(text, cs) == 0) return r;
    return -1;
}

QByteArray TMemTable::save() const {
    StreamWriter w;
    w.bytes.append(TableMagic, 4);
    w.u32(quint32(m_fields.size()));
    for (const Field &f : m_fields) {
        w.text(f.name);
        w.u8(quint8(f.type));
    }
    w.u32(quint32(m_rows.size()));
    for (const QVariantList &row : m_rows) {
        for (int c = 0; c < m_fields.size(); ++c) {
            const QVariant &v = row[c];
            if (!v.isValid()) {
                w.u8(0);
                continue;
            }
            w.u8(1);
            switch (m_fields[c].type) {
            case FieldType::Text:
                w.text(v.toString());
                break;
            case FieldType::Integer:
                w.i64(v.toLongLong());
                break;
            case FieldType::Float:
                w.f64(v.toDouble());
                break;
            case FieldType::Boolean:
                w.u8(v.toBool() ? 1 : 0);
                break;
            }
        }
    }
    return w.bytes;
}

int TMemTable::load(const QByteArray &stream) {
    StreamReader r(stream);
    if (!r.magic()) return -1;
    const quint32 fieldCount = r.u32();
    if (!r.ok || fieldCount > MaxFields) return -1;
    // Columns of the stream, mapped onto this table's columns (added when missing).
    QList<Field> streamFields;
    for (quint32 i = 0; i < fieldCount; ++i) {
        const QString name = r.text(MaxNameBytes);
        const quint8 type = r.u8();
        if (!r.ok || name.isEmpty() || !validType(type)) return -1;
        streamFields.append(Field{name, FieldType(type)});
    }
    QList<int> columnOf;
    for (const Field &f : streamFields)
        columnOf.append(addField(f.name, f.type));

    const quint32 rowCount = r.u32();
    if (!r.ok) return -1;
    // Every row takes at least one presence byte per column: a count beyond that is a lie (and a
    // table without columns holds no rows).
    if (rowCount > 0 &&
        (streamFields.isEmpty() || rowCount > quint64(r.remaining()) / quint64(streamFields.size())))
        return -1;
    int read = 0;
    for (quint32 n = 0; n < rowCount; ++n) {
        QVariantList values(m_fields.size());
        for (int c = 0; c < streamFields.size(); ++c) {
            const quint8 present = r.u8();
            if (!r.ok || present > 1) return -1;
            if (!present) continue;
            QVariant v;
            switch (streamFields[c].type) {
            case FieldType::Text:
                v = r.text();
                break;
            case FieldType::Integer:
                v = r.i64();
                break;
            case FieldType::Float:
                v = r.f64();
                break;
            case FieldType::Boolean: {
                const quint8 b = r.u8();
                if (b > 1) return -1;
                v = bool(b);
                break;
            }
            }
            if (!r.ok) return -1;
            values[columnOf[c]] = v;
        }
        appendRow(values);
        ++read;
    }
    // Bytes after the last row mean the stream is not what it claims to be.
    return r.atEnd() ? read : -1;
}

TXIni::TXIni(QObject *owner)
    : QObject(owner) {}

void TXIni::setFileName(const QString &path) {
    m_fileName = path;
    m_md.close();
    m_loadResult = -1;
    try {
        TXFile xf;
        xf.LoadContainer(path);
        m_header = xf.Header();
        xf.setPayloadPosition(0);
        const int rows = m_md.load(xf.Payload());
        if (rows >= 0) {
            m_md.open();
            m_loadResult = rows;
        }
    } catch (const std::exception &) {
        // A missing or unreadable file leaves the table closed: every lookup is empty.
    }
}

QString TXIni::ReadValue(const QString &key) const {
    if (!m_md.isOpen()) return {};
    const int idx = m_md.fieldIndex(QStringLiteral("IDX"));
    const int x = m_md.fieldIndex(QStringLiteral("X"));
    if (idx < 0 || x < 0) return {};
    const int row = m_md.findRow(idx, key, Qt::CaseInsensitive);
    return row < 0 ? QString() : m_md.text(row, x);
}

void TXIni::CreateEmpty() {
    m_md.clear();
    m_md.addField(QStringLiteral("IDX"), TMemTable::FieldType::Text);
    m_md.addField(QStringLiteral("X"), TMemTable::FieldType::Text);
    m_md.open();
    m_header = TXFileHeader{};
    m_loadResult = 0;
}

void TXIni::WriteValue(const QString &key, const QString &value) {
    if (!m_md.isOpen()) throw Error(QStringLiteral("配置表没有打开!"));
    if (!gbkEncodable(key) || !gbkEncodable(value)) throw Error(QStringLiteral("文字含有无法保存的字符!"));
    const int idx = m_md.addField(QStringLiteral("IDX"), TMemTable::FieldType::Text);
    const int x = m_md.addField(QStringLiteral("X"), TMemTable::FieldType::Text);
    int row = m_md.findRow(idx, key, Qt::CaseInsensitive);
    if (row < 0) {
        row = m_md.appendRow();
        m_md.setValue(row, idx, key);
    }
    m_md.setValue(row, x, value);
}

bool TXIni::RemoveValue(const QString &key) {
    const int idx = m_md.fieldIndex(QStringLiteral("IDX"));
    if (!m_md.isOpen() || idx < 0) return false;
    bool removed = false;
    for (int row = m_md.findRow(idx, key); row >= 0; row = m_md.findRow(idx, key)) {
        m_md.removeRow(row);
        removed = true;
    }
    return removed;
}

qint64 TXIni::Save(const QString &path, qint32 compression) {
    if (!m_md.isOpen()) throw Error(QStringLiteral("配置表没有打开!"));
    TXFile xf;
    xf.setHeader(m_header);
    xf.setCompression(compression);
    xf.setSourceName(path);
    xf.setPayload(m_md.save());
    const qint64 size = xf.SaveContainer(path);
    if (size < 0) throw Error(QStringLiteral("压缩数据出错!"));
    return size;
}

} // namespace lumvard
