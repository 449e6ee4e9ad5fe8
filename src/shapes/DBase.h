#pragma once

#include "core/CodePage.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

// The dBASE III tables (.dbf) that go with shapefiles and that the program
// also saves and loads on their own. Tables are reached through handles; every
// value is written and read as text. Two field types are written: character
// ("C") and numeric ("N").
//
// A field spec is the text "name,type,length[,decimals[,...]]" (further
// elements are ignored): "ident,C,10", "lat,N,18,8". Names are stored
// upper-cased and cut to 10 characters; lengths and decimals are 0 … 255.
//
// The routines report failure through their results (-1, false, an empty
// list), never by raising, and open no dialog: the version question and the
// directory-lookup message are notices (shapes/ShapeNotice.h). Typical orders:
//   new table:  CreateDBF, then per row AppendRecord and one WriteField per
//               column, then CloseDBF;
//   append:     OpenDBF, AddField for every spec (existing fields are
//               skipped), then the same per-row steps;
//   read:       OpenDBF, GetFields, ReadRecords(handle, 0), CloseDBF.
//
// Writes are collected in memory and reach the disk in large blocks; CloseDBF
// writes everything and reports whether that worked, so a writer checks its
// result. Numbers are always written with "." as the decimal separator.
namespace trekora::DBase {

// A table handle; kNoHandle means failure.
using Handle = std::int16_t;
inline constexpr Handle kNoHandle = -1;

// Creates a table with the fields of `specs` (in order) at `path`, replacing
// any file there, and returns its open handle. -1 when a spec is invalid
// (a length above 255, a missing element) or the file cannot be written; an
// existing file is left alone when the specs are invalid. The text is
// written in `page`, which the language byte and a .cpg file beside the
// table name.
Handle CreateDBF(const QString& path, const QStringList& specs,
                 CodePage page = CodePage::Windows1252);
// The code page of the table's text: from its .cpg file, else its language
// byte, else Windows-1252.
CodePage GetCodePage(Handle handle);
// Opens the table at `path` (a missing file is created empty; a read-only
// file is opened for reading). -1 when it cannot be opened. Text is read and
// written in the table's code page (GetCodePage).
Handle OpenDBF(const QString& path);
// Writes what is pending and closes the handle; false when that failed.
bool CloseDBF(Handle handle);

// The record count of the header; -1 when the header cannot be read.
std::int32_t GetRecordCount(Handle handle);
// The field specs "NAME,T,length,decimals" in field order; empty on failure.
QStringList GetFields(Handle handle);
// The raw (untrimmed) field texts of every record (recordNumber <= 0) or of
// record `recordNumber` only, deleted records included. Empty when the table
// is damaged (for example shorter than its records) or the record does not
// exist. With `deleted`, also whether each record returned is flagged
// deleted ("*"): loaders skip those, as every dBASE reader does.
QList<QStringList> ReadRecords(Handle handle, std::int32_t recordNumber,
                               QList<bool>* deleted = nullptr);
// The same for at most `count` records from record `firstRecord` (1-based)
// on, so that a large table is read a part at a time. Empty when
// `firstRecord` is past the last record or the table is damaged.
QList<QStringList> ReadRecordRange(Handle handle, std::int32_t firstRecord, std::int32_t count,
                                   QList<bool>* deleted = nullptr);

// Adds the field of `spec` to the table, a blank value to every record,
// unless a field of that name exists (false). The table is rebuilt beside
// the old file and renamed over it: a failure leaves it intact.
bool AddField(Handle handle, const QString& spec);
// Appends a blank record (spaces in character fields, 0 with the field's
// decimals in numeric ones) and returns its number; -1 on failure or when
// the table has no field.
std::int32_t AppendRecord(Handle handle);
// Writes `value` into every field named `fieldName` (blanks around it and
// case ignored) of record `recordNumber`. False when the record or the field
// does not exist, or a numeric field gets a text that is not a number or
// does not fit its width (the field then keeps its value). Character values
// are cut to the field length.
bool WriteField(Handle handle, const QString& fieldName, std::int32_t recordNumber,
                const QString& value);

// Deletes the file, ignoring any failure; always true.
bool KillFile(const QString& path);
// The program's private scratch directory, ending in a separator.
QString GetTempDir();
// Whether `path` is an existing directory. A lookup that fails for another
// reason than a missing entry raises the "Directory Does Not Exist" notice.
bool DirExists(const QString& path);
// For tables of a later dBASE version (version byte above 3) asks, as a
// notice, whether to go on; AddField, AppendRecord and WriteField ask on every call and fail
// when the answer begins with "N". True means go on.
bool CheckVersion(Handle handle);

} // namespace trekora::DBase
