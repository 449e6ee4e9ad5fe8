#pragma once

namespace trekora {

// The seven control states of the main window: which commands a situation
// offers. The table, the loaders and the receiver code name the state they
// have reached; the window applies it (see app/ControlStates).
enum class ControlState {
    NotConnected = 1,
    TableEmptied = 2,
    Connected = 3,
    TableHasRecords = 4,
    RealTimeStarted = 5,
    RealTimeStopped = 6,
    NmeaMode = 7,
};

} // namespace trekora
