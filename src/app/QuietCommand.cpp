#include "app/QuietCommand.h"

namespace trekora {

namespace {

constexpr int kRequiredFields = 5;

QString quoted(const QString& word) {
    return QLatin1Char('"') + word + QLatin1Char('"');
}

// Blanks around a word are the usual slip: fields are taken as written.
QString blankHint(const QString& word) {
    if (word.trimmed() != word)
        return QStringLiteral(" (fields are taken as written: no blank after a comma)");
    return {};
}

bool oneOf(const QString& word, std::initializer_list<const char*> words) {
    for (const char* w : words)
        if (word == QLatin1String(w))
            return true;
    return false;
}

} // namespace

QString QuietCommand::usage() {
    return QStringLiteral(
        "usage: trekora quiet,download,waypoint|track,point|line|polygon,FILE[,CODE] | "
        "quiet,upload,waypoint|track,-,FILE[,CODE] | "
        "quiet,rt_start,SECONDS,METRES,FILE.shp[,CODE]  (FILE ends in .shp, .dbf or .txt)");
}

bool QuietCommand::hasAllFields(const QString& commandLine) {
    return commandLine.split(QLatin1Char(',')).size() >= kRequiredFields;
}

std::optional<QuietCommand> QuietCommand::parse(const QString& commandLine, QString* error) {
    auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return std::nullopt;
    };
    QuietCommand command;
    command.fields = commandLine.split(QLatin1Char(','));
    if (command.fields.size() < kRequiredFields)
        return fail(usage());
    const QString action = command.field(1).toLower();
    if (action == QLatin1String("download"))
        command.action = Action::Download;
    else if (action == QLatin1String("upload"))
        command.action = Action::Upload;
    else if (action == QLatin1String("rt_start"))
        command.action = Action::RealTimeStart;
    else
        return fail(QStringLiteral("unknown quiet action ") + quoted(command.field(1)) +
                    blankHint(command.field(1)) +
                    QStringLiteral(": use download, upload or rt_start"));
    if (command.action == Action::RealTimeStart)
        return command;
    if (!oneOf(command.recordType(), {"waypoint", "track"}))
        return fail(QStringLiteral("unknown record type ") + quoted(command.recordType()) +
                    blankHint(command.recordType()) +
                    QStringLiteral(": use waypoint or track (in lower case)"));
    if (command.action == Action::Download &&
        !oneOf(command.shapeType(), {"point", "line", "polygon"}))
        return fail(QStringLiteral("unknown shape type ") + quoted(command.shapeType()) +
                    blankHint(command.shapeType()) +
                    QStringLiteral(": use point, line or polygon (in lower case)"));
    return command;
}

} // namespace trekora
