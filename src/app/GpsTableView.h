#pragma once

#include "app/GpsTableModel.h"

#include <QTableView>
#include <vector>

namespace trekora {

// The main window's table: a QTableView over a GpsTableModel that mirrors the
// grid's column widths (width 0 = hidden), collapsed rows (height 0) and
// selection in both directions. Rows have one uniform height so a full table
// scrolls without measuring rows.
class GpsTableView : public QTableView {
    Q_OBJECT
public:
    explicit GpsTableView(DataGrid& grid, QWidget* parent = nullptr);

    GpsTableModel& tableModel() { return m_model; }
    // Brings the view in line with the grid; cheap when nothing changed.
    void sync();

signals:
    // The user changed the selection; the grid's current cell and selection
    // end already hold it.
    void gridSelectionChanged();
    // Grid coordinates (header row and row-number column included).
    void gridCellClicked(int row, int col);
    void gridCellDoubleClicked(int row, int col);
    void gridHeaderClicked(int col);
    // The keys of the table commands while the table has the focus:
    // Ctrl+C copies the selection as the Copy button does, Ctrl+V pastes,
    // Delete deletes the selection. Ctrl+A selects the whole table.
    void copyRequested();
    void pasteRequested();
    void deleteRequested();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class TableKey { None, Copy, Paste, Delete };
    static TableKey tableKey(const QKeyEvent* event);
    void measureTextsInViewFont();
    void applyColumnWidths(bool force);
    void applyRowHeights(bool afterReset);
    void showGridSelection();
    void takeViewSelection();
    struct Corners {
        int row = 0, col = 0, rowSel = 0, colSel = 0;
        bool operator==(const Corners&) const = default;
    };
    Corners gridCorners() const;

    DataGrid& m_grid;
    GpsTableModel m_model;
    std::vector<int> m_widths;        // twips per model column, as last applied
    std::vector<int> m_collapsedRows; // model rows hidden, ascending
    Corners m_shown;
    bool m_applyingSelection = false;
};

} // namespace trekora
