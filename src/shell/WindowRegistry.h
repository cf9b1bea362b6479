#pragma once
// The business windows opened from the main menu, each behind one menu item, with one of two
// opening patterns:
//  - Once: the window exists at most once; choosing it again while it is open does nothing (it
//    stays where it is). It shows at its designed size.
//  - Front: the window exists at most once; choosing it again brings it to the front. A new one
//    is shown maximised.
// The registry keeps the one reference per window, which empties itself when the window is freed
// on close. A window joins with one line: registry.add<TFaddroom>("N40", WindowPattern::Once);
#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

class QMdiArea;
class QMdiSubWindow;

namespace lumvard::shell {

enum class WindowPattern { Once, Front };

class WindowRegistry {
public:
    // Creates the window's widget with the given parent (the MDI frame); the registry wraps it in
    // an MDI sub-window.
    using Factory = std::function<QWidget *(QWidget *parent)>;

    explicit WindowRegistry(QMdiArea *area);

    // Registers the window opened by the menu item with this object name.
    void add(const QString &itemName, WindowPattern pattern, Factory factory);
    template <class W> void add(const QString &itemName, WindowPattern pattern) {
        add(itemName, pattern, [](QWidget *parent) -> QWidget * { return new W(parent); });
    }

    bool contains(const QString &itemName) const { return m_entries.contains(itemName); }
    WindowPattern pattern(const QString &itemName) const;

    // Opens (or brings forward) the window of the item. Returns the window's widget, or nullptr
    // when no window is registered for the item. Once: an open window is returned unchanged.
    QWidget *open(const QString &itemName);

    // The open window of the item, or nullptr while it is closed.
    QWidget *window(const QString &itemName) const;
    QMdiSubWindow *subWindow(const QString &itemName) const;

private:
    struct Entry {
        WindowPattern pattern = WindowPattern::Once;
        Factory factory;
        QPointer<QWidget> widget;
    };
    QMdiArea *m_area;
    QHash<QString, Entry> m_entries;
};

} // namespace lumvard::shell
