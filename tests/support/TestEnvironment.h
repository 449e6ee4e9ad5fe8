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

// Path of a file under the shared test data folder.
QString sharedTestData(const QString& relativePath);

} // namespace trekora::test
