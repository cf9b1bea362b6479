#pragma once
// The About box: a picture with the version and the vendor's contact text; a click closes it.
#include <QDialog>

class QLabel;

namespace lumvard::shell {

// Makes the pictures of the shell available (they live in the GUI library's resources).
void ensureResources();

class TFAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFAbout(QWidget *parent = nullptr);

    static QString versionText() { return QStringLiteral("Version2.0"); }
    static QString vendorText();

    QLabel *Image1 = nullptr;
    QLabel *LVersion = nullptr;
    QLabel *LVendor = nullptr;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// Shows the About box modally; a failure to build it is ignored.
void showAbout(QWidget *parent = nullptr);

} // namespace lumvard::shell
