#include "shell/WindowRegistry.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace lumvard::shell {

WindowRegistry::WindowRegistry(QMdiArea *area)
    : m_area(area) {}

void WindowRegistry::add(const QString &itemName, WindowPattern pattern, Factory factory) {
    Entry &e = m_entries[itemName];
    e.pattern = pattern;
    e.factory = std::move(factory);
}

WindowPattern WindowRegistry::pattern(const QString &itemName) const {
    return m_entries.value(itemName).pattern;
}

QWidget *WindowRegistry::window(const QString &itemName) const {
    auto it = m_entries.constFind(itemName);
    return it == m_entries.constEnd() ? nullptr : it->widget.data();
}

QMdiSubWindow *WindowRegistry::subWindow(const QString &itemName) const {
    QWidget *w = window(itemName);
    return w ? qobject_cast<QMdiSubWindow *>(w->parentWidget()) : nullptr;
}

QWidget *WindowRegistry::open(const QString &itemName) {
    auto it = m_entries.find(itemName);
    if (it == m_entries.end() || !it->factory) return nullptr;
    Entry &e = *it;
    if (e.widget) {
        if (e.pattern == WindowPattern::Front) {
            if (QMdiSubWindow *sub = subWindow(itemName)) {
                if (sub->isMinimized()) sub->showNormal();
                m_area->setActiveSubWindow(sub);
                sub->raise();
            }
        }
        return e.widget;
    }
    QWidget *w = e.factory(m_area);
    const QSize designed = w->size().expandedTo(w->minimumSizeHint());
    // The window frees itself on close; the QPointer then empties the reference.
    w->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow *sub = m_area->addSubWindow(w);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(w->windowTitle());
    sub->setWindowIcon(w->windowIcon());
    e.widget = w;
    if (e.pattern == WindowPattern::Front) {
        sub->showMaximized();
    } else {
        // At its designed size: the content keeps its size, the frame comes around it.
        sub->show();
        sub->resize(designed + (sub->size() - w->size()));
    }
    m_area->setActiveSubWindow(sub);
    return w;
}

} // namespace lumvard::shell
