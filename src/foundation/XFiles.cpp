#include "foundation/XFiles.h"

#include "foundation/Errors.h"
#include "foundation/TextFormats.h"

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <climits>
#include <cstring>
#include <zlib.h>

namespace lumvard {

QString fileNamePart(const QString &path) {
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return cut < 0 ? path : path.mid(cut + 1);
}

int zlibLevelFor(qint32 compression) {
    switch (compression) {
    case 0:
        return 0;
    case 1:
        return Z_DEFAULT_COMPRESSION;
    case 2:
        return Z_BEST_SPEED;
    case 3:
        return Z_BEST_COMPRESSION;
    default:
        return Z_NO_COMPRESSION;
    }
}

namespace {

// Reads the fields of the header from bytes, stopping at the first field that does not fit.
class HeaderReader {
public:
    explicit HeaderReader(const QByteArray &bytes)
        : m_bytes(bytes) {}
    qsizetype remaining() const { return m_bytes.size() - m_pos; }
    qsizetype position() const { return m_pos; }

    qint32 int32() {
        const qint32 v = qFromLittleEndian<qint32>(m_bytes.constData() + m_pos);
        m_pos += 4;
        return v;
    }
    double float64() {
        const quint64 bits = qFromLittleEndian<quint64>(m_bytes.constData() + m_pos);
        m_pos += 8;
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    // The text after a length already read; false when more bytes are announced than remain.
    bool text(qint32 length, QString &out) {
        if (length <= 0) return true;
        if (length > remaining()) return false;
        out = fromGbk(m_bytes.mid(m_pos, length));
        m_pos += length;
        return true;
    }

private:
    const QByteArray &m_bytes;
    qsizetype m_pos = 0;
};

void appendInt32(QByteArray &out, qint32 v) {
    char b[4];
    qToLittleEndian<qint32>(v, b);
    out.append(b, 4);
}

void appendText(QByteArray &out, const QString &text, const char *field) {
    bool ok = true;
    const QByteArray b = toGbk(text, &ok);
    if (!ok) throw Error(QStringLiteral("%1含有无法保存的字符!").arg(QLatin1String(field)));
    appendInt32(out, qint32(b.size()));
    out.append(b);
}

QByteArray headerBytes(const TXFileHeader &h) {
    QByteArray out;
    appendText(out, h.Title, "Title");
    char b[8];
    quint64 bits;
    std::memcpy(&bits, &h.Version, sizeof bits);
    qToLittleEndian<quint64>(bits, b);
    out.append(b, 8);
    appendInt32(out, h.Compression);
    appendInt32(out, h.Option);
    appendText(out, h.Note, "Note");
    appendText(out, fileNamePart(h.SourceName), "SourceName");
    appendInt32(out, 0);
    appendInt32(out, 0);
    return out;
}

// One complete zlib stream; bytes after its end are ignored.
bool inflateStream(const QByteArray &in, QByteArray &out, QString &message) {
    out.clear();
    if (in.size() > qsizetype(UINT_MAX)) {
        message = QStringLiteral("input too large");
        return false;
    }
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) {
        message = QString::fromLatin1(zs.msg ? zs.msg : "inflateInit failed");
        return false;
    }
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in.constData()));
    zs.avail_in = uInt(in.size());
    constexpr qsizetype chunk = 64 * 1024;
    bool done = false;
    while (!done) {
        const qsizetype used = out.size();
        out.resize(used + chunk);
        zs.next_out = reinterpret_cast<Bytef *>(out.data() + used);
        zs.avail_out = uInt(chunk);
        const int rc = inflate(&zs, Z_NO_FLUSH);
        out.resize(used + chunk - qsizetype(zs.avail_out));
        if (rc == Z_STREAM_END) {
            done = true;
        } else if (rc == Z_OK) {
            continue;
        } else if (rc == Z_BUF_ERROR && zs.avail_in == 0) {
            message = QStringLiteral("unexpected end of compressed data");
            break;
        } else {
            message = QString::fromLatin1(zs.msg ? zs.msg : zError(rc));
            break;
        }
    }
    inflateEnd(&zs);
    if (!done) out.clear();
    return done;
}

bool deflateAt(const QByteArray &in, int level, QByteArray &out) {
    if (in.size() > qsizetype(UINT_MAX)) return false;
    uLongf size = compressBound(uLong(in.size()));
    out.resize(qsizetype(size));
    const int rc = compress2(reinterpret_cast<Bytef *>(out.data()), &size,
                             reinterpret_cast<const Bytef *>(in.constData()), uLong(in.size()), level);
    if (rc != Z_OK) {
        out.clear();
        return false;
    }
    out.resize(qsizetype(size));
    return true;
}

QByteArray readWholeFile(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("无法打开文件: %1\r\n%2").arg(path, f.errorString()));
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw Error(QStringLiteral("读文件出错: %1\r\n%2").arg(path, f.errorString()));
    return bytes;
}

void writeAll(QFile &f, const QByteArray &bytes) {
    if (f.write(bytes) != bytes.size())
        throw Error(QStringLiteral("写文件出错: %1\r\n%2").arg(f.fileName(), f.errorString()));
}

} // namespace

void TXFile::setHeader(const TXFileHeader &header) {
    m_header = header;
    m_header.SourceName = fileNamePart(header.SourceName);
}

void TXFile::setPayloadPosition(qsizetype position) {
    m_position = std::clamp<qsizetype>(position, 0, m_payload.size());
}

void TXFile::setPayload(const QByteArray &bytes) {
    m_payload = bytes;
    m_position = 0;
}

qint64 TXFile::loadContainerBytes(const QByteArray &bytes) {
    m_payload.clear();
    m_position = 0;
    m_header = TXFileHeader{};
    m_header.Version = 0.0; // every field cleared before reading

    HeaderReader r(bytes);
    [&] {
        if (r.remaining() < 4) return;
        if (!r.text(r.int32(), m_header.Title)) return;
        if (r.remaining() < 8) return;
        m_header.Version = r.float64();
        if (r.remaining() < 12) return;
        m_header.Compression = r.int32();
        m_header.Option = r.int32();
        if (!r.text(r.int32(), m_header.Note)) return;
        if (r.remaining() < 4) return;
        QString source;
        const bool complete = r.text(r.int32(), source);
        m_header.SourceName = fileNamePart(source);
        if (!complete) return;
        if (r.remaining() < 8) return;
        m_header.Reserved1 = r.int32();
        m_header.Reserved2 = r.int32();
    }();
    m_headerLength = r.position();

    const QByteArray rest = bytes.mid(r.position());
    if (m_header.Compression == 0) {
        m_payload = rest;
    } else {
        QString message;
        QByteArray inflated;
        if (!inflateStream(rest, inflated, message))
            throw Error(QStringLiteral("解压缓冲区出错! (长度 = %1):\r\n%2").arg(bytes.size()).arg(message));
        m_payload = inflated;
    }
    m_position = 0;
    return m_payload.size();
}

qint64 TXFile::LoadContainer(const QString &path) {
    return loadContainerBytes(readWholeFile(path));
}

qint64 TXFile::LoadPlain(const QString &path) {
    m_payload.clear();
    m_position = 0;
    m_payload = readWholeFile(path);
    m_header.SourceName = fileNamePart(path);
    return m_payload.size();
}

qint64 TXFile::SaveContainer(const QString &path) {
    m_header.SourceName = fileNamePart(m_header.SourceName);
    const QByteArray header = headerBytes(m_header); // raises before the file is touched
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Error(QStringLiteral("无法创建文件: %1\r\n%2").arg(path, f.errorString()));
    writeAll(f, header);
    m_position = 0;
    if (m_header.Compression == 0) {
        writeAll(f, m_payload);
    } else {
        QByteArray packed;
        if (!deflateAt(m_payload, zlibLevelFor(m_header.Compression), packed))
            return -1; // the file keeps the header only
        writeAll(f, packed);
    }
    m_position = m_payload.size();
    if (!f.flush()) throw Error(QStringLiteral("写文件出错: %1\r\n%2").arg(path, f.errorString()));
    return f.size();
}

qint64 TXFile::SavePlain(const QString &path) {
    m_header.SourceName = fileNamePart(path);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Error(QStringLiteral("无法创建文件: %1\r\n%2").arg(path, f.errorString()));
    writeAll(f, m_payload);
    if (!f.flush()) throw Error(QStringLiteral("写文件出错: %1\r\n%2").arg(path, f.errorString()));
    return f.size();
}

TXFile &processXFile() {
    static TXFile file;
    return file;
}

qint64 PackFile(const QString &source, bool sourceIsContainer, bool writeContainer, qint32 compression,
                const QString &title, QString &destination) {
    TXFile &xf = processXFile();
    try {
        if (sourceIsContainer) {
            xf.LoadContainer(source);
        } else {
            xf.LoadPlain(source);
            xf.setTitle(title);
            xf.setCompression(compression);
            xf.setOption(0);
            xf.setNote(QString());
            xf.setSourceName(source);
        }
        if (xf.SourceName().isEmpty()) xf.setSourceName(QStringLiteral("TempX"));

        QString target = destination;
        if (target.isEmpty() || target.endsWith(QLatin1Char('/')) || target.endsWith(QLatin1Char('\\'))) {
            // A directory: the delimiter written as '\\' means the same directory here.
            if (!target.isEmpty()) target = target.left(target.size() - 1) + QLatin1Char('/');
            target += xf.SourceName() + QLatin1Char('X');
            destination = target;
        }
        return writeContainer ? xf.SaveContainer(target) : xf.SavePlain(target);
    } catch (const std::exception &) {
        return -1;
    }
}

} // namespace lumvard
