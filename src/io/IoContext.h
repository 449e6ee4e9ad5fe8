#pragma once

#include "core/CodePage.h"
#include "io/IoReport.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace trekora {

class GpsTable;
class FieldChooser;

// Reading a file a block of rows at a time (the convert command): a reader
// given a block stops once the table holds `maxRows` rows, notes where it
// stopped, and the next call with the same block goes on from there. The
// record type and field mapping of the first block hold for the rest.
struct ReadBlock {
    int maxRows = 0;          // rows per block
    qint64 resumeAt = 0;      // where the next block starts, in the reader's unit; 0: the start
    bool more = false;        // set by the reader: it stopped with input left
    qint64 recordsBefore = 0; // input records (lines, dBASE records, shapes) read so far
    QString recordType;       // the first block's record type
    // The input record number of each table row of the block.
    std::vector<qint64> rowRecords;

    void startBlock() {
        more = false;
        rowRecords.clear();
    }
};

// What the import and export routines work with: the table, the field-mapping
// dialog (or a headless stand-in) and the projection bridge's table
// conversion (forward: lat/long → projected; inverse: projected → lat/long).
struct IoContext {
    GpsTable& table;
    FieldChooser& chooser;
    std::function<bool(bool forward)> projectTable;
    // Writes the PRJ file beside a shapefile: the path without extension and
    // whether the coordinates are projected (else geographic).
    std::function<void(const QString& basePath, bool projected)> writePrj;
    // The output-shape dialog: "Point", "Line" or "Polygon", or std::nullopt
    // when it was closed without OK. Unset: "Line".
    std::function<std::optional<QString>()> chooseOutputShape;
    // What the last load or save refused or could not write as it stood; the
    // routines add to it, the caller reads and clears it.
    IoReport report{};
    // The code page of new dBASE tables: Windows-1252 unless the user chose
    // UTF-8. Appending keeps the table's own.
    CodePage outputCodePage = CodePage::Windows1252;
    // Fills lat/long from a loaded shapefile's x_proj/y_proj, given the path
    // of the shapefile's .prj (empty when it has none), so that a file in
    // another system than the current projection is read in its own.
    // Unset: projectTable(false).
    std::function<bool(const QString& prjPath)> unprojectShapefile{};
    // Set for block-wise reading; null: the whole file at once.
    ReadBlock* block = nullptr;
};

// A failure that a routine passes on to its caller unreported (a missing or
// unreadable file, for example); empty when there was none.
struct PassedError {
    int number = 0;
    QString source;
    QString description;
    bool isSet() const { return number != 0; }
};

} // namespace trekora
