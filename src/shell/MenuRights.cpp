#include "shell/MenuRights.h"

#include "data/DM.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace lumvard::shell {

bool captionAllowed(const QString &caption, const QString &rights) {
    return !caption.isEmpty() && rights.contains(caption);
}

namespace {

// One caption runs through the whole walk, so that a separator takes the caption of the item just
// before it (which may sit one level deeper).
void applyToItems(std::vector<RightsItem> &items, const QString &rights, QString &current, int depth) {
    for (RightsItem &item : items) {
        if (item.caption != SeparatorCaption) current = item.caption;
        item.enabled = captionAllowed(current, rights);
        if (depth < 2) applyToItems(item.items, rights, current, depth + 1);
    }
}

QString actionCaption(const QAction *a) {
    return a->isSeparator() ? SeparatorCaption : a->text();
}

std::vector<RightsItem> treeOf(const QList<QAction *> &actions, bool topLevel) {
    std::vector<RightsItem> items;
    for (const QAction *a : actions) {
        RightsItem item;
        item.caption = actionCaption(a);
        item.tag = topLevel ? a->property("tag").toInt() : 0;
        item.enabled = a->isEnabled();
        if (a->menu()) item.items = treeOf(a->menu()->actions(), false);
        items.push_back(std::move(item));
    }
    return items;
}

void writeBack(const std::vector<RightsItem> &items, const QList<QAction *> &actions) {
    const qsizetype n = std::min<qsizetype>(qsizetype(items.size()), actions.size());
    for (qsizetype i = 0; i < n; ++i) {
        actions[i]->setEnabled(items[size_t(i)].enabled);
        if (actions[i]->menu()) writeBack(items[size_t(i)].items, actions[i]->menu()->actions());
    }
}

} // namespace

void applyRightsToTree(std::vector<RightsItem> &topLevel, const QString &rights) {
    QString current;
    for (RightsItem &top : topLevel) {
        if (top.tag == AlwaysAvailableTag) continue;
        top.enabled = captionAllowed(top.caption, rights);
        applyToItems(top.items, rights, current, 1);
    }
}

std::vector<RightsItem> menuTree(const QMenuBar *menuBar) {
    return treeOf(menuBar->actions(), true);
}

void applyTreeToMenu(const std::vector<RightsItem> &topLevel, QMenuBar *menuBar) {
    // Always-available groups are not written at all: a hidden action reads as disabled, and writing
    // that back would keep it disabled once shown.
    const QList<QAction *> actions = menuBar->actions();
    const qsizetype n = std::min<qsizetype>(qsizetype(topLevel.size()), actions.size());
    for (qsizetype i = 0; i < n; ++i) {
        const RightsItem &top = topLevel[size_t(i)];
        if (top.tag == AlwaysAvailableTag) continue;
        actions[i]->setEnabled(top.enabled);
        if (actions[i]->menu()) writeBack(top.items, actions[i]->menu()->actions());
    }
}

bool ApplyRights(TFDM &dm, int operatorId, QMenuBar *menuBar) {
    if (!menuBar) return false;
    try {
        if (!dm.OpenSql(dm.QADO, QStringLiteral("select * from CZYK"))) return false;
        dm.QADO.first();
        // An operator whose row has gone gets no rights at all, rather than those of whichever
        // operator happens to come first.
        QString rights;
        if (dm.QADO.locate(QStringLiteral("F107_01"), operatorId))
            rights = dm.QADO.fieldByName(QStringLiteral("F107_04")).asString();
        std::vector<RightsItem> tree = menuTree(menuBar);
        applyRightsToTree(tree, rights);
        applyTreeToMenu(tree, menuBar);
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

} // namespace lumvard::shell
