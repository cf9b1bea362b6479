#include "platform/Command.h"

namespace lumvard::platform {

Command::Command(Connection *connection)
    : m_connection(connection) {}

void Command::bindValue(const QString &name, const QVariant &value) {
    m_params.insert(name.startsWith(QLatin1Char(':')) ? name.mid(1) : name, value);
}

int Command::execute() {
    if (!m_connection) throw DbError(QStringLiteral("命令没有数据库连接"));
    if (m_sql.trimmed().isEmpty()) throw DbError(QStringLiteral("命令的语句为空"));
    QSqlQuery q = m_connection->run(m_sql, m_params);
    const int affected = q.numRowsAffected();
    q.finish();
    return affected;
}

int Command::run(Connection &connection, const QString &sql, const QVariantMap &params) {
    Command c(&connection);
    c.setSql(sql);
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        c.bindValue(it.key(), it.value());
    return c.execute();
}

} // namespace lumvard::platform
