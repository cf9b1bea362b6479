#include "frontdesk/VacantRoomPicker.h"

#include "data/DM.h"
#include "data/RoomStatus.h"
#include "platform/Query.h"
#include "platform/QueryModel.h"

#include <QComboBox>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QTableView>

namespace lumvard::frontdesk {

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

bool OpenVacantRooms(platform::Query &rooms, const QComboBox *filter) {
    TFDM &dm = FDM();
    if (filter->currentIndex() <= 0)
        return dm.OpenSql(rooms, QStringLiteral("Select * from FJK Where F103_04=:status"),
                          {{QStringLiteral("status"), RoomStatusWord::Vacant}});
    return dm.OpenSql(rooms, QStringLiteral("Select * from FJK Where F103_04=:status and F103_02=:category"),
                      {{QStringLiteral("status"), RoomStatusWord::Vacant},
                       {QStringLiteral("category"), filter->currentText()}});
}

platform::QueryModel *ShowVacantRooms(QTableView *grid, platform::Query &rooms, QObject *owner) {
    auto *model = new platform::QueryModel(&rooms, owner);
    model->setColumns(
        {QStringLiteral("F103_01"), QStringLiteral("F103_03"), QStringLiteral("F103_05"),
         QStringLiteral("F103_02")},
        {QStringLiteral("房间号"), QStringLiteral("楼层"), QStringLiteral("单价"), QStringLiteral("类别")});
    grid->setModel(model);
    grid->setToolTip(QStringLiteral("双击选择..."));
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->verticalHeader()->hide();
    return model;
}

int CurrentRoomRow(const QTableView *grid, const platform::Query &rooms) {
    const int row = grid->currentIndex().row();
    if (!rooms.isActive() || row < 0 || row >= rooms.recordCount()) return -1;
    return row;
}

} // namespace lumvard::frontdesk
