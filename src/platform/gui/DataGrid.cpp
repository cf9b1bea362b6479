#include "platform/gui/DataGrid.h"

#include "foundation/XDias.h"

#include <QHeaderView>
#include <QItemSelectionModel>

namespace lumvard::platform {

DataGrid::DataGrid(QWidget *parent)
    : QTableView(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAlternatingRowColors(false);
    verticalHeader()->setDefaultSectionSize(verticalHeader()->minimumSectionSize() + 6);
    horizontalHeader()->setHighlightSections(false);
    setEditable(false);
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (!index.isValid() || !m_onDoubleClick) return;
        followGrid(index);
        runGuarded(m_onDoubleClick);
    });
}

void DataGrid::setQuery(Query *query) {
    for (const QMetaObject::Connection &c : m_queryConnections)
        disconnect(c);
    m_queryConnections.clear();
    setModel(nullptr);
    delete m_proxy;
    delete m_model;
    m_proxy = nullptr;
    m_model = nullptr;
    m_query = query;
    if (!query) return;

    m_model = new QueryModel(query, this);
    m_model->setEditable(m_editable);
    m_proxy = new QSortFilterProxyModel(this);
    m_proxy->setSourceModel(m_model);
    // Sorting compares the values, so numbers and dates sort as such, not as their texts.
    m_proxy->setSortRole(Qt::EditRole);
    m_proxy->setDynamicSortFilter(true);
    setModel(m_proxy);
    applyColumns();

    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &now, const QModelIndex &) {
                if (!m_syncing) followGrid(now);
            });
    // After the model has heard the dataset (it connected first), put the grid on the cursor again.
    m_queryConnections << connect(query, &Query::currentChanged, this, [this](int) { followDataset(); });
    m_queryConnections << connect(query, &Query::reset, this, [this] { followDataset(); });
    m_queryConnections << connect(query, &Query::rowInserted, this, [this](int) { followDataset(); });
    m_queryConnections << connect(query, &Query::rowRemoved, this, [this](int) { followDataset(); });
    m_queryConnections << connect(query, &QObject::destroyed, this, [this] { setQuery(nullptr); });
    followDataset();
}

void DataGrid::setColumns(const QList<GridColumn> &columns) {
    m_columns = columns;
    applyColumns();
}

void DataGrid::applyColumns() {
    if (!m_model) return;
    QStringList fields, titles;
    for (const GridColumn &c : m_columns) {
        fields << c.field;
        titles << c.title;
    }
    m_model->setColumns(fields, titles);
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].width > 0) setColumnWidth(i, m_columns[i].width);
    if (!m_sortField.isEmpty()) setInitialSort(m_sortField, m_sortOrder);
    followDataset();
}

int DataGrid::columnOfField(const QString &field) const {
    if (m_columns.isEmpty()) return m_query ? m_query->fieldIndex(field) : -1;
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].field.compare(field, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

void DataGrid::setInitialSort(const QString &field, Qt::SortOrder order) {
    m_sortField = field;
    m_sortOrder = order;
    if (!m_proxy) return;
    const int column = columnOfField(field);
    // The header shows the sort and lets the operator sort by any other column.
    horizontalHeader()->setSortIndicator(column, order);
    setSortingEnabled(true);
    sortByColumn(column, order);
    followDataset();
}

void DataGrid::setEditable(bool editable) {
    m_editable = editable;
    if (m_model) m_model->setEditable(editable);
    setEditTriggers(editable ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::AnyKeyPressed
                             : QAbstractItemView::NoEditTriggers);
    QPalette p = palette();
    p.setColor(QPalette::Base, editable ? QColor(Qt::white) : p.color(QPalette::ToolTipBase));
    setPalette(p);
}

void DataGrid::setMultiSelect(bool multi) {
    setSelectionMode(multi ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

int DataGrid::gridRowCount() const {
    return m_proxy ? m_proxy->rowCount() : 0;
}

int DataGrid::gridRowOfRecord(int datasetRow) const {
    if (!m_proxy || !m_model || datasetRow < 0 || datasetRow >= m_model->rowCount()) return -1;
    return m_proxy->mapFromSource(m_model->index(datasetRow, 0)).row();
}

int DataGrid::recordOfGridRow(int gridRow) const {
    if (!m_proxy || gridRow < 0 || gridRow >= m_proxy->rowCount()) return -1;
    return m_proxy->mapToSource(m_proxy->index(gridRow, 0)).row();
}

QString DataGrid::cellText(int gridRow, const QString &field) const {
    const int record = recordOfGridRow(gridRow);
    if (record < 0) return {};
    return m_query->displayText(record, m_query->fieldIndex(field));
}

QVariant DataGrid::keyValue(int gridRow) const {
    const int record = recordOfGridRow(gridRow);
    if (record < 0 || m_keyField.isEmpty()) return {};
    return m_query->value(record, m_query->fieldIndex(m_keyField));
}

QVariant DataGrid::currentKeyValue() const {
    return currentIndex().isValid() ? keyValue(currentIndex().row()) : QVariant();
}

QVariantList DataGrid::selectedKeyValues() const {
    QVariantList keys;
    if (!selectionModel()) return keys;
    QList<int> rows;
    for (const QModelIndex &i : selectionModel()->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    for (int r : rows)
        keys << keyValue(r);
    return keys;
}

void DataGrid::followDataset() {
    if (!m_query || !m_proxy || !selectionModel()) return;
    const int gridRow = m_query->isActive() ? gridRowOfRecord(m_query->currentRow()) : -1;
    m_syncing = true;
    if (gridRow < 0) {
        selectionModel()->clear();
    } else if (currentIndex().row() != gridRow || (selectionMode() == QAbstractItemView::SingleSelection &&
                                                   !selectionModel()->isRowSelected(gridRow, {}))) {
        const int column = currentIndex().isValid() ? currentIndex().column() : 0;
        const QModelIndex target = m_proxy->index(gridRow, qMax(0, column));
        selectionModel()->setCurrentIndex(target,
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(target);
    }
    m_syncing = false;
}

void DataGrid::followGrid(const QModelIndex &now) {
    if (!m_query || !m_query->isActive() || !now.isValid()) return;
    const int record = recordOfGridRow(now.row());
    if (record < 0 || record == m_query->currentRow()) return;
    // Moving posts a pending edit, which may be refused (a value too long): the grid then stays with
    // the dataset and the error is shown.
    if (!runGuarded([&] { m_query->setRecNo(record + 1); })) followDataset();
}

} // namespace lumvard::platform
