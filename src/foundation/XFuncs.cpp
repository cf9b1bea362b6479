#include "foundation/XFuncs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>
#include <cctype>

namespace lumvard {

namespace {

QString &programDirValue() {
    static QString dir;
    return dir;
}

QString ownExecutable() {
    if (QCoreApplication::instance()) return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
}

QString withOneSlash(QString dir) {
    while (dir.size() > 1 && dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
    return dir;
}

} // namespace

QString programDirFor(const QString &executablePath) {
    const qsizetype cut = executablePath.lastIndexOf(QLatin1Char('/'));
    if (cut < 0) return QStringLiteral("./");
    return withOneSlash(executablePath.left(cut + 1));
}

bool initProgramDir(const QString &executablePath) {
    const QString overrideDir = qEnvironmentVariable("LUMVARD_PROGRAM_DIR");
    QString dir;
    if (!overrideDir.isEmpty()) {
        dir = withOneSlash(overrideDir);
        QDir().mkpath(dir);
    } else {
        dir = programDirFor(executablePath.isEmpty() ? ownExecutable() : executablePath);
    }
    // A relative directory would point elsewhere once it is the working directory; "./" stays valid.
    if (dir != QLatin1String("./") && QDir::isRelativePath(dir))
        dir = withOneSlash(QDir::cleanPath(QDir::current().absoluteFilePath(dir)));
    programDirValue() = dir;
    if (!QDir::setCurrent(dir)) return false;
    return QDir().mkpath(QStringLiteral("Temp"));
}

QString ProgramDir() {
    return programDirValue();
}

void setProgramDir(const QString &dir) {
    programDirValue() = dir;
}

QString scramble(const QString &text) {
    QString out;
    out.reserve(text.size() + 1);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t position = char16_t((i + 1) % 256);
        out += QChar(char16_t(text.at(i).unicode() ^ position ^ ScrambleKey));
    }
    out += QChar(ScrambleKey);
    return out;
}

QString unscramble(const QString &stored) {
    QString out;
    for (qsizetype i = 0; i + 1 < stored.size(); ++i) {
        const char16_t position = char16_t((i + 1) % 256);
        out += QChar(char16_t(stored.at(i).unicode() ^ position ^ ScrambleKey));
    }
    return out;
}

namespace {

// The settings file in memory: sections of name/value pairs, matched ignoring letter case as the
// registry does. Key paths and names are percent-encoded in the file; values are the hex of their
// UTF-16LE code units, so any character (also the control characters of scrambled text) survives.
struct SettingsFile {
    struct Value {
        QString name;
        QString value;
    };
    struct Section {
        QString key;
        QList<Value> values;
    };
    QList<Section> sections;

    static QString normalKey(const QString &key) {
        QString k = key;
        while (k.startsWith(QLatin1Char('\\')))
            k.remove(0, 1);
        while (k.endsWith(QLatin1Char('\\')))
            k.chop(1);
        return k;
    }
    static QByteArray encodeName(const QString &s) { return QUrl::toPercentEncoding(s, "\\ "); }
    static QString decodeName(const QByteArray &s) { return QUrl::fromPercentEncoding(s); }
    static QByteArray encodeValue(const QString &v) {
        QByteArray raw;
        raw.reserve(v.size() * 2);
        for (const QChar c : v) {
            raw.append(char(c.unicode() & 0xFF));
            raw.append(char(c.unicode() >> 8));
        }
        return raw.toHex();
    }
    static bool decodeValue(const QByteArray &hex, QString &out) {
        if (hex.size() % 4 != 0) return false;
        for (const char c : hex)
            if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
        const QByteArray raw = QByteArray::fromHex(hex);
        out.clear();
        for (qsizetype i = 0; i + 1 < raw.size(); i += 2)
            out += QChar(char16_t(quint8(raw[i]) | (quint8(raw[i + 1]) << 8)));
        return true;
    }

    bool read(const QString &path) {
        sections.clear();
        QFile f(path);
        if (!f.exists()) return true;
        if (!f.open(QIODevice::ReadOnly)) return false;
        qsizetype current = -1; // an index: appending sections may move them
        while (!f.atEnd()) {
            QByteArray line = f.readLine();
            while (line.endsWith('\n') || line.endsWith('\r'))
                line.chop(1);
            if (line.isEmpty() || line.startsWith(';') || line.startsWith('#')) continue;
            if (line.startsWith('[') && line.endsWith(']')) {
                const QString key = normalKey(decodeName(line.mid(1, line.size() - 2)));
                section(key);
                current = indexOf(key);
                continue;
            }
            const qsizetype eq = line.indexOf('=');
            QString value;
            if (current >= 0 && eq > 0 && decodeValue(line.mid(eq + 1), value))
                sections[current].values.append(Value{decodeName(line.left(eq)), value});
        }
        return true;
    }

    // The section of the key, created when missing.
    Section &section(const QString &key) {
        const QString k = normalKey(key);
        for (Section &s : sections)
            if (s.key.compare(k, Qt::CaseInsensitive) == 0) return s;
        sections.append(Section{k, {}});
        return sections.last();
    }
    qsizetype indexOf(const QString &key) const {
        const QString k = normalKey(key);
        for (qsizetype i = 0; i < sections.size(); ++i)
            if (sections[i].key.compare(k, Qt::CaseInsensitive) == 0) return i;
        return -1;
    }
    bool hasSection(const QString &key) const { return indexOf(key) >= 0; }
    const Value *find(const QString &key, const QString &name) const {
        const QString k = normalKey(key);
        for (const Section &s : sections) {
            if (s.key.compare(k, Qt::CaseInsensitive) != 0) continue;
            for (const Value &v : s.values)
                if (v.name.compare(name, Qt::CaseInsensitive) == 0) return &v;
        }
        return nullptr;
    }
    void set(const QString &key, const QString &name, const QString &value) {
        Section &s = section(key);
        for (Value &v : s.values)
            if (v.name.compare(name, Qt::CaseInsensitive) == 0) {
                v.value = value;
                return;
            }
        s.values.append(Value{name, value});
    }

    bool write(const QString &path, QFile::Permissions permissions) const {
        QSaveFile f(path);
        if (!f.open(QIODevice::WriteOnly)) return false;
        QByteArray out = "; Lumvard settings: [key path], name=hex of UTF-16LE (see docs/config-format.md)\n";
        for (const Section &s : sections) {
            out += '[' + encodeName(s.key) + "]\n";
            for (const Value &v : s.values)
                out += encodeName(v.name) + '=' + encodeValue(v.value) + '\n';
        }
        f.write(out);
        if (!f.commit()) return false;
        return QFile::setPermissions(path, permissions);
    }
};

bool isMachineWideWritable() {
    const QFileInfo file(SettingsStore::machineWideFile());
    if (file.exists()) return file.isWritable();
    const QFileInfo dir(file.absolutePath());
    if (dir.exists()) return dir.isWritable();
    return QFileInfo(dir.absolutePath()).isWritable();
}

constexpr QFile::Permissions MachinePermissions =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
constexpr QFile::Permissions UserPermissions = QFile::ReadOwner | QFile::WriteOwner;

// Read-modify-write of the file under a lock, so two programs saving at once lose nothing.
template <typename Change> bool modify(const QString &path, Change change) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(5000)) return false;
    SettingsFile file;
    if (!file.read(path)) return false;
    if (!change(file)) return true; // nothing to write
    const bool machine = QFileInfo(path).absoluteFilePath() == SettingsStore::machineWideFile();
    return file.write(path, machine ? MachinePermissions : UserPermissions);
}

} // namespace

SettingsStore::SettingsStore() {
    const QString overridePath = qEnvironmentVariable("LUMVARD_SETTINGS_FILE");
    if (!overridePath.isEmpty()) {
        m_filePath = overridePath;
    } else if (isMachineWideWritable()) {
        m_filePath = machineWideFile();
    } else {
        m_filePath = perUserFile();
        m_fallbackPath = machineWideFile();
    }
}

SettingsStore::SettingsStore(const QString &filePath)
    : m_filePath(filePath) {}

QString SettingsStore::machineWideFile() {
    return QStringLiteral("/etc/lumvard/settings.ini");
}

QString SettingsStore::perUserFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/lumvard/settings.ini");
}

QString SettingsStore::settingsKeyFor(const QString &dbName) {
    return QStringLiteral("Software\\Tesklo\\") + dbName + QStringLiteral("\\");
}

bool SettingsStore::openKey(const QString &key) {
    return modify(m_filePath, [&](SettingsFile &file) {
        if (file.hasSection(key)) return false;
        file.section(key);
        return true;
    });
}

QString SettingsStore::readString(const QString &key, const QString &name) {
    openKey(key); // as the registry's open-or-create; a read-only file still reads
    SettingsFile file;
    if (file.read(m_filePath)) {
        if (const auto *v = file.find(key, name)) return v->value;
    }
    if (!m_fallbackPath.isEmpty() && file.read(m_fallbackPath)) {
        if (const auto *v = file.find(key, name)) return v->value;
    }
    return {};
}

bool SettingsStore::writeString(const QString &key, const QString &name, const QString &value) {
    return modify(m_filePath, [&](SettingsFile &file) {
        file.set(key, name, value);
        return true;
    });
}

QString SettingsStore::readScrambled(const QString &key, const QString &name) {
    return unscramble(readString(key, name));
}

bool SettingsStore::writeScrambled(const QString &key, const QString &name, const QString &value) {
    return writeString(key, name, scramble(value));
}

} // namespace lumvard
