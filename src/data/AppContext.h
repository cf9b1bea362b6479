#pragma once
// The process-wide record of start-up and login state. The configuration and directory fields are
// filled once by the data module's start-up and never change afterwards; the operator fields are
// written by the login.
#include "platform/Connection.h"

#include <QString>
#include <QtGlobal>

namespace lumvard {

struct AppContextRecord {
    // From the configuration file "Quarn.XIX".
    QString DbName;        // "XDBName": the server database, or the local file name without ".mdb"
    QString DbType;        // "DBType": "SQL2000"/"SQL7" (server database), "Access" (local file)
    QString OrgName;       // "DanWeiMingCheng": printed on titles, receipts and export file names
    QString SuperPassword; // "SuperOperPassword"

    // Directories, each built from ProgramDir.
    QString ProgramDir; // directory of the executable, ending in "/"
    QString TransDir;   // ProgramDir + "Trans" (no trailing separator): table export/import files
    QString BackupDir;  // ProgramDir + "Backup/": database backups
    QString ExcelDir;   // ProgramDir + "Excel/": spreadsheet exports

    // Where the server connection settings are stored: "Software\Tesklo\" + DbName + "\".
    QString SettingsKey;
    // The server reached without a database (database left empty); set for "SQL2000"/"SQL7".
    platform::ConnectionSettings ServerConnection;

    // The logged-in operator.
    QString OperatorCode; // F107_01 as text
    qint32 OperatorId = 0;
    QString OperatorName; // F107_02, or "SuperOper"
    QString OperatorPassword;
    bool LoggedIn = false;

    // The configured database is a server database ("SQL2000" or "SQL7").
    bool isServerDb() const;
    // The configured database is the local file ("Access").
    bool isLocalDb() const;
};

// The one record of the process.
AppContextRecord &AppContext();

// Back to the empty record (tests, and a start-up that is run again).
void resetAppContext();

} // namespace lumvard
