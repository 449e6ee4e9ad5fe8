#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace trekora {

// How a quiet task ends, as the program's exit status: scripts read it.
enum class QuietExit : int {
    Done = 0,    // everything transferred and written
    Failed = 1,  // nothing written, or nothing sent
    Usage = 2,   // the command line is not a quiet task
    Partial = 3, // written, but the count differs, the table cut the data or rows were refused
};

// The command line of a quiet task:
//   quiet,download,<waypoint|track>,<point|line|polygon>,<file>[,<code>]
//   quiet,upload,<waypoint|track>,<ignored>,<file>[,<code>]
//   quiet,rt_start,<seconds>,<metres>,<point shapefile>[,<code>]
// Fields are split at "," and not trimmed; the action is read without
// regard to case, the record and shape words as written.
struct QuietCommand {
    enum class Action { Download, Upload, RealTimeStart };

    Action action = Action::Download;
    QStringList fields;

    QString field(int index) const { return fields.value(index); }
    QString recordType() const { return field(2); }
    QString shapeType() const { return field(3); }
    QString fileName() const { return field(4); }
    QString projectionCode() const { return field(5); }

    // The task of `commandLine`, or std::nullopt with `error` saying what is
    // wrong with it in one line.
    static std::optional<QuietCommand> parse(const QString& commandLine, QString* error);
    // True when the line has the five fields every task needs.
    static bool hasAllFields(const QString& commandLine);
    static QString usage();
};

} // namespace trekora
