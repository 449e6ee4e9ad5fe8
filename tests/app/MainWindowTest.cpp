#include "MainWindowFixture.h"

#include "app/WindowSizing.h"
#include "core/AppPaths.h"
#include "core/Settings.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>

using namespace trekora;
using test::MainWindowTest;
using WindowSizing::pixels;

TEST_F(MainWindowTest, FirstStartUsesTheDefaults) {
    ui.answerMessage(Answer::Yes); // the default projection
    firstStart();
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.records()[0].title, "Set Default Projection");
    EXPECT_EQ(Settings::get("proj", "proj"), "26915");
    EXPECT_EQ(window->portIndex(), 1);
    EXPECT_TRUE(window->menus().mnuPort[1]->isChecked());
    EXPECT_EQ(window->serialSettings(), "9600,N,8,1");
    EXPECT_TRUE(window->menus().mnuBaudRate[1]->isChecked());
    EXPECT_EQ(window->menus().mnuBaudRate[1]->text(), "9600 (Garmin Default)");
    EXPECT_TRUE(window->menus().mnuMeters->isChecked());
    EXPECT_FALSE(window->menus().mnuFeet->isChecked());
    EXPECT_EQ(window->refreshIntervalMs(), 10000);
    EXPECT_TRUE(window->refreshTimer().isActive());
    EXPECT_EQ(window->projectionCatalogue(), "epsg");
    EXPECT_EQ(table().currentRecordType(), "waypoint");
    EXPECT_TRUE(window->controls().optWpt->isChecked());
    // Every type's field settings are valid after start.
    EXPECT_EQ(Settings::get("fields", "track").count(','), 13);
}

TEST_F(MainWindowTest, StoredSettingsAreReadAndBadOnesCorrected) {
    struct Case {
        QString refresh, storedRefresh;
        int intervalMs;
    };
    for (const Case& c : {Case{"0", "10", 10000}, Case{"abc", "10", 10000}, Case{"-3", "10", 10000},
                          Case{"25", "25", 25000}}) {
        Settings::set("app", "refresh", c.refresh);
        Settings::set("port", "port", "3");
        Settings::set("port", "Settings", "4800,N,8,1");
        Settings::set("Units", "Unit", "Feet");
        Settings::set("proj", "projfile", "esri");
        start();
        EXPECT_EQ(Settings::get("app", "refresh"), c.storedRefresh) << c.refresh.toStdString();
        EXPECT_EQ(window->refreshIntervalMs(), c.intervalMs);
        EXPECT_TRUE(window->menus().mnuPort[3]->isChecked());
        EXPECT_TRUE(window->menus().mnuBaudRate[0]->isChecked());
        EXPECT_TRUE(window->menus().mnuFeet->isChecked());
        EXPECT_FALSE(window->unitsMeters());
        EXPECT_EQ(window->projectionCatalogue(), "esri");
    }
    // An unknown serial string ticks no baud entry but is kept; an unknown unit means meters.
    Settings::set("port", "Settings", "1200,E,7,1");
    Settings::set("Units", "Unit", "feet");
    start();
    EXPECT_EQ(window->serialSettings(), "1200,E,7,1");
    for (QAction* entry : window->menus().mnuBaudRate)
        EXPECT_FALSE(entry->isChecked());
    EXPECT_TRUE(window->unitsMeters());
}

TEST_F(MainWindowTest, CommandLineWordsAreReadWithoutRegardToCase) {
    start({"QUIET", "download"});
    EXPECT_TRUE(window->quietMode());
    EXPECT_FALSE(window->minimizeMode());
    EXPECT_EQ(window->commandLine(), "QUIET download");
    start({"Minimize"});
    EXPECT_TRUE(window->minimizeMode());
    start({"--simulate"});
    EXPECT_FALSE(window->quietMode());
    EXPECT_FALSE(window->minimizeMode());
}

TEST_F(MainWindowTest, WindowStartsCollapsedAndTheFirstRecordShowsTheTable) {
    start();
    EXPECT_EQ(window->windowTitle(), "Orvane - Garmin ");
    EXPECT_EQ(window->statusPanel(1), "Not Connected");
    EXPECT_FALSE(window->tableShown());
    EXPECT_EQ(window->controls().cmdAdvanced->text(), ">>> Data Table >>>");
    EXPECT_EQ(window->size(), QSize(pixels(7700), pixels(1900)));
    EXPECT_TRUE(window->controls().MSFlexGrid1->isHidden());

    window->controls().cmdAddRec->click();
    EXPECT_TRUE(window->tableShown());
    EXPECT_EQ(window->controls().cmdAdvanced->text(), "<<< Data Table <<<");
    EXPECT_FALSE(window->controls().MSFlexGrid1->isHidden());
    EXPECT_EQ(window->size(), QSize(pixels(7700), pixels(5500)));
    const DataGrid& grid = table().grid();
    EXPECT_EQ(grid.text(1, 1), "WAYPOINT");
    EXPECT_EQ(grid.text(1, 2), "w1");
    EXPECT_EQ(grid.text(1, table().FindColumn("symbol")), "18");
    EXPECT_EQ(window->controls().MSFlexGrid1->model()->rowCount(), 1);
    EXPECT_EQ(window->controls().MSFlexGrid1->model()->headerData(0, Qt::Horizontal).toString(),
              "type");
    EXPECT_EQ(window->statusPanel(2), "Loaded 1 records");
    EXPECT_EQ(window->statusPanel(3), "0 of 1 Selected");
}

TEST_F(MainWindowTest, ResizeSnapsToTheMinimumWhileTheTableIsShown) {
    start();
    window->show(); // resize events reach shown windows only
    window->resize(pixels(9000), pixels(6000));
    EXPECT_EQ(window->size(), QSize(pixels(7700), pixels(1900))); // hidden: fixed
    window->cmdAdvanced_Click();
    window->resize(pixels(5000), pixels(4000));
    EXPECT_EQ(window->size(), QSize(pixels(7700), pixels(5500)));
    window->resize(pixels(9000), pixels(6000));
    EXPECT_EQ(window->size(), QSize(pixels(9000), pixels(6000)));
    // The grid keeps its margins and the table button sits 2300 twips from the right.
    EXPECT_EQ(window->controls().MSFlexGrid1->size(),
              QSize(pixels(9000) - pixels(875), pixels(6000) - pixels(2400)));
    EXPECT_EQ(window->controls().cmdAdvanced->x(), pixels(9000) - pixels(2300));
    window->cmdAdvanced_Click();
    EXPECT_EQ(window->size(), QSize(pixels(7700), pixels(1900)));
}

TEST_F(MainWindowTest, TitleAndHostMenusFollowTheRunningPrograms) {
    start();
    EXPECT_FALSE(window->menus().mnuAVLoad->menuAction()->isVisible());
    EXPECT_FALSE(window->menus().mnuArcMapSave->menuAction()->isVisible());
    window->setHostProbe([] {
        HostPresence hosts;
        hosts.arcMap = true;
        hosts.arcView = true;
        return hosts;
    });
    window->menus().mnuRefreshApps->trigger();
    EXPECT_EQ(window->windowTitle(), "Orvane - Garmin / Arcview / ArcMap ");
    EXPECT_TRUE(window->menus().mnuAVLoad->menuAction()->isVisible());
    EXPECT_TRUE(window->menus().mnuAVSave->menuAction()->isVisible());
    EXPECT_TRUE(window->menus().mnuArcMapSave->menuAction()->isVisible());
    EXPECT_FALSE(window->menus().mnuLVLoad->menuAction()->isVisible());
    EXPECT_FALSE(window->menus().mnuAESave->menuAction()->isVisible());

    HostPresence all{true, true, true, true};
    EXPECT_EQ(all.windowTitle(), "Orvane - Garmin / Arcview / Landview / ArcExplorer / ArcMap ");
}

TEST_F(MainWindowTest, SetAppRefreshRateAsksAndStoresTheRate) {
    start();
    struct Case {
        std::optional<QString> answer;
        QString stored;
        int intervalMs;
    };
    const QString prompt = "Trekora periodically checks to see if particular GIS programs are "
                           "running.  Enter the Rate (in Seconds) at which you'd like it to check.";
    for (const Case& c : {Case{QString("30"), "30", 30000}, Case{QString(""), "30", 30000},
                          Case{std::nullopt, "30", 30000}, Case{QString("abc"), "10", 10000},
                          Case{QString("-4"), "10", 10000}}) {
        const QString before = Settings::get("app", "refresh");
        ui.clear();
        ui.answerInput(c.answer);
        window->menus().mnuSetRefreshRate->trigger();
        ASSERT_EQ(ui.records().size(), 1);
        EXPECT_EQ(ui.records()[0].text, prompt);
        EXPECT_EQ(ui.records()[0].title, "Set App Refresh Rate");
        EXPECT_EQ(ui.records()[0].defaultText, before);
        EXPECT_EQ(Settings::get("app", "refresh"), c.stored);
        EXPECT_EQ(window->refreshIntervalMs(), c.intervalMs);
    }
}

TEST_F(MainWindowTest, UnitsMenuTicksOneEntryAndStoresIt) {
    start();
    window->menus().mnuFeet->trigger();
    EXPECT_TRUE(window->menus().mnuFeet->isChecked());
    EXPECT_FALSE(window->menus().mnuMeters->isChecked());
    EXPECT_EQ(Settings::get("Units", "Unit"), "Feet");
    window->menus().mnuMeters->trigger();
    EXPECT_TRUE(window->unitsMeters());
    EXPECT_EQ(Settings::get("Units", "Unit"), "Meters");
}

TEST_F(MainWindowTest, HelpOpensTheManualOrWarnsWhereItLooked) {
    start();
    QUrl opened;
    window->setUrlOpener([&](const QUrl& url) {
        opened = url;
        return true;
    });
    AppPaths::setDataDir(scratchPath("data"));
    window->menus().mnuHelpIndex->trigger();
    EXPECT_TRUE(opened.isEmpty());
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.messages()[0], "Garmin documentation could not be found at " +
                                    scratchPath("data") + "/manual.  Go to \n" +
                                    "https://trekora.org/manual/\nfor more information");

    AppPaths::setDataDir(QStringLiteral(TREKORA_SOURCE_DIR "/data"));
    window->menus().mnuHelpIndex->trigger();
    EXPECT_EQ(opened, QUrl::fromLocalFile(TREKORA_SOURCE_DIR "/data/manual/index.html"));
    EXPECT_EQ(ui.messages().size(), 1);
}

TEST_F(MainWindowTest, PortMenuShowsTheMappedDevices) {
    Settings::set("port", "device2", scratchPath("missing-tty"));
    Settings::set("port", "device3", "/dev/null");
    start();
    EXPECT_TRUE(window->menus().mnuPort[0]->isEnabled());
    EXPECT_EQ(window->menus().mnuPort[2]->text(), "Port 2 (" + scratchPath("missing-tty") + ")");
    EXPECT_FALSE(window->menus().mnuPort[2]->isEnabled());
    EXPECT_EQ(window->menus().mnuPort[3]->text(), "Port 3 (/dev/null)");
    EXPECT_TRUE(window->menus().mnuPort[3]->isEnabled());

    window->menus().mnuPort[3]->trigger();
    EXPECT_EQ(Settings::get("port", "port"), "3");
    window->menus().mnuBaudRate[4]->trigger();
    EXPECT_EQ(Settings::get("port", "Settings"), "38400,N,8,1");
}

TEST_F(MainWindowTest, ExitStoresTheDialogFolderAndStopsTheTimer) {
    start();
    window->setDialogFolder(scratchPath("fieldwork"));
    window->close();
    EXPECT_EQ(Settings::get("drive", "drive"), scratchPath("fieldwork"));
    EXPECT_FALSE(window->refreshTimer().isActive());
}
