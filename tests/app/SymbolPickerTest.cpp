#include "MainWindowFixture.h"

#include "app/frmWptSelect.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

using namespace trekora;

namespace {

QStringList listTexts(const frmWptSelect& dialog) {
    QStringList out;
    for (int i = 0; i < dialog.listView->count(); ++i)
        out << dialog.listView->item(i)->text();
    return out;
}

} // namespace

class SymbolPickerTest : public test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        start();
    }
    void TearDown() override {
        frmWptSelect::setModalRunner({});
        MainWindowTest::TearDown();
    }
    QString cell(int row, const char* field) {
        return table().grid().text(row, table().FindColumn(field));
    }
    QString picture(int row, const char* field) {
        return table().grid().picture(row, table().FindColumn(field));
    }
    void selectCells(int row, int rowSel, const char* field) {
        const int col = table().FindColumn(field);
        table().grid().setCurrent(row, col);
        table().grid().setSelection(rowSel, col);
    }
};

TEST_F(SymbolPickerTest, StartLoadsTheIconsAndMaps) {
    EXPECT_EQ(window->symbolIcons().size(), 140);
    EXPECT_FALSE(window->symbolIcons().value("*8264").isNull());
    EXPECT_EQ(window->d103Symbols().value("8196"), 15);
    EXPECT_EQ(window->d1xxSymbols().value("15"), 8196);
}

TEST_F(SymbolPickerTest, DialogControlsSortAndFormat) {
    frmWptSelect dialog(window->symbolIcons(), window->d103Symbols());
    EXPECT_EQ(dialog.windowTitle(), "Select a Waypoint Symbol");
    EXPECT_TRUE(dialog.isModal());
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(dialog.optSort[0]->isChecked());
    EXPECT_TRUE(dialog.optID[0]->isChecked());
    EXPECT_EQ(dialog.optID[1]->toolTip(), "Models such as GPS 12, 12XL, 48, II+");
    EXPECT_EQ(dialog.lblHelp->toolTip(),
              "To determine your Waypoint Data Format go to GPS => Garmin Info");
    EXPECT_EQ(dialog.lblNote->text(), "Your GPS may not accept all symbols.");

    ASSERT_EQ(dialog.listView->count(), 140);
    EXPECT_EQ(dialog.selectedSymbol()->text, "0 (Marina)");
    EXPECT_FALSE(dialog.listView->item(0)->icon().isNull());

    // The format option alone changes nothing; the next sort click applies it.
    dialog.optID[1]->click();
    EXPECT_EQ(dialog.listView->count(), 140);
    dialog.optSort[1]->click();
    EXPECT_EQ(listTexts(dialog).mid(0, 2), QStringList({"Boat Ramp (150)", "Campground (151)"}));
    EXPECT_EQ(dialog.listView->count(), 16);
    dialog.optSort[0]->click();
    EXPECT_EQ(listTexts(dialog).mid(0, 3),
              QStringList({"0 (Marina)", "10 (Residence)", "14 (Skull and Crossbones)"}));
}

TEST_F(SymbolPickerTest, ButtonsDoubleClickAndCloseSetTheTag) {
    frmWptSelect dialog(window->symbolIcons(), window->d103Symbols());
    auto runWith = [&](std::function<void(frmWptSelect&)> action) {
        frmWptSelect::setModalRunner(std::move(action));
        return dialog.showModal();
    };
    EXPECT_EQ(runWith([](frmWptSelect& d) {
                  d.listView->setCurrentRow(4);
                  emit d.listView->itemDoubleClicked(d.listView->item(4));
              }),
              "OK");
    EXPECT_EQ(dialog.selectedSymbol()->text, dialog.listView->item(4)->text());
    EXPECT_EQ(runWith([](frmWptSelect& d) { d.CancelButton->click(); }), "Cancel");
    EXPECT_EQ(runWith([](frmWptSelect& d) { d.OKButton->click(); }), "OK");
    EXPECT_EQ(runWith([](frmWptSelect& d) { d.close(); }), "Cancel"); // close box
    EXPECT_EQ(runWith([](frmWptSelect&) {}), "Cancel");               // no decision
}

TEST_F(SymbolPickerTest, SymbolColumnTakesThePickedSymbol) {
    for (int i = 0; i < 3; ++i)
        window->controls().cmdAddRec->click();
    selectCells(1, 2, "symbol");
    frmWptSelect::setModalRunner([](frmWptSelect& d) {
        d.optSort[1]->click(); // by name: item texts start with the name
        const auto found = d.listView->findItems("Contact, Female1 (8264)", Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        d.listView->setCurrentItem(found.front());
        emit d.listView->itemDoubleClicked(found.front());
    });
    window->MSFlexGrid1_DblClick();
    EXPECT_TRUE(ui.records().isEmpty()); // no input box in the symbol column
    for (int r : {1, 2}) {
        EXPECT_EQ(cell(r, "symbol"), "8264");
        EXPECT_EQ(picture(r, "symbol"), "*8264");
    }
    EXPECT_EQ(cell(3, "symbol"), "18");
    EXPECT_EQ(picture(3, "symbol"), "*18");

    // Cancel leaves the cells alone.
    frmWptSelect::setModalRunner([](frmWptSelect& d) {
        d.listView->setCurrentRow(7);
        d.CancelButton->click();
    });
    selectCells(3, 3, "symbol");
    window->MSFlexGrid1_DblClick();
    EXPECT_EQ(cell(3, "symbol"), "18");

    // A block wider than the symbol column is typed as usual.
    table().grid().setCurrent(3, table().FindColumn("symbol"));
    table().grid().setSelection(3, table().FindColumn("symbol") + 1);
    frmWptSelect::setModalRunner([](frmWptSelect&) { FAIL() << "picker shown"; });
    ui.answerInput(QString("7"));
    window->MSFlexGrid1_DblClick();
    EXPECT_EQ(cell(3, "symbol"), "7");
}
