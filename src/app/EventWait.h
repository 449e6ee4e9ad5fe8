#pragma once

#include <functional>

namespace trekora {

// Lets events run in a nested event loop until `done` holds or `timeoutMs`
// has passed; true when `done` held. The condition is looked at after every
// turn of the loop and on a short timer, never in a busy loop.
bool waitLettingEventsRun(const std::function<bool()>& done, int timeoutMs);

} // namespace trekora
