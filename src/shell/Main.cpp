#include "shell/Main.h"

#include "data/DM.h"
#include "foundation/XDias.h"
#include "frontdesk/DJroom.h"
#include "frontdesk/SetYJBJ.h"
#include "frontdesk/TFroom.h"
#include "reservations/QXroom.h"
#include "reservations/YDroom.h"
#include "reservations/ZRroom.h"
#include "rooms/Addroom.h"
#include "shell/About.h"
#include "shell/MenuRights.h"
#include "shell/SetDCon.h"

#include <QAction>
#include <QCloseEvent>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QLinearGradient>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>

namespace lumvard::shell {

void registerBusinessWindows(WindowRegistry &r) {
    // One line per business window: the menu item that opens it and its opening pattern.
    r.add<TFSetCon>(QStringLiteral("N49"), WindowPattern::Once);
    r.add<rooms::TFaddroom>(QStringLiteral("N40"), WindowPattern::Once);
    r.add<reservations::TFYDroom>(QStringLiteral("MenuItem13"), WindowPattern::Once);
    r.add<reservations::TFQXroom>(QStringLiteral("MenuItem15"), WindowPattern::Once);
    r.add<reservations::TFZRroom>(QStringLiteral("MenuItem14"), WindowPattern::Once);
    r.add<frontdesk::TFDJroom>(QStringLiteral("MenuItem17"), WindowPattern::Once);
    r.add<frontdesk::TFBJYJ>(QStringLiteral("N4"), WindowPattern::Once);
    r.add<frontdesk::TFTFDJ>(QStringLiteral("N2"), WindowPattern::Once);
}

namespace {

TMainForm *g_mainForm = nullptr;

struct MenuEntry {
    const char *name;
    const char *caption; // "-" for a separator
    const char *handler;
};

struct TopEntry {
    const char *name;
    const char *caption;
    int tag;
    const char *handler; // top-level items without a sub-menu
    std::vector<MenuEntry> items;
};

// The main menu as designed: object names, captions, tags and handlers.
const std::vector<TopEntry> &menuDesign() {
    static const std::vector<TopEntry> design = {
        {"N1", "初始数据", 1, nullptr, {{"N49", "设置数据库连接", "N49Click"}}},
        {"MenuItem9",
         "客房管理",
         0,
         nullptr,
         {{"N40", "添加新客房", "N40Click"},
          {"N41", "删除旧客房", "N41Click"},
          {"MenuItem10", "编辑客房", "N11Click"},
          {"MenuItem11", "-", nullptr},
          {"N51", "客房查询", "N51Click"}}},
        {"MenuItem12",
         "销售管理",
         0,
         nullptr,
         {{"MenuItem13", "客房预定", "MenuItem13Click"},
          {"MenuItem14", "预定转入住", "N20Click"},
          {"MenuItem15", "取消预定", "N16Click"},
          {"N42", "-", nullptr},
          {"N43", "预定查询", "N43Click"}}},
        {"MenuItem16",
         "前台收银",
         0,
         nullptr,
         {{"MenuItem17", "入住登记", "N24Click"},
          {"MenuItem18", "-", nullptr},
          {"N4", "补交押金", "N4Click"},
          {"N5", "-", nullptr},
          {"N2", "退房登记", "N2Click"},
          {"N3", "-", nullptr},
          {"N44", "客房登记查询", "N44Click"},
          {"N45", "退房登记查询", "N45Click"}}},
        {"MenuItem24",
         "修改流水",
         0,
         nullptr,
         {{"MenuItem25", "修改预定流水", "MenuItem25Click"},
          {"N47", "修改客房收入流水", "N47Click"},
          {"N46", "修改入住流水", "N46Click"}}},
        {"N52",
         "经理查询",
         0,
         nullptr,
         {{"N53", "客房状态图", "N53Click"},
          {"N54", "客房收入日趋势分析", "N54Click"},
          {"N55", "客户收入月均势分析", "N55Click"}}},
        {"MenuItem19",
         "报表",
         0,
         nullptr,
         {{"PDA1", "预定现金日报表", "PDA1Click"},
          {"MenuItem20", "入住现金日报表", "MenuItem20Click"},
          {"MenuItem21", "客房收入日报表", "MenuItem21Click"},
          {"MenuItem22", "-", nullptr},
          {"MenuItem23", "预定现金期间报表", "MenuItem23Click"},
          {"N48", "入住现金期间报表", "N48Click"},
          {"N50", "客房收入期间报表", "N50Click"}}},
        {"N56",
         "系统维护",
         0,
         nullptr,
         {{"N57", "操作员设置", "N57Click"},
          {"N58", "口令设置", "N58Click"},
          {"N59", "数据备份", "N59Click"}}},
        {"MenuItem30",
         "窗口",
         1,
         nullptr,
         {{"MenuItem31", "平铺", "N37Click"}, {"N38", "层叠", "N38Click"}, {"N39", "排列", "N39Click"}}},
        {"MenuItem32", "帮助", 1, "MenuItem32Click", {}},
        {"MenuItem33", "关于", 1, "N31Click", {}},
        {"MenuItem34", "退出系统", 1, "N32Click", {}},
    };
    return design;
}

} // namespace

BackgroundArea::BackgroundArea(QWidget *parent)
    : QMdiArea(parent) {
    setObjectName(QStringLiteral("BackgroundArea"));
}

void BackgroundArea::setPicture(const QPixmap &picture) {
    m_picture = picture;
    viewport()->update();
}

void BackgroundArea::paintEvent(QPaintEvent *event) {
    Q_UNUSED(event);
    QPainter p(viewport());
    const QRect r = viewport()->rect();
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(0, 128, 128));
    g.setColorAt(1, QColor(160, 164, 168));
    p.fillRect(r, g);
    if (!m_picture.isNull()) {
        const QRect pic(QPoint(0, 0), m_picture.deviceIndependentSize().toSize());
        p.drawPixmap(pic.translated(r.center() - pic.center()), m_picture);
    }
}

TMainForm::TMainForm(TFDM &dm, QWidget *parent)
    : QMainWindow(parent)
    , m_dm(dm)
    , m_registry(nullptr) {
    ensureResources();
    g_mainForm = this;
    setObjectName(QStringLiteral("TMainForm"));
    setWindowTitle(QStringLiteral("Lumvard"));
    setWindowIcon(QIcon(QStringLiteral(":/lumvard/lumvard.png")));
    resize(1016, 684);

    area = new BackgroundArea(this);
    setCentralWidget(area);
    m_registry = WindowRegistry(area);
    registerBusinessWindows(m_registry);

    buildMenu();
    buildStatusBar();

    // FormCreate
    m_pictureIndex = 0;
    buildPictureList();
    m_interval = 3000;
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(m_interval);
    connect(Timer2, &QTimer::timeout, this, [this] { Timer2Timer(); });
    Timer2->start();

    const AppContextRecord &ctx = AppContext();
    SOper->setText(ctx.OperatorCode + QLatin1Char('|') + ctx.OperatorName);
    RSDType->setText(ctx.DbType);
    if (ctx.DbType == QLatin1String("Access")) menuItem(QStringLiteral("N49"))->setVisible(false);
    setWindowTitle(ctx.OrgName + QLatin1Char('-') + QStringLiteral("Lumvard"));
}

TMainForm::~TMainForm() {
    if (g_mainForm == this) g_mainForm = nullptr;
}

TMainForm *TMainForm::instance() {
    return g_mainForm;
}

QString TMainForm::vendorText() {
    return QStringLiteral("Tesklo 软件工作室 · 客房前台管理系统");
}

void TMainForm::buildMenu() {
    MM = menuBar();
    MM->setObjectName(QStringLiteral("MM"));
    for (const TopEntry &top : menuDesign()) {
        const QString name = QString::fromLatin1(top.name);
        QAction *topAction = nullptr;
        if (top.items.empty()) {
            topAction = MM->addAction(QString::fromUtf8(top.caption));
            const QString handler = QString::fromLatin1(top.handler);
            topAction->setProperty("handler", handler);
            connect(topAction, &QAction::triggered, this, [this, name] { openItem(name); });
        } else {
            QMenu *menu = MM->addMenu(QString::fromUtf8(top.caption));
            menu->setObjectName(name + QStringLiteral("Menu"));
            topAction = menu->menuAction();
            for (const MenuEntry &item : top.items) {
                QAction *a = nullptr;
                if (QByteArrayView(item.caption) == "-") {
                    a = menu->addSeparator();
                } else {
                    a = menu->addAction(QString::fromUtf8(item.caption));
                    a->setProperty("handler", QString::fromLatin1(item.handler));
                    const QString itemName = QString::fromLatin1(item.name);
                    connect(a, &QAction::triggered, this, [this, itemName] { openItem(itemName); });
                }
                a->setObjectName(QString::fromLatin1(item.name));
            }
        }
        topAction->setObjectName(name);
        topAction->setProperty("tag", top.tag);
    }
}

QAction *TMainForm::menuItem(const QString &name) const {
    return MM->findChild<QAction *>(name);
}

void TMainForm::buildStatusBar() {
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    auto label = [bar](const QString &name, const QString &text, int stretch = 0) {
        auto *l = new QLabel(text, bar);
        l->setObjectName(name);
        bar->addWidget(l, stretch);
        return l;
    };
    label(QStringLiteral("LOper"), QStringLiteral("操作员："));
    SOper = label(QStringLiteral("SOper"), QString());
    label(QStringLiteral("LTime"), QStringLiteral("时间："));
    Clock = label(QStringLiteral("Clock"), QString());
    label(QStringLiteral("LVersion"), QStringLiteral("版本："));
    Version = label(QStringLiteral("Version"), QStringLiteral("Version 2.0"));
    label(QStringLiteral("LDBType"), QStringLiteral("当前数据库类型："));
    RSDType = label(QStringLiteral("RSDType"), QString());
    RC = label(QStringLiteral("RC"), QString(), 1);
    for (QLabel *l : {SOper, Clock, Version, RSDType})
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    auto *clockTimer = new QTimer(this);
    clockTimer->setObjectName(QStringLiteral("ClockTimer"));
    auto tick = [this] {
        Clock->setText(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    };
    tick();
    connect(clockTimer, &QTimer::timeout, this, tick);
    clockTimer->start(1000);
}

void TMainForm::buildPictureList() {
    m_pictures.clear();
    const QDir dir(AppContext().ProgramDir + QStringLiteral("MainImg"));
    // Files only, sorted by name so that the show runs the same on every machine.
    const QFileInfoList entries =
        dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &fi : entries)
        m_pictures.append(fi.absoluteFilePath());
}

void TMainForm::Timer2Timer() {
    area->setPicture(QPixmap());
    m_shownPicture.clear();
    if (m_interval < 1000) return;
    Timer2->setInterval(m_interval);
    ++m_pictureIndex;
    if (m_pictureIndex > m_pictures.size() - 1) m_pictureIndex = 0;
    if (m_pictureIndex < m_pictures.size()) {
        QPixmap pic;
        // A file that is no picture leaves the background bare until the next tick.
        if (pic.load(m_pictures[m_pictureIndex])) {
            area->setPicture(pic);
            m_shownPicture = m_pictures[m_pictureIndex];
        }
    }
}

void TMainForm::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        FormShow();
    }
}

void TMainForm::FormShow() {
    if (AppContext().OperatorName != QLatin1String("SuperOper"))
        ApplyRights(m_dm, AppContext().OperatorId, MM);
    RC->setText(vendorText());
}

void TMainForm::closeEvent(QCloseEvent *event) {
    if (!AskConfirm(QStringLiteral("确定退出Lumvard码?"))) {
        event->ignore();
        return;
    }
    // The business windows close with the frame.
    area->closeAllSubWindows();
    if (!area->subWindowList().isEmpty()) {
        event->ignore();
        return;
    }
    event->accept();
}

void TMainForm::openItem(const QString &name) {
    runGuarded([&] {
        if (name == QLatin1String("MenuItem31"))
            N37Click();
        else if (name == QLatin1String("N38"))
            N38Click();
        else if (name == QLatin1String("N39"))
            N39Click();
        else if (name == QLatin1String("MenuItem32"))
            MenuItem32Click();
        else if (name == QLatin1String("MenuItem33"))
            N31Click();
        else if (name == QLatin1String("MenuItem34"))
            N32Click();
        else
            m_registry.open(name); // items whose window is not registered do nothing
    });
}

void TMainForm::N37Click() {
    area->tileSubWindows();
}

void TMainForm::N38Click() {
    area->cascadeSubWindows();
}

void TMainForm::N39Click() {
    // Lines up the minimised children along the bottom edge, left to right.
    const QRect r = area->viewport()->rect();
    int x = 0;
    int y = r.bottom();
    for (QMdiSubWindow *sub : area->subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->isMinimized()) continue;
        const QSize s = sub->size();
        if (x > 0 && x + s.width() > r.width()) {
            x = 0;
            y -= s.height();
        }
        sub->move(x, y - s.height() + 1);
        x += s.width();
    }
}

void TMainForm::N31Click() {
    showAbout(nullptr);
}

void TMainForm::N32Click() {
    close();
}

void TMainForm::MenuItem32Click() {
    const QString help = AppContext().ProgramDir + QStringLiteral("Quarn.CHM");
    if (QFileInfo::exists(help)) QDesktopServices::openUrl(QUrl::fromLocalFile(help));
}

} // namespace lumvard::shell
