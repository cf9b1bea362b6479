#pragma once
// The configuration store: a record file whose payload is a small table of key (IDX) and value (X)
// rows. Start-up reads "Quarn.XIX" through it; lumvard-config writes such files.
// The table's byte layout is described in docs/config-format.md.
#include "foundation/XFiles.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

namespace lumvard {

// A small in-memory table: named, typed columns and rows of values (a null value is an invalid
// QVariant). Open means its rows are complete and may be read.
class TMemTable {
public:
    enum class FieldType : quint8 { Text = 1, Integer = 2, Float = 3, Boolean = 4 };
    struct Field {
        QString name;
        FieldType type = FieldType::Text;
    };

    const QList<Field> &fields() const { return m_fields; }
    // Column index by name ignoring letter case, or -1.
    int fieldIndex(const QString &name) const;
    // Adds the column unless one of that name exists; returns its index.
    int addField(const QString &name, FieldType type);
    // Drops columns and rows and closes the table.
    void clear();

    int rowCount() const { return int(m_rows.size()); }
    // A row of values in column order (missing values are null); values are stored in the column's
    // type. Returns the row index.
    int appendRow(const QVariantList &values = {});
    void removeRow(int row);
    QVariant value(int row, int column) const;
    void setValue(int row, int column, const QVariant &value);
    // The value as text: empty for null, "True"/"False" for booleans, the general number form for
    // floats.
    QString text(int row, int column) const;
    // First row whose column's text equals text, or -1.
    int findRow(int column, const QString &text, Qt::CaseSensitivity cs = Qt::CaseInsensitive) const;

    bool isOpen() const { return m_open; }
    void open() { m_open = true; }
    // Closing drops the rows and keeps the columns.
    void close();

    // The table in its stream form. Raises lumvard::Error when a text has no GBK form.
    QByteArray save() const;
    // Adds the stream's missing columns, then appends its rows (values matched to columns by name).
    // Returns the number of rows read, or -1 when the stream is malformed (the rows read before the
    // fault stay). Does not open the table.
    int load(const QByteArray &stream);

private:
    static QVariant coerce(const QVariant &value, FieldType type);
    QList<Field> m_fields;
    QList<QVariantList> m_rows;
    bool m_open = false;
};

class TXIni : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString FileName READ FileName WRITE setFileName)

public:
    explicit TXIni(QObject *owner = nullptr);

    QString FileName() const { return m_fileName; }
    // Loads the file; never raises and never shows a message. The outcome is kept in LoadResult().
    void setFileName(const QString &path);
    // Rows loaded by the last setFileName, or -1 when the file was missing, unreadable or corrupt.
    int LoadResult() const { return m_loadResult; }

    TMemTable &MD() { return m_md; }
    const TMemTable &MD() const { return m_md; }

    // The value stored under key (letter case ignored; the first such row), or the empty text.
    QString ReadValue(const QString &key) const;

    // Writing side. Starts an empty open table with the text columns IDX and X.
    void CreateEmpty();
    // Sets the value of the first row under key (letter case ignored), or appends a row. Raises
    // lumvard::Error when the table is not open or a text has no GBK form.
    void WriteValue(const QString &key, const QString &value);
    // Removes every row under key; returns whether one was there.
    bool RemoveValue(const QString &key);
    // Writes the table as a record file. The header read with the file is kept (a new table gets
    // a fresh one); compression as in TXFileHeader. Returns the file size; raises lumvard::Error.
    qint64 Save(const QString &path, qint32 compression = 1);

private:
    QString m_fileName;
    TMemTable m_md;
    TXFileHeader m_header;
    int m_loadResult = -1;
};

} // namespace lumvard
