#include "app/CommandAvailability.h"

#include <initializer_list>

namespace trekora::CommandAvailability {

namespace {

struct Switch {
    Command command;
    bool built;
    std::initializer_list<const char*> controls;
};

// One line per command; set `built` once its window exists.
const Switch kSwitches[] = {
    {Command::CalculateCep, false, {"mnuCEP"}},
    {Command::ImageHotlinks, false, {"mnuHotlink"}},
    {Command::ScreenShot, false, {"mnuScreenShot"}},
    {Command::RealTimeTracking, false, {"mnuStartRT", "mnuStopRT"}},
    {Command::NmeaViewer, false, {"mnuNMEA"}},
};

const Switch* find(Command command) {
    for (const Switch& s : kSwitches)
        if (s.command == command)
            return &s;
    return nullptr;
}

} // namespace

bool isBuilt(Command command) {
    const Switch* s = find(command);
    return !s || s->built;
}

QStringList controlsOf(Command command) {
    QStringList names;
    if (const Switch* s = find(command))
        for (const char* name : s->controls)
            names << QString::fromLatin1(name);
    return names;
}

bool isAvailable(const QString& controlName) {
    return !unavailableControls().contains(controlName);
}

QStringList unavailableControls() {
    QStringList names;
    for (const Switch& s : kSwitches)
        if (!s.built)
            names << controlsOf(s.command);
    return names;
}

} // namespace trekora::CommandAvailability
