// lumvard-mkdb PATH.mdb — creates the local database file with the seven tables of the system and
// their indexes. An existing file is never touched.
#include "data/SqlCreateTable.h"
#include "platform/Command.h"
#include "platform/Connection.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

using namespace lumvard;

namespace {

int fail(const QString &message) {
    QTextStream(stderr) << "lumvard-mkdb: " << message << Qt::endl;
    return 1;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 1 || args[0].startsWith(QLatin1Char('-'))) {
        QTextStream(stderr) << "usage: lumvard-mkdb PATH.mdb" << Qt::endl;
        return 2;
    }
    const QString path = args[0];
    if (QFileInfo::exists(path))
        return fail(QStringLiteral("%1 already exists; it is left unchanged").arg(path));

    {
        QFile file(path);
        if (!file.open(QIODevice::NewOnly | QIODevice::WriteOnly)) // an empty file is an empty database
            return fail(QStringLiteral("cannot create %1: %2").arg(path, file.errorString()));
    }

    QString error;
    {
        platform::ConnectionSettings settings;
        settings.engine = platform::Engine::SQLite;
        settings.filePath = path;
        platform::Connection db;
        if (!db.open(settings)) {
            error = db.lastError();
        } else {
            try {
                platform::Transaction tx(db);
                for (const TableEntry &entry : TableCatalogue()) {
                    QStringList statements;
                    BuildCreateStatements(entry.table, platform::Engine::SQLite, statements);
                    for (const QString &sql : statements)
                        platform::Command::run(db, sql);
                }
                tx.commit();
            } catch (const std::exception &e) {
                error = QString::fromStdString(e.what());
            }
            db.close();
        }
    }
    if (!error.isEmpty()) {
        QFile::remove(path); // no half-made database is left behind
        return fail(QStringLiteral("cannot create the tables in %1: %2").arg(path, error));
    }
    QTextStream(stdout) << "created " << path << Qt::endl;
    return 0;
}
