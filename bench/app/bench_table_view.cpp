// How the main window's table view copes with a full table: the time to
// bring the view in line after 32,767 records arrive, after one more change,
// and to paint the viewport while scrolling through the table.
#include "app/GpsTableView.h"
#include "app/frmMain.h"
#include "core/ScriptedInteraction.h"
#include "core/Settings.h"
#include "table/GpsTable.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QScrollBar>
#include <QTemporaryDir>
#include <cstdio>

using namespace trekora;

namespace {
double msSince(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    Settings::useFile(dir.filePath(QStringLiteral("trekora.ini")));
    ScriptedInteraction interaction;
    setUserInteraction(&interaction);

    double fillMs = 0, syncMs = 0, appendMs = 0, paintMs = 0;
    constexpr int kPages = 50;
    {
        frmMain window(StartOptions{{}, false});
        window.Form_Load();
        window.cmdAdvanced_Click();
        window.resize(900, 700);
        window.show();
        GpsTable& table = window.table();

        QElapsedTimer timer;
        timer.start();
        while (table.recordCount() < 32767 || !table.hasRecords())
            if (!table.AddRecord(QStringLiteral("WAYPOINT;wp;29.12345678;-98.12345678;0;0;"
                                                "a comment;0;18")))
                break;
        fillMs = msSince(timer);

        timer.restart();
        window.refreshTable();
        syncMs = msSince(timer);

        table.grid().setText(40, 2, QStringLiteral("changed"));
        timer.restart();
        window.refreshTable();
        appendMs = msSince(timer);

        GpsTableView& view = window.tableView();
        QScrollBar* bar = view.verticalScrollBar();
        timer.restart();
        for (int page = 0; page < kPages; ++page) {
            bar->setValue(bar->maximum() * page / (kPages - 1));
            const QPixmap shot = view.viewport()->grab();
            (void)shot;
        }
        paintMs = msSince(timer);
        std::printf("records: %d\n", table.recordCount());
    }
    setUserInteraction(nullptr);

    std::printf("fill 32,767 records through AddRecord: %.1f ms\n", fillMs);
    std::printf("view sync after the fill:               %.2f ms\n", syncMs);
    std::printf("view sync after one cell change:        %.2f ms\n", appendMs);
    std::printf("scroll and paint one page:              %.2f ms (mean of %d)\n", paintMs / kPages,
                kPages);
    return 0;
}
