#include "proj/CurrentProjection.h"

#include "core/AppPaths.h"
#include "core/Settings.h"
#include "core/UserInteraction.h"
#include "proj/ProjectionBridge.h"
#include "proj/ProjectionCatalogue.h"
#include "table/TableHost.h"

#include <QFile>
#include <QSaveFile>

namespace trekora {

namespace {

const QString kSection = QStringLiteral("proj");
const QString kDefaultCode = QStringLiteral("4326");
const QString kDefaultProjection = QStringLiteral("26915");
// The catalogue files are a few MB at most; anything far larger is not one.
constexpr qint64 kMaxCatalogueBytes = 64 * 1024 * 1024;

void showMessage(const QString& text) {
    if (projectionHooks().setMessage)
        projectionHooks().setMessage(text);
}

void showBusy(bool busy) {
    if (projectionHooks().setBusy)
        projectionHooks().setBusy(busy);
}

} // namespace

ProjectionHooks& projectionHooks() {
    static ProjectionHooks hooks;
    return hooks;
}

namespace CurrentProjection {
QString code() {
    return Settings::get(kSection, QStringLiteral("proj"), kDefaultCode);
}
QString catalogueFile() {
    return Settings::get(kSection, QStringLiteral("projfile"), QStringLiteral("epsg"));
}
QString prjText(const QString& code) {
    return Settings::get(kSection, code);
}
void setPrjText(const QString& code, const QString& text) {
    Settings::set(kSection, code, text);
}
} // namespace CurrentProjection

bool LoadProjections(const QString& catalogueName) {
    auto& catalogue = ProjectionCatalogue::instance();
    catalogue.clear();
    catalogue.setFileName(catalogueName);
    showBusy(true);
    const QString path = AppPaths::dataFile(QStringLiteral("proj/nad/") + catalogueName);
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly) || file.size() > kMaxCatalogueBytes) {
        showBusy(false);
        userInteraction().message(QStringLiteral("Could not find projections file located at ") +
                                      path,
                                  QString(), Buttons::Ok);
        return false;
    }
    showMessage(QStringLiteral("Loading projections"));
    catalogue.parse(file.readAll());
    showBusy(false);
    PromptForDefaultProjection();
    return true;
}

void PromptForDefaultProjection() {
    if (!Settings::get(kSection, QStringLiteral("proj")).isEmpty())
        return;
    auto& hooks = projectionHooks();
    if (hooks.propertiesVisible && hooks.propertiesVisible())
        return;
    if (hooks.unattended && hooks.unattended())
        return;
    Settings::set(kSection, QStringLiteral("proj"), kDefaultCode);
    Settings::set(kSection, QStringLiteral("projfile"), QStringLiteral("epsg"));
    if (hooks.fillProjectionTab)
        hooks.fillProjectionTab();
    const Answer answer = userInteraction().question(
        QStringLiteral("Would you like to use the Default Projection (NAD83 - UTM Zone 15)?  "
                       "Answering NO ") +
            QStringLiteral("will allow you to select a different projection."),
        QStringLiteral("Set Default Projection"));
    if (answer == Answer::Yes) {
        Settings::set(kSection, QStringLiteral("proj"), kDefaultProjection);
        Settings::set(kSection, QStringLiteral("projfile"), QStringLiteral("epsg"));
    } else if (hooks.openProperties) {
        hooks.openProperties(0);
    }
}

QString getProjectionName() {
    const auto& catalogue = ProjectionCatalogue::instance();
    const auto entry = catalogue.findCode(CurrentProjection::code());
    if (!entry)
        return {};
    if (catalogue.isEsri())
        return entry->group;
    return entry->group + QStringLiteral(" - ") + entry->description;
}

std::optional<QString> getProjectionDescription(bool source) {
    const QString code = Settings::get(
        kSection, source ? QStringLiteral("srcproj") : QStringLiteral("proj"), kDefaultCode);
    const auto& catalogue = ProjectionCatalogue::instance();
    const auto entry = catalogue.findCode(code);
    if (!entry)
        return std::nullopt;
    return ProjectionCatalogue::parametersOf(
        catalogue.definitionLine(entry->group, entry->description));
}

void WritePRJ(const QString& basePath, bool projected) {
    const QString code = projected ? Settings::get(kSection, QStringLiteral("proj")) : kDefaultCode;
    if (code.isEmpty())
        return;
    QString text = CurrentProjection::prjText(code);
    // A code chosen without a PRJ text of its own (the default projection,
    // a quiet task's code) still gets a .prj that GIS programs understand.
    if (text.isEmpty())
        text = ProjectionBridge::instance().esriWkt(
            projected ? CurrentProjection::catalogueFile() : QStringLiteral("epsg"), code);
    if (text.isEmpty())
        return;
    // Written beside the old file and renamed over it, so a failed write
    // never leaves a truncated .prj behind.
    QSaveFile file(basePath + QStringLiteral(".prj"));
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(text.toUtf8());
    file.write("\r\n");
    file.commit();
}

void ShowCurrentProjection(TableHost& host) {
    const QString name = getProjectionName();
    host.setMessage(QStringLiteral("Projection: ") + name);
    userInteraction().message(name, QStringLiteral("Current Projection"));
}

} // namespace trekora
