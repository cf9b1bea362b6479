#pragma once
// A statement that returns no rows, with bound parameters (":name").
#include "platform/Connection.h"

#include <QVariantMap>

namespace lumvard::platform {

class Command {
public:
    explicit Command(Connection *connection = nullptr);
    void setConnection(Connection *connection) { m_connection = connection; }
    Connection *connection() const { return m_connection; }
    void setSql(const QString &sql) { m_sql = sql; }
    const QString &sql() const { return m_sql; }
    void bindValue(const QString &name, const QVariant &value); // name without the colon
    void clearBindings() { m_params.clear(); }
    int execute(); // rows affected; throws DbError

    // One-shot helper.
    static int run(Connection &connection, const QString &sql, const QVariantMap &params = {});

private:
    Connection *m_connection;
    QString m_sql;
    QVariantMap m_params;
};

} // namespace lumvard::platform
