#pragma once
// The message dialog window: a frameless, always-on-top window with a coloured title bar, the
// message drawn line by line and up to three buttons. One instance exists at most; the presenter
// (DialogPresenter) creates it on demand and destroys it after each modal use.
#include <QColor>
#include <QDialog>
#include <QPoint>
#include <QStringList>
#include <functional>

class QLabel;
class QPushButton;
class QTimer;
class QWidget;

namespace lumvard {

// Splits a message into lines at CR LF, CR or LF. A final line break does not start another line,
// so an empty text has no lines at all.
QStringList splitMessageLines(const QString &text);

// Cuts one line into pieces of at most `limitBytes` GBK bytes. A double-byte character that would
// straddle the limit moves whole to the next piece (cut after byte 67 instead of 68).
QStringList wrapMessageLine(const QString &line, int limitBytes = 68);

// Title bar text and colour of a dialog kind; values outside 0..6 are shown as kind 0.
QString messageKindTitle(quint8 kind);
QColor messageKindColour(quint8 kind);

class TFXDias : public QDialog {
    Q_OBJECT
public:
    static constexpr int DesignWidth = 295;
    static constexpr int DesignHeight = 165;
    static constexpr int TitleBarHeight = 29;
    static constexpr int StripHeight = 45;
    static constexpr int ButtonWidth = 85;
    static constexpr int ButtonHeight = 29;
    static constexpr int WrapBytes = 68;
    static constexpr int BodyLeft = 43;
    static constexpr int BlinkOnMs = 3000;
    static constexpr int BlinkOffMs = 200;

    explicit TFXDias(QWidget *parent = nullptr);
    ~TFXDias() override;

    // The dialog while it exists and has not been closed (registered as "FXDias").
    static TFXDias *instance();

    // Stores the request and lays out the title, the body and the buttons.
    void setMessage(const QString &text, quint8 kind, quint8 buttons, qint32 helpContext);

    // Called with the help context when BTHelp is pressed and the context is not 0.
    static void setHelpHandler(std::function<void(qint32)> handler);

    QString titleText() const;
    QStringList bodyLines() const { return m_lines; }
    int lineHeight() const { return m_lineHeight; }
    quint8 kind() const { return m_kind; }
    quint8 buttons() const { return m_buttons; }
    qint32 helpContext() const { return m_helpContext; }
    QColor titleColour() const { return m_titleColour; }
    // The colour the title bar shows right now (the title colour or, while blinking, its complement).
    QColor shownTitleColour() const { return m_shownColour; }
    QPushButton *helpButton() const { return m_help; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

    // Blinking: show the title colour / its complement; a timer tick toggles between them.
    void FlashTitle1();
    void FlashTitle5();
    void blinkTick();

public slots:
    void done(int result) override;
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void layoutTitle();
    void layoutBody();
    void layoutButtons();
    void applyInitialFocus();
    void showTitleColour(const QColor &c);
    bool press(QPushButton *button);
    void detach();

    QLabel *m_title = nullptr;  // PANT
    QLabel *m_body = nullptr;   // Image1
    QWidget *m_strip = nullptr; // bottom strip
    QPushButton *m_help = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    QTimer *m_timer = nullptr; // Timer1

    QString m_text;
    quint8 m_kind = 0;
    quint8 m_buttons = 0;
    qint32 m_helpContext = 0;
    QColor m_titleColour;
    QColor m_shownColour;
    QStringList m_lines;
    int m_lineHeight = 0;
    bool m_dragging = false;
    QPoint m_dragOrigin;
};

} // namespace lumvard
