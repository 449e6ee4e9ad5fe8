#pragma once

#include <QString>

namespace trekora {

// Where the program finds its data files and keeps its scratch files.
class AppPaths {
public:
    // The data directory: <executable dir>/../share/trekora, both in the build
    // tree and when installed. TREKORA_DATA_DIR in the environment overrides it.
    static QString dataDir();
    static QString dataFile(const QString& relativePath);
    // The program's folder (the executable's directory).
    static QString programDir();
    // A directory private to this user (mode 0700), created on first use,
    // under $XDG_RUNTIME_DIR or the system temporary directory.
    static QString privateTempDir();
    // Overrides the data directory (tests).
    static void setDataDir(const QString& dir);
};

} // namespace trekora
