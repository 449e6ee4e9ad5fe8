#include "table/FieldSettings.h"

#include "core/Settings.h"
#include "table/DataGrid.h"
#include "table/FieldCatalogue.h"
#include "table/GpsTable.h"

#include <QSet>

namespace trekora::FieldSettings {

namespace {
const QString kSection = QStringLiteral("fields");
const QString kRequired =
    QStringLiteral("type,ident,lat,long,y_proj,x_proj,new_seg,rnumber,rident,rcmnt");
} // namespace

QString defaultValue(const QString& typeKey) {
    QStringList items;
    for (const QString& name : fieldNames(typeKey))
        items << name + QStringLiteral(":1");
    return items.join(',');
}

QString stored(const QString& typeKey) {
    return Settings::get(kSection, typeKey);
}

bool isUsable(const QString& value) {
    return value.contains(QLatin1String("x_proj")) && value.contains(QLatin1String("y_proj")) &&
           value.contains(QLatin1String("filename"));
}

bool namesEveryFieldOnce(const QString& typeKey, const QString& value) {
    const QStringList names = fieldNames(typeKey);
    const QStringList items = value.split(',');
    if (items.size() != names.size())
        return false;
    QSet<QString> seen;
    for (const QString& item : items) {
        // Column lookups ignore case, so "Lat" still finds the lat column.
        const QString name = item.section(':', 0, 0).toLower();
        if (!names.contains(name) || seen.contains(name))
            return false;
        seen.insert(name);
    }
    return true;
}

QString SetFieldSettings(const QString& typeKey, QStringList* replaced) {
    for (const QString& type : RecordType::all()) {
        if (type == typeKey)
            Settings::set(kSection, type, QString());
        const QString value = Settings::get(kSection, type);
        if (value.isEmpty() || !namesEveryFieldOnce(type, value)) {
            Settings::set(kSection, type, defaultValue(type));
            if (!value.isEmpty() && replaced)
                replaced->append(type);
        }
    }
    return Settings::get(kSection, QStringLiteral("track_area"), QStringLiteral("0"));
}

void SaveFields(const QString& typeKey, const DataGrid& grid) {
    QStringList items;
    for (const QString& name : fieldNames(typeKey)) {
        const int c = GpsTable::FindColumn(name, grid);
        // A field the table does not show as a column keeps being visible.
        const bool visible = c < 0 || grid.colWidth(c) != 0;
        items << name + (visible ? QStringLiteral(":1") : QStringLiteral(":0"));
    }
    Settings::set(kSection, typeKey, items.join(','));
}

bool isRequiredField(const QString& name) {
    return kRequired.contains(name);
}

} // namespace trekora::FieldSettings
