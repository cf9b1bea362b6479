#include "shell/ConnectionSettingsForm.h"

#include "data/AppContext.h"
#include "foundation/XDias.h"
#include "foundation/XFuncs.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumvard::shell {

int ConnectionSettingsForm::testTimeoutSeconds = 15;

ConnectionSettingsForm::ConnectionSettingsForm(Options options, QWidget *parent)
    : QWidget(parent)
    , m_options(std::move(options)) {
    Q_ASSERT(m_options.tested);
    setObjectName(QStringLiteral("ConnectionSettingsForm"));

    SN = new QLineEdit(QStringLiteral("(local)"), this);
    SN->setObjectName(QStringLiteral("SN"));
    DU = new QLineEdit(QStringLiteral("sa"), this);
    DU->setObjectName(QStringLiteral("DU"));
    DP = new QLineEdit(this);
    DP->setObjectName(QStringLiteral("DP"));
    DP->setEchoMode(QLineEdit::Password);

    BTest = new QPushButton(QStringLiteral("测试"), this);
    BTest->setObjectName(QStringLiteral("BTest"));
    BOk = new QPushButton(m_options.okCaption, this);
    BOk->setObjectName(QStringLiteral("BOk"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BTest);
    buttons->addWidget(BOk);
    if (m_options.withCancel) {
        BCan = new QPushButton(QStringLiteral("取消并退出"), this);
        BCan->setObjectName(QStringLiteral("BCan"));
        buttons->addWidget(BCan);
    }
    for (QPushButton *b : findChildren<QPushButton *>())
        b->setAutoDefault(false);

    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("服务器名:"), SN);
    fields->addRow(QStringLiteral("数据库用户名称:"), DU);
    fields->addRow(QStringLiteral("数据库用户口令:"), DP);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    connect(BTest, &QPushButton::clicked, this, [this] { runGuarded([this] { BTestClick(); }); });
    connect(BOk, &QPushButton::clicked, this, [this] { runGuarded([this] { BOkClick(); }); });
    if (BCan) connect(BCan, &QPushButton::clicked, this, [this] { runGuarded([this] { BCanClick(); }); });
}

ConnectionSettingsForm::~ConnectionSettingsForm() {
    DCon.close();
}

platform::ConnectionSettings ConnectionSettingsForm::settingsFromFields() const {
    platform::ConnectionSettings s;
    s.engine = platform::Engine::PostgreSQL;
    s.setDataSource(SN->text().trimmed());
    s.user = DU->text().trimmed();
    s.password = DP->text().trimmed();
    s.database.clear();
    return s;
}

void ConnectionSettingsForm::BTestClick() {
    // Both checks look at the text as typed.
    if (SN->text().isEmpty()) {
        ShowWarning(QStringLiteral("请输入服务器名..."));
        SN->setFocus();
        return;
    }
    if (DU->text().isEmpty()) {
        ShowWarning(QStringLiteral("请输入数据库用户名..."));
        DU->setFocus();
        return;
    }
    platform::ConnectionSettings s = settingsFromFields();
    s.connectTimeoutSeconds = testTimeoutSeconds;
    const bool ok = DCon.open(s);
    *m_options.tested = ok;
    if (ok) {
        if (m_options.onTested) m_options.onTested(settingsFromFields());
        ShowInfo(QStringLiteral("连接数据库成功!"));
    } else {
        ShowWarning(QStringLiteral("连接数据库失败!\r\n请重新设置连接..."));
    }
}

void ConnectionSettingsForm::BOkClick() {
    if (!*m_options.tested) {
        ShowInfo(QStringLiteral("请先测试数据库连接是否成功!"));
        return;
    }
    const QString key = AppContext().SettingsKey;
    SettingsStore store;
    const bool stored = store.writeScrambled(key, QStringLiteral("Password"), DP->text().trimmed()) &&
                        store.writeScrambled(key, QStringLiteral("User ID"), DU->text().trimmed()) &&
                        store.writeScrambled(key, QStringLiteral("Data Source"), SN->text().trimmed());
    if (!stored) {
        // Going on would lose the settings silently at the next start.
        ShowWarning(QStringLiteral("保存数据库连接设置失败!\r\n") + store.filePath());
        return;
    }
    const platform::ConnectionSettings s = settingsFromFields();
    DCon.close();
    if (m_options.onStored) m_options.onStored(s);
}

void ConnectionSettingsForm::BCanClick() {
    DCon.close();
    if (m_options.onCancel) m_options.onCancel();
}

} // namespace lumvard::shell
