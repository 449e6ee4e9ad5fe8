#pragma once

#include "core/ScriptedInteraction.h"
#include "support/QtPrinters.h"

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace trekora::test {

// Gives a test its own settings file, a scratch directory and a scripted
// user-interaction channel, and restores the defaults afterwards.
class TestEnvironment : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString scratchPath(const QString& name) const { return m_dir.filePath(name); }

    ScriptedInteraction ui;

private:
    QTemporaryDir m_dir;
};

// Path of a file under the repository's test data folder (tests/data).
QString testData(const QString& relativePath);

// Path of an installed command-line tool that an interoperability test runs.
// A missing tool fails the calling test, because the test command installs
// every tool; with TREKORA_ALLOW_MISSING_TOOLS set it skips the test instead.
// Returns an empty path in both cases; the caller returns at once.
QString requireTool(const QString& name);

} // namespace trekora::test

// Declares `var` as the path of tool `name`, or ends the test (or SetUp) when
// the tool is missing.
#define TREKORA_REQUIRE_TOOL(var, name)                                                            \
    [[maybe_unused]] const QString var = ::trekora::test::requireTool(QStringLiteral(name));       \
    if (var.isEmpty())                                                                             \
    return
