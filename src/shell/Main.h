#pragma once
// The MDI frame of the system: the main menu from which every business window opens, the status bar
// and the background picture show. Created after a successful login, alive until the program ends.
#include "shell/WindowRegistry.h"

#include <QMainWindow>
#include <QMdiArea>
#include <QPixmap>
#include <QStringList>

class QAction;
class QLabel;
class QMenu;
class QTimer;

namespace lumvard {
class TFDM;
}

namespace lumvard::shell {

// The client area: a teal-to-grey gradient with the current picture centred on it.
class BackgroundArea : public QMdiArea {
    Q_OBJECT
public:
    explicit BackgroundArea(QWidget *parent = nullptr);
    void setPicture(const QPixmap &picture);
    const QPixmap &picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
};

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(TFDM &dm, QWidget *parent = nullptr);
    ~TMainForm() override;

    // The main window while it exists (business windows reach the frame through it).
    static TMainForm *instance();

    QMenuBar *MM = nullptr;
    BackgroundArea *area = nullptr;
    QLabel *SOper = nullptr;
    QLabel *Clock = nullptr;
    QLabel *Version = nullptr;
    QLabel *RSDType = nullptr;
    QLabel *RC = nullptr;
    QTimer *Timer2 = nullptr;

    WindowRegistry &registry() { return m_registry; }
    // The menu item (top-level or not) with this object name; nullptr when none.
    QAction *menuItem(const QString &name) const;

    // Picture show state.
    const QStringList &pictures() const { return m_pictures; }
    int pictureIndex() const { return m_pictureIndex; }
    int pictureInterval() const { return m_interval; }
    QString shownPicture() const { return m_shownPicture; } // empty while none is shown

    static QString vendorText();

    // Handlers.
    void Timer2Timer();
    void N37Click();        // tile
    void N38Click();        // cascade
    void N39Click();        // arrange the minimised children
    void N31Click();        // About box
    void N32Click();        // close (asks the exit question)
    void MenuItem32Click(); // help file

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenu();
    void buildStatusBar();
    void buildPictureList();
    void openItem(const QString &name);
    void FormShow();

    TFDM &m_dm;
    WindowRegistry m_registry;
    QStringList m_pictures;
    int m_pictureIndex = 0;
    int m_interval = 3000;
    QString m_shownPicture;
    bool m_shownOnce = false;
};

// Registers every business window with its menu item and opening pattern.
void registerBusinessWindows(WindowRegistry &registry);

} // namespace lumvard::shell
