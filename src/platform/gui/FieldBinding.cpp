#include "platform/gui/FieldBinding.h"

#include "foundation/XDias.h"

#include <QComboBox>
#include <QLineEdit>

namespace lumvard::platform {

namespace {
const char *const kBindingName = "lumvard_field_binding";
}

FieldBinding::FieldBinding(Query *query, const QString &field, QLineEdit *edit)
    : QObject(edit)
    , m_widget(edit)
    , m_edit(edit)
    , m_query(query)
    , m_field(field) {
    setObjectName(QLatin1String(kBindingName));
    // Return and leaving the control both end the entry (editingFinished covers both).
    connect(edit, &QLineEdit::editingFinished, this, [this] { commitFromControl(); });
    connectQuery();
    refresh();
}

FieldBinding::FieldBinding(Query *query, const QString &field, QComboBox *combo, bool listOnly)
    : QObject(combo)
    , m_widget(combo)
    , m_combo(combo)
    , m_query(query)
    , m_field(field)
    , m_listOnly(listOnly) {
    setObjectName(QLatin1String(kBindingName));
    combo->setEditable(!listOnly);
    if (!listOnly) {
        combo->setInsertPolicy(QComboBox::NoInsert);
        connect(combo->lineEdit(), &QLineEdit::editingFinished, this, [this] { commitFromControl(); });
    }
    // Only a choice of the operator writes: refilling the items or showing a row does not.
    connect(combo, &QComboBox::activated, this, [this](int) { commitFromControl(); });
    connectQuery();
    refresh();
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
    connect(m_query, &Query::currentChanged, this, show);
    connect(m_query, &Query::reset, this, show);
    connect(m_query, &Query::stateChanged, this, show);
    // A change of the row touches this control only when its own field changed: a sibling's commit
    // must not wipe what the operator typed here and has not yet left.
    connect(m_query, &Query::rowChanged, this, [this](int row) {
        if (m_writing || !m_query || row != m_query->currentRow()) return;
        if (fieldText() != m_shown) refresh();
    });
}

QString FieldBinding::currentText() const {
    if (m_edit) return m_edit->text();
    if (m_combo) return m_combo->currentText();
    return {};
}

void FieldBinding::setText(const QString &text) {
    if (m_edit) {
        m_edit->setText(text);
    } else if (m_combo) {
        if (m_combo->isEditable())
            m_combo->setEditText(text);
        else
            m_combo->setCurrentIndex(m_combo->findText(text, Qt::MatchExactly));
    }
}

bool FieldBinding::editing() const {
    return m_query && m_query->isActive() &&
           (m_query->state() == DatasetState::Edit || m_query->state() == DatasetState::Insert);
}

int FieldBinding::fieldIndex() const {
    return m_query && m_query->isActive() ? m_query->fieldIndex(m_field) : -1;
}

void FieldBinding::showText(const QString &text) {
    if (!m_widget) return;
    m_showing = true;
    if (m_edit) {
        if (m_edit->text() != text) {
            m_edit->setText(text);
            m_edit->setCursorPosition(0);
        }
    } else if (m_combo) {
        if (m_combo->isEditable())
            m_combo->setEditText(text);
        else // a list accepts only its items: another value shows as nothing
            m_combo->setCurrentIndex(m_combo->findText(text, Qt::MatchExactly));
    }
    m_showing = false;
}

QString FieldBinding::fieldText() const {
    const int index = fieldIndex();
    if (index < 0 || m_query->currentRow() < 0) return {};
    return m_query->field(index).asString();
}

void FieldBinding::refresh() {
    m_shown = fieldText();
    showText(m_shown);
}

bool FieldBinding::commit() {
    if (!editing()) return false;
    const int index = fieldIndex();
    if (index < 0) return false;
    const QString text = currentText();
    m_writing = true;
    try {
        m_query->field(index).setAsString(text);
    } catch (...) {
        m_writing = false;
        throw;
    }
    m_writing = false;
    refresh(); // the field's own form ("199.50" reads "199.5")
    return true;
}

void FieldBinding::commitFromControl() {
    if (m_showing || !m_widget) return;
    if (!editing()) {
        refresh(); // nothing is written while browsing
        return;
    }
    if (!runGuarded([this] { commit(); })) refresh();
}

void FieldBinding::setItems(const QStringList &items) {
    if (!m_combo) return;
    m_showing = true;
    m_combo->clear();
    m_combo->addItems(items);
    m_showing = false;
    refresh();
}

QList<FieldBinding *> FieldBinding::bindingsUnder(QWidget *root) {
    QList<FieldBinding *> out;
    if (!root) return out;
    if (FieldBinding *b = of(root)) out << b;
    for (FieldBinding *b : root->findChildren<FieldBinding *>(QLatin1String(kBindingName)))
        if (!out.contains(b)) out << b;
    return out;
}

void FieldBinding::setBoundControlsEnabled(QWidget *root, bool enabled) {
    for (FieldBinding *b : bindingsUnder(root))
        if (b->m_widget) b->m_widget->setEnabled(enabled);
}

void FieldBinding::commitAll(QWidget *root, Query *query) {
    for (FieldBinding *b : bindingsUnder(root))
        if (!query || b->m_query == query) b->commit();
}

} // namespace lumvard::platform
