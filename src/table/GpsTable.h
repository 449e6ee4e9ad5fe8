#pragma once

#include "table/DataGrid.h"
#include "table/FieldCatalogue.h"
#include "table/TableHost.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace trekora {

// The GPS data table: the one place where GPS data lives in memory. It owns
// the main grid and the table state (current record type, record counter,
// selection state) and offers the grid operations every other subsystem uses
// by name. Operations that take a grid argument also work on other grids
// (the hot-link window's).
class GpsTable {
public:
    static constexpr Rgb kSegmentColour = rgb(200, 255, 255);
    static constexpr Rgb kPlainColour = rgb(255, 255, 255);
    // The fields that can never be hidden or cleared.
    static inline const QString kKeyFields =
        QStringLiteral(" type,ident,lat,long,y_proj,x_proj,new_seg,rnumber,rident,rcmnt");

    explicit GpsTable(TableHost& host);

    DataGrid& grid() { return m_grid; }
    const DataGrid& grid() const { return m_grid; }
    TableHost& host() { return m_host; }

    // --- state ---------------------------------------------------------------
    const QString& currentRecordType() const { return m_recordType; }
    void setCurrentRecordType(const QString& typeKey) { m_recordType = typeKey; }
    std::int16_t recordCounter() const { return m_recordCounter; }
    void setRecordCounter(std::int16_t count) { m_recordCounter = count; }
    struct Selection {
        int first = 1;
        int last = 1;
        int count = 0;
    };
    const Selection& selection() const { return m_selection; }
    bool hasHeader() const { return !m_grid.isEmpty(0, 1); }
    bool hasRecords() const { return !m_grid.isEmpty(1, 0); }
    int recordCount() const { return m_grid.rows() - 1; }

    // --- record types and option buttons -------------------------------------
    QString ReadTypeOption() const;
    // A click on one of the four record-type option buttons: sets the option,
    // converts the table, and for routes applies the route defaults.
    void OptionClicked(const QString& typeKey);

    // --- operations ----------------------------------------------------------
    void ResetTable();
    bool SetTableType(const QString& typeKey);
    bool AddRecord(const QString& values, const QString& columns = {}, const QString& unused = {},
                   const QString& delimiter = {});
    // AddRecord for values that are already split (loaders): no delimiter
    // can then cut a value apart.
    bool AddRecordValues(const QList<QStringView>& values, const QString& columns);
    QString GetSymbolPicture(const QString& symbolNumber) const;
    void DeleteSelection();
    void ToggleSegmentRows(int row);
    void ApplyFieldSettings(const QString& typeKey = {});
    void ResetSelection();
    void ColorSegments(int row);
    std::array<int, 3> UpdateSelection();
    std::array<int, 2> GetRowRange(const DataGrid& grid) const;
    std::array<int, 2> GetRowRange() const { return GetRowRange(m_grid); }
    static double FirstNumber(const QString& text);
    QString GetFieldList(const QString& typeKey, bool visibleOnly) const;
    QString GetRowValues(int row, bool visibleOnly) const;
    bool ColumnsFilled(const DataGrid& grid, const std::vector<int>& columns,
                       const QString& kind) const;
    void ChangeRecordType(const QString& typeKey);
    static int FindColumn(const QString& fieldName, const DataGrid& grid);
    int FindColumn(const QString& fieldName) const { return FindColumn(fieldName, m_grid); }
    void CopySelection(const DataGrid& grid, const QString& fileNamePrefix = {});
    void PasteClipboard(DataGrid& grid);
    static void AutoFitColumns(DataGrid& grid);
    // Widens the column to its widest text. Characters count `narrow` twips
    // for "a" … "z" and `wide` for the others (88 and 110 unless given), or,
    // when neither is given and a display has set them, the widths of the
    // font the table is drawn in, so that fitted columns show whole texts.
    static void AutoFitColumn(DataGrid& grid, int col, int narrow = 0, int wide = 0);
    // Twips a character takes in the table's font; empty restores the rule.
    using CharacterWidths = std::function<int(QChar)>;
    static void setCharacterWidths(CharacterWidths widths);
    void ClearSelection();
    // Writes the same values to a block of cells (the double-click edit).
    void WriteBlock(int firstRow, int lastRow, int colLow, int colHigh, const QString& value,
                    const QString& picture = {});
    // Sorts the records on one column, alternately descending and ascending
    // (a click on a waypoint table's header).
    void SortByColumn(int col);

    // The selection panel's text for the current table.
    QString selectionPanelText(int selected) const;

    // Called when columns were hidden so the field settings remember it
    // (the properties dialog's SaveFields).
    void setSaveFieldsHandler(std::function<void(const QString&)> handler) {
        m_saveFields = std::move(handler);
    }

private:
    void setStatus(const QString& text) { m_host.setMessage(text); }
    void showSelectionCount(int selected);
    void addRecordFailure(int errorNumber, const QString& description, bool tableFull, int column,
                          const QString& value);
    void renumberRows();
    const std::vector<int>& columnList(const QString& columns);
    // Appends one record: `values` in column-list order, or a blank record
    // when it is null.
    bool addRow(const QList<QStringView>* values, const QString& columns);

    TableHost& m_host;
    DataGrid m_grid;
    QString m_recordType = RecordType::Waypoint;
    QString m_typeOption = RecordType::Waypoint;
    std::int16_t m_recordCounter = 0;
    Selection m_selection;
    bool m_sortDescending = true;
    std::function<void(const QString&)> m_saveFields;
    // The last column list AddRecord parsed.
    QString m_columnListText;
    QString m_columnListType;
    std::vector<int> m_columnList;
    bool m_columnListValid = false;
};

} // namespace trekora
