#include "shapes/DbfField.h"

#include "core/AnsiCodePage.h"
#include "core/TextConventions.h"

#include <QStringList>

namespace trekora {

namespace {

constexpr qsizetype kNameBytes = 10;

std::optional<std::uint8_t> byteValue(const QString& s) {
    if (!text::isNumeric(s))
        return std::nullopt;
    const auto value = text::toInt32(text::val(QString(s).remove(',')));
    if (!value || *value < 0 || *value > 255)
        return std::nullopt;
    return static_cast<std::uint8_t>(*value);
}

} // namespace

QString DbfField::spec() const {
    return name + ',' + QChar::fromLatin1(type) + ',' + QString::number(length) + ',' +
           QString::number(decimals);
}

QByteArray DbfField::descriptor() const {
    QByteArray d(32, '\0');
    const QByteArray nameBytes = ansi::fromUnicode(name).left(kNameBytes);
    std::copy(nameBytes.begin(), nameBytes.end(), d.begin());
    d[11] = type;
    d[16] = static_cast<char>(length);
    d[17] = static_cast<char>(decimals);
    return d;
}

DbfField DbfField::fromDescriptor(const char* bytes) {
    DbfField field;
    QByteArray nameBytes(bytes, kNameBytes);
    nameBytes.replace('\0', QByteArray());
    field.name = ansi::toUnicode(nameBytes);
    field.matchName = text::trim(field.name).toUpper();
    field.type = bytes[11];
    field.length = static_cast<std::uint8_t>(bytes[16]);
    field.decimals = static_cast<std::uint8_t>(bytes[17]);
    return field;
}

std::optional<DbfField> DbfField::fromSpec(const QString& spec, bool strictType) {
    const QStringList parts = spec.split(',');
    if (parts.size() < 3)
        return std::nullopt;
    DbfField field;
    field.name = parts[0].toUpper().left(kNameBytes);
    field.matchName = text::trim(field.name).toUpper();
    const QString type = parts[1].toUpper();
    const bool character = strictType ? type == QLatin1String("C") : type.startsWith('C');
    field.type = character ? 'C' : 'N';
    const auto length = byteValue(parts[2]);
    if (!length)
        return std::nullopt;
    field.length = *length;
    if (parts.size() > 3) {
        const auto decimals = byteValue(parts[3]);
        if (!decimals)
            return std::nullopt;
        field.decimals = *decimals;
    }
    return field;
}

} // namespace trekora
