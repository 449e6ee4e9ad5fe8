#include "app/GpsTableView.h"

#include "app/WindowSizing.h"
#include "table/GpsTable.h"

#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <algorithm>
#include <array>

namespace trekora {

GpsTableView::GpsTableView(DataGrid& grid, QWidget* parent)
    : QTableView(parent), m_grid(grid), m_model(grid) {
    setModel(&m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setWordWrap(false);
    setAlternatingRowColors(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);

    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { takeViewSelection(); });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { takeViewSelection(); });
    connect(this, &QAbstractItemView::pressed, this, [this](const QModelIndex& index) {
        m_grid.setMouseRow(index.row() + 1);
        emit gridCellClicked(index.row() + 1, index.column() + 1);
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        emit gridCellDoubleClicked(index.row() + 1, index.column() + 1);
    });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        m_grid.setMouseRow(0);
        emit gridHeaderClicked(section + 1);
    });
    // Tab moves on to the buttons instead of from cell to cell.
    setTabKeyNavigation(false);
    measureTextsInViewFont();
    applyColumnWidths(true);
    applyRowHeights(true);
}

void GpsTableView::measureTextsInViewFont() {
    // Auto-fit sums character widths; those of this view's fonts (cells and
    // header) make fitted columns show whole texts.
    const QFontMetrics cells = fontMetrics();
    const QFontMetrics header = horizontalHeader()->fontMetrics();
    auto twips = [cells, header](QChar ch) {
        return std::max(cells.horizontalAdvance(ch), header.horizontalAdvance(ch)) *
               WindowSizing::kTwipsPerPixel;
    };
    std::array<int, 256> latin1{};
    for (size_t c = 0; c < latin1.size(); ++c)
        latin1[c] = twips(QChar(char16_t(c)));
    GpsTable::setCharacterWidths([latin1, twips](QChar ch) {
        return ch.unicode() < latin1.size() ? latin1[ch.unicode()] : twips(ch);
    });
}

GpsTableView::TableKey GpsTableView::tableKey(const QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy))
        return TableKey::Copy;
    if (event->matches(QKeySequence::Paste))
        return TableKey::Paste;
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier)
        return TableKey::Delete;
    return TableKey::None;
}

bool GpsTableView::event(QEvent* event) {
    // The table's own commands win over the window's shortcuts while the
    // table has the focus, so the key reaches keyPressEvent.
    if (event->type() == QEvent::ShortcutOverride &&
        tableKey(static_cast<QKeyEvent*>(event)) != TableKey::None) {
        event->accept();
        return true;
    }
    return QTableView::event(event);
}

void GpsTableView::keyPressEvent(QKeyEvent* event) {
    switch (tableKey(event)) {
    case TableKey::Copy:
        emit copyRequested();
        break;
    case TableKey::Paste:
        emit pasteRequested();
        break;
    case TableKey::Delete:
        emit deleteRequested();
        break;
    case TableKey::None:
        QTableView::keyPressEvent(event);
        return;
    }
    event->accept();
}

void GpsTableView::sync() {
    const GpsTableModel::Change change = m_model.sync();
    const bool reset = change == GpsTableModel::Change::Reset;
    // Widths and heights change without touching the grid's revision, so they
    // are compared on every sync; both checks are a pass over plain integers.
    applyColumnWidths(reset);
    applyRowHeights(reset);
    if (reset || gridCorners() != m_shown)
        showGridSelection();
}

void GpsTableView::applyColumnWidths(bool force) {
    const int cols = m_model.columnCount();
    std::vector<int> widths(size_t(std::max(0, cols)));
    for (int c = 0; c < cols; ++c)
        widths[size_t(c)] = c + 1 < m_grid.cols() ? m_grid.colWidth(c + 1) : 0;
    if (!force && widths == m_widths)
        return;
    for (int c = 0; c < cols; ++c) {
        const int twips = widths[size_t(c)];
        setColumnHidden(c, twips <= 0);
        if (twips > 0)
            setColumnWidth(c, WindowSizing::pixels(twips));
    }
    m_widths = std::move(widths);
}

void GpsTableView::applyRowHeights(bool afterReset) {
    // A reset shows every section again; otherwise only the rows whose state
    // changed are touched, so appending to a long table stays cheap.
    if (afterReset)
        m_collapsedRows.clear();
    std::vector<int> collapsed;
    const int rows = std::min(m_model.rowCount(), m_grid.rows() - 1);
    for (int r = 0; r < rows; ++r)
        if (m_grid.rowHeight(r + 1) <= 0)
            collapsed.push_back(r);
    if (collapsed == m_collapsedRows && !afterReset)
        return;
    for (int r : m_collapsedRows)
        if (r < rows && !std::binary_search(collapsed.begin(), collapsed.end(), r))
            setRowHidden(r, false);
    for (int r : collapsed)
        if (afterReset || !std::binary_search(m_collapsedRows.begin(), m_collapsedRows.end(), r))
            setRowHidden(r, true);
    m_collapsedRows = std::move(collapsed);
}

GpsTableView::Corners GpsTableView::gridCorners() const {
    return Corners{m_grid.row(), m_grid.col(), m_grid.rowSel(), m_grid.colSel()};
}

void GpsTableView::showGridSelection() {
    const Corners corners = gridCorners();
    m_shown = corners;
    const int rows = m_model.rowCount(), cols = m_model.columnCount();
    auto clampRow = [rows](int r) { return std::clamp(r - 1, 0, std::max(0, rows - 1)); };
    auto clampCol = [cols](int c) { return std::clamp(c - 1, 0, std::max(0, cols - 1)); };
    m_applyingSelection = true;
    if (rows == 0 || cols == 0 || corners.row < 1 || corners.col < 1) {
        selectionModel()->clearSelection();
    } else {
        const QModelIndex anchor = m_model.index(clampRow(corners.row), clampCol(corners.col));
        const QModelIndex moving =
            m_model.index(clampRow(corners.rowSel), clampCol(corners.colSel));
        selectionModel()->setCurrentIndex(moving, QItemSelectionModel::NoUpdate);
        selectionModel()->select(QItemSelection(anchor, moving),
                                 QItemSelectionModel::ClearAndSelect);
    }
    m_applyingSelection = false;
}

void GpsTableView::takeViewSelection() {
    if (m_applyingSelection)
        return;
    const QModelIndex current = selectionModel()->currentIndex();
    if (!current.isValid())
        return;
    // A contiguous selection is one rectangle. The current index is its
    // moving end and the opposite corner its anchor; when the current index
    // is not on the rectangle's edge (select all, a click on a row number or
    // column header) the rectangle runs from its top left to its bottom right.
    int top = current.row(), bottom = current.row();
    int left = current.column(), right = current.column();
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        top = std::min(top, range.top());
        bottom = std::max(bottom, range.bottom());
        left = std::min(left, range.left());
        right = std::max(right, range.right());
    }
    // (anchor, moving end) along one axis.
    auto ends = [](int at, int low, int high) {
        return at == low && low != high ? std::pair{high, low} : std::pair{low, high};
    };
    const auto [row, rowSel] = ends(current.row(), top, bottom);
    const auto [col, colSel] = ends(current.column(), left, right);
    m_grid.setCurrent(row + 1, col + 1);
    m_grid.setSelection(rowSel + 1, colSel + 1);
    m_shown = gridCorners();
    emit gridSelectionChanged();
}

} // namespace trekora
