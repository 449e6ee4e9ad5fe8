#pragma once

#include <QString>
#include <memory>

class QSettings;

namespace trekora {

// The per-user settings of the application "trekora": INI sections and keys,
// string values, a default given at every read.
class Settings {
public:
    static QString get(const QString& section, const QString& key,
                       const QString& defaultValue = {});
    static void set(const QString& section, const QString& key, const QString& value);
    static bool contains(const QString& section, const QString& key);
    static void remove(const QString& section, const QString& key);
    // Writes pending changes to disk.
    static void sync();

    // Redirects the store to an INI file (tests, private profiles); an empty
    // path returns to the user's own store.
    static void useFile(const QString& iniPath);
    static QString fileName();

private:
    static QSettings& store();
};

} // namespace trekora
