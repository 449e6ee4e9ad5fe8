#include "io/FieldMapping.h"

#include "core/TextConventions.h"
#include "table/FieldCatalogue.h"
#include "table/GpsTable.h"

namespace trekora {

namespace {

int boxIndex(RequiredField field) {
    return int(field);
}

bool hasEntry(const QStringList& entries, const QString& name) {
    for (const QString& entry : entries)
        if (text::sameText(entry, name))
            return true;
    return false;
}

// Renames whole entries: a text replacement on the joined list would also
// rewrite other fields that merely contain the chosen name ("DAY" for "Y").
void renameEntries(QStringList& entries, const QString& from, const QString& to,
                   Qt::CaseSensitivity cs) {
    for (QString& entry : entries)
        if (entry.compare(from, cs) == 0)
            entry = to;
}

// File field names that GIS files commonly use for the table's fields, each
// with the table fields it may stand for, the first present one taken.
struct GisName {
    const char* file;
    std::array<const char*, 2> table;
};
constexpr GisName kGisNames[] = {
    {"name", {"ident", nullptr}},
    {"ele", {"altitude", "alt"}},
    {"elevation", {"altitude", "alt"}},
    {"z", {"altitude", "alt"}},
    {"desc", {"comment", nullptr}},
    {"cmt", {"comment", nullptr}},
    {"description", {"comment", nullptr}},
    {"sym", {"symbol", nullptr}},
    {"datetime", {"time", nullptr}},
    {"latitude", {"lat", nullptr}},
    {"longitude", {"long", nullptr}},
    {"lon", {"long", nullptr}},
    {"lng", {"long", nullptr}},
};

// Renames entries with a common GIS name to the table field they stand for,
// unless the file has a field of that name already or the table lacks it.
void takeCommonGisNames(QStringList& entries, const GpsTable& table) {
    for (QString& entry : entries) {
        if (table.FindColumn(entry) > 0)
            continue;
        for (const GisName& alias : kGisNames) {
            if (entry.compare(QLatin1String(alias.file), Qt::CaseInsensitive) != 0)
                continue;
            for (const char* target : alias.table) {
                const QString name = target ? QString::fromLatin1(target) : QString();
                if (!name.isEmpty() && table.FindColumn(name) > 0 && !hasEntry(entries, name)) {
                    entry = name;
                    break;
                }
            }
            break;
        }
    }
}

FieldMappingRequest buildRequest(const QStringList& entries, const QString& fileKind,
                                 const QString& recordType) {
    FieldMappingRequest request;
    request.spatialVisible =
        fileKind != QLatin1String("shp") && fileKind != QLatin1String("fclass");
    request.commentVisible = recordType == RecordType::Waypoint;
    request.required = requiredFields(fileKind, recordType);
    // A required field is present when the file has a field of that name.
    for (const QString& name : request.required)
        if (!hasEntry(entries, name))
            request.missing << name;
    for (RequiredField field : kBoxOrder) {
        const int box = boxIndex(field);
        const QString tag = requiredFieldName(field);
        QStringList items = entries;
        QString text;
        if (field == RequiredField::Ident) {
            items.prepend(kSequentialId);
            text = kSequentialId;
        } else if (field == RequiredField::Comment) {
            items.prepend(kTodaysDate);
            text = kTodaysDate;
        }
        for (const QString& entry : entries)
            if (text::sameText(entry, tag))
                text = entry;
        request.items[size_t(box)] = items;
        request.texts[size_t(box)] = text;
    }
    return request;
}

std::int16_t projectionState(const QStringList& required, const std::array<QString, 6>& choice) {
    auto chosen = [&](RequiredField field) {
        return required.contains(requiredFieldName(field)) &&
               !choice[size_t(boxIndex(field))].isEmpty();
    };
    std::int16_t state = 0;
    if (chosen(RequiredField::Lat) && chosen(RequiredField::Long))
        state = 1;
    if (chosen(RequiredField::YProj) && chosen(RequiredField::XProj))
        state = state == 0 ? 2 : 0;
    return state;
}

} // namespace

QString requiredFieldName(RequiredField field) {
    switch (field) {
    case RequiredField::Ident:
        return QStringLiteral("ident");
    case RequiredField::Comment:
        return QStringLiteral("comment");
    case RequiredField::Lat:
        return QStringLiteral("lat");
    case RequiredField::Long:
        return QStringLiteral("long");
    case RequiredField::XProj:
        return QStringLiteral("x_proj");
    case RequiredField::YProj:
        return QStringLiteral("y_proj");
    }
    return {};
}

QStringList requiredFields(const QString& fileKind, const QString& recordType) {
    const bool waypoint = recordType == RecordType::Waypoint;
    if (fileKind == QLatin1String("shp") || fileKind == QLatin1String("fclass"))
        return waypoint ? QStringList{"ident", "comment"} : QStringList{};
    if (waypoint)
        return {"ident", "comment", "lat", "long", "y_proj", "x_proj"};
    return {"ident", "lat", "long", "y_proj", "x_proj"};
}

MappingResult get_Required_Fields(QString& fileFieldList, const QString& fileKind,
                                  const QString& recordType, const GpsTable& table,
                                  FieldChooser& chooser) {
    QStringList entries = text::split(fileFieldList, QStringLiteral(";"));
    const QStringList original = entries;
    if (chooser.takesCommonGisNames()) {
        takeCommonGisNames(entries, table);
        fileFieldList = entries.join(';');
    }
    const FieldMappingRequest request = buildRequest(entries, fileKind, recordType);
    MappingResult result;
    if (!request.missing.isEmpty()) {
        const auto choice = chooser.choose(request);
        if (!choice)
            return {};
        result.projectionState = projectionState(request.required, *choice);
        for (RequiredField field : kBoxOrder) {
            const QString name = requiredFieldName(field);
            if (!request.required.contains(name))
                continue;
            const QString& c = (*choice)[size_t(boxIndex(field))];
            if (c == kSequentialId)
                renameEntries(entries, QStringLiteral("ident"), QStringLiteral("Id"),
                              Qt::CaseInsensitive);
            else if (c == kTodaysDate)
                renameEntries(entries, QStringLiteral("comment"), QStringLiteral("cmt"),
                              Qt::CaseInsensitive);
            else if (!c.isEmpty())
                renameEntries(entries, c, name, Qt::CaseSensitive);
        }
        fileFieldList = entries.join(';');
    }
    QStringList columns;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const int column = table.FindColumn(entries[i]);
        columns << QString::number(column);
        if (column < 1 && i < original.size())
            result.ignoredFields << original[i];
    }
    result.columns = columns.join(';');
    return result;
}

std::optional<std::array<QString, 6>>
AcceptingFieldChooser::choose(const FieldMappingRequest& request) {
    std::array<QString, 6> texts = request.texts;
    auto text = [&](RequiredField field) -> QString& { return texts[size_t(boxIndex(field))]; };
    const bool needsCoordinates = request.required.contains(QStringLiteral("lat"));
    if (!needsCoordinates)
        return texts;
    const bool geographic =
        !text(RequiredField::Lat).isEmpty() && !text(RequiredField::Long).isEmpty();
    const bool projected =
        !text(RequiredField::YProj).isEmpty() && !text(RequiredField::XProj).isEmpty();
    if (!geographic && !projected) {
        m_refusal = request.missing.join(QStringLiteral(", "));
        return std::nullopt;
    }
    // One complete pair decides; a half pair of the other kind is not used.
    if (!geographic) {
        text(RequiredField::Lat).clear();
        text(RequiredField::Long).clear();
    }
    if (!projected) {
        text(RequiredField::YProj).clear();
        text(RequiredField::XProj).clear();
    }
    return texts;
}

} // namespace trekora
