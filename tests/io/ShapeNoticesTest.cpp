#include "io/ShapeNotices.h"
#include "shapes/CreateEmptyShapefile.h"
#include "shapes/DBase.h"
#include "shapes/ShapeNotice.h"
#include "support/TestEnvironment.h"

#include <QFile>

using namespace trekora;

class ShapeNoticesTest : public test::TestEnvironment {
protected:
    void SetUp() override {
        TestEnvironment::SetUp();
        installShapeNotices();
    }
    void TearDown() override {
        setShapeNoticeHandler({});
        TestEnvironment::TearDown();
    }
};

// The library's notices reach the user as the boxes they always were, with
// their texts, titles and, for the version question, the answer going back.
TEST_F(ShapeNoticesTest, NoticesAreShownAsTheProgramsBoxes) {
    ASSERT_TRUE(CreateEmptyShapefile(scratchPath("x.shp"), "Pointz"));
    ASSERT_EQ(ui.records().size(), 1);
    EXPECT_EQ(ui.records()[0].text,
              "The function must be passed a string either Point, Line, or Polygon");
    EXPECT_EQ(ui.records()[0].title, "Programming ERROR");

    const QString path = scratchPath("v.dbf");
    DBase::CloseDBF(DBase::CreateDBF(path, {"ident,C,10"}));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.write("\x04", 1); // a later dBASE version
    file.close();
    ui.clear();
    ui.answerInput(QStringLiteral("No"));
    const DBase::Handle h = DBase::OpenDBF(path);
    EXPECT_EQ(DBase::AppendRecord(h), -1);
    DBase::CloseDBF(h);
    ASSERT_EQ(ui.records().size(), 1);
    EXPECT_EQ(ui.records()[0].kind, ScriptedInteraction::Kind::Input);
    EXPECT_EQ(ui.records()[0].text, "Warning: DBF file does not support DBASE Version 7, Contnue?");
    EXPECT_EQ(ui.records()[0].title, "Might be a problem...Send me the file to test???");
    EXPECT_EQ(ui.records()[0].defaultText, "Yes");
}
