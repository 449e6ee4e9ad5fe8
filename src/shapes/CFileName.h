#pragma once

#include <QString>

namespace trekora {

// A validated absolute file path whose base name and extension can be
// swapped. CShapeFile is given one to name the main file of a shapefile.
//
// A spec is valid when it is absolute (on Windows: a drive letter, ":" and a
// separator), contains a separator and a ".", has no empty path element
// ("//"), no ".." anywhere, and none of the characters ? * | > < : " (a ":"
// only after the drive letter on Windows; on other systems a "\" is refused
// too, as it would be a separator on Windows). Network paths and relative
// paths are thus refused. Every refusal raises ShapeError 0x80040203 "The
// FileSpec is invalid" and leaves the stored spec unchanged.
class CFileName {
public:
    CFileName() = default;
    explicit CFileName(const QString& spec) { SetFileSpec(spec); }

    void SetFileSpec(const QString& spec);
    const QString& GetFileSpec() const { return m_spec; }

    // The file name without directory and extension: the text between the
    // last separator and the last "." of the file name.
    QString GetBaseName() const;
    // Replaces the base name. `name` must be non-empty and free of
    // ? * | / > < : \ and the double quote.
    void SetBaseName(const QString& name);

    // The text after the last "." of the file name (empty when it has none).
    QString GetExtension() const;
    // Replaces the extension (given without the dot), with the same rules as
    // SetBaseName. On an empty object the whole spec becomes `ext`.
    void SetExtension(const QString& ext);

    // The directory part including its final separator.
    QString GetDirectory() const;

    static bool isValidSpec(const QString& spec);

private:
    qsizetype fileNameStart() const;
    qsizetype extensionDot() const; // index of the dot, or -1
    void store(const QString& spec, const char* source);

    QString m_spec;
};

} // namespace trekora
