#include "shell/Pass.h"

#include "data/DM.h"
#include "foundation/XDias.h"
#include "shell/About.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace lumvard::shell {

namespace {
const QString SuperOperName = QStringLiteral("SuperOper");
}

TFPass::TFPass(TFDM &dm, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_dm(dm) {
    ensureResources();
    setObjectName(QStringLiteral("TFPass"));
    setWindowTitle(QStringLiteral("进入Lumvard"));
    setFixedSize(400, 240);

    auto *title = new QLabel(QStringLiteral("进入Lumvard"), this);
    title->setObjectName(QStringLiteral("LTitle"));
    title->setStyleSheet(QStringLiteral("color: white; font-size: 18pt; font-weight: bold;"));

    auto *l1 = new QLabel(QStringLiteral("操作员:"), this);
    auto *l2 = new QLabel(QStringLiteral("口  令:"), this);
    for (QLabel *l : {l1, l2})
        l->setStyleSheet(QStringLiteral("color: white;"));

    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    // Typed text must not turn into list entries on Enter.
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setMinimumWidth(180);
    l1->setBuddy(ComboBox1);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setEchoMode(QLineEdit::Password);
    l2->setBuddy(Edit1);

    Bok = new QPushButton(QStringLiteral("确认"), this);
    Bok->setObjectName(QStringLiteral("Bok"));
    Bcan = new QPushButton(QStringLiteral("取消"), this);
    Bcan->setObjectName(QStringLiteral("Bcan"));
    Bexit = new QPushButton(QStringLiteral("退出"), this);
    Bexit->setObjectName(QStringLiteral("Bexit"));
    // Enter confirms only in the password field, never through a default button.
    for (QPushButton *b : {Bok, Bcan, Bexit}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    auto *grid = new QGridLayout;
    grid->addWidget(l1, 0, 0);
    grid->addWidget(ComboBox1, 0, 1);
    grid->addWidget(l2, 1, 0);
    grid->addWidget(Edit1, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Bok);
    buttons->addWidget(Bcan);
    buttons->addWidget(Bexit);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(150, 20, 20, 20);
    layout->addWidget(title);
    layout->addStretch();
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(ComboBox1, &QComboBox::editTextChanged, this,
            [this] { runGuarded([this] { ComboBox1Change(); }); });
    connect(Edit1, &QLineEdit::returnPressed, this, [this] { runGuarded([this] { Confirm(); }); });
    connect(Bok, &QPushButton::clicked, this, [this] { runGuarded([this] { Confirm(); }); });
    connect(Bcan, &QPushButton::clicked, this, [this] { BcanClick(); });
    connect(Bexit, &QPushButton::clicked, this, [this] { BexitClick(); });

    Edit1->setFocus();
}

std::optional<int> TFPass::operatorCodeOf(const QString &entry) {
    const qsizetype bar = entry.indexOf(QLatin1Char('|'));
    if (bar < 0) return std::nullopt;
    bool ok = false;
    const int code = entry.left(bar).trimmed().toInt(&ok);
    if (!ok) return std::nullopt;
    return code;
}

void TFPass::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        if (QScreen *s = screen()) move(s->availableGeometry().center() - rect().center());
        runGuarded([this] { FormShow(); });
        Edit1->setFocus();
    }
}

void TFPass::paintEvent(QPaintEvent *event) {
    Q_UNUSED(event);
    QPainter p(this);
    static const QPixmap background(QStringLiteral(":/lumvard/login.png"));
    if (background.isNull())
        p.fillRect(rect(), QColor(30, 100, 140));
    else
        p.drawPixmap(rect(), background);
}

void TFPass::FormShow() {
    const QSignalBlocker block(ComboBox1);
    ComboBox1->clear();
    if (m_dm.OpenOperatorTable()) {
        platform::Query &t = m_dm.F107;
        for (t.first(); !t.eof(); t.next())
            ComboBox1->addItem(t.fieldByName(QStringLiteral("F107_01")).asString() + QLatin1Char('|') +
                               t.fieldByName(QStringLiteral("F107_02")).asString());
    }
    // Filling the list chooses nobody.
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->clearEditText();
}

void TFPass::ComboBox1Change() {
    const std::optional<int> code = operatorCodeOf(ComboBox1->currentText());
    if (!code) return;
    if (!m_dm.OpenSql(m_dm.QADO, QStringLiteral("Select * from CZYK where F107_01=:code"),
                      QVariantMap{{QStringLiteral("code"), *code}}))
        return;
    platform::Query &q = m_dm.QADO;
    if (q.isEmpty()) return;
    q.first();
    AppContextRecord &ctx = AppContext();
    ctx.OperatorName = q.fieldByName(QStringLiteral("F107_02")).asString();
    ctx.OperatorCode = q.fieldByName(QStringLiteral("F107_01")).asString();
    ctx.OperatorPassword = q.fieldByName(QStringLiteral("F107_03")).asString();
    ctx.OperatorId = q.fieldByName(QStringLiteral("F107_01")).asInteger();
    m_chosenCode = ctx.OperatorId;
    Edit1->setEnabled(true);
    Edit1->setFocus();
}

void TFPass::Confirm() {
    AppContextRecord &ctx = AppContext();
    const QString t = Edit1->text();
    const QString chosen = ComboBox1->currentText();
    const bool isSuper = t == ctx.SuperPassword;
    if (!isSuper && chosen.isEmpty()) {
        ShowInfo(QStringLiteral("请选择操作员!"));
        return;
    }
    // Text that does not name the operator taken from the list would be checked against the
    // password of whoever was chosen before.
    if (!isSuper && (!operatorCodeOf(chosen) || operatorCodeOf(chosen) != m_chosenCode)) {
        ShowInfo(QStringLiteral("请从列表中选择操作员!"));
        ComboBox1->setFocus();
        return;
    }
    if (t != ctx.OperatorPassword) {
        if (!isSuper) {
            ShowInfo(QStringLiteral("口令输入有误,请核对后重新输入!"));
            Edit1->clear();
            Edit1->setFocus();
            return;
        }
        ctx.OperatorName = SuperOperName;
        ctx.LoggedIn = true;
    } else {
        ctx.LoggedIn = true;
        if (isSuper) ctx.OperatorName = SuperOperName;
    }
    if (ctx.LoggedIn) accept();
}

void TFPass::BcanClick() {
    {
        const QSignalBlocker block(ComboBox1);
        ComboBox1->setCurrentIndex(-1);
        ComboBox1->clearEditText();
    }
    Edit1->clear();
    ComboBox1->setFocus();
}

void TFPass::BexitClick() {
    AppContext().LoggedIn = false;
    reject();
}

bool runLogin(TFDM &dm) {
    TFPass pass(dm);
    pass.exec();
    return AppContext().LoggedIn;
}

} // namespace lumvard::shell
