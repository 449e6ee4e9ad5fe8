#pragma once

#include "core/ControlState.h"
#include "table/RecordKind.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace trekora {

// The seven control states of the main window as data: which commands each
// state switches on or off. The window applies the changes to its menus and
// buttons by control name; the texts and labels a state also sets are the
// window's part.
namespace ControlStates {

// What the states that depend on the table or the link look at.
struct Context {
    bool connected = false;               // the receiver session is connected
    bool hasRecords = false;              // the table holds at least one record
    std::optional<RecordKind> recordType; // the table's current record type
    bool operator==(const Context&) const = default;
};

struct Change {
    QString control;
    bool enabled = false;
};

// The changes of `state`, in the order they apply (a later change of the same
// control wins). Unknown states give no changes.
std::vector<Change> changes(ControlState state, const Context& context);

// The Upload entry of a record type ("" for types that cannot be uploaded).
QString uploadControl(std::optional<RecordKind> recordType);

// Every control name the states touch; the window must have registered each.
QStringList controlNames();

} // namespace ControlStates

} // namespace trekora
