#pragma once

#include "app/GpsTableView.h"
#include "app/frmMain.h"
#include "core/Settings.h"
#include "support/TestEnvironment.h"
#include "table/GpsTable.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <memory>

namespace trekora::test {

// A main window started as the program starts it, without showing anything.
class MainWindowTest : public TestEnvironment {
protected:
    // A program that has been used before: a projection is chosen, so the
    // first-use question does not interfere (firstStart() leaves it unset).
    void start(QStringList arguments = {}) {
        if (Settings::get("proj", "proj").isEmpty())
            Settings::set("proj", "proj", "4326");
        firstStart(std::move(arguments));
    }
    void firstStart(QStringList arguments = {}) {
        window = std::make_unique<frmMain>(StartOptions{std::move(arguments), false});
        // No receiver is connected at start unless a test asks for one.
        if (!connectAtStart)
            window->setOpenPortHandler([] {});
        window->Form_Load();
    }
    void TearDown() override {
        window.reset();
        TestEnvironment::TearDown();
    }
    GpsTable& table() { return window->table(); }

    std::unique_ptr<frmMain> window;
    bool connectAtStart = false;
};

} // namespace trekora::test
