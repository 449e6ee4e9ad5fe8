#include "MainWindowFixture.h"
#include "app/frmFields.h"
#include "app/frmShape.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>

using namespace trekora;
using trekora::test::MainWindowTest;

class FileCommandsTest : public MainWindowTest {};

TEST_F(FileCommandsTest, SaveThenLoadThroughTheMenus) {
    start();
    ASSERT_TRUE(table().AddRecord("WAYPOINT;A1;29.5;-98.5;0;0;with, comma"));
    ASSERT_TRUE(table().AddRecord("WAYPOINT;B2;29.6;-98.6;0;0;plain"));
    const QString path = scratchPath("menu.txt");
    ui.answerFile(path, 4); // comma-delimited text
    window->mnuAFile_Click();
    EXPECT_EQ(ui.messages().value(0), "File was written successfully to " + path);
    ASSERT_TRUE(QFile::exists(path));

    table().ResetTable();
    ui.clear();
    ui.answerFile(path, 3);
    window->mnuFileL_Click();
    EXPECT_EQ(ui.messages().value(0), "File was loaded successfully from " + path);
    ASSERT_EQ(table().recordCount(), 2);
    EXPECT_EQ(table().grid().text(1, table().FindColumn("comment")), "with, comma");
    EXPECT_TRUE(window->tableShown());

    // An existing file asks before appending; Cancel writes nothing.
    ui.clear();
    ui.answerFile(path, 4);
    ui.answerMessage(Answer::Cancel);
    window->mnuAFile_Click();
    EXPECT_EQ(ui.messages(), QStringList{"File already exists.  Would you like to append to it?\r\n"
                                         "Answering NO will overwrite the existing file."});
    EXPECT_EQ(ui.records().value(1).title, "Save");
}

TEST_F(FileCommandsTest, FieldsDialogShowsTheRequestedBoxes) {
    start();
    frmFields& dialog = window->fieldsDialog();
    EXPECT_EQ(dialog.windowTitle(), "Identify Fields");
    FieldMappingRequest request;
    request.spatialVisible = false;
    request.commentVisible = true;
    for (auto& items : request.items)
        items = QStringList{"NAME", "NOTE"};
    request.items[0].prepend(kSequentialId);
    request.items[1].prepend(kTodaysDate);
    request.texts = {kSequentialId, kTodaysDate, "", "", "", ""};
    dialog.load(request);
    EXPECT_TRUE(dialog.cpSpatial->isHidden());
    EXPECT_FALSE(dialog.cbxComment->isHidden());
    dialog.cbxIdent->setCurrentText("NAME");
    const auto texts = dialog.texts();
    EXPECT_EQ(texts[0], "NAME");
    EXPECT_EQ(texts[1], kTodaysDate);
    EXPECT_EQ(texts[2], "");

    frmShape& shape = window->shapeDialog();
    EXPECT_EQ(shape.windowTitle(), "Output Shape");
    EXPECT_EQ(shape.selectedShape(), "Line");
}
