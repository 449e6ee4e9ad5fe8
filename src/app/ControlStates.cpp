#include "app/ControlStates.h"

namespace trekora::ControlStates {

namespace {

const QStringList kDownloads = {"mnuWptDownload", "mnuTrkDownload", "mnuRteDownload"};
const QStringList kUploads = {"mnuWptUpload", "mnuTrkUpload", "mnuRteUpload"};
const QStringList kTypeOptions = {"optWpt", "optTrk", "optRte"};

void set(std::vector<Change>& out, const QStringList& controls, bool enabled) {
    for (const QString& control : controls)
        out.push_back(Change{control, enabled});
}

// Uploads are offered only for a table that has records to send, and only
// the upload of the table's own record type.
void uploadsFor(std::vector<Change>& out, const Context& context, bool linkReady) {
    set(out, kUploads, false);
    const QString upload = uploadControl(context.recordType);
    if (linkReady && context.hasRecords && !upload.isEmpty())
        out.push_back(Change{upload, true});
}

} // namespace

QString uploadControl(std::optional<RecordKind> recordType) {
    switch (recordType.value_or(RecordKind::RealTime)) {
    case RecordKind::Waypoint:
        return QStringLiteral("mnuWptUpload");
    case RecordKind::Track:
        return QStringLiteral("mnuTrkUpload");
    case RecordKind::Route:
        return QStringLiteral("mnuRteUpload");
    case RecordKind::RealTime:
        break;
    }
    return {};
}

std::vector<Change> changes(ControlState state, const Context& context) {
    std::vector<Change> out;
    switch (state) {
    case ControlState::NotConnected:
        set(out, {"mnuLoadFrom"}, true);
        set(out, {"mnuScreenShot", "mnuResetGarmin", "mnuGarminInfo"}, false);
        set(out, kDownloads + kUploads, false);
        set(out, {"mnuStartRT", "mnuStopRT"}, false);
        break;
    case ControlState::TableEmptied:
        set(out, {"mnuSaveTo"}, false);
        set(out, kUploads, false);
        set(out, {"mnuHotlink", "mnuClearTable", "mnuProject", "mnuUnproject"}, false);
        break;
    case ControlState::Connected:
        set(out, {"mnuScreenShot", "mnuResetGarmin", "mnuGarminInfo"}, true);
        set(out, kDownloads, true);
        set(out, {"mnuStartRT"}, true);
        uploadsFor(out, context, true);
        break;
    case ControlState::TableHasRecords:
        // Save, hot-linking, emptying and projection need rows to work on.
        if (context.hasRecords)
            set(out, {"mnuSaveTo", "mnuHotlink", "mnuClearTable", "mnuProject", "mnuUnproject"},
                true);
        uploadsFor(out, context, context.connected);
        break;
    case ControlState::RealTimeStarted:
        set(out, {"mnuStopRT"}, true);
        set(out,
            {"mnuStartRT", "mnuTrkDownload", "mnuTrkUpload", "mnuWptDownload", "mnuWptUpload",
             "mnuSaveTo", "mnuLoadFrom", "mnuGarminInfo"},
            false);
        set(out, kTypeOptions, false);
        break;
    case ControlState::RealTimeStopped:
        set(out, {"mnuStartRT"}, true);
        set(out, {"mnuStopRT"}, false);
        set(out, {"mnuTrkDownload", "mnuWptDownload", "mnuLoadFrom", "mnuGarminInfo"}, true);
        set(out, {"mnuWptUpload", "mnuSaveTo"}, context.hasRecords);
        set(out, kTypeOptions, true);
        break;
    case ControlState::NmeaMode:
        set(out, {"mnuLoadFrom", "mnuStartRT", "mnuNMEA"}, true);
        set(out, {"mnuResetGarmin", "mnuGarminInfo"}, false);
        set(out, kUploads + kDownloads, false);
        set(out, {"mnuStopRT"}, false);
        break;
    }
    return out;
}

QStringList controlNames() {
    QStringList names;
    const Context everything{true, true, RecordKind::Waypoint};
    for (int state = int(ControlState::NotConnected); state <= int(ControlState::NmeaMode); ++state)
        for (const Change& change : changes(ControlState(state), everything))
            if (!names.contains(change.control))
                names << change.control;
    for (const QString& upload : kUploads)
        if (!names.contains(upload))
            names << upload;
    return names;
}

} // namespace trekora::ControlStates
