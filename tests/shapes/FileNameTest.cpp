#include "shapes/CFileName.h"
#include "shapes/ShapeError.h"
#include "shapes/ShapeTestSupport.h"

namespace trekora {
namespace {

using test::expectShapeError;
const std::int32_t kInvalid = static_cast<std::int32_t>(0x80040203u);

TEST(FileName, AcceptsOnlyPlainAbsolutePaths) {
    const QString accepted[] = {
        QStringLiteral("/data/roads.shp"),
        QStringLiteral("/home/me/field trip/2026.05.waypoints.dbf"),
        QStringLiteral("/x.y"),
    };
    for (const QString& spec : accepted)
        EXPECT_TRUE(CFileName::isValidSpec(spec)) << spec.toStdString();
    const QString refused[] = {
        QString(),
        QStringLiteral("relative/roads.shp"),       // not absolute
        QStringLiteral("//server/share/roads.shp"), // network path: empty element
        QStringLiteral("/data//roads.shp"),
        QStringLiteral("/data/../roads.shp"), // two dots in a row
        QStringLiteral("/data/roads..shp"),
        QStringLiteral("/data/roads"), // no "."
        QStringLiteral("/data/ro?ds.shp"),
        QStringLiteral("/data/ro*ds.shp"),
        QStringLiteral("/data/a|b.shp"),
        QStringLiteral("/data/a<b.shp"),
        QStringLiteral("/data/a>b.shp"),
        QStringLiteral("/data/a:b.shp"),
        QStringLiteral("/data/a\"b.shp"),
        QStringLiteral("C:\\data\\roads.shp"), // a Windows path on this system
    };
    for (const QString& spec : refused)
        EXPECT_FALSE(CFileName::isValidSpec(spec)) << spec.toStdString();
}

TEST(FileName, RefusalRaisesAndKeepsTheStoredSpec) {
    CFileName name(QStringLiteral("/data/roads.shp"));
    expectShapeError([&] { name.SetFileSpec(QStringLiteral("//server/x.shp")); }, kInvalid,
                     QStringLiteral("C_FileName::SetFileSpec"),
                     QStringLiteral("The FileSpec is invalid"));
    expectShapeError([&] { name.SetBaseName(QStringLiteral("a/b")); }, kInvalid,
                     QStringLiteral("C_FileName::SetBaseName"));
    expectShapeError([&] { name.SetBaseName(QString()); }, kInvalid,
                     QStringLiteral("C_FileName::SetBaseName"));
    expectShapeError([&] { name.SetExtension(QStringLiteral("s:p")); }, kInvalid,
                     QStringLiteral("C_FileName::SetExtension"));
    expectShapeError([&] { name.SetBaseName(QStringLiteral("a.")); }, kInvalid,
                     QStringLiteral("C_FileName::SetBaseName")); // would give "a..shp"
    EXPECT_EQ(name.GetFileSpec(), QStringLiteral("/data/roads.shp"));
}

TEST(FileName, SwapsBaseNameAndExtension) {
    CFileName name(QStringLiteral("/data/v1.2/roads.main.shp"));
    EXPECT_EQ(name.GetBaseName(), QStringLiteral("roads.main"));
    EXPECT_EQ(name.GetExtension(), QStringLiteral("shp"));
    name.SetExtension(QStringLiteral("shx"));
    EXPECT_EQ(name.GetFileSpec(), QStringLiteral("/data/v1.2/roads.main.shx"));
    name.SetBaseName(QStringLiteral("rivers"));
    EXPECT_EQ(name.GetFileSpec(), QStringLiteral("/data/v1.2/rivers.shx"));
    EXPECT_EQ(name.GetDirectory(), QStringLiteral("/data/v1.2/"));

    CFileName noExtension(QStringLiteral("/data.d/readme"));
    EXPECT_EQ(noExtension.GetBaseName(), QStringLiteral("readme"));
    EXPECT_EQ(noExtension.GetExtension(), QString());
    noExtension.SetExtension(QStringLiteral("txt"));
    EXPECT_EQ(noExtension.GetFileSpec(), QStringLiteral("/data.d/readme.txt"));

    CFileName empty;
    empty.SetExtension(QStringLiteral("shp"));
    EXPECT_EQ(empty.GetFileSpec(), QStringLiteral("shp"));
}

} // namespace
} // namespace trekora
