#include "shell/About.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QVBoxLayout>

// Q_INIT_RESOURCE must be used outside any namespace. Calling it here also keeps the resource
// object of the static library linked in.
static void initLumvardResources() {
    Q_INIT_RESOURCE(lumvard);
}

namespace lumvard::shell {

void ensureResources() {
    static const bool done = (initLumvardResources(), true);
    Q_UNUSED(done);
}

QString TFAbout::vendorText() {
    return QStringLiteral("Lumvard 客房前台管理系统\n技术支持: Tesklo 软件工作室  电话: 0571-8800 2403");
}

TFAbout::TFAbout(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    ensureResources();
    setObjectName(QStringLiteral("TFAbout"));
    setWindowTitle(QStringLiteral("关于"));

    // The labels sit on the picture; a click anywhere on it closes the box.
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    const QPixmap pic(QStringLiteral(":/lumvard/about.png"));
    Image1->setPixmap(pic);
    Image1->setFixedSize(pic.isNull() ? QSize(440, 280) : pic.size());
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->installEventFilter(this);

    auto *title = new QLabel(QStringLiteral("Lumvard"), Image1);
    title->setObjectName(QStringLiteral("LTitle"));
    title->setStyleSheet(QStringLiteral("color: white; font-size: 30pt; font-weight: bold;"));
    title->setGeometry(190, 60, 240, 60);

    LVersion = new QLabel(versionText(), Image1);
    LVersion->setObjectName(QStringLiteral("LVersion"));
    LVersion->setStyleSheet(QStringLiteral("color: white; font-size: 12pt;"));
    LVersion->setGeometry(194, 120, 240, 24);

    LVendor = new QLabel(vendorText(), Image1);
    LVendor->setObjectName(QStringLiteral("LVendor"));
    LVendor->setStyleSheet(QStringLiteral("color: #f0f0f0; font-size: 9pt;"));
    LVendor->setGeometry(16, 226, 410, 44);
    LVendor->setWordWrap(true);
    for (QLabel *l : {title, LVersion, LVendor})
        l->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Image1);
    setFixedSize(Image1->size());
}

void TFAbout::mousePressEvent(QMouseEvent *event) {
    event->accept();
    accept();
}

bool TFAbout::eventFilter(QObject *watched, QEvent *event) {
    if (watched == Image1 && event->type() == QEvent::MouseButtonPress) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void showAbout(QWidget *parent) {
    try {
        TFAbout box(parent);
        box.exec();
    } catch (const std::exception &) {
        // The box is a courtesy: the start goes on without it.
    }
}

} // namespace lumvard::shell
