#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace trekora {

// The seven control states of the main window as data: which commands each
// state switches on or off. The window applies the changes to its menus and
// buttons by control name; the texts and labels a state also sets are the
// window's part.
namespace ControlStates {

enum State {
    NotConnected = 1,
    TableEmptied = 2,
    Connected = 3,
    TableHasRecords = 4,
    RealTimeStarted = 5,
    RealTimeStopped = 6,
    NmeaMode = 7,
};

// What the states that depend on the table or the link look at.
struct Context {
    bool connected = false;  // status panel 1 reads "Connected"
    bool hasRecords = false; // the table holds at least one record
    QString recordType;      // current record type key
    bool operator==(const Context&) const = default;
};

struct Change {
    QString control;
    bool enabled = false;
};

// The changes of `state`, in the order they apply (a later change of the same
// control wins). Unknown states give no changes.
std::vector<Change> changes(int state, const Context& context);

// The Upload entry of a record type ("" for types that cannot be uploaded).
QString uploadControl(const QString& recordType);

// Every control name the states touch.
QStringList controlNames();

} // namespace ControlStates

} // namespace trekora
