// An installation carries what desktops need to list and start the program:
// a valid menu entry, the icon it names, and a valid software-centre entry.
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kAppId = QStringLiteral("net.trekora.Trekora");

struct ProgramRun {
    int exitCode = -1;
    QString output;
};

ProgramRun runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    ProgramRun result;
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    result.output = QString::fromUtf8(process.readAll());
    return result;
}

QString desktopValue(const QString& desktopFile, const QString& key) {
    QFile file(desktopFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith(key.toUtf8() + '='))
            return QString::fromUtf8(line.mid(key.size() + 1)).trimmed();
    return {};
}

} // namespace

TEST(Installation, InstallsAValidDesktopEntryIconsAndMetainfo) {
    TREKORA_REQUIRE_TOOL(desktopValidator, "desktop-file-validate");
    TREKORA_REQUIRE_TOOL(appstream, "appstreamcli");
    QTemporaryDir prefix;
    const ProgramRun install = runTool(
        QStringLiteral(TREKORA_CMAKE_COMMAND),
        {"--install", TREKORA_BUILD_DIR, "--component", "desktop", "--prefix", prefix.path()});
    ASSERT_EQ(install.exitCode, 0) << install.output.toStdString();
    const QDir share(prefix.filePath("share"));

    const QString desktop = share.filePath("applications/" + kAppId + ".desktop");
    ASSERT_TRUE(QFile::exists(desktop));
    EXPECT_EQ(desktopValue(desktop, "Exec"), QStringLiteral("trekora"));
    EXPECT_EQ(desktopValue(desktop, "Icon"), kAppId);

    EXPECT_TRUE(QFile::exists(share.filePath("icons/hicolor/scalable/apps/" + kAppId + ".svg")));
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QString png =
            share.filePath(QStringLiteral("icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kAppId));
        const QImage icon(png);
        EXPECT_EQ(icon.size(), QSize(size, size)) << png.toStdString();
    }

    const QString metainfo = share.filePath("metainfo/" + kAppId + ".metainfo.xml");
    ASSERT_TRUE(QFile::exists(metainfo));

    const ProgramRun desktopCheck = runTool(desktopValidator, {desktop});
    EXPECT_EQ(desktopCheck.exitCode, 0) << desktopCheck.output.toStdString();
    EXPECT_FALSE(desktopCheck.output.contains("error")) << desktopCheck.output.toStdString();
    const ProgramRun metainfoCheck = runTool(appstream, {"validate", "--no-net", metainfo});
    EXPECT_EQ(metainfoCheck.exitCode, 0) << metainfoCheck.output.toStdString();
}
