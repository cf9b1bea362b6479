#pragma once
// A table model over a Query, for the grids of the windows. Columns are the query's fields (or a chosen
// subset); it follows the dataset's changes and cursor.
#include "platform/Query.h"

#include <QAbstractTableModel>
#include <QItemSelectionModel>

namespace lumvard::platform {

class QueryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit QueryModel(Query *query, QObject *parent = nullptr);
    Query *query() const { return m_query; }

    // Shows only these fields, in this order, with these titles (empty: every field by name).
    void setColumns(const QStringList &fields, const QStringList &titles = {});
    int fieldOfColumn(int column) const; // the query's field index

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    void setEditable(bool editable) { m_editable = editable; }

private:
    void resolveColumns();
    Query *m_query;
    QList<int> m_fields;
    QStringList m_titles;
    QStringList m_fieldNames;
    bool m_editable = false;
};

} // namespace lumvard::platform
