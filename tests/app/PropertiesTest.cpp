#include "MainWindowFixture.h"

#include "app/frmProperties.h"
#include "core/Settings.h"
#include "table/FieldSettings.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

using namespace trekora;

namespace {

QListWidgetItem* itemNamed(QListWidget* list, const QString& name) {
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text() == name)
            return list->item(i);
    return nullptr;
}

} // namespace

class PropertiesTest : public test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        start();
    }
    frmProperties& dialog() { return window->properties(); }
};

TEST_F(PropertiesTest, OpensOnTheAskedTabWithItsControls) {
    struct Case {
        QAction* entry;
        int tab;
        bool reset, calcArea;
    };
    for (const Case& c : {Case{window->menus().mnuSetProjection, 0, false, false},
                          Case{window->menus().mnuWptProperties, 1, true, false},
                          Case{window->menus().mnuTrkProperties, 2, true, true},
                          Case{window->menus().mnuRteProperties, 3, true, true},
                          Case{window->menus().mnuRTProperties, 4, true, true}}) {
        c.entry->trigger();
        EXPECT_EQ(dialog().SSTab1->currentIndex(), c.tab);
        EXPECT_EQ(!dialog().cmdWReset->isHidden(), c.reset) << c.tab;
        EXPECT_EQ(!dialog().cbxCalcArea->isHidden(), c.calcArea) << c.tab;
        dialog().cmdCancel_Click();
    }
    EXPECT_EQ(dialog().windowTitle(), "Trekora Properties");
    EXPECT_EQ(dialog().SSTab1->tabText(4), "RTimeWpt");
    EXPECT_EQ(dialog().cmdWReset->toolTip(), "Resets Field Selection Set");
    EXPECT_EQ(dialog().lbxWFields->count(), 30);
    EXPECT_EQ(dialog().lbxRTFields->item(25)->text(), "filename");
}

TEST_F(PropertiesTest, RequiredFieldsCannotBeCleared) {
    QListWidgetItem* lat = itemNamed(dialog().lbxWFields, "lat");
    lat->setCheckState(Qt::Unchecked);
    EXPECT_EQ(lat->checkState(), Qt::Checked);
    EXPECT_EQ(ui.messages(), QStringList{"This is a required field"});

    QListWidgetItem* rident = itemNamed(dialog().lbxRFields, "rident");
    rident->setCheckState(Qt::Unchecked);
    EXPECT_EQ(rident->checkState(), Qt::Checked);

    QListWidgetItem* comment = itemNamed(dialog().lbxWFields, "comment");
    comment->setCheckState(Qt::Unchecked);
    EXPECT_EQ(comment->checkState(), Qt::Unchecked);
    EXPECT_EQ(ui.messages().size(), 2);
}

TEST_F(PropertiesTest, OkStoresEveryListAndHidesTheColumnsOfTheTable) {
    window->controls().cmdAddRec->click();
    table().grid().setText(1, table().FindColumn("comment"), "spring");
    window->Open_Properties(1);
    itemNamed(dialog().lbxWFields, "comment")->setCheckState(Qt::Unchecked);
    itemNamed(dialog().lbxTFields, "time")->setCheckState(Qt::Unchecked);
    dialog().cbxCalcArea->setChecked(true);
    dialog().cmdOK_Click();

    EXPECT_TRUE(dialog().isHidden());
    EXPECT_TRUE(Settings::get("fields", "waypoint").contains("comment:0,display:1"));
    EXPECT_TRUE(Settings::get("fields", "track").contains("time:0"));
    EXPECT_EQ(Settings::get("fields", "track_area"), "1");
    const int comment = table().FindColumn("comment");
    ASSERT_GT(comment, 0);
    EXPECT_EQ(table().grid().colWidth(comment), 0);
    EXPECT_EQ(table().grid().text(1, comment), "spring"); // the values stay
    EXPECT_TRUE(window->controls().MSFlexGrid1->isColumnHidden(comment - 1));

    // The lists keep their state; the next OK saves what they show.
    window->Open_Properties(2);
    EXPECT_EQ(itemNamed(dialog().lbxWFields, "comment")->checkState(), Qt::Unchecked);
}

TEST_F(PropertiesTest, CancelStoresNothing) {
    const QString before = Settings::get("fields", "waypoint");
    window->Open_Properties(1);
    itemNamed(dialog().lbxWFields, "comment")->setCheckState(Qt::Unchecked);
    dialog().cbxCalcArea->setChecked(true);
    dialog().cmdCancel_Click();
    EXPECT_TRUE(dialog().isHidden());
    EXPECT_EQ(Settings::get("fields", "waypoint"), before);
    EXPECT_EQ(Settings::get("fields", "track_area", "0"), "0");
}

TEST_F(PropertiesTest, ResetStoresTheDefaultAtOnceAndRefillsEveryList) {
    Settings::set("fields", "track",
                  FieldSettings::defaultValue("track").replace("time:1", "time:0"));
    window->Open_Properties(2);
    EXPECT_EQ(itemNamed(dialog().lbxTFields, "time")->checkState(), Qt::Unchecked);
    itemNamed(dialog().lbxWFields, "comment")->setCheckState(Qt::Unchecked); // unsaved

    dialog().cmdWReset->click();
    EXPECT_EQ(Settings::get("fields", "track"), FieldSettings::defaultValue("track"));
    EXPECT_EQ(itemNamed(dialog().lbxTFields, "time")->checkState(), Qt::Checked);
    EXPECT_EQ(itemNamed(dialog().lbxWFields, "comment")->checkState(), Qt::Checked);
    dialog().cmdCancel_Click();
    EXPECT_EQ(Settings::get("fields", "track"), FieldSettings::defaultValue("track"));
}

TEST_F(PropertiesTest, HandEditedSettingWithAMissingItemIsReplacedByTheDefault) {
    QString shortened = FieldSettings::defaultValue("route");
    shortened.chop(QString(",filename:1").size());
    Settings::set("fields", "route", shortened.replace("comment:1", "comment:0"));
    Settings::set("fields", "rtimewpt", "type:1,ident:0");
    EXPECT_EQ(dialog().lbxRFields->count(), 37);
    EXPECT_EQ(itemNamed(dialog().lbxRFields, "comment")->checkState(), Qt::Checked);
    EXPECT_EQ(Settings::get("fields", "rtimewpt"), FieldSettings::defaultValue("rtimewpt"));
}

TEST_F(PropertiesTest, HidingColumnsFromTheTableReloadsTheDialog) {
    window->controls().cmdAddRec->click();
    window->Open_Properties(1);
    dialog().cmdCancel_Click();
    const int comment = table().FindColumn("comment");
    table().grid().setCurrent(1, comment);
    table().grid().setSelection(1, comment);
    table().UpdateSelection();
    window->controls().cmdDeleteSel->click();
    EXPECT_EQ(table().grid().colWidth(comment), 0);
    EXPECT_TRUE(Settings::get("fields", "waypoint").contains("comment:0"));
    EXPECT_EQ(itemNamed(dialog().lbxWFields, "comment")->checkState(), Qt::Unchecked);
}
