// lumvard-config: writes and reads the configuration file "Quarn.XIX" that the program only reads.
#include "foundation/Errors.h"
#include "foundation/XDias.h"
#include "foundation/XIniDec.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>

using namespace lumvard;

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

const char *const Usage =
    "用法:\n"
    "  lumvard-config FILE create [--force]   新建空的配置文件 (已存在时需要 --force)\n"
    "  lumvard-config FILE set KEY VALUE      设置键值 (键不区分大小写)\n"
    "  lumvard-config FILE get KEY            显示键值; 键不存在时退出码为 1\n"
    "  lumvard-config FILE unset KEY          删除键\n"
    "  lumvard-config FILE list               列出全部键值 (SuperOperPassword 显示为 ******)\n"
    "  lumvard-config --help\n"
    "FILE 为目录时指其中的 Quarn.XIX。系统读取的键: XDBName, DBType (SQL2000, SQL7, Access),\n"
    "DanWeiMingCheng, SuperOperPassword, ODBCDSN, DanWeiDaiMa。\n"
    "退出码: 0 成功, 1 失败, 2 用法错误。\n";

QString configPath(const QString &arg) {
    if (arg.endsWith(QLatin1Char('/')) || QFileInfo(arg).isDir())
        return QFileInfo(arg).filePath() +
               (arg.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) +
               QStringLiteral("Quarn.XIX");
    return arg;
}

// Loads an existing file; a file that cannot be read is never overwritten by a change.
bool load(TXIni &ini, const QString &path) {
    if (!QFile::exists(path)) {
        ShowWarning(QStringLiteral("配置文件不存在: %1 (请先用 create 新建)").arg(path));
        return false;
    }
    ini.setFileName(path);
    if (ini.LoadResult() < 0) {
        ShowWarning(QStringLiteral("配置文件无法读取或已损坏: %1").arg(path));
        return false;
    }
    return true;
}

// Writes next to the file and renames over it, so an interrupted write leaves the old file whole.
void save(TXIni &ini, const QString &path) {
    const QString temp = path + QStringLiteral(".tmp");
    try {
        ini.Save(temp);
    } catch (...) {
        QFile::remove(temp);
        throw;
    }
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(temp);
        throw Error(QStringLiteral("无法写入配置文件: %1").arg(path));
    }
}

int run(const QStringList &args) {
    QTextStream out(stdout);
    if (args.size() == 1 && (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h"))) {
        out << QString::fromUtf8(Usage);
        return ExitOk;
    }
    if (args.size() < 2) {
        QTextStream(stderr) << QString::fromUtf8(Usage);
        return ExitUsage;
    }
    const QString path = configPath(args[0]);
    const QString command = args[1];
    const auto arity = [&](qsizetype n) {
        if (args.size() == n) return true;
        QTextStream(stderr) << QString::fromUtf8(Usage);
        return false;
    };

    TXIni ini;
    if (command == QLatin1String("create")) {
        const bool force = args.size() == 3 && args[2] == QLatin1String("--force");
        if (args.size() != 2 && !force) {
            QTextStream(stderr) << QString::fromUtf8(Usage);
            return ExitUsage;
        }
        if (QFile::exists(path) && !force) {
            ShowWarning(QStringLiteral("配置文件已存在: %1 (覆盖请加 --force)").arg(path));
            return ExitFailed;
        }
        ini.CreateEmpty();
        save(ini, path);
        return ExitOk;
    }
    if (command == QLatin1String("set")) {
        if (!arity(4)) return ExitUsage;
        if (args[2].trimmed().isEmpty()) {
            ShowWarning(QStringLiteral("键不能为空!"));
            return ExitFailed;
        }
        if (!load(ini, path)) return ExitFailed;
        ini.WriteValue(args[2], args[3]);
        save(ini, path);
        return ExitOk;
    }
    if (command == QLatin1String("unset")) {
        if (!arity(3)) return ExitUsage;
        if (!load(ini, path)) return ExitFailed;
        if (!ini.RemoveValue(args[2])) {
            ShowWarning(QStringLiteral("没有这个键: %1").arg(args[2]));
            return ExitFailed;
        }
        save(ini, path);
        return ExitOk;
    }
    if (command == QLatin1String("get")) {
        if (!arity(3)) return ExitUsage;
        if (!load(ini, path)) return ExitFailed;
        const TMemTable &md = ini.MD();
        if (md.findRow(md.fieldIndex(QStringLiteral("IDX")), args[2]) < 0) {
            ShowWarning(QStringLiteral("没有这个键: %1").arg(args[2]));
            return ExitFailed;
        }
        out << ini.ReadValue(args[2]) << Qt::endl;
        return ExitOk;
    }
    if (command == QLatin1String("list")) {
        if (!arity(2)) return ExitUsage;
        if (!load(ini, path)) return ExitFailed;
        const TMemTable &md = ini.MD();
        const int idx = md.fieldIndex(QStringLiteral("IDX"));
        const int x = md.fieldIndex(QStringLiteral("X"));
        for (int row = 0; row < md.rowCount(); ++row) {
            const QString key = md.text(row, idx);
            const bool secret = key.compare(QLatin1String("SuperOperPassword"), Qt::CaseInsensitive) == 0;
            out << key << QLatin1Char('=') << (secret ? QStringLiteral("******") : md.text(row, x))
                << Qt::endl;
        }
        return ExitOk;
    }
    QTextStream(stderr) << QString::fromUtf8(Usage);
    return ExitUsage;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    try {
        return run(args);
    } catch (const Error &e) {
        ShowWarning(e.message());
        return ExitFailed;
    } catch (const std::exception &e) {
        ShowWarning(QString::fromLocal8Bit(e.what()));
        return ExitFailed;
    }
}
