#pragma once

#include "core/Settings.h"
#include "proj/CurrentProjection.h"
#include "proj/ProjectionBridge.h"
#include "support/TestEnvironment.h"
#include "table/FieldSettings.h"
#include "table/GpsTable.h"

#include <QStringList>

namespace trekora::test {

// A host that keeps every status text it was given.
class RecordingHost : public HeadlessTableHost {
public:
    void setMessage(const QString& text) override {
        HeadlessTableHost::setMessage(text);
        history.append(text);
    }
    QStringList history;
};

// A waypoint table with NAD83 / UTM 15N as the current projection, for the
// tests of table projection and of the messages around it.
class ProjectionTableFixture : public TestEnvironment {
protected:
    void SetUp() override {
        TestEnvironment::SetUp();
        FieldSettings::SetFieldSettings({});
        Settings::set("proj", "proj", "26915");
        ASSERT_TRUE(LoadProjections("epsg"));
    }
    void TearDown() override {
        ProjectionBridge::instance().reset();
        TestEnvironment::TearDown();
    }
    int col(const char* name) const { return table.FindColumn(QString::fromLatin1(name)); }
    QString cell(int row, const char* name) const { return table.grid().text(row, col(name)); }
    void addWaypoint(const QString& lat, const QString& lon, const QString& y = {},
                     const QString& x = {}) {
        ASSERT_TRUE(table.AddRecord("WAYPOINT;p;" + lat + ";" + lon + ";" + y + ";" + x));
    }

    RecordingHost host;
    GpsTable table{host};
};

} // namespace trekora::test
