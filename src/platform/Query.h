#pragma once
// A dataset over one statement, with a static cursor and a batch-optimistic cache: all rows are read
// on open; appending, editing and deleting change only the cache; applyUpdates() (sending the batch)
// writes every cached change in one transaction, all or nothing; cancelUpdates() drops them.
// An update or delete finds its row by the key and the original values of the columns it changes.
#include "platform/Connection.h"

#include <QDateTime>
#include <QObject>
#include <QVariantList>
#include <QVariantMap>
#include <vector>

namespace lumvard::platform {

class Query;

enum class DatasetState { Inactive, Browse, Edit, Insert };

// A handle on one field of the current row (valid while the query stays open).
class Field {
public:
    Field(Query *query, int index)
        : m_query(query)
        , m_index(index) {}
    QString name() const;
    ColumnType type() const;
    int width() const; // GBK bytes, text columns of the update table; 0 otherwise

    QVariant value() const;
    bool isNull() const;
    QString asString() const; // a null reads as the empty text
    double asFloat() const;   // a null reads as 0
    int asInteger() const;
    QDateTime asDateTime() const;

    // Assigning needs the edit or insert state; a value that does not convert raises DbError.
    void setValue(const QVariant &value);
    void setAsString(const QString &text);
    void setAsFloat(double value);
    void setAsInteger(int value);
    void setAsDateTime(const QDateTime &value);
    void clear();

private:
    Query *m_query;
    int m_index;
};

class Query : public QObject {
    Q_OBJECT
public:
    explicit Query(Connection *connection = nullptr, QObject *parent = nullptr);
    ~Query() override;

    void setConnection(Connection *connection);
    Connection *connection() const { return m_connection; }

    // Statement text; parameters as ":name". Setting the text closes the query and clears bindings.
    void setSql(const QString &sql);
    const QString &sql() const { return m_sql; }
    void bindValue(const QString &name, const QVariant &value); // name without the colon
    void clearBindings() { m_params.clear(); }

    // The table that the batch writes to; found from the statement's FROM when not set.
    void setUpdateTable(const QString &table) { m_updateTable = table; }
    QString updateTable() const;

    void open();    // throws DbError; reads all rows, cursor on the first
    void close();   // drops the cache and any pending change
    void execute(); // runs the statement as a command (no rows); throws DbError
    bool isActive() const { return m_active; }
    DatasetState state() const { return m_state; }

    // Navigation (record numbers count from 1; 0 when empty).
    void first();
    void last();
    void next();
    void prior();
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    bool isEmpty() const { return recordCount() == 0; }
    int recordCount() const;
    int recNo() const;
    void setRecNo(int recNo);
    // Moves to the first row whose field equals the value (text compared ignoring letter case
    // when caseInsensitive); false and the cursor unchanged when none matches.
    bool locate(const QString &field, const QVariant &value, bool caseInsensitive = false);

    // Fields of the result, looked up ignoring letter case.
    int fieldCount() const;
    QString fieldName(int index) const;
    int fieldIndex(const QString &name) const; // -1 when absent
    Field field(int index);
    Field fieldByName(const QString &name);    // throws DbError when absent
    QVariant value(int row, int column) const; // a cell of the cached rows (for views)
    // The cell as the operator reads it: numbers in the general form, date-times as
    // 'yyyy-MM-dd hh:mm:ss' (the date alone at midnight), null as the empty text.
    QString displayText(int row, int column) const;
    ColumnInfo columnInfo(int column) const;
    bool isUpdatable(int column) const; // a column of the update table, written by the batch
    int currentRow() const;             // from 0; -1 when there is none
    static QString textOf(const QVariant &value, ColumnType type);
    // Approximate memory held by the cached rows, in bytes.
    qint64 cacheBytes() const;

    // Editing of the cache.
    void append();       // a new row at the end, with the column defaults of the schema; state Insert
    void edit();         // state Edit on the current row
    void post();         // checks the row (widths in GBK bytes, types) and keeps it in the cache
    void cancel();       // drops the unposted change of the current row
    void deleteRecord(); // removes the current row (cached)

    // Sending the batch: every cached change in one transaction (joining an open one); on failure
    // nothing is written, the cache stays pending and DbError is raised. A row that was changed
    // or removed by another workstation meanwhile fails the whole batch.
    void applyUpdates();
    void cancelUpdates();
    bool hasPendingUpdates() const;

    // Views are not told of changes while disabled; enabling tells them everything changed.
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return m_disabled > 0; }

signals:
    void reset();             // rows or columns replaced (open, close, cancel of the batch)
    void rowChanged(int row); // values of a row changed
    void rowInserted(int row);
    void rowRemoved(int row);
    void currentChanged(int row); // the cursor moved (row from 0; -1 when none)
    void stateChanged(lumvard::platform::DatasetState state);
    // Sent just before the change, so that models can announce it to their views.
    void aboutToReset();
    void aboutToInsertRow(int row);
    void aboutToRemoveRow(int row);

private:
    friend class Field;
    struct Row;
    struct Impl;
    void checkActive() const;
    void checkBrowseMode(); // posts a pending edit or insert
    void setState(DatasetState state);
    void moveTo(int row, bool bof, bool eof);
    QVariant currentValue(int column) const;
    void setCurrentValue(int column, const QVariant &value);
    QVariant coerce(int column, const QVariant &value) const; // throws DbError
    void validate(const std::vector<QVariant> &values) const; // throws DbError
    void notifyReset();
    void notifyChanged(int row);
    void notifyCurrent();
    Connection *m_connection;
    QString m_sql;
    QVariantMap m_params;
    QString m_updateTable;
    bool m_active = false;
    DatasetState m_state = DatasetState::Inactive;
    bool m_eof = true;
    bool m_bof = true;
    int m_disabled = 0;
    std::unique_ptr<Impl> d;
};

} // namespace lumvard::platform
