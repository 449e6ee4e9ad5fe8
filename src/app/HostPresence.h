#pragma once

#include <QString>

namespace trekora {

// Which GIS programs the periodic check found running.
struct HostPresence {
    bool arcView = false;
    bool landview = false;
    bool arcExplorer = false;
    bool arcMap = false;

    // The main window's title: "Orvane - Garmin " and a piece per running host.
    QString windowTitle() const;
};

} // namespace trekora
