#pragma once
// Data-bound entry fields: a line edit or a drop-down tied to one field of a Query.
// The control shows the field of the dataset's current row and follows the cursor and every change of
// the row. What the operator types is written into the field when the control is left (or Return is
// pressed), a drop-down item when it is chosen; only while the dataset is editing or inserting. While
// the dataset browses, a typed text is put back to the field's value. A value the field refuses (a
// price "abc") is shown in the standard error box and the control shows the field again.
// A drop-down in list mode accepts only its items (a field value that is not among them shows as
// nothing); otherwise it is editable and takes any typed text.
// The binding is a child of its control and goes with it.
#include "platform/Query.h"

#include <QList>
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
    // The query is not owned; when it is destroyed first the control keeps its last text.
    FieldBinding(Query *query, const QString &field, QLineEdit *edit);
    FieldBinding(Query *query, const QString &field, QComboBox *combo, bool listOnly = false);

    // The binding of a control, or nullptr.
    static FieldBinding *of(const QWidget *control);

    QWidget *widget() const { return m_widget; }
    Query *query() const { return m_query; }
    const QString &fieldName() const { return m_field; }
    bool listOnly() const { return m_listOnly; }

    // The control's text (a list drop-down: its chosen item, empty when none).
    QString currentText() const;
    // Puts a text into the control as if typed or chosen (not yet written; see commit()).
    void setText(const QString &text);

    // Shows the field of the current row (empty when the dataset is closed or has no row).
    void refresh();
    // Writes the control's text into the field while the dataset is editing or inserting; nothing
    // otherwise (false). A value the field refuses raises DbError and the control keeps the text.
    bool commit();

    // A drop-down's items, replaced without writing anything; the control then shows the field again.
    void setItems(const QStringList &items);

    // Every binding under root (root included).
    static QList<FieldBinding *> bindingsUnder(QWidget *root);
    // Enables or disables the bound edits and drop-downs under root; other controls are untouched.
    static void setBoundControlsEnabled(QWidget *root, bool enabled);
    // commit() of every binding under root on the query (every query when null), as a dataset's post
    // takes what its controls hold.
    static void commitAll(QWidget *root, Query *query = nullptr);

private:
    void connectQuery();
    void showText(const QString &text);
    void commitFromControl(); // a control was left or an item chosen: refusal shown and undone
    bool editing() const;
    int fieldIndex() const;
    QString fieldText() const; // the field of the current row as shown

    QPointer<QWidget> m_widget;
    QLineEdit *m_edit = nullptr;
    QComboBox *m_combo = nullptr;
    QPointer<Query> m_query;
    QString m_field;
    bool m_listOnly = false;
    bool m_showing = false; // the control is being set from the field
    bool m_writing = false; // the field is being set from the control
    QString m_shown;        // the field's text when last shown
};

} // namespace lumvard::platform
