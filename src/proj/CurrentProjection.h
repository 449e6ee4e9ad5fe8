#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace trekora {

class TableHost;

// What the projection routines need from the windows: the main window's
// status line and pointer, and the Properties dialog. The main window fills
// these in at start; unset ones do nothing (headless modes, tests).
struct ProjectionHooks {
    std::function<void(const QString&)> setMessage;
    std::function<void(bool)> setBusy;
    // True while the Properties dialog is on screen.
    std::function<bool()> propertiesVisible;
    // Fills the Projection tab from the catalogue (loadProjectionListboxes).
    std::function<void()> fillProjectionTab;
    // Open_Properties(tab index).
    std::function<void(int)> openProperties;
    // True when nobody can answer (quiet tasks): the first-use question is
    // not asked and nothing is stored; the unset projection reads as 4326.
    std::function<bool()> unattended;
};
ProjectionHooks& projectionHooks();

// The current projection: settings of section "proj".
namespace CurrentProjection {
// proj/proj: the code of y_proj/x_proj ("4326" when unset).
QString code();
// proj/projfile: "epsg" or "esri" ("epsg" when unset).
QString catalogueFile();
// The PRJ text stored under a code (empty when none).
QString prjText(const QString& code);
void setPrjText(const QString& code, const QString& text);
} // namespace CurrentProjection

// Reads the catalogue "epsg" or "esri" from the data directory's proj/nad
// folder and rebuilds the catalogue tables; then asks for a default
// projection on first use. A missing file is reported and leaves the
// catalogue empty; returns false then.
bool LoadProjections(const QString& catalogueName);

// The name of the current projection: "group - description" for the EPSG
// catalogue, the group alone for ESRI, "" for a code not in the catalogue.
QString getProjectionName();

// The PROJ parameters of the source (proj/srcproj) or current (proj/proj)
// projection; std::nullopt when the code is not in the catalogue.
std::optional<QString> getProjectionDescription(bool source);

// The first-use prompt: when no projection was ever chosen, offer the
// default one or open the Projection tab.
void PromptForDefaultProjection();

// Writes base path + ".prj" with the PRJ text of the current projection
// (projected) or of 4326; a code without an attached text gets PROJ's ESRI
// text for it. Errors leave no file and are not reported.
void WritePRJ(const QString& basePath, bool projected);

// The Get Projection command: the name on the status line and in a box.
void ShowCurrentProjection(TableHost& host);

} // namespace trekora
