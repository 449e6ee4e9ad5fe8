#pragma once

#include <QString>

namespace trekora {

// The stored settings the main window reads at start, with their defaults
// and corrections applied.
struct StartupSettings {
    QString dialogFolder;        // drive/drive: start folder of the file dialogs
    int port = 1;                // port/port: 0 = USB, n = serial port n
    QString serialSettings;      // port/Settings
    int baudIndex = 1;           // entry of the baud menu to tick, -1 for none
    bool feet = false;           // Units/Unit reads "Feet"
    double refreshSeconds = 10;  // app/refresh, normalised
    QString projectionCatalogue; // proj/projfile: "epsg" or "esri"

    // Reads every value; a refresh period that is not above 0 is corrected to
    // 10, one below a second to 1, and the (corrected) period is stored back.
    static StartupSettings read();
};

// The baud menu entry of a serial settings string ("9600,N,8,1" → 1), -1 if
// the string matches no entry.
int baudMenuIndex(const QString& serialSettings);
// The serial settings string of a baud menu entry.
QString serialSettingsOfBaudIndex(int index);
// The baud menu captions, entry 0 first.
extern const char* const kBaudCaptions[7];

// The refresh period a stored or typed text stands for: its numeric value, or
// 10 when that is not above 0. A period below 1 second is raised to 1, and
// periods are capped where a timer can hold them.
double refreshPeriod(const QString& text);
// The text that is stored for a typed refresh answer ("10" for a bad one,
// "1" for one below a second).
QString normalisedRefreshText(const QString& text);
// The timer interval of a period, in milliseconds.
int refreshIntervalMs(double seconds);

} // namespace trekora
