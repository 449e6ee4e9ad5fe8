#include "core/UserInteraction.h"

#include "core/ScriptedInteraction.h"

namespace trekora {

namespace {

UserInteraction* g_channel = nullptr;

ScriptedInteraction& nonInteractive() {
    static ScriptedInteraction channel = [] {
        ScriptedInteraction c;
        c.setEcho(true);
        return c;
    }();
    return channel;
}

} // namespace

UserInteraction& userInteraction() {
    return g_channel ? *g_channel : nonInteractive();
}

void setUserInteraction(UserInteraction* channel) {
    g_channel = channel;
}

} // namespace trekora
