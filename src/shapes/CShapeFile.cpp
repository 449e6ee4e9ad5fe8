#include "shapes/CShapeFile.h"

#include "core/TextConventions.h"
#include "shapes/ByteOrder.h"
#include "shapes/CMultiPoint.h"
#include "shapes/CPolyLine.h"
#include "shapes/CPolygon.h"
#include "shapes/ShapeError.h"

#include <QDir>
#include <QFileInfo>
#include <limits>
#include <vector>

namespace trekora {

namespace {

constexpr std::int32_t kFileCode = 9994;
constexpr std::int32_t kVersion = 1000;
constexpr qint64 kHeaderSize = 100;
constexpr qint64 kIndexEntrySize = 8;
constexpr qint64 kRecordHeaderSize = 8;
// Collected records are written once they exceed this size.
constexpr qsizetype kPendingLimit = 256 * 1024;
constexpr std::int32_t kMaxWords = std::numeric_limits<std::int32_t>::max();

const char* const kItemSource = "CShapeFile::Item";

ShapeError damaged(const QString& detail) {
    return ShapeError(shape_errors::kDamagedRecord, QString::fromLatin1(kItemSource),
                      QStringLiteral("The shp file record is damaged: ") + detail);
}

ShapeError offsetBeyondMain() {
    return ShapeError(shape_errors::kOffsetBeyondMain, QString::fromLatin1(kItemSource),
                      QStringLiteral("The offset read from index file is larger then the "
                                     "mainfile size"));
}

// Stores the record's box (Xmin, Ymin, Xmax, Ymax at byte 4 of the content)
// directly into the shape's extent.
template <class Shape> void readBox(Shape& shape, const char* content) {
    shape.SetLeft(bytes::littleDouble(content + 4));
    shape.SetBottom(bytes::littleDouble(content + 12));
    shape.SetRight(bytes::littleDouble(content + 20));
    shape.SetTop(bytes::littleDouble(content + 28));
}

ShapeError pastEnd() {
    return ShapeError(shape_errors::kInputPastEnd, QString::fromLatin1(kItemSource),
                      QStringLiteral("Input past end of file"));
}

ShapeError fileError(std::int32_t number, const char* source, const QFile& file) {
    return ShapeError(number, QString::fromLatin1(source),
                      file.errorString() + QStringLiteral(": ") + file.fileName());
}

// The existing regular file whose name matches `path` ignoring case, or an
// empty text when there is none.
QString findExisting(const QString& path) {
    const QFileInfo info(path);
    if (info.isFile())
        return path;
    const QDir dir = info.absoluteDir();
    const QStringList names = dir.entryList({}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names)
        if (name.compare(info.fileName(), Qt::CaseInsensitive) == 0)
            return dir.filePath(name);
    return {};
}

QByteArray newHeader(std::int32_t shapeType) {
    QByteArray header(kHeaderSize, '\0');
    bytes::putBigInt32(header.data(), kFileCode);
    bytes::putBigInt32(header.data() + 24, 50);
    bytes::putLittleInt32(header.data() + 28, kVersion);
    bytes::putLittleInt32(header.data() + 32, shapeType);
    return header;
}

} // namespace

CShapeFile::~CShapeFile() {
    try {
        Flush();
    } catch (const ShapeError&) {
        // Nothing can be reported from here; writers that must know call Flush().
    }
    close();
}

void CShapeFile::close() noexcept {
    m_mainReader.detach();
    m_indexReader.detach();
    m_mainFile.close();
    m_indexFile.close();
    m_mainPending.clear();
    m_indexPending.clear();
    m_headersDirty = false;
}

// ---- opening and creating -------------------------------------------------

void CShapeFile::SetFileSpec(const CFileName& fileSpec, std::int32_t status, std::int32_t shapeType,
                             bool append) {
    const char* source = "C_ShapeFile::SetFileSpec";
    if (m_mainFile.isOpen() || m_indexFile.isOpen()) {
        Flush();
        close();
    }
    CFileName name;
    name.SetFileSpec(fileSpec.GetFileSpec());
    if (status != 0 && status != CREATEIT)
        throw ShapeError(shape_errors::kInvalidCall, QString::fromLatin1(source),
                         QStringLiteral("Invalid procedure call or argument"));
    name.SetExtension(QStringLiteral("shp"));
    QString mainPath = name.GetFileSpec();
    name.SetExtension(QStringLiteral("shx"));
    QString indexPath = name.GetFileSpec();

    for (QString* path : {&mainPath, &indexPath}) {
        const QString existing = findExisting(*path);
        if (status == 0) {
            if (existing.isEmpty())
                throw ShapeError(shape_errors::kFileMissing, QString::fromLatin1(source),
                                 QStringLiteral("The specified file ") + *path +
                                     QStringLiteral(" does not exist."));
            *path = existing;
        } else if (QFileInfo(*path).isFile()) {
            QFile::remove(*path);
        }
    }
    name.SetExtension(QStringLiteral("shp"));
    m_fileName = name;
    openPair(indexPath, mainPath, status, append);

    if (status == CREATEIT) {
        m_fileType = shapeType;
        m_extent.MakeEmpty();
        m_haveShapeExtent = false;
        PutMainHeaders();
        m_count = 0;
    } else {
        readHeaders();
    }
}

void CShapeFile::openPair(const QString& indexPath, const QString& mainPath, std::int32_t status,
                          bool append) {
    const char* source = "C_ShapeFile::SetFileSpec";
    m_writable = status == CREATEIT || append;
    // Records are collected here and written in blocks; unbuffered files report
    // every short write at once.
    QIODevice::OpenMode mode = QIODevice::Unbuffered;
    mode |= m_writable ? QIODevice::ReadWrite : QIODevice::ReadOnly;
    if (status == CREATEIT)
        mode |= QIODevice::Truncate;
    m_indexFile.setFileName(indexPath);
    if (!m_indexFile.open(mode))
        throw fileError(shape_errors::kPathFileAccess, source, m_indexFile);
    m_mainFile.setFileName(mainPath);
    if (!m_mainFile.open(mode))
        throw fileError(shape_errors::kPathFileAccess, source, m_mainFile);
    m_indexSize = m_indexWritten = m_indexFile.size();
    m_mainSize = m_mainWritten = m_mainFile.size();
    m_indexReader.attach(&m_indexFile, m_indexSize);
    m_mainReader.attach(&m_mainFile, m_mainSize);
}

void CShapeFile::readHeaders() {
    const char* source = "C_ShapeFile::SetFileSpec";
    m_indexHeader.clear();
    if (!m_indexReader.read(0, kHeaderSize, m_indexHeader) ||
        bytes::bigInt32(m_indexHeader.constData()) != kFileCode) {
        m_indexFile.close();
        throw ShapeError(shape_errors::kBadHeaderCode, QString::fromLatin1(source),
                         QStringLiteral("The shx file has an invalid shape code in the main "
                                        "header."));
    }
    m_mainHeader.clear();
    if (!m_mainReader.read(0, kHeaderSize, m_mainHeader) ||
        bytes::bigInt32(m_mainHeader.constData()) != kFileCode) {
        m_mainFile.close();
        throw ShapeError(shape_errors::kBadHeaderCode, QString::fromLatin1(source),
                         QStringLiteral("The shp file has an invalid shape code in the main "
                                        "header."));
    }
    const char* h = m_mainHeader.constData();
    m_extent.SetLeft(bytes::littleDouble(h + 36));
    m_extent.SetBottom(bytes::littleDouble(h + 44));
    m_extent.SetRight(bytes::littleDouble(h + 52));
    m_extent.SetTop(bytes::littleDouble(h + 60));
    m_indexLengthAtOpen = bytes::bigInt32(m_indexHeader.constData() + 24);
    const auto records = text::roundHalfEven((double(m_indexLengthAtOpen) - 50.0) / 4.0);
    m_count = records < 0 ? 0 : static_cast<std::int32_t>(records);
    m_fileType = bytes::littleInt32(h + 32);
    m_haveShapeExtent = m_count > 0;
}

void CShapeFile::PutMainHeaders() {
    const char* source = "CShapeFile::PutMainHeaders";
    m_mainHeader = newHeader(m_fileType);
    m_indexHeader = m_mainHeader;
    m_indexLengthAtOpen = 50;
    if (!m_mainFile.seek(0) || m_mainFile.write(m_mainHeader) != kHeaderSize || !m_mainFile.flush())
        throw fileError(shape_errors::kDeviceIoError, source, m_mainFile);
    if (!m_indexFile.seek(0) || m_indexFile.write(m_indexHeader) != kHeaderSize ||
        !m_indexFile.flush())
        throw fileError(shape_errors::kDeviceIoError, source, m_indexFile);
    m_mainSize = m_mainWritten = kHeaderSize;
    m_indexSize = m_indexWritten = kHeaderSize;
}

// ---- reading --------------------------------------------------------------

IShapePtr CShapeFile::Item(std::int32_t index) {
    try {
        switch (m_fileType) {
        case 1:
        case 11:
        case 21:
            return ReadPoint(index);
        case 3:
        case 13:
        case 23:
            return readParts<CPolyLine>(index);
        case 5:
        case 15:
        case 25:
            return readParts<CPolygon>(index);
        case 8:
            return ReadMultiPoint(index);
        default:
            return nullptr;
        }
    } catch (const ShapeError& error) {
        throw error.withSource(QString::fromLatin1(kItemSource));
    }
}

std::optional<CShapeFile::IndexEntry> CShapeFile::FindOffset(std::int32_t index) {
    if (index < 1 ||
        kHeaderSize + kIndexEntrySize * qint64(index) > 2 * qint64(m_indexLengthAtOpen))
        return std::nullopt;
    char entry[kIndexEntrySize];
    if (!m_indexReader.read(kHeaderSize + kIndexEntrySize * (qint64(index) - 1), kIndexEntrySize,
                            entry))
        throw pastEnd();
    return IndexEntry{bytes::bigInt32(entry), bytes::bigInt32(entry + 4)};
}

std::optional<QByteArray> CShapeFile::readContent(std::int32_t index, const IndexEntry& entry) {
    const qint64 position = 2 * qint64(entry.offsetWords);
    char header[kRecordHeaderSize];
    if (position < kHeaderSize || !m_mainReader.read(position, kRecordHeaderSize, header))
        throw offsetBeyondMain();
    if (bytes::bigInt32(header) != index)
        throw ShapeError(shape_errors::kIndexMismatch, QString::fromLatin1(kItemSource),
                         QStringLiteral("Index Record does not match main file Record"));
    const qint64 contentSize = 2 * qint64(bytes::bigInt32(header + 4));
    if (contentSize < 4)
        throw damaged(QStringLiteral("content too short for its shape type"));
    QByteArray content;
    if (!m_mainReader.read(position + kRecordHeaderSize, contentSize, content))
        throw damaged(QStringLiteral("record reaches past the end of the file"));
    const std::int32_t type = bytes::littleInt32(content.constData());
    if (type == m_fileType)
        return content;
    if (type == 0)
        return std::nullopt;
    throw ShapeError(shape_errors::kTypeMismatchOnRead, QString::fromLatin1(kItemSource),
                     QStringLiteral("A shape type does not match main header type."));
}

IShapePtr CShapeFile::ReadPoint(std::int32_t index) {
    const auto entry = FindOffset(index);
    if (!entry)
        return nullptr;
    auto point = std::make_shared<CPoint>();
    const auto content = readContent(index, *entry);
    if (!content) {
        point->SetNull(true);
        return point;
    }
    // PointM carries a measure after X and Y, PointZ a height (and a measure).
    const qint64 needed = m_fileType == 11 ? 28 : m_fileType == 21 ? 28 : 20;
    if (content->size() < needed)
        throw damaged(QStringLiteral("point record too short"));
    point->SetX(bytes::littleDouble(content->constData() + 4));
    point->SetY(bytes::littleDouble(content->constData() + 12));
    if (m_fileType == 11)
        point->SetZ(bytes::littleDouble(content->constData() + 20));
    return point;
}

template <class Shape>
std::optional<QByteArray> CShapeFile::readRecordOf(std::int32_t index, Shape& shape) {
    const auto entry = FindOffset(index);
    if (!entry)
        throw offsetBeyondMain();
    auto content = readContent(index, *entry);
    if (!content)
        shape.SetNull(true);
    return content;
}

template <class Shape> IShapePtr CShapeFile::readParts(std::int32_t index) {
    auto shape = std::make_shared<Shape>();
    const auto content = readRecordOf(index, *shape);
    if (!content)
        return shape;
    const char* c = content->constData();
    const qint64 size = content->size();
    if (size < 44)
        throw damaged(QStringLiteral("record too short for its box and counts"));
    readBox(*shape, c);
    const std::int32_t numParts = bytes::littleInt32(c + 36);
    const std::int32_t numPoints = bytes::littleInt32(c + 40);
    // The Z types follow the points with a Z range and one height per point
    // (then, optionally, measures, which are not read); the M types with
    // measures only.
    const bool withZ = m_fileType == 13 || m_fileType == 15;
    const qint64 pointsEnd = 44 + 4 * qint64(numParts) + 16 * qint64(numPoints);
    if (numParts < 0 || numPoints < 0 || pointsEnd > size ||
        (withZ && pointsEnd + 16 + 8 * qint64(numPoints) > size))
        throw damaged(QStringLiteral("part or point count larger than the record"));
    const char* heights = c + pointsEnd + 16;
    std::vector<std::int32_t> starts(size_t(numParts) + 1);
    for (std::int32_t i = 0; i < numParts; ++i)
        starts[size_t(i)] = bytes::littleInt32(c + 44 + 4 * qint64(i));
    starts[size_t(numParts)] = numPoints;
    for (std::int32_t i = 0; i < numParts; ++i)
        if (starts[size_t(i)] < 0 || starts[size_t(i)] > starts[size_t(i) + 1])
            throw damaged(QStringLiteral("part start out of range"));
    const char* points = c + 44 + 4 * qint64(numParts);
    for (std::int32_t i = 0; i < numParts; ++i) {
        auto part = std::make_shared<CPart>();
        for (std::int32_t j = starts[size_t(i)]; j < starts[size_t(i) + 1]; ++j) {
            const char* p = points + 16 * qint64(j);
            auto point =
                std::make_shared<CPoint>(bytes::littleDouble(p), bytes::littleDouble(p + 8));
            if (withZ)
                point->SetZ(bytes::littleDouble(heights + 8 * qint64(j)));
            part->Add(point);
        }
        shape->Add(part);
    }
    return shape;
}

IShapePtr CShapeFile::ReadMultiPoint(std::int32_t index) {
    auto shape = std::make_shared<CMultiPoint>();
    const auto content = readRecordOf(index, *shape);
    if (!content)
        return shape;
    const char* c = content->constData();
    const qint64 size = content->size();
    if (size < 40)
        throw damaged(QStringLiteral("record too short for its box and count"));
    readBox(*shape, c);
    const std::int32_t numPoints = bytes::littleInt32(c + 36);
    if (numPoints < 0 || 40 + 16 * qint64(numPoints) > size)
        throw damaged(QStringLiteral("point count larger than the record"));
    for (std::int32_t j = 0; j < numPoints; ++j) {
        const char* p = c + 40 + 16 * qint64(j);
        shape->Add(std::make_shared<CPoint>(bytes::littleDouble(p), bytes::littleDouble(p + 8)));
    }
    return shape;
}

// ---- writing --------------------------------------------------------------

void CShapeFile::requireFileType(std::int32_t needed, const char* description) const {
    if (m_fileType != needed)
        throw ShapeError(shape_errors::kTypeMismatchOnAdd, QStringLiteral("CShapeFile::Add"),
                         QString::fromLatin1(description));
}

void CShapeFile::Add(const GeometryObjectPtr& shape) {
    if (!shape)
        throw ShapeError(shape_errors::kInvalidShapeType, QStringLiteral("CShapeFile::Add"),
                         QStringLiteral("Invalid shape type"));
    const GeometryObject& object = *shape;
    if (isExactly<CPoint>(object)) {
        requireFileType(1, "Cannot add type CPoint to a ShapeFile initialized as other type");
        const auto& point = static_cast<const CPoint&>(object);
        point.IsNull() ? PutNull() : PutPoints(point);
    } else if (isExactly<CPolyLine>(object)) {
        requireFileType(3, "Cannot add type CPolyline to a ShapeFile initialized as other type");
        const auto& line = static_cast<const CPolyLine&>(object);
        line.IsNull() ? PutNull() : putParts(line, "CShapeFile::PutPolyLine");
    } else if (isExactly<CPolygon>(object)) {
        requireFileType(5, "Cannot add type CPolygon to a ShapeFile initialized as other type");
        const auto& polygon = static_cast<const CPolygon&>(object);
        polygon.IsNull() ? PutNull() : putParts(polygon, "CShapeFile::PutPolygon");
    } else if (isExactly<CMultiPoint>(object)) {
        requireFileType(8, "Cannot add type CMultiPoint to a ShapeFile initialized as other type");
        const auto& points = static_cast<const CMultiPoint&>(object);
        points.IsNull() ? PutNull() : PutMultiPoints(points);
    } else {
        throw ShapeError(shape_errors::kInvalidShapeType, QStringLiteral("CShapeFile::Add"),
                         QStringLiteral("Invalid shape type"));
    }
}

void CShapeFile::PutNull() {
    QByteArray content;
    bytes::appendLittleInt32(content, 0);
    appendRecord(content, "CShapeFile::PutNull", nullptr);
}

void CShapeFile::PutPoints(const CPoint& point) {
    QByteArray content;
    content.reserve(20);
    bytes::appendLittleInt32(content, m_fileType);
    bytes::appendLittleDouble(content, point.X());
    bytes::appendLittleDouble(content, point.Y());
    appendRecord(content, "C_ShapeFile::PutPoints", &point);
}

template <class Shape> void CShapeFile::putParts(const Shape& shape, const char* label) {
    if (shape.Count() == 0)
        throw ShapeError(shape_errors::kSubscriptOutOfRange, QString::fromLatin1(label),
                         QStringLiteral("Subscript out of range"));
    qint64 numPoints = 0;
    std::vector<qint64> starts;
    for (const CPartPtr& part : shape) {
        starts.push_back(numPoints);
        numPoints += part->Count();
    }
    const qint64 size = 44 + 4 * qint64(starts.size()) + 16 * numPoints;
    if (size / 2 > kMaxWords)
        throw ShapeError(shape_errors::kOverflow, QString::fromLatin1(label),
                         QStringLiteral("Overflow"));
    QByteArray content;
    content.reserve(size);
    bytes::appendLittleInt32(content, m_fileType);
    bytes::appendLittleDouble(content, shape.Left());
    bytes::appendLittleDouble(content, shape.Bottom());
    bytes::appendLittleDouble(content, shape.Right());
    bytes::appendLittleDouble(content, shape.Top());
    bytes::appendLittleInt32(content, std::int32_t(starts.size()));
    bytes::appendLittleInt32(content, std::int32_t(numPoints));
    for (qint64 start : starts)
        bytes::appendLittleInt32(content, std::int32_t(start));
    for (const CPartPtr& part : shape)
        for (const CPointPtr& point : *part) {
            bytes::appendLittleDouble(content, point->X());
            bytes::appendLittleDouble(content, point->Y());
        }
    appendRecord(content, label, &shape);
}

void CShapeFile::PutMultiPoints(const CMultiPoint& points) {
    const char* label = "CShapeFile::PutMultiPoints";
    const qint64 size = 40 + 16 * qint64(points.Count());
    if (size / 2 > kMaxWords)
        throw ShapeError(shape_errors::kOverflow, QString::fromLatin1(label),
                         QStringLiteral("Overflow"));
    QByteArray content;
    content.reserve(size);
    bytes::appendLittleInt32(content, m_fileType);
    bytes::appendLittleDouble(content, points.Left());
    bytes::appendLittleDouble(content, points.Bottom());
    bytes::appendLittleDouble(content, points.Right());
    bytes::appendLittleDouble(content, points.Top());
    bytes::appendLittleInt32(content, points.Count());
    for (const CPointPtr& point : points) {
        bytes::appendLittleDouble(content, point->X());
        bytes::appendLittleDouble(content, point->Y());
    }
    appendRecord(content, label, &points);
}

void CShapeFile::appendRecord(const QByteArray& content, const char* label, const IShape* shape) {
    if (!m_writable || !m_mainFile.isOpen())
        throw ShapeError(shape_errors::kPathFileAccess, QString::fromLatin1(label),
                         QStringLiteral("Path/File access error"));
    const qint64 newMainSize = m_mainSize + kRecordHeaderSize + content.size();
    const qint64 newIndexSize = m_indexSize + kIndexEntrySize;
    if (newMainSize / 2 > kMaxWords || newIndexSize / 2 > kMaxWords || m_count == kMaxWords)
        throw ShapeError(shape_errors::kOverflow, QString::fromLatin1(label),
                         QStringLiteral("Overflow"));
    const auto offsetWords = static_cast<std::int32_t>(text::roundHalfEven(double(m_mainSize) / 2));
    const auto contentWords = static_cast<std::int32_t>(content.size() / 2);

    bytes::appendBigInt32(m_indexPending, offsetWords);
    bytes::appendBigInt32(m_indexPending, contentWords);
    bytes::appendBigInt32(m_mainPending, m_count + 1);
    bytes::appendBigInt32(m_mainPending, contentWords);
    m_mainPending.append(content);
    m_mainSize = newMainSize;
    m_indexSize = newIndexSize;
    bytes::putBigInt32(m_mainHeader.data() + 24, std::int32_t(m_mainSize / 2));
    bytes::putBigInt32(m_indexHeader.data() + 24, std::int32_t(m_indexSize / 2));
    m_headersDirty = true;
    ++m_count;
    if (shape)
        PutExtent(*shape);
    if (m_mainPending.size() > kPendingLimit)
        writePending(label);
}

void CShapeFile::PutExtent(const IShape& shape) {
    bool changed = false;
    if (!m_haveShapeExtent) {
        // The first shape's box replaces whatever the header held.
        m_extent.SetLeft(shape.Left());
        m_extent.SetRight(shape.Right());
        m_extent.SetTop(shape.Top());
        m_extent.SetBottom(shape.Bottom());
        m_haveShapeExtent = true;
        changed = true;
    } else {
        if (shape.Left() < m_extent.Left()) {
            m_extent.SetLeft(shape.Left());
            changed = true;
        }
        if (shape.Right() > m_extent.Right()) {
            m_extent.SetRight(shape.Right());
            changed = true;
        }
        if (shape.Top() > m_extent.Top()) {
            m_extent.SetTop(shape.Top());
            changed = true;
        }
        if (shape.Bottom() < m_extent.Bottom()) {
            m_extent.SetBottom(shape.Bottom());
            changed = true;
        }
    }
    if (!changed)
        return;
    for (QByteArray* header : {&m_mainHeader, &m_indexHeader}) {
        bytes::putLittleDouble(header->data() + 52, m_extent.Right());
        bytes::putLittleDouble(header->data() + 36, m_extent.Left());
        bytes::putLittleDouble(header->data() + 60, m_extent.Top());
        bytes::putLittleDouble(header->data() + 44, m_extent.Bottom());
    }
}

void CShapeFile::writePending(const char* label) {
    // Records first, then the headers that count them.
    auto append = [label](QFile& file, QByteArray& pending, qint64& written) {
        if (pending.isEmpty())
            return;
        if (!file.seek(written) || file.write(pending) != pending.size())
            throw fileError(shape_errors::kDeviceIoError, label, file);
        written += pending.size();
        pending.clear();
    };
    append(m_indexFile, m_indexPending, m_indexWritten);
    append(m_mainFile, m_mainPending, m_mainWritten);
    if (m_headersDirty) {
        if (!m_mainFile.seek(0) || m_mainFile.write(m_mainHeader) != kHeaderSize)
            throw fileError(shape_errors::kDeviceIoError, label, m_mainFile);
        if (!m_indexFile.seek(0) || m_indexFile.write(m_indexHeader) != kHeaderSize)
            throw fileError(shape_errors::kDeviceIoError, label, m_indexFile);
        m_headersDirty = false;
    }
    if (!m_indexFile.flush())
        throw fileError(shape_errors::kDeviceIoError, label, m_indexFile);
    if (!m_mainFile.flush())
        throw fileError(shape_errors::kDeviceIoError, label, m_mainFile);
}

void CShapeFile::Flush() {
    if (!m_writable || !m_mainFile.isOpen() || !m_indexFile.isOpen())
        return;
    if (m_mainPending.isEmpty() && m_indexPending.isEmpty() && !m_headersDirty)
        return;
    writePending("CShapeFile::Flush");
}

} // namespace trekora
