#include "app/ConvertCommand.h"

#include "core/CodePage.h"
#include "core/ScriptedInteraction.h"
#include "core/Settings.h"
#include "core/TerminalError.h"
#include "io/FieldMapping.h"
#include "io/FileImport.h"
#include "io/IoContext.h"
#include "io/ShapefileExport.h"
#include "io/TextFile.h"
#include "proj/CoordinateSystems.h"
#include "proj/CurrentProjection.h"
#include "proj/ProjectTable.h"
#include "table/FieldSettings.h"
#include "table/GpsTable.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

namespace trekora {

namespace {

const QString kUsage =
    QStringLiteral("usage: trekora convert INPUT OUTPUT [--from CODE] [--proj CODE] "
                   "[--shape point|line|polygon] [--append] [--encoding 1252|utf-8]");

// The exit statuses; quiet mode ends with the same four.
enum class ExitStatus { Ok = 0, Failed = 1, Usage = 2, Partial = 3 };

// Rows are read, converted and written a table's worth at a time, so any
// number of rows converts in the memory of one table.
constexpr int kBlockRows = 32767;

struct ConvertOptions {
    QString input;
    QString output;
    QString from;
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
            const auto page =
                i + 1 < arguments.size() ? codepage::fromName(arguments[++i]) : std::nullopt;
            if (!page) {
                error = QStringLiteral("--encoding takes 1252 or utf-8");
                return false;
            }
            options.encoding = *page;
        } else if (a == QLatin1String("--proj") || a == QLatin1String("--shape") ||
                   a == QLatin1String("--from")) {
            if (i + 1 >= arguments.size()) {
                error = a + QStringLiteral(" needs a value");
                return false;
            }
            QString& value = a == QLatin1String("--proj")   ? options.projection
                             : a == QLatin1String("--from") ? options.from
                                                            : options.shape;
            value = arguments[++i].trimmed();
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

bool isShapefile(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("shp"), Qt::CaseInsensitive) == 0;
}

bool write(IoContext& io, const ConvertOptions& options, bool projected, bool append) {
    const QString extension = QFileInfo(options.output).suffix().toLower();
    if (extension == QLatin1String("shp"))
        return Save_Shapefile(io, outputShape(io.table, options), projected, options.output,
                              append);
    if (extension == QLatin1String("dbf"))
        return Save_DBF(io, options.output, append);
    if (extension == QLatin1String("txt") || extension == QLatin1String("csv"))
        return Save_TextFile(
            io, options.output,
            extension == QLatin1String("csv") ? QStringLiteral(",") : QStringLiteral(";"), append);
    say(QStringLiteral("Unrecognized file type: ") + options.output);
    return false;
}

// The .prj beside a shapefile, whatever the case of its extension.
QString prjBeside(const QString& shapefile) {
    const QFileInfo info(shapefile);
    for (const char* extension : {".prj", ".PRJ", ".Prj"}) {
        const QString candidate =
            info.path() + u'/' + info.completeBaseName() + QLatin1String(extension);
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return {};
}

// Rows whose coordinates could not be converted, over all blocks.
class FailureTally {
public:
    void add(const TableProjection& result, const std::vector<qint64>& rowRecords) {
        m_count += result.failedRows + result.unreadRows;
        for (const auto* rows : {&result.firstFailed, &result.firstUnread})
            for (const FailedRow& row : *rows)
                if (m_named.size() < TableProjection::kNamedRows) {
                    const qint64 record = row.row - 1 < qsizetype(rowRecords.size())
                                              ? rowRecords[size_t(row.row - 1)]
                                              : row.row;
                    m_named << QStringLiteral("record %1 (%2, %3)").arg(record).arg(row.x, row.y);
                }
    }
    qint64 count() const { return m_count; }
    QString line(const QString& what) const {
        return QStringLiteral("%1 rows not written, their coordinates could not be %2: %3%4")
            .arg(m_count)
            .arg(what, m_named.join(QStringLiteral(", ")),
                 m_count > m_named.size() ? QStringLiteral(", ...") : QString());
    }

private:
    qint64 m_count = 0;
    QStringList m_named;
};

// One run of the command: resolves the coordinate systems, then reads,
// converts and writes the input block by block.
class Conversion {
public:
    explicit Conversion(const ConvertOptions& options)
        : m_options(options),
          m_table(m_host), m_io{m_table,
                                m_chooser,
                                [this](bool forward) { return noteLoaded(forward); },
                                [](const QString& base, bool projected) {
                                    WritePRJ(base, projected);
                                },
                                {}} {
        // Table errors (a full table) are told as the window tells them; the
        // echoing channel prints them as one line.
        m_host.onError = [](const TableStatus& status) {
            userInteraction().message(status.text(), QStringLiteral("Error"), Buttons::Ok,
                                      Icon::Critical);
        };
        m_block.maxRows = kBlockRows;
        m_io.block = &m_block;
        m_io.outputCodePage = options.encoding;
    }

    ExitStatus run() {
        if (!resolveOutputSystem() || !resolveDeclaredInput())
            return ExitStatus::Failed;
        qint64 written = 0;
        for (bool first = true; first || m_block.more; first = false) {
            m_loaded = Loaded::LatLong;
            PassedError passed;
            if (!Open_File(m_io, m_options.input, &passed)) {
                reportLoadFailure(passed);
                return first ? ExitStatus::Failed : ExitStatus::Partial;
            }
            if (first && !prepareInput())
                return ExitStatus::Failed;
            if (first && m_block.more && !isStreamable()) {
                say(m_options.input + QStringLiteral(" has more than %1 rows: lines and polygons "
                                                     "are converted whole, up to %1 rows")
                                          .arg(kBlockRows));
                return ExitStatus::Failed;
            }
            convertCoordinates();
            if (!write(m_io, m_options, m_output.has_value(), m_options.append || !first))
                return first ? ExitStatus::Failed : ExitStatus::Partial;
            written += m_table.recordCount();
        }
        std::printf("wrote %lld records to %s\n", static_cast<long long>(written),
                    qPrintable(m_options.output));
        return finish();
    }

private:
    enum class Loaded { LatLong, ProjectedOnly };

    bool noteLoaded(bool forward) {
        if (!forward)
            m_loaded = Loaded::ProjectedOnly;
        return true;
    }

    bool resolveOutputSystem() {
        if (m_options.projection.isEmpty())
            return true;
        m_output = findCoordinateSystem(m_options.projection);
        if (!m_output) {
            say(QStringLiteral("Projection code not in the catalogues: ") + m_options.projection);
            return false;
        }
        // What the writers read: the .prj they write is the output system's.
        Settings::set(QStringLiteral("proj"), QStringLiteral("proj"), m_output->code);
        Settings::set(QStringLiteral("proj"), QStringLiteral("projfile"), m_output->catalogue);
        return true;
    }

    bool resolveDeclaredInput() {
        if (m_options.from.isEmpty())
            return true;
        m_input = findCoordinateSystem(m_options.from);
        if (!m_input)
            say(QStringLiteral("Projection code not in the catalogues: ") + m_options.from);
        return m_input.has_value();
    }

    // After the first block: the input's own system when its coordinates are
    // projected ones (a shapefile's always are), from --from, the .prj or
    // WGS 84 longitude/latitude.
    bool prepareInput() {
        if (m_loaded != Loaded::ProjectedOnly)
            return true;
        if (m_input)
            return note(m_input->label() + QStringLiteral(" (") + m_input->name +
                        QStringLiteral("), from --from"));
        if (!isShapefile(m_options.input)) {
            say(m_options.input + QStringLiteral(" has its coordinates only in y_proj/x_proj: "
                                                 "give their system with --from CODE"));
            return false;
        }
        const QString prj = prjBeside(m_options.input);
        if (prj.isEmpty()) {
            m_input = wgs84LongLat();
            return note(QStringLiteral("EPSG:4326 (WGS 84 longitude/latitude), no .prj"));
        }
        const PrjSystem found = readPrjSystem(prj);
        if (!found.status.ok()) {
            say(found.status.description);
            return false;
        }
        m_input = found.system;
        if (found.identified)
            return note(m_input->label() + QStringLiteral(" (") + m_input->name +
                        QStringLiteral("), identified from ") + QFileInfo(prj).fileName());
        return note(QStringLiteral("\"") + m_input->name + QStringLiteral("\" as ") +
                    QFileInfo(prj).fileName() +
                    QStringLiteral(" defines it (no EPSG or ESRI code matches)"));
    }

    static bool note(const QString& system) {
        std::fprintf(stderr, "convert: input coordinates in %s\n", qPrintable(system));
        return true;
    }

    bool isStreamable() const {
        return !isShapefile(m_options.output) ||
               outputShape(m_table, m_options) == QLatin1String("point");
    }

    void convertCoordinates() {
        if (m_loaded == Loaded::ProjectedOnly) {
            const TableProjection inverse = projectTableRows(m_table, false, m_input->definition);
            m_unprojectFailures.add(inverse, m_block.rowRecords);
        }
        if (m_output) {
            const TableProjection forward = projectTableRows(m_table, true, m_output->definition);
            m_projectFailures.add(forward, m_block.rowRecords);
        }
        dropRowsWithoutCoordinates();
    }

    // A row whose coordinates could not be converted is not written: its
    // place would otherwise be 0, 0 or the projection of it.
    void dropRowsWithoutCoordinates() {
        DataGrid& grid = m_table.grid();
        const bool projected = m_output.has_value();
        const int x =
            m_table.FindColumn(projected ? QStringLiteral("x_proj") : QStringLiteral("long"));
        const int y =
            m_table.FindColumn(projected ? QStringLiteral("y_proj") : QStringLiteral("lat"));
        if (x < 1 || y < 1)
            return;
        bool dropped = false;
        for (int r = grid.rows() - 1; r >= 1; --r)
            if (!coordinateNumber(grid.textView(r, x)) || !coordinateNumber(grid.textView(r, y))) {
                grid.removeRow(r);
                dropped = true;
            }
        if (dropped)
            m_table.setRecordCounter(std::int16_t(grid.rows() - 1));
    }

    void reportLoadFailure(const PassedError& passed) const {
        if (!m_chooser.refusal().isEmpty())
            say(QStringLiteral("Required fields missing in ") + m_options.input +
                QStringLiteral(": ") + m_chooser.refusal());
        else if (passed.isSet())
            say(QStringLiteral("Error #: %1, %2 (%3)")
                    .arg(passed.number)
                    .arg(passed.description, m_options.input));
        else
            say(QStringLiteral("Errors encountered when loading ") + m_options.input);
    }

    ExitStatus finish() const {
        if (!m_io.report.ignoredFieldsLine().isEmpty())
            std::fprintf(stderr, "convert: %s\n", qPrintable(m_io.report.ignoredFieldsLine()));
        for (const QString& line : m_io.report.problemLines())
            say(line);
        if (m_unprojectFailures.count() > 0)
            say(m_unprojectFailures.line(
                QStringLiteral("unprojected from ") +
                (m_input->code.isEmpty() ? m_input->name : m_input->label())));
        if (m_projectFailures.count() > 0)
            say(m_projectFailures.line(QStringLiteral("projected to ") + m_output->label()));
        const bool partial = m_io.report.hasProblems() || m_unprojectFailures.count() > 0 ||
                             m_projectFailures.count() > 0;
        return partial ? ExitStatus::Partial : ExitStatus::Ok;
    }

    const ConvertOptions& m_options;
    HeadlessTableHost m_host;
    GpsTable m_table;
    AcceptingFieldChooser m_chooser;
    IoContext m_io;
    ReadBlock m_block;
    Loaded m_loaded = Loaded::LatLong;
    std::optional<CoordinateSystem> m_input;
    std::optional<CoordinateSystem> m_output;
    FailureTally m_unprojectFailures;
    FailureTally m_projectFailures;
};

} // namespace

int runConvertCommand(const QStringList& arguments) {
    ConvertOptions options;
    QString error;
    if (!parse(arguments, options, error)) {
        say(error);
        return int(ExitStatus::Usage);
    }
    ScriptedInteraction messages;
    messages.setEcho(true);
    setUserInteraction(&messages);
    const QString ownSettings = Settings::fileName();
    QTemporaryDir settingsDir;
    if (!usePrivateSettings(settingsDir)) {
        say(QStringLiteral("Could not prepare a private copy of the settings"));
        setUserInteraction(nullptr);
        return int(ExitStatus::Failed);
    }
    FieldSettings::SetFieldSettings({});
    ExitStatus status = ExitStatus::Failed;
    {
        Conversion conversion(options);
        status = conversion.run();
    }
    setUserInteraction(nullptr);
    Settings::useFile(ownSettings);
    return int(status);
}

} // namespace trekora
