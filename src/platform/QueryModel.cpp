#include "platform/QueryModel.h"

#include "foundation/XDias.h"

namespace lumvard::platform {

QueryModel::QueryModel(Query *query, QObject *parent)
    : QAbstractTableModel(parent)
    , m_query(query) {
    // The query announces each change before making it, so the views hear the usual begin/end pairs.
    connect(query, &Query::aboutToReset, this, [this] { beginResetModel(); });
    connect(query, &Query::reset, this, [this] {
        resolveColumns();
        endResetModel();
    });
    connect(query, &Query::aboutToInsertRow, this, [this](int row) { beginInsertRows({}, row, row); });
    connect(query, &Query::rowInserted, this, [this](int) { endInsertRows(); });
    connect(query, &Query::aboutToRemoveRow, this, [this](int row) { beginRemoveRows({}, row, row); });
    connect(query, &Query::rowRemoved, this, [this](int) { endRemoveRows(); });
    connect(query, &Query::rowChanged, this, [this](int row) {
        if (row >= 0 && row < rowCount() && columnCount() > 0)
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
    resolveColumns();
}

void QueryModel::setColumns(const QStringList &fields, const QStringList &titles) {
    beginResetModel();
    m_fieldNames = fields;
    m_titles = titles;
    resolveColumns();
    endResetModel();
}

void QueryModel::resolveColumns() {
    m_fields.clear();
    if (m_fieldNames.isEmpty()) {
        for (int i = 0; i < m_query->fieldCount(); ++i)
            m_fields << i;
        return;
    }
    // A chosen field that the statement does not return shows as an empty column.
    for (const QString &name : m_fieldNames)
        m_fields << m_query->fieldIndex(name);
}

int QueryModel::fieldOfColumn(int column) const {
    return column >= 0 && column < m_fields.size() ? m_fields[column] : -1;
}

int QueryModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() || !m_query->isActive() ? 0 : m_query->recordCount();
}

int QueryModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_fields.size());
}

QVariant QueryModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    const int field = fieldOfColumn(index.column());
    if (field < 0) return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_query->displayText(index.row(), field);
    case Qt::EditRole:
        return m_query->value(index.row(), field);
    case Qt::TextAlignmentRole: {
        const ColumnType t = m_query->columnInfo(field).type;
        if (t == ColumnType::Float || t == ColumnType::Integer)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    }
    default:
        return {};
    }
}

QVariant QueryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (section < 0 || section >= columnCount()) return {};
    if (section < m_titles.size() && !m_titles[section].isEmpty()) return m_titles[section];
    if (section < m_fieldNames.size()) return m_fieldNames[section];
    const int field = fieldOfColumn(section);
    return field >= 0 ? m_query->fieldName(field) : QString();
}

Qt::ItemFlags QueryModel::flags(const QModelIndex &index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_editable && fieldOfColumn(index.column()) >= 0) f |= Qt::ItemIsEditable;
    return f;
}

bool QueryModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (!m_editable || role != Qt::EditRole || !index.isValid() || index.row() >= rowCount()) return false;
    const int field = fieldOfColumn(index.column());
    if (field < 0) return false;
    try {
        if (m_query->currentRow() != index.row()) m_query->setRecNo(index.row() + 1);
        m_query->edit();
        m_query->field(field).setValue(value);
        return true;
    } catch (const DbError &e) {
        // A value the column cannot hold: the view keeps the old one and the operator is told why.
        ShowErrorBox(e.message());
        return false;
    }
}

} // namespace lumvard::platform
