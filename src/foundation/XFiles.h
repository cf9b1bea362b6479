#pragma once
// The record file: a small header (title, version, compression, option, note, source name) followed
// by a payload that runs to the end of the file, stored as is or as one zlib stream. Texts are GBK,
// integers little-endian. The configuration file is one of these.
#include <QByteArray>
#include <QString>

namespace lumvard {

struct TXFileHeader {
    QString Title;
    double Version = 1.0;
    qint32 Compression = 0; // 0 stored; 1 zlib default level; 2 fastest; 3 best; other: level 0
    qint32 Option = 0;
    QString Note;
    QString SourceName; // file name only, never a directory
    qint32 Reserved1 = 0;
    qint32 Reserved2 = 0;
};

// The file name part of a path; both '/' and '\\' count as directory delimiters, so names written
// on Windows lose their directory too.
QString fileNamePart(const QString &path);

// The zlib level for a Compression value (0 for "stored"; see TXFileHeader).
int zlibLevelFor(qint32 compression);

class TXFile {
public:
    TXFile() = default;

    const TXFileHeader &Header() const { return m_header; }
    void setHeader(const TXFileHeader &header);

    QString Title() const { return m_header.Title; }
    void setTitle(const QString &title) { m_header.Title = title; }
    double Version() const { return m_header.Version; }
    void setVersion(double version) { m_header.Version = version; }
    qint32 Compression() const { return m_header.Compression; }
    void setCompression(qint32 compression) { m_header.Compression = compression; }
    qint32 Option() const { return m_header.Option; }
    void setOption(qint32 option) { m_header.Option = option; }
    QString Note() const { return m_header.Note; }
    void setNote(const QString &note) { m_header.Note = note; }
    QString SourceName() const { return m_header.SourceName; }
    // Keeps only the file name part.
    void setSourceName(const QString &name) { m_header.SourceName = fileNamePart(name); }

    // The payload with its read/write position.
    QByteArray &Payload() { return m_payload; }
    const QByteArray &Payload() const { return m_payload; }
    qsizetype PayloadPosition() const { return m_position; }
    void setPayloadPosition(qsizetype position);
    void setPayload(const QByteArray &bytes);

    // Reads a record file: header (tolerating short or lying headers), then the rest as payload,
    // inflated when Compression is not 0. Returns the payload size; position 0 afterwards.
    // Raises lumvard::Error when the file cannot be read or the payload cannot be inflated (then
    // the payload is empty).
    qint64 LoadContainer(const QString &path);
    // The whole file becomes the payload; SourceName becomes the file's name. Raises on errors.
    qint64 LoadPlain(const QString &path);
    // Writes header and payload; returns the file size, or -1 when compressing failed (the file
    // then holds the header only). Raises lumvard::Error when the file cannot be written or a text
    // of the header has no GBK form.
    qint64 SaveContainer(const QString &path);
    // Writes only the payload; SourceName becomes the file's name. Returns the size; raises on errors.
    qint64 SavePlain(const QString &path);

    // The header length of the last LoadContainer (what was read of it).
    qint64 HeaderLength() const { return m_headerLength; }

    // Reads from bytes in memory exactly as LoadContainer reads a file of that content.
    qint64 loadContainerBytes(const QByteArray &bytes);

private:
    TXFileHeader m_header;
    QByteArray m_payload;
    qsizetype m_position = 0;
    qint64 m_headerLength = 0;
};

// The process-wide record-file object used by PackFile (created on first use; single GUI thread).
TXFile &processXFile();

// Packs a file into a record file or unpacks one: reads the source as a record file
// (sourceIsContainer) or as a plain file (then title and compression are applied), writes a record
// file (writeContainer) or the bare payload. An empty SourceName becomes "TempX". A destination that
// is empty or ends with '/' or '\\' names a directory (empty: the working directory): the output is
// SourceName + "X" in it, and destination is updated to that path. Returns the size written, or -1
// on any failure, without a message.
qint64 PackFile(const QString &source, bool sourceIsContainer, bool writeContainer, qint32 compression,
                const QString &title, QString &destination);

} // namespace lumvard
