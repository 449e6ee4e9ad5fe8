// Feeds arbitrary shapefile pairs to CShapeFile: opening, reading every
// record and appending one shape must end in a ShapeError at worst.
//
// Input layout: two bytes (little-endian) giving the size n of the index
// file, then n bytes of .shx, then the rest as .shp.

#include "shapes/CMultiPoint.h"
#include "shapes/CPolyLine.h"
#include "shapes/CPolygon.h"
#include "shapes/CShapeFile.h"
#include "shapes/ShapeError.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

namespace {

using namespace trekora;

void writeFile(const QString& path, const char* data, qsizetype size) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(data, size);
}

GeometryObjectPtr shapeFor(std::int32_t type) {
    auto part = std::make_shared<CPart>();
    part->Add(std::make_shared<CPoint>(1, 2));
    part->Add(std::make_shared<CPoint>(3, 4));
    switch (type) {
    case 3: {
        auto line = std::make_shared<CPolyLine>();
        line->Add(part);
        return line;
    }
    case 5: {
        auto polygon = std::make_shared<CPolygon>();
        polygon->Add(part);
        return polygon;
    }
    case 8: {
        auto points = std::make_shared<CMultiPoint>();
        points->Add(std::make_shared<CPoint>(5, 6));
        return points;
    }
    default:
        return std::make_shared<CPoint>(7, 8);
    }
}

void readAll(const QString& shp, bool append) {
    CShapeFile file;
    file.SetFileSpec(CFileName(shp), 0, 0, append);
    const std::int32_t last = std::min<std::int32_t>(file.Count(), 256);
    for (std::int32_t i = 0; i <= last + 1; ++i) {
        try {
            if (auto shape = file.Item(i))
                (void)shape->Left();
        } catch (const ShapeError&) {
        }
    }
    if (append)
        file.Add(shapeFor(file.fileType()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    if (size < 2 || !dir.isValid())
        return 0;
    const qsizetype indexSize = std::min<qsizetype>(data[0] | (data[1] << 8), qsizetype(size) - 2);
    const char* bytes = reinterpret_cast<const char*>(data) + 2;
    const QString shp = dir.filePath(QStringLiteral("f.shp"));
    for (bool append : {false, true}) {
        writeFile(dir.filePath(QStringLiteral("f.shx")), bytes, indexSize);
        writeFile(shp, bytes + indexSize, qsizetype(size) - 2 - indexSize);
        try {
            readAll(shp, append);
        } catch (const ShapeError&) {
        }
    }
    return 0;
}
