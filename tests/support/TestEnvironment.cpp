#include "support/TestEnvironment.h"

#include "core/AppPaths.h"
#include "core/Settings.h"

namespace trekora::test {

void TestEnvironment::SetUp() {
    ASSERT_TRUE(m_dir.isValid());
    Settings::useFile(m_dir.filePath(QStringLiteral("trekora.ini")));
    AppPaths::setDataDir(QStringLiteral(TREKORA_DATA_DIR));
    setUserInteraction(&ui);
}

void TestEnvironment::TearDown() {
    setUserInteraction(nullptr);
    Settings::useFile(m_dir.filePath(QStringLiteral("unused.ini")));
}

QString sharedTestData(const QString& relativePath) {
    return QStringLiteral(TREKORA_SHARED_DIR "/testdata/") + relativePath;
}

} // namespace trekora::test
