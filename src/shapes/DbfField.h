#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace trekora {

// One field of a dBASE table as the table routines use it: its descriptor
// values and where its text starts within a record (after the deletion flag).
struct DbfField {
    QString name;      // as stored, zero bytes dropped
    QString matchName; // trimmed and upper-cased, for lookups by name
    char type = 'C';   // the descriptor's type letter
    std::uint8_t length = 0;
    std::uint8_t decimals = 0;
    qsizetype offset = 0; // within the record, the deletion flag being byte 0

    // Numbers are written right-aligned; every other type as text.
    bool isNumeric() const { return type == 'N' || type == 'F'; }

    // The field spec text: name, type letter, length and decimals.
    QString spec() const;

    // The 32-byte descriptor for this field.
    QByteArray descriptor() const;
    // Reads a 32-byte descriptor.
    static DbfField fromDescriptor(const char* bytes);

    // Parses a field spec "name,type,length[,decimals[,...]]". The name is
    // upper-cased and cut to the 10 characters the format stores; `strictType`
    // makes only the type text "C" mean character (else its first letter
    // decides). No value when the length or decimals are not numbers in
    // 0 … 255 or elements are missing.
    static std::optional<DbfField> fromSpec(const QString& spec, bool strictType);
};

} // namespace trekora
