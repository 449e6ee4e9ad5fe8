#include "support/TestEnvironment.h"

#include "core/AppPaths.h"
#include "core/Settings.h"

#include <QStandardPaths>

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

QString testData(const QString& relativePath) {
    return QStringLiteral(TREKORA_TEST_DATA_DIR "/") + relativePath;
}

QString requireTool(const QString& name) {
    const QString path = QStandardPaths::findExecutable(name);
    if (!path.isEmpty())
        return path;
    const std::string text = name.toStdString() + " is not installed";
    if (qEnvironmentVariableIsSet("TREKORA_ALLOW_MISSING_TOOLS"))
        [&] { GTEST_SKIP() << text; }();
    else
        [&] { FAIL() << text << " (set TREKORA_ALLOW_MISSING_TOOLS to skip this test)"; }();
    return {};
}

} // namespace trekora::test
