#pragma once
// The data grid the windows share: a table view over a Query. Columns are given by field, title and
// width; the grid keeps the dataset's cursor and its own current row together in both directions,
// selects whole rows, sorts (an initial sort and by header click) without disturbing the dataset's
// order, and is read-only (tooltip-coloured) or editable (white). The services of the list windows
// (grouping, filters, footers, printing, export) build on this class.
#include "platform/Query.h"
#include "platform/QueryModel.h"

#include <QList>
#include <QSortFilterProxyModel>
#include <QString>
#include <QTableView>
#include <functional>

namespace lumvard::platform {

struct GridColumn {
    QString field;
    QString title;
    int width = 0; // pixels; 0 leaves the view's default
};

class DataGrid : public QTableView {
    Q_OBJECT
public:
    explicit DataGrid(QWidget *parent = nullptr);

    // Binds the grid to the dataset (not owned; it must outlive the grid or be unbound first).
    void setQuery(Query *query);
    Query *query() const { return m_query; }
    QueryModel *queryModel() const { return m_model; }
    QSortFilterProxyModel *proxyModel() const { return m_proxy; }

    // The columns shown, in order. Without columns every field of the query shows under its name.
    void setColumns(const QList<GridColumn> &columns);
    const QList<GridColumn> &columns() const { return m_columns; }
    int columnOfField(const QString &field) const; // the grid column, -1 when not shown

    // The sort the grid opens with (the dataset's own order is not changed).
    void setInitialSort(const QString &field, Qt::SortOrder order = Qt::AscendingOrder);

    // The field that identifies a row (room number, journal number...).
    void setKeyField(const QString &field) { m_keyField = field; }
    const QString &keyField() const { return m_keyField; }
    QVariant keyValue(int gridRow) const; // the key of a row as the grid shows it
    QVariant currentKeyValue() const;
    QVariantList selectedKeyValues() const; // in grid order

    // Read-only: no editing in place and the tooltip background; editable: editing in place (the
    // change stays in the dataset's batch) and a white background.
    void setEditable(bool editable);
    bool isEditable() const { return m_editable; }

    // Several rows at once (deleting windows) or one.
    void setMultiSelect(bool multi);

    // Runs on a double click on a data row, after the dataset has moved to that row; exceptions are
    // shown in the standard error box.
    void setDoubleClickHandler(std::function<void()> handler) { m_onDoubleClick = std::move(handler); }

    // Rows as the grid shows them.
    int gridRowCount() const;
    int gridRowOfRecord(int datasetRow) const; // -1 when not shown
    int recordOfGridRow(int gridRow) const;    // dataset row, -1 when out of range
    QString cellText(int gridRow, const QString &field) const;

private:
    void applyColumns();
    void followDataset();                    // dataset cursor → grid
    void followGrid(const QModelIndex &now); // grid current row → dataset cursor
    Query *m_query = nullptr;
    QueryModel *m_model = nullptr;
    QSortFilterProxyModel *m_proxy = nullptr;
    QList<GridColumn> m_columns;
    QString m_keyField;
    QString m_sortField;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_editable = false;
    bool m_syncing = false;
    std::function<void()> m_onDoubleClick;
    QList<QMetaObject::Connection> m_queryConnections;
};

} // namespace lumvard::platform
