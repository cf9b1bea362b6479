#include "platform/gui/FieldBinding.h"

#include <QComboBox>
#include <QLineEdit>

namespace lumvard::platform {

namespace {
const char *const kBindingName = "lumvard_field_binding";
}

FieldBinding::FieldBinding(QWidget *control, Query *query, const QString &field)
    : QObject(control)
    , m_control(control)
    , m_query(query)
    , m_field(field) {
    setObjectName(QLatin1String(kBindingName));
}

FieldBinding *FieldBinding::bind(QLineEdit *edit, Query *query, const QString &field) {
    if (FieldBinding *old = of(edit)) delete old;
    auto *b = new FieldBinding(edit, query, field);
    b->m_edit = edit;
    // textChanged, not textEdited: a text set by the program (a test, a paste helper) is typed too.
    connect(edit, &QLineEdit::textChanged, b, [b](const QString &t) { b->controlChanged(t); });
    b->connectQuery();
    b->refresh();
    return b;
}

FieldBinding *FieldBinding::bind(QComboBox *combo, Query *query, const QString &field) {
    if (FieldBinding *old = of(combo)) delete old;
    auto *b = new FieldBinding(combo, query, field);
    b->m_combo = combo;
    connect(combo, &QComboBox::currentTextChanged, b, [b](const QString &t) { b->controlChanged(t); });
    b->connectQuery();
    b->refresh();
    return b;
}

FieldBinding *FieldBinding::of(const QWidget *control) {
    if (!control) return nullptr;
    return control->findChild<FieldBinding *>(QLatin1String(kBindingName), Qt::FindDirectChildrenOnly);
}

void FieldBinding::connectQuery() {
    if (!m_query) return;
    auto show = [this] {
        if (!m_writing) refresh();
    };
    m_connections << connect(m_query, &Query::currentChanged, this, show);
    m_connections << connect(m_query, &Query::reset, this, show);
    m_connections << connect(m_query, &Query::stateChanged, this, show);
    m_connections << connect(m_query, &Query::rowChanged, this, [this, show](int row) {
        if (row == m_query->currentRow()) show();
    });
    m_connections << connect(m_query, &QObject::destroyed, this, [this] { unbind(); });
}

void FieldBinding::unbind() {
    for (const QMetaObject::Connection &c : m_connections)
        disconnect(c);
    m_connections.clear();
    m_query = nullptr;
}

QString FieldBinding::text() const {
    if (m_edit) return m_edit->text();
    if (m_combo) return m_combo->currentText();
    return {};
}

bool FieldBinding::editing() const {
    return m_query && m_query->isActive() &&
           (m_query->state() == DatasetState::Edit || m_query->state() == DatasetState::Insert);
}

int FieldBinding::fieldIndex() const {
    return m_query && m_query->isActive() ? m_query->fieldIndex(m_field) : -1;
}

void FieldBinding::showText(const QString &text) {
    m_showing = true;
    if (m_edit) {
        if (m_edit->text() != text) {
            m_edit->setText(text);
            m_edit->setCursorPosition(0);
        }
    } else if (m_combo) {
        if (m_combo->isEditable()) {
            m_combo->setEditText(text);
        } else {
            // A list accepts only its items: another value shows as nothing.
            m_combo->setCurrentIndex(m_combo->findText(text, Qt::MatchExactly));
        }
    }
    m_showing = false;
    m_unwritten = false;
}

void FieldBinding::refresh() {
    const int index = fieldIndex();
    if (index < 0 || m_query->currentRow() < 0) {
        showText(QString());
        return;
    }
    showText(m_query->field(index).asString());
}

void FieldBinding::setItems(const QStringList &items) {
    if (!m_combo) return;
    m_showing = true;
    m_combo->clear();
    m_combo->addItems(items);
    m_showing = false;
    refresh();
}

void FieldBinding::controlChanged(const QString &text) {
    if (m_showing || !editing()) return;
    const int index = fieldIndex();
    if (index < 0) return;
    m_writing = true;
    try {
        m_query->field(index).setAsString(text);
        m_unwritten = false;
    } catch (const DbError &) {
        // Kept in the control; updateRecord() or the window's own check reports it.
        m_unwritten = true;
    }
    m_writing = false;
}

void FieldBinding::updateRecord() {
    if (!editing()) return;
    const int index = fieldIndex();
    if (index < 0) return;
    m_writing = true;
    try {
        m_query->field(index).setAsString(text());
    } catch (...) {
        m_writing = false;
        m_unwritten = true;
        throw;
    }
    m_writing = false;
    m_unwritten = false;
}

QList<FieldBinding *> FieldBinding::boundControls(QWidget *root) {
    QList<FieldBinding *> out;
    if (!root) return out;
    if (FieldBinding *b = of(root)) out << b;
    out << root->findChildren<FieldBinding *>(QLatin1String(kBindingName));
    // A binding of root itself is found twice when root is also searched recursively.
    out.removeDuplicates();
    return out;
}

void FieldBinding::setBoundControlsEnabled(QWidget *root, bool enabled) {
    for (FieldBinding *b : boundControls(root))
        if (b->m_control) b->m_control->setEnabled(enabled);
}

void FieldBinding::updateRecords(QWidget *root, Query *query) {
    for (FieldBinding *b : boundControls(root))
        if (!query || b->m_query == query) b->updateRecord();
}

} // namespace lumvard::platform
