#include "core/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <memory>

namespace trekora {

namespace {

QString& overrideDir() {
    static QString dir;
    return dir;
}

QString executableDir() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section('/', 0, -2);
}

} // namespace

QString AppPaths::dataDir() {
    if (!overrideDir().isEmpty())
        return overrideDir();
    const QByteArray env = qgetenv("TREKORA_DATA_DIR");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    return QDir::cleanPath(executableDir() + QStringLiteral("/../share/trekora"));
}

QString AppPaths::dataFile(const QString& relativePath) {
    return dataDir() + '/' + relativePath;
}

QString AppPaths::programDir() {
    return executableDir();
}

QString AppPaths::privateTempDir() {
    // Created once per process with an unpredictable name and mode 0700, so
    // no other user can plant or read files in it.
    static std::unique_ptr<QTemporaryDir> dir = [] {
        QString base = QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"));
        if (base.isEmpty() || !QFileInfo(base).isWritable())
            base = QDir::tempPath();
        auto d = std::make_unique<QTemporaryDir>(base + QStringLiteral("/trekora-XXXXXX"));
        if (d->isValid())
            QFile::setPermissions(d->path(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return d;
    }();
    return dir->isValid() ? dir->path() : QString();
}

void AppPaths::setDataDir(const QString& dir) {
    overrideDir() = dir;
}

} // namespace trekora
