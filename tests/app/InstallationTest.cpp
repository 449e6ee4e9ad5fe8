// An installation carries what desktops need to list and start the program:
// a valid menu entry, the icon it names, and a valid software-centre entry.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
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

// The validators are part of the test setup: missing, they fail the test
// unless the environment allows missing tools.
QString requiredTool(const QString& name) {
    const QString path = QStandardPaths::findExecutable(name);
    if (path.isEmpty() && !qEnvironmentVariableIsSet("TREKORA_ALLOW_MISSING_TOOLS"))
        ADD_FAILURE() << name.toStdString() << " is not installed";
    return path;
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

    const QString desktopValidator = requiredTool("desktop-file-validate");
    if (!desktopValidator.isEmpty()) {
        const ProgramRun check = runTool(desktopValidator, {desktop});
        EXPECT_EQ(check.exitCode, 0) << check.output.toStdString();
        EXPECT_FALSE(check.output.contains("error")) << check.output.toStdString();
    }
    const QString appstream = requiredTool("appstreamcli");
    if (!appstream.isEmpty()) {
        const ProgramRun check = runTool(appstream, {"validate", "--no-net", metainfo});
        EXPECT_EQ(check.exitCode, 0) << check.output.toStdString();
    }
}
