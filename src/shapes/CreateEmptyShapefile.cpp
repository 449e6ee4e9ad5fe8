#include "shapes/CreateEmptyShapefile.h"

#include "core/TextConventions.h"
#include "shapes/ByteOrder.h"
#include "shapes/ShapeNotice.h"

#include <QFile>
#include <QSaveFile>

namespace trekora {

namespace {

std::int32_t typeOfName(const QString& typeName) {
    const QString name = text::trim(typeName).toUpper();
    if (name == QLatin1String("POINT"))
        return 1;
    if (name == QLatin1String("LINE"))
        return 3;
    if (name == QLatin1String("POLYGON"))
        return 5;
    raiseShapeNotice(
        {ShapeNotice::Kind::Message,
         QStringLiteral("The function must be passed a string either Point, Line, or Polygon"),
         QStringLiteral("Programming ERROR"),
         true,
         {}});
    return 0;
}

} // namespace

bool CreateEmptyShapefile(const QString& path, const QString& typeName) {
    QByteArray header(100, '\0');
    bytes::putBigInt32(header.data(), 9994);
    header[27] = 50; // completes the big-endian file length of 50 words
    bytes::putLittleInt32(header.data() + 28, 1000);
    bytes::putLittleInt32(header.data() + 32, typeOfName(typeName));
    bytes::putLittleDouble(header.data() + 36, 0.0);
    bytes::putLittleDouble(header.data() + 44, 0.0);
    bytes::putLittleDouble(header.data() + 52, -1.0);
    bytes::putLittleDouble(header.data() + 60, -1.0);

    // The new file is written beside the old one and renamed over it.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(header) != header.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace trekora
