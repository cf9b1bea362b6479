#pragma once
// Data-bound entry fields: a line edit or a drop-down tied to one field of a Query. The control shows
// the field of the dataset's current row and follows the cursor; while the dataset is editing or
// inserting, what the operator types or chooses is written into the field at once (a text that the
// field cannot hold yet, such as "abc" for a number, stays in the control and is written, or refused,
// by updateRecord()). While the dataset is browsing nothing is written.
// A drop-down in list mode (not editable) accepts only its items: a field value that is not among them
// shows as the empty text. An editable drop-down takes any typed text.
// The binding belongs to its control (a child object), so windows find their bound controls by
// walking their children: boundControls(), setBoundControlsEnabled().
#include "platform/Query.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QWidget;

namespace lumvard::platform {

class FieldBinding : public QObject {
    Q_OBJECT
public:
    // Binds the control to the field (name looked up when shown, ignoring letter case). The query is
    // not owned and must outlive the control, or be unbound with unbind().
    static FieldBinding *bind(QLineEdit *edit, Query *query, const QString &field);
    static FieldBinding *bind(QComboBox *combo, Query *query, const QString &field);
    // The binding of a control, or nullptr.
    static FieldBinding *of(const QWidget *control);

    QWidget *control() const { return m_control; }
    Query *query() const { return m_query; }
    const QString &fieldName() const { return m_field; }
    QString text() const; // the control's text

    // A drop-down's items, replaced without touching the field; the control shows the field again.
    void setItems(const QStringList &items);

    // Shows the current row's value (drops what was typed and not written).
    void refresh();
    // Writes the control's text into the field when the dataset is editing or inserting; a text the
    // field cannot hold raises DbError (the control keeps it).
    void updateRecord();
    // True while the control holds a text that the field could not take.
    bool hasUnwrittenText() const { return m_unwritten; }

    void unbind(); // the control stays, showing its last text

    // Every bound control under root (root included), in creation order.
    static QList<FieldBinding *> boundControls(QWidget *root);
    // Enables or disables every bound edit and drop-down under root; other controls are untouched.
    static void setBoundControlsEnabled(QWidget *root, bool enabled);
    // updateRecord() for every binding under root on the query (all queries when null).
    static void updateRecords(QWidget *root, Query *query = nullptr);

private:
    FieldBinding(QWidget *control, Query *query, const QString &field);
    void connectQuery();
    void showText(const QString &text);
    void controlChanged(const QString &text);
    bool editing() const;
    int fieldIndex() const;

    QPointer<QWidget> m_control;
    QLineEdit *m_edit = nullptr;
    QComboBox *m_combo = nullptr;
    Query *m_query = nullptr;
    QString m_field;
    bool m_showing = false;   // the control is being set from the field: do not write back
    bool m_writing = false;   // the field is being set from the control: do not show back
    bool m_unwritten = false; // the control holds text the field refused
    QList<QMetaObject::Connection> m_connections;
};

} // namespace lumvard::platform
