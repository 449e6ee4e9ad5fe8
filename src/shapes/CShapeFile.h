#pragma once

#include "shapes/CFileName.h"
#include "shapes/CRect.h"
#include "shapes/FileWindow.h"
#include "shapes/IShape.h"

#include <QByteArray>
#include <QFile>
#include <cstdint>
#include <optional>

namespace trekora {

// Reads and writes one ESRI shapefile: the main file (.shp) and its index
// (.shx). SetFileSpec binds the object to the pair, creating it or opening
// it for reading or for appending; both files stay open until the object is
// destroyed. Writing is append-only (Add); reading is by record number
// through the index (Item). The attribute table and the projection file are
// the caller's business.
//
// Supported shape types: null (0), point (1), polyline (3), polygon (5) and
// multipoint (8). Files of the Z and M variants of points, polylines and
// polygons (11, 13, 15, 21, 23, 25) are read too, as the plain shapes, with
// the heights of the Z types in the points (CPoint::Z); measures are not
// read. Only the plain types are written.
//
// Appended records are collected in memory and written in large blocks;
// the headers on disk are brought up to date with them. Flush() writes
// everything now and reports a failure; destruction flushes too, but cannot
// report one, so a writer that must know calls Flush() before dropping the
// object.
//
// Every failure is a ShapeError; see the error numbers in ShapeError.h.
class CShapeFile {
public:
    // Status of SetFileSpec: 0 opens an existing pair, CREATEIT creates one.
    static constexpr std::int32_t CREATEIT = 1;

    CShapeFile() = default;
    ~CShapeFile();
    CShapeFile(const CShapeFile&) = delete;
    CShapeFile& operator=(const CShapeFile&) = delete;

    // The bounding box of all shapes (from the header when opened, widened
    // by every Add).
    double Left() const { return m_extent.Left(); }
    double Right() const { return m_extent.Right(); }
    double Top() const { return m_extent.Top(); }
    double Bottom() const { return m_extent.Bottom(); }
    // Number of records.
    std::int32_t Count() const { return m_count; }
    // Shape type of the file.
    std::int32_t fileType() const { return m_fileType; }

    // A new shape built from record `index` (1-based): a CPoint for type 1
    // (11, 21), CPolyLine for 3 (13, 23), CPolygon for 5 (15, 25), CMultiPoint
    // for 8, nullptr for any other file type. A null record gives a shape of the file's class whose
    // IsNull is true. Only records present when the pair was opened are reached: an index beyond
    // them gives nullptr on a point file and raises 0x80040206 otherwise. Damaged or truncated
    // records raise a ShapeError; every error carries the source "CShapeFile::Item".
    IShapePtr Item(std::int32_t index);

    // Binds the object to the pair named by `fileSpec` (the index is the same
    // path with the extension shx). status 0 opens an existing pair, read-only
    // or, with `append`, for appending; CREATEIT creates the pair of type
    // `shapeType`, replacing existing files. File names are matched ignoring
    // case when opening.
    void SetFileSpec(const CFileName& fileSpec, std::int32_t status, std::int32_t shapeType = 0,
                     bool append = false);

    // Appends `shape` as the next record. CPoint needs file type 1, CPolyLine
    // 3, CPolygon 5, CMultiPoint 8 (else 0x80040210); a shape whose IsNull is
    // true is written as a null record; any other object raises 0x80040211.
    // A refused shape writes nothing.
    void Add(const GeometryObjectPtr& shape);

    // Writes the collected records and the headers to disk now.
    void Flush();

private:
    // Index entry of record `index`, if the index header as read covers it.
    struct IndexEntry {
        std::int32_t offsetWords;
        std::int32_t contentWords;
    };
    std::optional<IndexEntry> FindOffset(std::int32_t index);
    // The content of the record the index entry points at, checked against
    // the file; std::nullopt for a null record of another type (type 0).
    std::optional<QByteArray> readContent(std::int32_t index, const IndexEntry& entry);

    // The content of record `index` of a polyline, polygon or multipoint
    // file; for a null record, `shape` is made null and there is none.
    template <class Shape> std::optional<QByteArray> readRecordOf(std::int32_t index, Shape& shape);
    IShapePtr ReadPoint(std::int32_t index);
    template <class Shape> IShapePtr readParts(std::int32_t index);
    IShapePtr ReadMultiPoint(std::int32_t index);

    void requireFileType(std::int32_t needed, const char* description) const;
    void PutNull();
    void PutPoints(const CPoint& point);
    template <class Shape> void putParts(const Shape& shape, const char* label);
    void PutMultiPoints(const class CMultiPoint& points);
    void appendRecord(const QByteArray& content, const char* label, const IShape* shape);
    void PutExtent(const IShape& shape);
    void PutMainHeaders();
    void writePending(const char* label);

    void openPair(const QString& indexPath, const QString& mainPath, std::int32_t status,
                  bool append);
    void readHeaders();
    void close() noexcept;

    std::int32_t m_fileType = 0;
    CFileName m_fileName;
    QByteArray m_mainHeader;
    QByteArray m_indexHeader;
    std::int32_t m_indexLengthAtOpen = 0; // in words; bounds Item
    std::int32_t m_count = 0;
    CRect m_extent;
    bool m_haveShapeExtent = false; // the extent comes from real shapes

    QFile m_indexFile;
    QFile m_mainFile;
    FileWindow m_indexReader;
    FileWindow m_mainReader;
    bool m_writable = false;

    qint64 m_mainSize = 0; // logical sizes, collected records included
    qint64 m_indexSize = 0;
    qint64 m_mainWritten = 0; // sizes on disk
    qint64 m_indexWritten = 0;
    QByteArray m_mainPending;
    QByteArray m_indexPending;
    bool m_headersDirty = false;
};

} // namespace trekora
