#include "io/TextFile.h"
#include "IoTestSupport.h"

using namespace trekora;
using trekora::test::IoTest;

class TextFileTest : public IoTest {
protected:
    void fillWaypoints() {
        ASSERT_TRUE(table.AddRecord("WAYPOINT;A1;29.44557123;-98.60664100;0;0;first, with comma"));
        ASSERT_TRUE(table.AddRecord("WAYPOINT;;29.5;-98.5;0;0;says \"hi\""));
        ASSERT_TRUE(table.AddRecord("WAYPOINT;C3;29.6;-98.4;0;0;plain"));
        table.grid().setText(2, col("ident"), "");
    }
    void showOnly(const QStringList& names) {
        for (int c = 1; c < table.grid().cols(); ++c)
            table.grid().setColWidth(c, names.contains(table.grid().text(0, c)) ? 1200 : 0);
    }
};

TEST_F(TextFileTest, WritesHeaderBlanksAndQuotesOnlyWhereNeeded) {
    fillWaypoints();
    showOnly({"type", "ident", "lat", "long", "comment"});
    const QString path = scratchPath("w.txt");
    ASSERT_TRUE(Save_TextFile(io, path, ",", false));
    EXPECT_EQ(readFile(path), "type,ident,lat,long,comment\r\n"
                              "WAYPOINT,A1,29.44557123,-98.60664100,\"first, with comma\"\r\n"
                              "WAYPOINT, ,29.5,-98.5,\"says \"\"hi\"\"\"\r\n"
                              "WAYPOINT,C3,29.6,-98.4,plain\r\n");
    EXPECT_EQ(host.message, "");
    // Semicolon files need no quotes for commas; append writes records only.
    ASSERT_TRUE(Save_TextFile(io, path, "", true));
    EXPECT_TRUE(readFile(path).endsWith("WAYPOINT;A1;29.44557123;-98.60664100;first, with comma\r\n"
                                        "WAYPOINT; ;29.5;-98.5;\"says \"\"hi\"\"\"\r\n"
                                        "WAYPOINT;C3;29.6;-98.4;plain\r\n"));
}

TEST_F(TextFileTest, SavesOnlyTheSelectedRows) {
    for (int i = 1; i <= 6; ++i)
        ASSERT_TRUE(table.AddRecord(QStringLiteral("WAYPOINT;p%1;1;2;3;4;c").arg(i)));
    table.grid().setCurrent(3, 1);
    table.grid().setSelection(5, table.grid().cols() - 1);
    table.UpdateSelection();
    const QString path = scratchPath("sel.txt");
    ASSERT_TRUE(Save_TextFile(io, path, ";", false));
    const QList<QByteArray> lines = readFile(path).split('\n');
    ASSERT_EQ(lines.size(), 5); // header, three records, the empty piece after the last CR LF
    EXPECT_TRUE(lines[1].startsWith("WAYPOINT;p3;"));
    EXPECT_TRUE(lines[3].startsWith("WAYPOINT;p5;"));
}

TEST_F(TextFileTest, RoundTripKeepsEveryVisibleCell) {
    fillWaypoints();
    table.grid().setText(1, col("city"), "Zürich – Œuvre"); // Windows-1252 beyond Latin-1
    const int rows = table.grid().rows();
    std::vector<QString> before;
    for (int r = 1; r < rows; ++r)
        before.push_back(table.GetRowValues(r, false));
    const QString path = scratchPath("round.txt");
    ASSERT_TRUE(Save_TextFile(io, path, ",", false));
    ASSERT_TRUE(Open_Textfile(io, path));
    EXPECT_TRUE(chooser.requests.empty());
    EXPECT_TRUE(projections.empty());
    ASSERT_EQ(table.grid().rows(), rows);
    for (int r = 1; r < rows; ++r)
        EXPECT_EQ(table.GetRowValues(r, false), before[size_t(r - 1)]) << r;
}

TEST_F(TextFileTest, CapitalisedSemicolonHeaderLoadsWithoutTheDialog) {
    const QString path =
        writeFile("caps.txt", "TYPE;IDENT;LAT;LONG;Y_PROJ;X_PROJ;COMMENT\r\n"
                              "TRACK;t1;29.1;-98.1;0;0;x\r\nTRACK;t2;29.2;-98.2;0;0;y\r\n");
    ASSERT_TRUE(Open_Textfile(io, path));
    EXPECT_TRUE(chooser.requests.empty());
    EXPECT_EQ(table.currentRecordType(), "track");
    EXPECT_EQ(cell(2, "lat"), "29.2");
    EXPECT_EQ(host.controls, ControlState::TableHasRecords);
}

TEST_F(TextFileTest, MissingFieldsOpenTheDialogWithSuggestions) {
    const QString path =
        writeFile("plain.txt", "ident,lat,long\r\nA,29.1,-98.1\r\nB,29.2,-98.2\r\n");
    chooser.answers.push_back(std::array<QString, 6>{});
    ASSERT_TRUE(Open_Textfile(io, path));
    ASSERT_EQ(chooser.requests.size(), 1u);
    const FieldMappingRequest& shown = chooser.requests[0];
    EXPECT_EQ(shown.texts[0], "ident");
    EXPECT_EQ(shown.texts[1], "Today's Date");
    EXPECT_EQ(shown.texts[2], "lat");
    EXPECT_EQ(shown.texts[4], "");
    EXPECT_EQ(shown.items[0].first(), "Sequential ID");
    EXPECT_TRUE(shown.spatialVisible);
    EXPECT_EQ(cell(2, "ident"), "B");
    EXPECT_FALSE(cell(2, "comment").isEmpty());
    EXPECT_EQ(projections, std::vector<bool>{true});

    // Choosing Sequential ID ignores the file's idents.
    std::array<QString, 6> sequential{};
    sequential[0] = kSequentialId;
    chooser.answers.push_back(sequential);
    ASSERT_TRUE(Open_Textfile(io, path));
    EXPECT_EQ(cell(1, "ident"), "1");
    EXPECT_EQ(cell(2, "ident"), "2");
}

TEST_F(TextFileTest, ProjectedColumnsChosenByNameComputeLatLong) {
    const QString path =
        writeFile("ne.txt", "name;Northing;Easting;DAY\r\nA;3258441.5;537012.25;Mon\r\n");
    std::array<QString, 6> choice{};
    choice[0] = "name";
    choice[5] = "Northing";
    choice[4] = "Easting";
    chooser.answers.push_back(choice);
    ASSERT_TRUE(Open_Textfile(io, path));
    EXPECT_EQ(cell(1, "ident"), "A");
    EXPECT_EQ(cell(1, "y_proj"), "3258441.5");
    EXPECT_EQ(cell(1, "x_proj"), "537012.25");
    EXPECT_EQ(projections, std::vector<bool>{false});
}

TEST_F(TextFileTest, CancelLeavesAnEmptyTypedTable) {
    const QString path = writeFile("c.txt", "a,b\r\n1,2\r\n");
    chooser.answers.push_back(std::nullopt);
    EXPECT_FALSE(Open_Textfile(io, path));
    EXPECT_TRUE(table.hasHeader());
    EXPECT_FALSE(table.hasRecords());
    EXPECT_EQ(host.controls, ControlState::TableHasRecords);
}

TEST_F(TextFileTest, ShortLongAndEmptyLines) {
    const QString path =
        writeFile("s.txt", "type,ident,lat,long,y_proj,x_proj,comment\r\nWAYPOINT,a,1,5\r\n\r\n"
                           "WAYPOINT,b,1,2,3,4,c,extra,more\r\n");
    ASSERT_TRUE(Open_Textfile(io, path));
    ASSERT_EQ(table.recordCount(), 3);
    EXPECT_EQ(cell(1, "y_proj"), "");
    EXPECT_EQ(cell(2, "ident"), "w2"); // an empty line is a blank default record
    EXPECT_EQ(cell(3, "comment"), "c");
}

TEST_F(TextFileTest, UnreadableFilesArePassedOn) {
    PassedError error;
    EXPECT_FALSE(Open_Textfile(io, scratchPath("missing.txt"), &error));
    EXPECT_EQ(error.number, 53);
    error = {};
    EXPECT_FALSE(Open_Textfile(io, writeFile("header.txt", "type,ident\r\n"), &error));
    EXPECT_TRUE(error.isSet());
    EXPECT_FALSE(Save_TextFile(io, scratchPath("no/such/dir/x.txt"), ",", false));
    EXPECT_EQ(ui.messages().value(0), "Error #: 76, Path not found");
}

TEST(DelimitedLine, QuotesAreUnderstoodOnlyWhenWellFormed) {
    struct Case {
        const char* line;
        QStringList values;
    };
    const Case cases[] = {
        {"a,b", {"a", "b"}},
        {"\"a,b\",c", {"a,b", "c"}},
        {"\"say \"\"x\"\"\",", {"say \"x\"", ""}},
        {"\"open,b", {"\"open", "b"}},
        {"\"q\" tail,b", {"\"q\" tail", "b"}},
        {"", {""}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(splitDelimitedLine(QString::fromUtf8(c.line), ','), c.values) << c.line;
}
