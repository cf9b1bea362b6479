#include "rooms/Addroom.h"

#include "data/DM.h"
#include "data/SqlCreateTable.h"
#include "foundation/Errors.h"
#include "foundation/TextFormats.h"
#include "foundation/XDias.h"
#include "platform/gui/DataGrid.h"
#include "platform/gui/FieldBinding.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

namespace lumvard::rooms {

using platform::DatasetState;
using platform::FieldBinding;

// A lookup page (floors or categories) and everything its save and delete need.
struct TFaddroom::Lookup {
    QListWidget *list;
    QLineEdit *edit;
    platform::Query *query;
    QString table;
    QString codeField;
    QString nameField;
    QString emptyText;
    QString duplicateText;
    bool duplicateAsWarning;
    QString deleteQuestion;
};

namespace {

QPushButton *button(const QString &name, const QString &caption, QWidget *parent) {
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

template <class W> W *named(W *w, const QString &name) {
    w->setObjectName(name);
    return w;
}

} // namespace

TFaddroom::TFaddroom(QWidget *parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("TFaddroom"));
    setWindowTitle(QStringLiteral("添加客房"));

    TFDM &dm = FDM();
    for (platform::Query *q : {&Q103, &Q101, &Q102})
        q->setConnection(&dm.DBConn);
    Q103.setSql(QStringLiteral("Select * from FJK"));
    Q101.setSql(QStringLiteral("Select * from LCK"));
    Q102.setSql(QStringLiteral("Select * from LBK"));

    PageControl = named(new QTabWidget(this), QStringLiteral("PageControl"));
    buildRoomPage();
    TeCustomTabSheet2 = buildLookupPage(QStringLiteral("已有以下类别："), QStringLiteral("添加新类别："),
                                        QStringLiteral("类别名："), LBList, LBEdit, LBSave, LBDel, LBExit,
                                        QStringLiteral("LB"));
    TeCustomTabSheet2->setObjectName(QStringLiteral("TeCustomTabSheet2"));
    TeCustomTabSheet3 = buildLookupPage(QStringLiteral("已有以下楼层："), QStringLiteral("添加新楼层："),
                                        QStringLiteral("楼层名："), LCList, LCEdit, LCSave, LCDel, LCExit,
                                        QStringLiteral("LC"));
    TeCustomTabSheet3->setObjectName(QStringLiteral("TeCustomTabSheet3"));
    PageControl->addTab(TeCustomTabSheet1, QStringLiteral("添加客房"));
    PageControl->addTab(TeCustomTabSheet2, QStringLiteral("类别"));
    PageControl->addTab(TeCustomTabSheet3, QStringLiteral("楼层"));
    PageControl->setCurrentIndex(0);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(PageControl);

    auto guarded = [this](void (TFaddroom::*handler)()) {
        return [this, handler] { runGuarded([&] { (this->*handler)(); }); };
    };
    connect(BAdd, &QPushButton::clicked, this, guarded(&TFaddroom::BAddClick));
    connect(BOk, &QPushButton::clicked, this, guarded(&TFaddroom::BOkClick));
    connect(BCan, &QPushButton::clicked, this, guarded(&TFaddroom::BCanClick));
    connect(LCSave, &QPushButton::clicked, this, guarded(&TFaddroom::LCSaveClick));
    connect(LBSave, &QPushButton::clicked, this, guarded(&TFaddroom::LBSaveClick));
    connect(LCDel, &QPushButton::clicked, this, guarded(&TFaddroom::LCDelClick));
    connect(LBDel, &QPushButton::clicked, this, guarded(&TFaddroom::LBDelClick));
    for (QPushButton *b : {FJExit, LBExit, LCExit})
        connect(b, &QPushButton::clicked, this, guarded(&TFaddroom::LCExitClick));
    connect(PageControl, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == 0) runGuarded([this] { TeCustomTabSheet1Show(); });
    });

    setEntering(false);

    // FormCreate
    runGuarded([this] {
        Q103.open();
        Q101.open();
        Q102.open();
    });
    resize(660, 430);
}

TFaddroom::~TFaddroom() {
    // The queries are members and go before the child controls: unbind those first.
    FJGrid->setQuery(nullptr);
    for (FieldBinding *b : FieldBinding::bindingsUnder(this))
        delete b;
}

void TFaddroom::buildRoomPage() {
    TeCustomTabSheet1 = named(new QWidget, QStringLiteral("TeCustomTabSheet1"));
    auto *page = new QHBoxLayout(TeCustomTabSheet1);

    FJGrid = named(new platform::DataGrid(TeCustomTabSheet1), QStringLiteral("FJGrid"));
    FJGrid->setQuery(&Q103);
    FJGrid->setColumns({{QStringLiteral("F103_01"), QStringLiteral("房间号"), 64},
                        {QStringLiteral("F103_02"), QStringLiteral("类别"), 76},
                        {QStringLiteral("F103_03"), QStringLiteral("楼层"), 76},
                        {QStringLiteral("F103_04"), QStringLiteral("状态"), 64},
                        {QStringLiteral("F103_05"), QStringLiteral("单价"), 64}});
    FJGrid->setKeyField(QStringLiteral("F103_01"));
    FJGrid->setInitialSort(QStringLiteral("F103_03"), Qt::AscendingOrder);
    // Changes in the grid would wait unseen in Q103's batch and go out with the next room: the room
    // page only enters new rooms, so the grid is read-only.
    FJGrid->setEditable(false);
    page->addWidget(FJGrid, 1);

    auto *side = new QVBoxLayout;
    auto *box = new QGroupBox(QStringLiteral("客房信息"), TeCustomTabSheet1);
    auto *form = new QFormLayout(box);
    DB10301 = named(new QLineEdit(box), QStringLiteral("DB10301"));
    DB10302 = named(new QComboBox(box), QStringLiteral("DB10302"));
    DB10303 = named(new QComboBox(box), QStringLiteral("DB10303"));
    DB10304 = named(new QComboBox(box), QStringLiteral("DB10304"));
    DB10305 = named(new QLineEdit(box), QStringLiteral("DB10305"));
    DB10304->addItems({QStringLiteral("空房间"), QStringLiteral("入住房"), QStringLiteral("预定房"),
                       QStringLiteral("打扫中"), QStringLiteral("修理中")});
    form->addRow(QStringLiteral("房间号："), DB10301);
    form->addRow(QStringLiteral("类别："), DB10302);
    form->addRow(QStringLiteral("楼层："), DB10303);
    form->addRow(QStringLiteral("状态："), DB10304);
    form->addRow(QStringLiteral("单价："), DB10305);
    new FieldBinding(&Q103, QStringLiteral("F103_01"), DB10301);
    new FieldBinding(&Q103, QStringLiteral("F103_02"), DB10302, true);
    new FieldBinding(&Q103, QStringLiteral("F103_03"), DB10303, true);
    new FieldBinding(&Q103, QStringLiteral("F103_04"), DB10304, true);
    new FieldBinding(&Q103, QStringLiteral("F103_05"), DB10305);
    for (QWidget *w : {static_cast<QWidget *>(DB10301), static_cast<QWidget *>(DB10302),
                       static_cast<QWidget *>(DB10303), static_cast<QWidget *>(DB10304)})
        w->installEventFilter(this);
    side->addWidget(box);

    BAdd = button(QStringLiteral("BAdd"), QStringLiteral("增加"), TeCustomTabSheet1);
    BOk = button(QStringLiteral("BOk"), QStringLiteral("保存"), TeCustomTabSheet1);
    BCan = button(QStringLiteral("BCan"), QStringLiteral("取消"), TeCustomTabSheet1);
    FJExit = button(QStringLiteral("FJExit"), QStringLiteral("退出"), TeCustomTabSheet1);
    auto *buttons = new QGridLayout;
    buttons->addWidget(BAdd, 0, 0);
    buttons->addWidget(BOk, 0, 1);
    buttons->addWidget(BCan, 1, 0);
    buttons->addWidget(FJExit, 1, 1);
    side->addLayout(buttons);
    side->addStretch(1);
    page->addLayout(side);
}

QWidget *TFaddroom::buildLookupPage(const QString &listTitle, const QString &addTitle,
                                    const QString &nameLabel, QListWidget *&list, QLineEdit *&edit,
                                    QPushButton *&save, QPushButton *&del, QPushButton *&exit,
                                    const QString &prefix) {
    auto *pageWidget = new QWidget;
    auto *page = new QHBoxLayout(pageWidget);

    auto *left = new QVBoxLayout;
    left->addWidget(new QLabel(listTitle, pageWidget));
    list = named(new QListWidget(pageWidget), prefix + QStringLiteral("List"));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    left->addWidget(list, 1);
    page->addLayout(left, 1);

    auto *right = new QVBoxLayout;
    auto *box = new QGroupBox(addTitle, pageWidget);
    auto *form = new QFormLayout(box);
    edit = named(new QLineEdit(box), prefix + QStringLiteral("Edit"));
    form->addRow(nameLabel, edit);
    right->addWidget(box);
    save = button(prefix + QStringLiteral("Save"), QStringLiteral("保存"), pageWidget);
    del = button(prefix + QStringLiteral("Del"), QStringLiteral("删除"), pageWidget);
    exit = button(prefix + QStringLiteral("Exit"), QStringLiteral("退出"), pageWidget);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(save);
    buttons->addWidget(del);
    buttons->addWidget(exit);
    right->addLayout(buttons);
    right->addStretch(1);
    page->addLayout(right, 1);
    return pageWidget;
}

void TFaddroom::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) return;
    runGuarded([this] { FormShow(); });
}

QStringList TFaddroom::namesOf(platform::Query &query, const QString &field) {
    QStringList names;
    if (!query.isActive()) return names;
    const int column = query.fieldIndex(field);
    for (int row = 0; row < query.recordCount(); ++row)
        names << query.displayText(row, column);
    return names;
}

void TFaddroom::FormShow() {
    m_pending = false;
    LCList->clear();
    LCList->addItems(namesOf(Q101, QStringLiteral("F101_02")));
    LBList->clear();
    LBList->addItems(namesOf(Q102, QStringLiteral("F102_02")));
    if (PageControl->currentIndex() == 0) TeCustomTabSheet1Show();
}

void TFaddroom::TeCustomTabSheet1Show() {
    // Floors and categories added on the other pages are offered as soon as this page shows again.
    FieldBinding::of(DB10303)->setItems(namesOf(Q101, QStringLiteral("F101_02")));
    FieldBinding::of(DB10302)->setItems(namesOf(Q102, QStringLiteral("F102_02")));
}

TFaddroom::Lookup TFaddroom::floors() {
    return {LCList,
            LCEdit,
            &Q101,
            QStringLiteral("LCK"),
            QStringLiteral("F101_01"),
            QStringLiteral("F101_02"),
            QStringLiteral("楼层名不能为空，请重新录入!"),
            QStringLiteral("该楼层已存在，请重新录入!"),
            true,
            QStringLiteral("确定删除该楼层吗?")};
}

TFaddroom::Lookup TFaddroom::categories() {
    return {LBList,
            LBEdit,
            &Q102,
            QStringLiteral("LBK"),
            QStringLiteral("F102_01"),
            QStringLiteral("F102_02"),
            QStringLiteral("类别名不能为空，请重新录入!"),
            QStringLiteral("该类别已存在，请重新录入!"),
            false,
            QStringLiteral("确定删除该类别吗?")};
}

void TFaddroom::LCSaveClick() {
    saveLookup(floors());
}

void TFaddroom::LBSaveClick() {
    saveLookup(categories());
}

void TFaddroom::LCDelClick() {
    deleteLookup(floors());
}

void TFaddroom::LBDelClick() {
    deleteLookup(categories());
}

void TFaddroom::saveLookup(const Lookup &l) {
    const QString name = l.edit->text();
    if (name.isEmpty()) {
        ShowInfo(l.emptyText);
        l.edit->setFocus();
        return;
    }
    for (int i = 0; i < l.list->count(); ++i) {
        if (l.list->item(i)->text().compare(name, Qt::CaseInsensitive) != 0) continue;
        if (l.duplicateAsWarning)
            ShowWarning(l.duplicateText);
        else
            ShowInfo(l.duplicateText);
        l.edit->clear();
        l.edit->setFocus();
        return;
    }
    QString code;
    try {
        code = NextSerialNo(FDM(), l.table, l.codeField, 3, l.query->isEmpty());
    } catch (const Error &e) {
        // Past "999" the three-character key has no room: refused, nothing is written.
        ShowWarning(e.message());
        l.edit->setFocus();
        return;
    }
    try {
        l.query->append();
        l.query->fieldByName(l.codeField).setAsString(code);
        l.query->fieldByName(l.nameField).setAsString(name);
        l.query->applyUpdates();
    } catch (...) {
        // The list and the dataset stay as the table is; the error is shown by the caller.
        l.query->cancelUpdates();
        throw;
    }
    // Only a written name joins the list.
    l.list->addItem(name);
}

void TFaddroom::deleteLookup(const Lookup &l) {
    if (l.list->count() == 0) return;
    const QList<QListWidgetItem *> selected = l.list->selectedItems();
    if (selected.isEmpty()) return;
    QListWidgetItem *item = selected.first();
    if (!AskConfirm(l.deleteQuestion)) return;
    const QString name = item->text();
    if (l.query->isActive() && !l.query->isEmpty()) {
        l.query->first();
        if (l.query->locate(l.nameField, name)) {
            try {
                l.query->deleteRecord();
                l.query->applyUpdates();
            } catch (...) {
                l.query->cancelUpdates();
                throw;
            }
        }
    }
    delete l.list->takeItem(l.list->row(item));
    l.list->update();
}

void TFaddroom::setEntering(bool entering) {
    FieldBinding::setBoundControlsEnabled(this, entering);
    BOk->setEnabled(entering);
    BCan->setEnabled(entering);
    // Moving the grid's cursor would post the new row unchecked: the grid waits while a room is entered.
    FJGrid->setEnabled(!entering);
}

void TFaddroom::BAddClick() {
    setEntering(true);
    update();
    m_pending = true;
    DB10301->setFocus();
    // A second "增加" keeps the row being entered instead of posting it unchecked.
    if (Q103.state() != DatasetState::Insert && Q103.state() != DatasetState::Edit) Q103.append();
}

void TFaddroom::BOkClick() {
    const bool entering = Q103.state() == DatasetState::Insert || Q103.state() == DatasetState::Edit;
    if (entering) {
        struct Check {
            QWidget *control;
            QString text;
            const char *message;
        };
        const Check checks[] = {
            {DB10301, DB10301->text(), "房间号不能为空!"},
            {DB10302, DB10302->currentText(), "房间类别不能为空!"},
            {DB10303, DB10303->currentText(), "楼层不能为空!"},
            {DB10304, DB10304->currentText(), "房间状态不能为空!"},
        };
        for (const Check &c : checks) {
            if (!c.text.isEmpty()) continue;
            ShowWarning(QString::fromUtf8(c.message));
            c.control->setFocus();
            return;
        }
        bool ok = false;
        const double price = parseNumber(DB10305->text(), &ok);
        if (!ok) throw Error(QStringLiteral("'%1' 不是有效的浮点数").arg(DB10305->text()));
        if (price == 0) {
            ShowWarning(QStringLiteral("单价不能为零!"));
            DB10305->setFocus();
            return;
        }
    }
    if (m_pending) {
        if (AskConfirm(QStringLiteral("确定保存此房间信息吗?")) && entering) {
            FieldBinding::commitAll(this, &Q103);
            try {
                Q103.applyUpdates();
            } catch (...) {
                // Refused (a room number that exists already): the entry stays open on the new row,
                // so that it can be corrected or dropped with "取消".
                if (Q103.state() == DatasetState::Browse) Q103.edit();
                throw;
            }
        } else {
            Q103.cancelUpdates();
        }
        m_pending = false;
    }
    setEntering(false);
}

void TFaddroom::BCanClick() {
    if (Q103.isActive()) Q103.cancelUpdates();
    m_pending = false;
    setEntering(false);
}

void TFaddroom::LCExitClick() {
    // Inside the MDI frame the sub-window is what closes (and frees this window with it).
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        sub->close();
    else
        close();
}

bool TFaddroom::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            QWidget *next = nullptr;
            if (watched == DB10301)
                next = DB10302;
            else if (watched == DB10302)
                next = DB10303;
            else if (watched == DB10303)
                next = DB10304;
            else if (watched == DB10304)
                next = DB10305;
            if (next) {
                if (watched == DB10301) runGuarded([this] { FieldBinding::of(DB10301)->commit(); });
                next->setFocus();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace lumvard::rooms
