#pragma once
// Menu rights: an operator's rights string (F107_04) is a list of allowed menu captions, each followed
// by ";". It is never parsed: an item counts as allowed when its caption occurs anywhere in the string,
// so "退房登记查询;" also allows "退房登记". The rule runs on a plain tree so that it can be checked
// without widgets; the adapter below reads and writes a QMenuBar.
#include <QString>
#include <vector>

class QMenuBar;

namespace lumvard {
class TFDM;
}

namespace lumvard::shell {

// Top-level items with this tag are always available, together with everything under them.
inline constexpr int AlwaysAvailableTag = 1;
inline const QString SeparatorCaption = QStringLiteral("-");

struct RightsItem {
    QString caption;
    int tag = 0;
    bool enabled = true;
    std::vector<RightsItem> items;
};

// True when the caption occurs in the rights string; an empty caption never does.
bool captionAllowed(const QString &caption, const QString &rights);

// Enables or disables the governed items of the tree (top level, two levels under it). Items are only
// enabled or disabled, never hidden. A separator carries no right of its own: it follows the caption
// of the item before it.
void applyRightsToTree(std::vector<RightsItem> &topLevel, const QString &rights);

// Widget adapter: the tree of a menu bar (captions, the "tag" property of the top-level actions,
// enabled states) and writing the states back, in the same order.
std::vector<RightsItem> menuTree(const QMenuBar *menuBar);
void applyTreeToMenu(const std::vector<RightsItem> &topLevel, QMenuBar *menuBar);

// Reads the rights string of the operator and applies it to the menu. Any error ends the operation
// silently and leaves the menu as it was. When the operator's row is gone, nothing is allowed (see
// MenuRights.cpp). Returns whether the rights were applied.
bool ApplyRights(TFDM &dm, int operatorId, QMenuBar *menuBar);

} // namespace lumvard::shell
