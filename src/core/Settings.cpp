#include "core/Settings.h"

#include <QSettings>
#include <QStringList>

namespace trekora {

namespace {

std::unique_ptr<QSettings>& storage() {
    static std::unique_ptr<QSettings> settings;
    return settings;
}

QString keyPath(const QString& section, const QString& key) {
    return section + '/' + key;
}

} // namespace

QSettings& Settings::store() {
    auto& settings = storage();
    if (!settings)
        settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                               "trekora", "trekora");
    return *settings;
}

QString Settings::get(const QString& section, const QString& key, const QString& defaultValue) {
    const QVariant value = store().value(keyPath(section, key));
    if (!value.isValid())
        return defaultValue;
    // A hand-edited INI value with unquoted commas reads back as a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(',');
    return value.toString();
}

void Settings::set(const QString& section, const QString& key, const QString& value) {
    store().setValue(keyPath(section, key), value);
}

bool Settings::contains(const QString& section, const QString& key) {
    return store().contains(keyPath(section, key));
}

void Settings::remove(const QString& section, const QString& key) {
    store().remove(keyPath(section, key));
}

void Settings::sync() {
    store().sync();
}

void Settings::useFile(const QString& iniPath) {
    auto& settings = storage();
    if (settings)
        settings->sync();
    if (iniPath.isEmpty())
        settings.reset();
    else
        settings = std::make_unique<QSettings>(iniPath, QSettings::IniFormat);
}

QString Settings::fileName() {
    return store().fileName();
}

} // namespace trekora
