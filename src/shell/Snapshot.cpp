#include "shell/Snapshot.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace lumvard::shell {

namespace {

class SnapshotFilter : public QObject {
public:
    SnapshotFilter(const QString &dir, QObject *parent)
        : QObject(parent)
        , m_dir(dir) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Show) {
            auto *w = qobject_cast<QWidget *>(watched);
            if (w && w->isWindow() && !w->objectName().isEmpty()) {
                const QString name = w->objectName();
                QTimer::singleShot(800, this, [this, name] { save(name); });
            }
        }
        return false;
    }

private:
    void save(const QString &name) {
        QScreen *screen = QGuiApplication::primaryScreen();
        if (!screen) return;
        ++m_count;
        const QString file =
            QDir(m_dir).filePath(QStringLiteral("%1-%2.png").arg(m_count, 2, 10, QLatin1Char('0')).arg(name));
        screen->grabWindow(0).save(file);
    }

    QString m_dir;
    int m_count = 0;
};

} // namespace

void installSnapshotHook() {
    const QString dir = qEnvironmentVariable("LUMVARD_SNAPSHOT_DIR");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    qApp->installEventFilter(new SnapshotFilter(dir, qApp));
}

} // namespace lumvard::shell
