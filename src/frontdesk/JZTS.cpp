#include "frontdesk/JZTS.h"

#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace lumvard::frontdesk {

namespace {
TFTS::ShowHook &showHook() {
    static TFTS::ShowHook hook;
    return hook;
}
} // namespace

TFTS::TFTS(QWidget *parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("TFTS"));
    setWindowTitle(QStringLiteral("结帐"));
    auto value = [this](const QString &name, const QString &colour) {
        auto *l = new QLabel(this);
        l->setObjectName(name);
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        if (!colour.isEmpty()) l->setStyleSheet(QStringLiteral("color: %1;").arg(colour));
        return l;
    };
    LYF = value(QStringLiteral("LYF"), {});
    LSS = value(QStringLiteral("LSS"), QStringLiteral("blue"));
    LYZ = value(QStringLiteral("LYZ"), QStringLiteral("red"));
    LL = new QLabel(QStringLiteral("应找:"), this);
    LL->setObjectName(QStringLiteral("LL"));
    TeThemeButton1 = new QPushButton(QStringLiteral("确定"), this);
    TeThemeButton1->setObjectName(QStringLiteral("TeThemeButton1"));
    TeThemeButton1->setDefault(true);

    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("客人应付:"), this), 0, 0);
    grid->addWidget(LYF, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("实收:"), this), 1, 0);
    grid->addWidget(LSS, 1, 1);
    grid->addWidget(LL, 2, 0);
    grid->addWidget(LYZ, 2, 1);
    grid->addWidget(TeThemeButton1, 3, 1, Qt::AlignRight);
    resize(246, 151);
    connect(TeThemeButton1, &QPushButton::clicked, this, &QDialog::accept);
}

void TFTS::showEvent(QShowEvent *event) {
    FormShow();
    QDialog::showEvent(event);
}

void TFTS::FormShow() {
    LYF->setText(payable);
    LSS->setText(received);
    LL->setText(caption);
    LYZ->setText(change);
}

void TFTS::run(const QString &payableText, const QString &receivedText, const QString &captionText,
               const QString &changeText, QWidget *parent) {
    TFTS dialog(parent);
    dialog.payable = payableText;
    dialog.received = receivedText;
    dialog.caption = captionText;
    dialog.change = changeText;
    if (showHook()) {
        dialog.FormShow();
        showHook()(dialog);
        return;
    }
    dialog.exec();
}

void TFTS::setShowHook(ShowHook hook) {
    showHook() = std::move(hook);
}

} // namespace lumvard::frontdesk
