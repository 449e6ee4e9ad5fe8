#include "app/ConvertCommand.h"

#include "app/ProjectionMessages.h"
#include "core/CodePage.h"
#include "core/ScriptedInteraction.h"
#include "core/Settings.h"
#include "core/TerminalError.h"
#include "io/FieldMapping.h"
#include "io/FileImport.h"
#include "io/IoContext.h"
#include "io/ShapefileExport.h"
#include "io/TextFile.h"
#include "proj/CurrentProjection.h"
#include "proj/ProjectionCatalogue.h"
#include "table/FieldSettings.h"
#include "table/GpsTable.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

namespace trekora {

namespace {

const QString kUsage =
    QStringLiteral("usage: trekora convert INPUT OUTPUT [--proj CODE] [--shape point|line|polygon] "
                   "[--append] [--encoding 1252|utf-8]");

struct ConvertOptions {
    QString input;
    QString output;
    QString projection;
    QString shape = QStringLiteral("line");
    bool append = false;
    CodePage encoding = CodePage::Windows1252;
};

void say(const QString& text) {
    terminal::printError(QStringLiteral("convert"), text);
}

bool parse(const QStringList& arguments, ConvertOptions& options, QString& error) {
    QStringList positional;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--append")) {
            options.append = true;
        } else if (a == QLatin1String("--encoding")) {
            const auto page = i + 1 < arguments.size() ? codepage::fromName(arguments[++i])
                                                       : std::nullopt;
            if (!page) {
                error = QStringLiteral("--encoding takes 1252 or utf-8");
                return false;
            }
            options.encoding = *page;
        } else if (a == QLatin1String("--proj") || a == QLatin1String("--shape")) {
            if (i + 1 >= arguments.size()) {
                error = a + QStringLiteral(" needs a value");
                return false;
            }
            (a == QLatin1String("--proj") ? options.projection : options.shape) =
                arguments[++i].trimmed();
        } else if (a.startsWith(QLatin1String("--"))) {
            error = QStringLiteral("unknown option ") + a;
            return false;
        } else {
            positional << a;
        }
    }
    options.shape = options.shape.toLower();
    if (positional.size() != 2) {
        error = kUsage;
        return false;
    }
    if (options.shape != QLatin1String("point") && options.shape != QLatin1String("line") &&
        options.shape != QLatin1String("polygon")) {
        error = QStringLiteral("--shape takes point, line or polygon");
        return false;
    }
    options.input = QFileInfo(positional[0]).absoluteFilePath();
    options.output = QFileInfo(positional[1]).absoluteFilePath();
    return true;
}

// Works on a private copy of the user's settings, so that nothing the
// command does (the projection it converts to, PRJ texts it looks up) changes
// what the program stores.
bool usePrivateSettings(QTemporaryDir& dir) {
    if (!dir.isValid())
        return false;
    const QString copy = dir.filePath(QStringLiteral("trekora.ini"));
    const QString own = Settings::fileName();
    if (QFileInfo::exists(own) && !QFile::copy(own, copy))
        return false;
    Settings::useFile(copy);
    // Without a stored projection the command works as 4326, asking nothing.
    if (Settings::get(QStringLiteral("proj"), QStringLiteral("proj")).isEmpty())
        Settings::set(QStringLiteral("proj"), QStringLiteral("proj"), QStringLiteral("4326"));
    return true;
}

QString outputShape(const GpsTable& table, const ConvertOptions& options) {
    const QString& type = table.currentRecordType();
    if (type == RecordType::Track || type == RecordType::Route)
        return options.shape;
    return QStringLiteral("point");
}

bool write(IoContext& io, const ConvertOptions& options, bool projected) {
    const QString extension = QFileInfo(options.output).suffix().toLower();
    if (extension == QLatin1String("shp"))
        return Save_Shapefile(io, outputShape(io.table, options), projected, options.output,
                              options.append);
    if (extension == QLatin1String("dbf"))
        return Save_DBF(io, options.output, options.append);
    if (extension == QLatin1String("txt") || extension == QLatin1String("csv"))
        return Save_TextFile(io, options.output,
                             extension == QLatin1String("csv") ? QStringLiteral(",")
                                                               : QStringLiteral(";"),
                             options.append);
    say(QStringLiteral("Unrecognized file type: ") + options.output);
    return false;
}

} // namespace

int runConvertCommand(const QStringList& arguments) {
    ConvertOptions options;
    QString error;
    if (!parse(arguments, options, error)) {
        say(error);
        return 2;
    }
    ScriptedInteraction messages;
    messages.setEcho(true);
    setUserInteraction(&messages);
    const QString ownSettings = Settings::fileName();
    QTemporaryDir settingsDir;
    if (!usePrivateSettings(settingsDir)) {
        say(QStringLiteral("Could not prepare a private copy of the settings"));
        setUserInteraction(nullptr);
        return 1;
    }
    FieldSettings::SetFieldSettings({});

    int status = 1;
    {
        HeadlessTableHost host;
        host.onError = [](const TableStatus& status) {
            userInteraction().message(status.text(), QStringLiteral("Error"), Buttons::Ok,
                                      Icon::Critical);
        };
        GpsTable table(host);
        AcceptingFieldChooser chooser;
        IoContext io{table,
                     chooser,
                     [&table](bool forward) { return Project_Table(table, forward); },
                     [](const QString& base, bool projected) { WritePRJ(base, projected); },
                     {}};
        io.outputCodePage = options.encoding;
        if (!LoadProjections(CurrentProjection::catalogueFile())) {
            say(QStringLiteral("The projection catalogue is missing"));
        } else if (!options.projection.isEmpty() &&
                   !ProjectionCatalogue::instance().findCode(options.projection)) {
            say(QStringLiteral("Projection code not in the catalogue: ") + options.projection);
        } else {
            PassedError passed;
            const bool loaded = Open_File(io, options.input, &passed);
            if (!loaded) {
                if (!chooser.refusal().isEmpty())
                    say(QStringLiteral("Required fields missing in ") + options.input +
                        QStringLiteral(": ") + chooser.refusal());
                else if (passed.isSet())
                    say(QStringLiteral("Error #: %1, %2 (%3)")
                            .arg(passed.number)
                            .arg(passed.description, options.input));
                else
                    say(QStringLiteral("Errors encountered when loading ") + options.input);
            } else {
                bool ready = true;
                const bool projected = !options.projection.isEmpty();
                if (projected) {
                    Settings::set(QStringLiteral("proj"), QStringLiteral("proj"),
                                  options.projection);
                    ready = Project_Table(table, true);
                }
                if (ready && write(io, options, projected)) {
                    std::printf("wrote %d records to %s\n", table.recordCount(),
                                qPrintable(options.output));
                    status = 0;
                }
                // Refused records and values not written as they stood make
                // the result partial.
                for (const QString& line : io.report.problemLines())
                    say(line);
                if (!io.report.ignoredFieldsLine().isEmpty())
                    say(io.report.ignoredFieldsLine());
                if (status == 0 && io.report.hasProblems())
                    status = 3;
            }
        }
    }
    setUserInteraction(nullptr);
    Settings::useFile(ownSettings);
    return status;
}

} // namespace trekora
