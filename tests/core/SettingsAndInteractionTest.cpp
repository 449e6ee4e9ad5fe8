#include "core/Settings.h"
#include "support/TestEnvironment.h"

#include <QFile>

using namespace trekora;

class SettingsTest : public test::TestEnvironment {};

TEST_F(SettingsTest, ValuesWithCommasSurviveEvenWhenHandEdited) {
    Settings::set("port", "Settings", "9600,N,8,1");
    EXPECT_EQ(Settings::get("port", "Settings"), "9600,N,8,1");
    EXPECT_EQ(Settings::get("app", "refresh", "10"), "10");

    const QString path = scratchPath("hand.ini");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[fields]\ntrack=type:1,ident:1,lat:0\n");
    file.close();
    Settings::useFile(path);
    EXPECT_EQ(Settings::get("fields", "track"), "type:1,ident:1,lat:0");
}

TEST_F(SettingsTest, ScriptedChannelAnswersInOrderAndRecordsTexts) {
    ui.answerMessage(Answer::Yes);
    ui.answerInput(QString("42"));
    EXPECT_EQ(userInteraction().message("Saved", "Info"), Answer::Ok);
    EXPECT_EQ(userInteraction().question("Replace?", "Question"), Answer::Yes);
    EXPECT_EQ(userInteraction().question("Again?", "Question", true), Answer::Cancel);
    EXPECT_EQ(userInteraction().inputText("Rate", "Set"), "42");
    EXPECT_EQ(userInteraction().inputText("Rate", "Set"), "");
    EXPECT_EQ(ui.messages(), QStringList({"Saved", "Replace?", "Again?"}));
}

TEST_F(SettingsTest, RetryIsAnAnswerOfItsOwnAndStrictChannelsNoteUnansweredQuestions) {
    ui.setStrict(true);
    ui.answerMessage(Answer::Retry);
    EXPECT_EQ(userInteraction().message("Lost", "Link", Buttons::RetryCancel), Answer::Retry);
    // Unscripted, a Retry/Cancel box cancels: a headless run never loops on it.
    EXPECT_EQ(userInteraction().message("Lost", "Link", Buttons::RetryCancel), Answer::Cancel);
    // Retry does not answer a Yes/No question.
    ui.answerMessage(Answer::Retry);
    EXPECT_EQ(userInteraction().question("Replace?", "Question"), Answer::No);
    EXPECT_EQ(userInteraction().message("Saved", "Info"), Answer::Ok);
    EXPECT_EQ(userInteraction().inputText("Rate", "Set"), "");
    EXPECT_EQ(ui.unanswered(), QStringList({"Lost", "Rate"}));
}
