#pragma once

#include <QString>
#include <QStringList>

namespace trekora {

// Commands whose windows the program does not have yet. Each has one switch
// here; while it is off, the command's menu entries stay disabled whatever
// the control states say, so the menus never offer a command that does
// nothing. Building the window means turning its switch on.
namespace CommandAvailability {

enum class Command {
    CalculateCep,     // Edit → Calculate CEP...
    ImageHotlinks,    // Edit → Add Image Hotlinks...
    ScreenShot,       // GPS → Garmin Screen Shot
    RealTimeTracking, // Real Time → START / STOP Real Time Tracking
    NmeaViewer,       // Real Time → View NMEA Strings
};

// True when the command's window is part of the program.
bool isBuilt(Command command);
// The menu entries (control names) of a command.
QStringList controlsOf(Command command);
// False for a control that belongs to a command not built yet.
bool isAvailable(const QString& controlName);
// Every control of the commands not built yet.
QStringList unavailableControls();

} // namespace CommandAvailability

} // namespace trekora
