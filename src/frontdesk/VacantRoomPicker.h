#pragma once
// The vacant-room list with its category filter, as the check-in and the reservation windows show
// it: "所有可供" followed by the categories of LBK, and the rooms reading "空房间" of the chosen
// category. Room numbers and category names are bound, never spliced into the statement.
#include <QString>

class QComboBox;
class QObject;
class QTableView;

namespace lumvard::platform {
class Query;
class QueryModel;
} // namespace lumvard::platform

namespace lumvard::frontdesk {

inline const QString kAllCategories = QStringLiteral("所有可供");

// Refills the filter from the open categories (F102_02 in query order, trimmed) and selects
// "所有可供"; the filter's signals stay blocked meanwhile.
void FillCategoryFilter(QComboBox *filter, platform::Query &categories);

// Opens the vacant rooms of the filter's current category (all categories for the first item).
// False when the statement fails (the data module keeps the reason).
bool OpenVacantRooms(platform::Query &rooms, const QComboBox *filter);

// Puts the rooms in the grid: columns 房间号, 楼层, 单价, 类别; whole rows, read-only, hint
// "双击选择...". Returns the model (owned by `owner`).
platform::QueryModel *ShowVacantRooms(QTableView *grid, platform::Query &rooms, QObject *owner);

// The row of the grid's current room in the dataset, or -1 when there is none.
int CurrentRoomRow(const QTableView *grid, const platform::Query &rooms);

} // namespace lumvard::frontdesk
