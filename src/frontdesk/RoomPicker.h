#pragma once
// The pick-a-room list with its category filter, as the check-in, reservation, take-up, cancel and
// deposit windows show it. Each window describes its list in a RoomList (statement, status bound,
// category column, order, first filter item, columns); the filter's first item lists every category,
// the others narrow the list to one. Categories are bound, never spliced into the statement.
#include "platform/gui/DataGrid.h"

#include <QList>
#include <QString>
#include <QVariantMap>

class QComboBox;
class QGroupBox;

namespace lumvard::platform {
class Query;
} // namespace lumvard::platform

namespace lumvard::frontdesk {

inline const QString kAllCategories = QStringLiteral("所有可供");

struct RoomList {
    QString select;         // the statement without the category condition, ending in its Where
    QVariantMap params;     // bound with it
    QString categoryColumn; // compared with the chosen category
    QString orderBy;        // appended as "order by ..." when not empty
    QString firstItem;      // the filter's first item, standing for every category
    QList<platform::GridColumn> columns;
    QString keyField;
};

// The rooms reading "空房间" (check-in, reservation).
RoomList VacantRoomList();
// The rooms reading "预定房"; `ordered` lists them by room number.
RoomList ReservedRoomList(bool ordered);

// Refills the filter from the open categories (F102_02 in query order, trimmed) and selects
// "所有可供"; the filter's signals stay blocked meanwhile.
void FillCategoryFilter(QComboBox *filter, platform::Query &categories);

// Reads the categories again when they were open, refills the filter and names its first item.
void ReloadCategoryFilter(QComboBox *filter, platform::Query &categories, const QString &firstItem);

// Opens the list's rows of the filter's current category (every category for the first item).
// False when the statement fails (the data module keeps the reason).
bool OpenRoomList(platform::Query &rows, const QComboBox *filter, const RoomList &list);

// Shows the rows in the grid with the list's columns and key; read-only, hint "双击选择...".
void ShowRoomList(platform::DataGrid *grid, platform::Query &rows, const RoomList &list);

// The list's group box (TeGroupBox1, titled `title`): the category filter LBCombox above the grid
// FJGrid showing the rows. The filter and the grid are left in `filter` and `grid`.
QGroupBox *AddRoomListBox(const QString &title, platform::Query &rows, const RoomList &list,
                          QComboBox *&filter, platform::DataGrid *&grid);

} // namespace lumvard::frontdesk
