#include "frontdesk/RoomPicker.h"

#include "data/DM.h"
#include "data/RoomStatus.h"
#include "frontdesk/FormParts.h"
#include "platform/Query.h"

#include <QComboBox>
#include <QGroupBox>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace lumvard::frontdesk {

namespace {

QList<platform::GridColumn> roomColumns() {
    return {{QStringLiteral("F103_01"), QStringLiteral("房间号"), 0},
            {QStringLiteral("F103_03"), QStringLiteral("楼层"), 0},
            {QStringLiteral("F103_05"), QStringLiteral("单价"), 0},
            {QStringLiteral("F103_02"), QStringLiteral("类别"), 0}};
}

RoomList roomsOfStatus(const QString &status) {
    RoomList list;
    list.select = QStringLiteral("Select * from FJK Where F103_04=:status");
    list.params = {{QStringLiteral("status"), status}};
    list.categoryColumn = QStringLiteral("F103_02");
    list.firstItem = kAllCategories;
    list.columns = roomColumns();
    list.keyField = QStringLiteral("F103_01");
    return list;
}

} // namespace

RoomList VacantRoomList() {
    return roomsOfStatus(RoomStatusWord::Vacant);
}

RoomList ReservedRoomList(bool ordered) {
    RoomList list = roomsOfStatus(RoomStatusWord::Reserved);
    if (ordered) list.orderBy = QStringLiteral("F103_01");
    return list;
}

void FillCategoryFilter(QComboBox *filter, platform::Query &categories) {
    const QSignalBlocker block(filter);
    filter->clear();
    filter->addItem(kAllCategories);
    if (categories.isActive()) {
        const int column = categories.fieldIndex(QStringLiteral("F102_02"));
        for (int r = 0; r < categories.recordCount(); ++r)
            filter->addItem(categories.displayText(r, column).trimmed());
    }
    filter->setCurrentIndex(0);
}

void ReloadCategoryFilter(QComboBox *filter, platform::Query &categories, const QString &firstItem) {
    if (categories.isActive()) {
        categories.close();
        FDM().OpenSql(categories, categories.sql());
    }
    FillCategoryFilter(filter, categories);
    filter->setItemText(0, firstItem);
}

bool OpenRoomList(platform::Query &rows, const QComboBox *filter, const RoomList &list) {
    QString sql = list.select;
    QVariantMap params = list.params;
    if (filter->currentIndex() > 0) {
        sql += QStringLiteral(" and %1=:category").arg(list.categoryColumn);
        params.insert(QStringLiteral("category"), filter->currentText());
    }
    if (!list.orderBy.isEmpty()) sql += QStringLiteral(" order by ") + list.orderBy;
    return FDM().OpenSql(rows, sql, params);
}

void ShowRoomList(platform::DataGrid *grid, platform::Query &rows, const RoomList &list) {
    grid->setColumns(list.columns);
    grid->setKeyField(list.keyField);
    grid->setQuery(&rows);
    grid->setToolTip(QStringLiteral("双击选择..."));
}

QGroupBox *AddRoomListBox(const QString &title, platform::Query &rows, const RoomList &list,
                          QComboBox *&filter, platform::DataGrid *&grid) {
    auto *box = Named(new QGroupBox(title), QStringLiteral("TeGroupBox1"));
    auto *layout = new QVBoxLayout(box);
    filter = AddCategoryFilter(layout);
    grid = Named(new platform::DataGrid, QStringLiteral("FJGrid"));
    ShowRoomList(grid, rows, list);
    layout->addWidget(grid);
    return box;
}

} // namespace lumvard::frontdesk
