#pragma once
// Program directory and the machine's connection settings.
//
// Program directory: the executable's directory, ending in exactly one '/', made the working
// directory at start, with "Temp" under it. The environment variable LUMVARD_PROGRAM_DIR, when set
// and not empty, names the directory instead (tests and the tools use it).
//
// Connection settings: string values under key paths such as "Software\\Tesklo\\<db>\\", kept in
// one settings file instead of a registry. The file is LUMVARD_SETTINGS_FILE when that is set;
// otherwise the machine-wide /etc/lumvard/settings.ini when it (or its directory) can be written,
// else the per-user $XDG_CONFIG_HOME/lumvard/settings.ini (~/.config/...); reads that miss in the
// per-user file fall back to the machine-wide one. Format: docs/config-format.md.
#include <QString>

namespace lumvard {

// Computes the program directory from the executable's path ("./" when the path has no directory
// part; LUMVARD_PROGRAM_DIR wins), makes it the working directory and creates "Temp" under it.
// An empty path means this process's executable. A relative directory other than "./" is made
// absolute first, so that it stays valid after the change of working directory. Returns false when the
// directory could not be entered or "Temp" not created; ProgramDir() is set either way.
bool initProgramDir(const QString &executablePath = QString());
// The program directory ending in exactly one '/'; empty before initProgramDir.
QString ProgramDir();
// Sets the value ProgramDir() returns, touching nothing on disk (tests put back what they changed).
void setProgramDir(const QString &dir);
// The directory part of a path, normalised to end in exactly one '/' ("./" when there is none).
QString programDirFor(const QString &executablePath);

// The fixed one-byte key of the scrambling.
constexpr char16_t ScrambleKey = 0x6B;

// Each character XOR (position mod 256, positions from 1) XOR ScrambleKey, then ScrambleKey itself.
QString scramble(const QString &text);
// The reverse for stored text; the last character is dropped. Empty stays empty.
QString unscramble(const QString &stored);

class SettingsStore {
public:
    // The file chosen as described above.
    SettingsStore();
    // A store on the given file only (no machine-wide fallback).
    explicit SettingsStore(const QString &filePath);

    QString filePath() const { return m_filePath; }
    static QString machineWideFile();
    static QString perUserFile();

    // Creates the key when missing. False when the file cannot be written.
    bool openKey(const QString &key);
    // The value, or the empty text when the key or value is missing. Opens (creates) the key.
    QString readString(const QString &key, const QString &name);
    bool writeString(const QString &key, const QString &name, const QString &value);
    // Connection settings are stored scrambled.
    QString readScrambled(const QString &key, const QString &name);
    bool writeScrambled(const QString &key, const QString &name, const QString &value);

    // "Software\\Tesklo\\" + dbName + "\\": where a database's connection settings live.
    static QString settingsKeyFor(const QString &dbName);

private:
    QString m_filePath;
    QString m_fallbackPath; // machine-wide file read when the chosen file lacks a value
};

} // namespace lumvard
