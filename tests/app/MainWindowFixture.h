#pragma once

#include "app/GpsTableView.h"
#include "app/frmMain.h"
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
    void start(QStringList arguments = {}) {
        window = std::make_unique<frmMain>(StartOptions{std::move(arguments), false});
        window->Form_Load();
    }
    void TearDown() override {
        window.reset();
        TestEnvironment::TearDown();
    }
    GpsTable& table() { return window->table(); }

    std::unique_ptr<frmMain> window;
};

} // namespace trekora::test
