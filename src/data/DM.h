#pragma once
// The data module: the one shared connection, the shared scratch queries and command, the open
// operator table, the database operations every window uses, and the start-up that connects it all.
// Operations return false and swallow the error (kept as lastError()); nothing here shows a window
// except the messages start-up and the operations themselves name.
#include "data/AppContext.h"
#include "platform/Command.h"
#include "platform/Connection.h"
#include "platform/Query.h"

#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <utility>

namespace lumvard {

// What start-up needs from the windows; the GUI supplies it, the data module stays free of widgets.
struct StartupHooks {
    // Shows the connection dialog TFSDataCon modally. Returns the tested server settings (the dialog
    // has stored them under AppContext().SettingsKey), or nullopt when the operator chose
    // "取消并退出"; start-up then ends the program. Unset: start-up ends as on "取消并退出".
    std::function<std::optional<platform::ConnectionSettings>()> askServerSettings;
};

class TFDM {
public:
    // Values written in place, {{"room", room}, {"day", day}}: without these overloads such a list
    // would also read as a notice text.
    using BoundValues = std::initializer_list<std::pair<QString, QVariant>>;

    TFDM();
    ~TFDM();
    TFDM(const TFDM &) = delete;
    TFDM &operator=(const TFDM &) = delete;

    // Start-up: reads "Quarn.XIX", fills AppContext, connects DBConn (creating a missing server
    // database with its tables on request) and opens F107. Every failure shows its one message and
    // ends the program (EndProgram, i.e. lumvard::ProgramEnded is raised).
    static std::unique_ptr<TFDM> create(const StartupHooks &hooks);

    // The data module created last and still alive (nullptr when none).
    static TFDM *instance();

    // Components.
    platform::Connection DBConn;
    platform::Query QADO;   // shared scratch query (rows handed to receipts, status updates)
    platform::Query QADOT;  // shared scratch query (the MAX statements of NextSerialNo)
    platform::Query QADOQ;  // the settlement row of the checkout; design statement returns no row
    platform::Command CADO; // statements that return no rows
    platform::Query F107;   // "select * from CZYK", kept open for operator lookups
    QStringList TableNames; // user tables, as read by CreateMissingTables

    // Closes the connection and opens it with the settings; true when then connected.
    bool OpenConnection(platform::Connection &conn, const platform::ConnectionSettings &settings);

    // Replaces the query's statement and opens it. False for an empty statement or any error. A
    // non-empty notice stands as a modeless ShowInfo while the work runs and is closed afterwards.
    bool OpenSql(platform::Query &query, const QString &sql, const QString &notice = {});
    bool OpenSql(platform::Query &query, const QString &sql, const QVariantMap &params,
                 const QString &notice = {});
    bool OpenSql(platform::Query &query, const QString &sql, BoundValues params, const QString &notice = {}) {
        return OpenSql(query, sql, toMap(params), notice);
    }
    // The same for a statement that returns no rows (executed on the query).
    bool ExecSql(platform::Query &query, const QString &sql, const QString &notice = {});
    bool ExecSql(platform::Query &query, const QString &sql, const QVariantMap &params,
                 const QString &notice = {});
    bool ExecSql(platform::Query &query, const QString &sql, BoundValues params, const QString &notice = {}) {
        return ExecSql(query, sql, toMap(params), notice);
    }
    // The same on CADO.
    bool ExecCommand(const QString &sql, const QString &notice = {});
    bool ExecCommand(const QString &sql, const QVariantMap &params, const QString &notice = {});
    bool ExecCommand(const QString &sql, BoundValues params, const QString &notice = {}) {
        return ExecCommand(sql, toMap(params), notice);
    }
    // Runs the statements one by one with ExecCommand; at the first failure shows the warning (when
    // not empty) through ShowWarning and returns false.
    bool ExecScript(const QStringList &statements, const QString &warning = {});

    // Creates the tables of the catalogue that the database lacks (see SqlCreateTable.h).
    bool CreateMissingTables();
    // Opens F107; false on any error.
    bool OpenOperatorTable();

    // The message of the last failed operation (empty after a success).
    QString lastError() const { return m_lastError; }

private:
    static QVariantMap toMap(BoundValues values) {
        QVariantMap map;
        for (const auto &[name, value] : values)
            map.insert(name, value);
        return map;
    }
    void setError(const QString &message) { m_lastError = message; }
    void prepareQuery(platform::Query &query, const QString &sql, const QVariantMap &params);
    bool runStatement(const QString &sql, const QString &notice, const std::function<void()> &work);
    QString m_lastError;
};

// The live data module; raises lumvard::Error when none exists.
TFDM &FDM();

} // namespace lumvard
