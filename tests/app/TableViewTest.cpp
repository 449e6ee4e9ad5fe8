#include "MainWindowFixture.h"

#include "app/GpsTableView.h"
#include "app/TableCommands.h"
#include "core/KeyedCollection.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QMap>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

using namespace trekora;

class TableViewTest : public test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        start();
    }
    GpsTableView& view() { return *window->controls().MSFlexGrid1; }
    void addRecords(int count) {
        for (int i = 0; i < count; ++i)
            window->controls().cmdAddRec->click();
    }
    // Selects a block of the view as the mouse would, anchor first.
    void selectBlock(int row, int col, int rowSel, int colSel) {
        QItemSelectionModel* selection = view().selectionModel();
        const QModelIndex anchor = view().model()->index(row - 1, col - 1);
        const QModelIndex moving = view().model()->index(rowSel - 1, colSel - 1);
        selection->setCurrentIndex(moving, QItemSelectionModel::NoUpdate);
        selection->select(QItemSelection(anchor, moving), QItemSelectionModel::ClearAndSelect);
    }
    QString cell(int row, const char* field) {
        return table().grid().text(row, table().FindColumn(field));
    }
};

TEST_F(TableViewTest, ViewSelectionBecomesTheGridSelection) {
    addRecords(5);
    const int cols = table().grid().cols();
    selectBlock(4, cols - 1, 2, 1); // rows 2…4 dragged upwards across every column
    EXPECT_EQ(table().grid().row(), 4);
    EXPECT_EQ(table().grid().col(), cols - 1);
    EXPECT_EQ(table().grid().rowSel(), 2);
    EXPECT_EQ(table().grid().colSel(), 1);
    EXPECT_EQ(table().selection().first, 2);
    EXPECT_EQ(table().selection().last, 4);
    EXPECT_EQ(table().selection().count, 3);
    EXPECT_EQ(window->statusPanel(3), "3 of 5 Selected");

    window->controls().cmdDeleteSel->click();
    EXPECT_EQ(view().model()->rowCount(), 2);
    EXPECT_EQ(view().model()->headerData(1, Qt::Vertical).toString(), "2");
    EXPECT_EQ(window->statusPanel(2), "Deleted 3 Row(s)");

    // Clear Selection moves the view's cursor back to the first cell.
    selectBlock(2, 3, 2, 4);
    window->controls().cmdClearSel->click();
    EXPECT_EQ(view().selectionModel()->currentIndex(), view().model()->index(0, 0));
    EXPECT_EQ(window->statusPanel(3), "0 of 2 Selected");
}

TEST_F(TableViewTest, RowNumberAndSelectAllClicksSelectWholeRows) {
    addRecords(5);
    view().setCurrentIndex(view().model()->index(2, 3)); // cursor inside the table
    view().selectRow(1);
    EXPECT_EQ(table().selection().count, 1);
    EXPECT_EQ(table().selection().first, 2);
    EXPECT_EQ(window->statusPanel(3), "1 of 5 Selected");

    view().setCurrentIndex(view().model()->index(2, 3));
    view().selectAll();
    EXPECT_EQ(table().selection().count, 5);
    window->controls().cmdDeleteSel->click(); // the whole table: emptied
    EXPECT_FALSE(table().hasHeader());
    EXPECT_FALSE(window->isControlEnabled("mnuClearTable"));
}

TEST_F(TableViewTest, HiddenColumnsAndCollapsedRowsFollowTheGrid) {
    window->controls().optTrk->click();
    addRecords(4);
    DataGrid& grid = table().grid();
    grid.setText(3, table().FindColumn("new_seg"), "true");
    table().ColorSegments(0);
    window->refreshTable();
    EXPECT_EQ(view().model()->data(view().model()->index(2, 0), Qt::BackgroundRole).value<QColor>(),
              QColor(200, 255, 255));

    // Double click on the type cell of a segment start collapses its points.
    selectBlock(1, 1, 1, 1);
    window->MSFlexGrid1_DblClick();
    EXPECT_TRUE(view().isRowHidden(1));
    EXPECT_FALSE(view().isRowHidden(2));
    window->MSFlexGrid1_DblClick();
    EXPECT_FALSE(view().isRowHidden(1));
    EXPECT_TRUE(ui.records().isEmpty()); // the type column is never edited

    const int display = table().FindColumn("display");
    grid.setColWidth(display, 0);
    window->refreshTable();
    EXPECT_TRUE(view().isColumnHidden(display - 1));
    EXPECT_FALSE(view().isColumnHidden(0));
    EXPECT_EQ(view().columnWidth(0), (grid.colWidth(1) + 7) / 15);
}

TEST_F(TableViewTest, DoubleClickWritesTheAnswerToEverySelectedCell) {
    addRecords(4);
    const int ident = table().FindColumn("ident");
    const int lat = table().FindColumn("lat");
    selectBlock(2, ident, 3, lat);
    ui.answerInput(QString("X9"));
    window->MSFlexGrid1_DblClick();
    ASSERT_EQ(ui.records().size(), 1);
    EXPECT_EQ(ui.records()[0].text, "Change Value to:");
    EXPECT_EQ(ui.records()[0].title, "Modify Cell Value");
    EXPECT_EQ(ui.records()[0].defaultText, "w2");
    for (int r : {2, 3}) {
        EXPECT_EQ(cell(r, "ident"), "X9");
        EXPECT_EQ(cell(r, "lat"), "X9");
    }
    EXPECT_EQ(cell(1, "ident"), "w1");
    EXPECT_EQ(cell(4, "lat"), "0");
    EXPECT_EQ(view().model()->data(view().model()->index(1, ident - 1)).toString(), "X9");

    // An empty answer or Cancel changes nothing.
    for (std::optional<QString> answer : {std::optional<QString>(""), std::optional<QString>()}) {
        ui.answerInput(answer);
        window->MSFlexGrid1_DblClick();
        EXPECT_EQ(cell(2, "ident"), "X9");
    }
}

TEST_F(TableViewTest, EditAfterAddingTouchesOnlyTheClickedCell) {
    addRecords(4);
    // Adding a record widens the selection state to every row; a double click
    // on the cell the cursor already sits on changes no selection, and the
    // edit must still stay in that cell.
    const int ident = table().FindColumn("ident");
    table().grid().setCurrent(2, ident);
    table().grid().setSelection(2, ident);
    ASSERT_EQ(table().selection().count, 0);
    ASSERT_EQ(table().selection().last, 4);
    ui.answerInput(QString("only"));
    window->MSFlexGrid1_DblClick();
    EXPECT_EQ(cell(2, "ident"), "only");
    for (int r : {1, 3, 4})
        EXPECT_EQ(cell(r, "ident"), QString("w%1").arg(r));
}

TEST_F(TableViewTest, HeaderClickSortsWaypointsOnly) {
    addRecords(3);
    const int ident = table().FindColumn("ident");
    view().horizontalHeader()->sectionClicked(ident - 1);
    EXPECT_EQ(cell(1, "ident"), "w3"); // first click: descending
    EXPECT_EQ(view().model()->data(view().model()->index(0, ident - 1)).toString(), "w3");
    view().horizontalHeader()->sectionClicked(ident - 1);
    EXPECT_EQ(cell(1, "ident"), "w1");

    window->controls().optTrk->click();
    const int trackIdent = table().FindColumn("ident");
    table().grid().setText(1, trackIdent, "b");
    table().grid().setText(2, trackIdent, "c");
    view().horizontalHeader()->sectionClicked(trackIdent - 1);
    EXPECT_EQ(cell(1, "ident"), "b");
}

TEST_F(TableViewTest, CopyAndPasteGoThroughTheClipboard) {
    addRecords(2);
    const int ident = table().FindColumn("ident");
    selectBlock(1, ident, 2, ident);
    window->controls().cmdCopy->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "w1\r\nw2\r\n");

    QGuiApplication::clipboard()->setText("p1\tp2\r\n");
    selectBlock(2, ident, 2, ident);
    window->menus().mnuPaste->trigger();
    EXPECT_EQ(cell(2, "ident"), "p1");
    EXPECT_EQ(cell(2, "lat"), "p2");
}

TEST_F(TableViewTest, EmptyTableLeavesNoHeaderAndTheNextRecordRebuildsIt) {
    window->controls().optRte->click();
    addRecords(2);
    window->menus().mnuClearTable->trigger();
    EXPECT_FALSE(table().hasHeader());
    EXPECT_EQ(view().model()->rowCount(), 1);
    EXPECT_EQ(view().model()->headerData(0, Qt::Horizontal).toString(), "");
    window->controls().cmdAddRec->click();
    EXPECT_EQ(view().model()->headerData(6, Qt::Horizontal).toString(), "new_seg");
    EXPECT_EQ(cell(1, "type"), "ROUTE");
}

TEST_F(TableViewTest, FullTableKeepsOneRowHeight) {
    DataGrid& grid = table().grid();
    for (int i = 0; i < 2000; ++i)
        ASSERT_TRUE(table().AddRecord("WAYPOINT;p;1;2;0;0"));
    window->refreshTable();
    EXPECT_EQ(view().model()->rowCount(), grid.rows() - 1);
    EXPECT_EQ(view().verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    EXPECT_EQ(view().rowHeight(0), view().rowHeight(1999));
}

TEST_F(TableViewTest, SymbolCellsShowTheirIcon) {
    QPixmap marker(16, 16);
    marker.fill(Qt::red);
    window->symbolIcons().insert("*18", QIcon(marker));
    addRecords(1);
    const int symbol = table().FindColumn("symbol");
    const QVariant icon =
        view().model()->data(view().model()->index(0, symbol - 1), Qt::DecorationRole);
    EXPECT_FALSE(icon.value<QIcon>().isNull());
    EXPECT_FALSE(view().model()->data(view().model()->index(0, 1), Qt::DecorationRole).isValid());
}

TEST(KeyedCollection, MembershipAndReplacement) {
    QMap<QString, int> seen;
    EXPECT_FALSE(itemExists(seen, QString("Rte1")));
    SetCollectionItem(seen, 1, QString("Rte1"));
    EXPECT_TRUE(itemExists(seen, QString("Rte1")));
    EXPECT_EQ(SetCollectionItem(seen, 2, QString("Rte1")).value("Rte1"), 2);
    EXPECT_EQ(seen.size(), 1);
}
