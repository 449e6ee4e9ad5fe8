#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

namespace trekora {

class GpsTable;

// The six boxes of the field-mapping dialog, in box order.
enum class RequiredField { Ident, Comment, Lat, Long, XProj, YProj };
inline constexpr std::array<RequiredField, 6> kBoxOrder = {
    RequiredField::Ident, RequiredField::Comment, RequiredField::Lat,
    RequiredField::Long,  RequiredField::XProj,   RequiredField::YProj};
QString requiredFieldName(RequiredField field); // "ident", "comment", "lat", …

inline const QString kSequentialId = QStringLiteral("Sequential ID");
inline const QString kTodaysDate = QStringLiteral("Today's Date");

// What the dialog shows: which parts are visible, the items of every box and
// the text each box starts with.
struct FieldMappingRequest {
    bool spatialVisible = true;       // the frame with the four coordinate boxes
    bool commentVisible = true;       // the comment box and its label
    std::array<QStringList, 6> items; // per box, in box order
    std::array<QString, 6> texts;     // per box, in box order
    QStringList required;             // required field names, in table order
    QStringList missing;              // required fields the file lacks
};

// The field-mapping dialog: shows the request and returns the text of every
// box after OK, in box order, or std::nullopt after Cancel.
class FieldChooser {
public:
    virtual ~FieldChooser() = default;
    virtual std::optional<std::array<QString, 6>> choose(const FieldMappingRequest& request) = 0;
    // Whether file fields with the names GIS files commonly use are taken
    // for the table's fields before anything is asked (name → ident, ele →
    // altitude, desc → comment, ...), as a user mapping them by hand would.
    virtual bool takesCommonGisNames() const { return false; }
};

// Answers as a user who accepts the suggestions: file fields named like the
// required fields, "Sequential ID" and "Today's Date" for a missing ident or
// comment, and one complete coordinate pair (lat/long, or y_proj/x_proj).
// Without a complete pair it refuses and remembers which fields were missing.
class AcceptingFieldChooser : public FieldChooser {
public:
    std::optional<std::array<QString, 6>> choose(const FieldMappingRequest& request) override;
    bool takesCommonGisNames() const override { return true; }
    // The required fields the last refused request lacked, joined with ", ".
    const QString& refusal() const { return m_refusal; }

private:
    QString m_refusal;
};

// The result of mapping: the table column of every (renamed) file field,
// joined by ";" (empty after Cancel), and the projection state (0 nothing to
// compute, 1 projected from lat/long, 2 lat/long from projected).
struct MappingResult {
    QString columns;
    std::int16_t projectionState = 0;
    // The file's fields that no table column takes, by their names in the file.
    QStringList ignoredFields;
    bool cancelled() const { return columns.isEmpty(); }
};

// Required table fields for a file kind ("txt", "dbf", "shp", "fclass") and record type.
QStringList requiredFields(const QString& fileKind, const QString& recordType);

// Maps the file's fields (";"-joined, rewritten in place) to the table's
// columns, asking `chooser` when a required field is missing. A chooser that
// takes common GIS names has them renamed to the table's fields first.
MappingResult get_Required_Fields(QString& fileFieldList, const QString& fileKind,
                                  const QString& recordType, const GpsTable& table,
                                  FieldChooser& chooser);

} // namespace trekora
