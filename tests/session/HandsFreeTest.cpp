// Hands-free sessions on the engine: the pause, call and read-line symbols
// write nothing, and after a stop symbol a reaction starts the next session.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "SessionRig.h"
#include "inifile/IniFile.h"
#include "session/OptionsFile.h"
#include "session/SessionRules.h"
#include "session/SessionSpeaker.h"
#include "speech/FakeSpeech.h"
#include "speech/SymbolNames.h"

namespace {

struct THandsRig : TSessionRig {
  THandsRig() {
    Host.HandsFree.PauseSymbol = QStringLiteral(" P ");  // trimmed at Start
    Host.HandsFree.CallSymbol = QStringLiteral("C");
    Host.HandsFree.ReadLineSymbol = QStringLiteral("R");
    Host.StartAgain = [this] { Engine.Start(QStringLiteral("1")); };
  }
  // Takes the symbol: moves to it, fires, and lets the reaction end.
  void Take(const QString& symbol) {
    MoveTo(symbol);
    Fire();
    Poll(0.0);
  }
};

TEST(HandsFree, ThePauseSymbolStandsTheDrumAndTheNextReactionTakesNothing) {
  THandsRig rig;
  rig.Engine.Start(QStringLiteral("1"));
  rig.Take(QStringLiteral("A"));
  rig.Take(QStringLiteral("P"));
  EXPECT_EQ(rig.Written(), QStringLiteral("A"));
  ASSERT_TRUE(rig.Engine.PausedBySymbol());
  const int at = rig.Engine.DrumPosition();
  rig.Frames(30);
  EXPECT_EQ(rig.Engine.DrumPosition(), at) << "the drum stands";
  EXPECT_EQ(rig.Sensor.Calls.back(), "Start 10000") << "the capture goes on";
  rig.Fire();
  EXPECT_FALSE(rig.Engine.Paused());
  EXPECT_EQ(rig.Engine.StepPhase(), 0) << "a fresh rest on the pause symbol";
  EXPECT_EQ(rig.Engine.DrumPosition(), at);
  EXPECT_EQ(rig.Written(), QStringLiteral("A")) << "the waking reaction took nothing";
  rig.NextSymbol();
  EXPECT_EQ(rig.Engine.DrumPosition(), at + 1);
}

TEST(HandsFree, TheCallSymbolWritesNothingStandsTheDrumAndSaysNoName) {
  THandsRig rig;
  TSpeechOptions say;
  say.SaySelected = true;
  TRigVoice voice(rig.Host, say);
  const TFakeSpeech& speech = voice.Speech;
  rig.Engine.Start(QStringLiteral("1"));
  rig.Take(QStringLiteral("C"));
  EXPECT_TRUE(rig.Host.Tape.isEmpty());
  EXPECT_TRUE(rig.Engine.PausedBySymbol());
  for (const std::string& said : speech.Log)
    EXPECT_EQ(said.rfind("main:", 0), std::string::npos) << said;
}

TEST(HandsFree, TheReadLineSymbolReadsTheLastLineWithEverySpeechOptionOff) {
  THandsRig rig;
  TRigVoice voice(rig.Host, {});
  voice.Speaker.SetHandsFree(rig.Host.HandsFree);
  TFakeSpeech& speech = voice.Speech;
  rig.Engine.Start(QStringLiteral("1"));
  rig.Take(QStringLiteral("D"));
  rig.Take(QStringLiteral("A"));
  speech.Log.clear();
  rig.Take(QStringLiteral("R"));
  EXPECT_EQ(rig.Host.Tape, QStringList{QStringLiteral("- DA")});
  EXPECT_EQ(speech.Log, std::vector<std::string>{"main:" + SpokenLine("- DA")});
  EXPECT_FALSE(rig.Engine.Paused()) << "the drum goes on";
  EXPECT_TRUE(rig.Engine.Running());
}

TEST(HandsFree, AfterAStopSymbolAReactionStartsTheNextSessionAndNothingIsTold) {
  THandsRig rig;
  rig.Host.HandsFree.StartByReaction = true;
  rig.Engine.Start(QStringLiteral("1"));
  rig.MoveTo(QStringLiteral("."));
  rig.Host.Events.clear();
  rig.Fire();
  ASSERT_TRUE(rig.Engine.Waiting());
  EXPECT_FALSE(rig.Engine.Running());
  EXPECT_EQ(rig.Host.Tape, QStringList{QStringLiteral("- .")});
  EXPECT_TRUE(rig.Host.Events.contains(QStringLiteral("unlock"))) << "the session ended";
  EXPECT_EQ(rig.Host.Light, TSessionLight::Armed) << "the stop reaction is still latched";
  EXPECT_TRUE(rig.PollTimer.Pending());
  rig.Host.Events.clear();
  rig.Poll(0.5);  // the stop reaction still going: no new session
  EXPECT_TRUE(rig.Engine.Waiting());
  rig.Poll(0.0);
  EXPECT_EQ(rig.Host.Light, TSessionLight::Ready);
  rig.Frames(3);
  EXPECT_EQ(rig.Sensor.Calls.back(), "Start 10000") << "the capture goes on";
  EXPECT_FALSE(rig.Host.Events.join(QLatin1Char(',')).contains(QLatin1String("reading")))
      << "readings while waiting are no session's";
  // The sensor fails for a while (a sound server restarting): the waiting
  // goes on, told once, and a reaction after it still starts a session.
  rig.Sensor.FailRead = true;
  rig.Poll(0.0);
  rig.Poll(0.0);
  rig.Sensor.FailRead = false;
  EXPECT_TRUE(rig.Engine.Waiting());
  EXPECT_EQ(rig.Host.Events.filter(QStringLiteral("notice Ошибка")).size(), 1);
  rig.Poll(0.5);
  EXPECT_TRUE(rig.Host.Events.contains(QStringLiteral("start by reaction")));
  EXPECT_TRUE(rig.Engine.Running());
  EXPECT_FALSE(rig.Engine.Waiting());
  EXPECT_EQ(rig.Engine.DrumPosition(), 1);
  // The starting reaction is latched: it takes nothing at the first rest.
  rig.Poll(0.5);
  EXPECT_EQ(rig.Host.Tape, QStringList{QStringLiteral("- .")});
  rig.Fire();
  EXPECT_EQ(rig.Host.Tape, (QStringList{QStringLiteral("- ."), QStringLiteral("- A")}));
}

TEST(HandsFree, StopEndsTheWaitingAndWithoutTheOptionAStopSymbolEndsAll) {
  THandsRig rig;
  rig.Host.HandsFree.StartByReaction = true;
  rig.Engine.Start(QStringLiteral("1"));
  rig.Take(QStringLiteral("."));
  ASSERT_TRUE(rig.Engine.Waiting());
  rig.Engine.Stop();
  EXPECT_FALSE(rig.Engine.Waiting());
  EXPECT_EQ(rig.Host.Light, TSessionLight::Idle);
  EXPECT_EQ(rig.Sensor.Calls.back(), "Stop");
  EXPECT_FALSE(rig.PollTimer.Pending());
  EXPECT_FALSE(rig.DrumTimer.Pending());

  // Taken by F9 with the switch armed, a reaction would start a session now.
  rig.Engine.Start(QStringLiteral("1"));
  rig.MoveTo(QStringLiteral("."));
  rig.Poll(0.0);
  rig.Engine.SelectSymbol();
  ASSERT_TRUE(rig.Engine.Waiting());
  EXPECT_EQ(rig.Host.Light, TSessionLight::Ready);
  rig.Engine.Stop();

  rig.Host.HandsFree.StartByReaction = false;
  rig.Engine.Start(QStringLiteral("1"));
  rig.Take(QStringLiteral("."));
  EXPECT_FALSE(rig.Engine.Waiting());
  EXPECT_FALSE(rig.PollTimer.Pending());
}

TEST(HandsFree, EarlierSpecialSymbolsWinAndTheSettingsAreWarned) {
  TSymbolRules rules;
  rules.BackspaceSymbol = QStringLiteral("<");
  rules.StopSymbols = {QStringLiteral(".")};
  rules.PauseSymbol = QStringLiteral("<");
  rules.CallSymbol = QStringLiteral(".");
  QStringList lines{QStringLiteral("- AB")};
  bool pending = false;
  EXPECT_EQ(ApplySymbol(lines, QStringLiteral("<"), rules, pending), TSymbolAction::Backspace);
  EXPECT_EQ(ApplySymbol(lines, QStringLiteral("."), rules, pending), TSymbolAction::Call);
  EXPECT_EQ(lines, QStringList{QStringLiteral("- A")});

  const QStringList table = TSessionOptions::DesignSymbols() << QStringLiteral("<");
  EXPECT_TRUE(HandsFreeProblems(table, {}, QStringLiteral("<"), {QStringLiteral(".")},
                                QStringLiteral("P"), {}, QStringLiteral(" R "))
                  .isEmpty());
  const QStringList problems =
      HandsFreeProblems(table, {}, QStringLiteral("<"), {QStringLiteral(".")}, QStringLiteral("Ж"),
                        QStringLiteral("<"), QStringLiteral("."));
  ASSERT_EQ(problems.size(), 3) << problems.join(QLatin1Char('\n')).toStdString();
  EXPECT_TRUE(problems[0].contains(QStringLiteral("нет в таблице")));
  EXPECT_TRUE(problems[1].contains(QStringLiteral("занят")));
  EXPECT_TRUE(problems[2].contains(QStringLiteral("стоп-символ")));
}

TEST(HandsFree, PredictionOffersTheHandsFreeSymbolsInEveryTurn) {
  THandsRig rig;
  rig.Host.Speed.PredictNextLetter = true;
  rig.Engine.Start(QStringLiteral("1"));
  rig.Take(QStringLiteral("A"));
  rig.Take(QStringLiteral("P"));
  EXPECT_EQ(rig.Written(), QStringLiteral("A"));
  EXPECT_TRUE(rig.Engine.PausedBySymbol());
}

TEST(HandsFree, TheSectionIsWrittenOnlyOnceSetAndReadBackAsTyped) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("Quillora.ini"));
  TOptions options;
  {
    TOptionsWriter w(path);
    w.Settings(options, true);
    ASSERT_TRUE(w.Finish());
  }
  EXPECT_FALSE(TIniFile(path.toStdString()).SectionExists("Hands Free"));
  options.HandsFree = {true, QStringLiteral(" П "), QStringLiteral("!"), QString()};
  {
    TOptionsWriter w(path);
    w.Settings(options, true);
    ASSERT_TRUE(w.Finish());
  }
  TOptions read;
  ReadOptions(path, read);
  EXPECT_TRUE(read.HandsFree == options.HandsFree);
  // Back to the design: the section stays, so its keys say so.
  options.HandsFree = {};
  {
    TOptionsWriter w(path);
    w.Settings(options, true);
    ASSERT_TRUE(w.Finish());
  }
  read.HandsFree.StartByReaction = true;
  ReadOptions(path, read);
  EXPECT_TRUE(read.HandsFree == THandsFreeOptions());
}

}  // namespace
