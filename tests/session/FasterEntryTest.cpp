// Faster entry: the letter model's ranking, and the engine with restart after
// selection and with next-letter prediction.
#include <gtest/gtest.h>

#include "SessionRig.h"
#include "indicators/DrumGeometry.h"
#include "session/LetterModel.h"
#include "session/SessionSpeaker.h"
#include "speech/FakeSpeech.h"

namespace {

const QStringList kTable = {QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("В"),
                            QStringLiteral("<"), QStringLiteral(".")};

// After "." Б is likeliest, then В; А is known only overall; after "Б"
// nothing was seen often enough, so it backs off to the overall counts.
TLetterModel SmallModel() {
  TLetterModel m;
  EXPECT_TRUE(m.Load(QStringLiteral("# a comment\n"
                                    "\t9\tВ5 Б3 А1\n"
                                    ".\t7\tБ5 В2\n"
                                    "Б_\t4\tА4\n")));
  return m;
}

TEST(LetterModel, RanksByTheLongestKnownContextThenBacksOff) {
  const TLetterModel m = SmallModel();
  EXPECT_EQ(m.Order(), 3);
  EXPECT_EQ(m.Rank(QStringLiteral(".")), (QStringList{"Б", "В", "А"}));
  EXPECT_EQ(m.Rank(QStringLiteral(".Б")), (QStringList{"В", "Б", "А"})) << "no row for Б: overall order";
  EXPECT_EQ(m.Rank(QStringLiteral("ВБ ")), (QStringList{"А", "В", "Б"})) << "blank written as _";
  EXPECT_EQ(m.Rank(QString()), (QStringList{"В", "Б", "А"}));
  TLetterModel empty;
  EXPECT_FALSE(empty.Load(QStringLiteral("garbage\n\tx\t\n")));
  EXPECT_TRUE(empty.Rank(QStringLiteral("А")).isEmpty());
}

TEST(LetterModel, TheShippedModelKnowsRussian) {
  const TLetterModel& m = TLetterModel::Builtin();
  ASSERT_FALSE(m.Empty()) << "the model resource is compiled in";
  EXPECT_EQ(m.Order(), 6);
  EXPECT_EQ(m.Rank(QStringLiteral(".СПАСИБ")).first(), QStringLiteral("О"));
  EXPECT_EQ(m.Rank(QStringLiteral(".ЗДРАВСТВУЙ")).first(), QStringLiteral("Т"));
  EXPECT_EQ(m.Rank(QStringLiteral(".ДА ЗДРАВСТВУ")).first(), QStringLiteral("Е"));
  EXPECT_EQ(m.Rank(QStringLiteral("ЧТО")).first(), QStringLiteral(" "));
  EXPECT_EQ(m.Rank(QStringLiteral("ЩЪЫ")).size(), 35) << "33 letters, blank and full stop, even after nonsense";
}

// The symbols of the next rests, one full move after another.
QStringList NextRests(TSessionRig& rig, int count) {
  QStringList shown;
  for (int i = 0; i < count; ++i) {
    rig.NextSymbol();
    shown << rig.Engine.Symbols().value(rig.Engine.DrumPosition() - 1);
  }
  return shown;
}

TEST(FasterEntry, WithTheOptionsOffTheDrumKeepsTableOrder) {
  TSessionRig rig;
  rig.Engine.Start(QStringLiteral("1"));
  rig.MoveTo(QStringLiteral("C"));
  rig.Fire();
  EXPECT_EQ(rig.Engine.NextPosition(), 4);
  EXPECT_EQ(NextRests(rig, 2), (QStringList{"D", "E"}));
  EXPECT_EQ(rig.Engine.WrittenCount(), 1);
}

TEST(FasterEntry, RestartGoesToSymbolOneAfterEachSelectionOnly) {
  TSessionRig rig;
  rig.Host.Speed.RestartAfterSelection = true;
  rig.Engine.Start(QStringLiteral("1"));
  EXPECT_EQ(rig.Engine.DrumPosition(), 1) << "the first rest is as designed";
  rig.MoveTo(QStringLiteral("C"));
  rig.Fire();
  rig.Fire();
  EXPECT_EQ(rig.Host.Tape, QStringList{"- C"}) << "still one selection per rest";
  EXPECT_EQ(rig.Engine.NextPosition(), 1);
  EXPECT_EQ(NextRests(rig, 3), (QStringList{"A", "B", "C"}));
  rig.MoveTo(QStringLiteral("."));
  rig.Fire();
  EXPECT_FALSE(rig.Engine.Running()) << "the stop symbol still stops";
  EXPECT_EQ(rig.Host.Tape, QStringList{"- C."});
}

TEST(FasterEntry, PredictionOffersTheLikeliestLettersThenTheRestInTableOrder) {
  TSessionRig rig;
  const TLetterModel model = SmallModel();
  rig.Engine.SetLetterModel(&model);
  rig.Host.Options.Symbols = kTable;
  rig.Host.Speed.PredictNextLetter = true;
  rig.Host.Speed.UndoPlace = 0;  // the backspace symbol in table order
  rig.Engine.Start(QStringLiteral("1"));
  EXPECT_EQ(rig.Engine.DrumPosition(), 2) << "a line starts as after \".\": Б first";
  EXPECT_EQ(rig.Engine.NextPosition(), 3);
  rig.Fire();
  EXPECT_EQ(rig.Host.Tape, QStringList{"- Б"});
  // Known letters by rank, then the unknown symbols in table order, then on
  // round the table.
  EXPECT_EQ(NextRests(rig, 7), (QStringList{"В", "Б", "А", "<", ".", "А", "Б"}));

  rig.MoveTo(QStringLiteral("<"));
  rig.Fire();
  EXPECT_EQ(rig.Host.Tape, QStringList{"- "}) << "the backspace symbol still deletes";
  EXPECT_EQ(rig.Engine.UndoneCount(), 1);
  EXPECT_EQ(NextRests(rig, 1), QStringList{"Б"}) << "planned again from the shortened line";
  rig.MoveTo(QStringLiteral("."));
  rig.Fire();
  EXPECT_FALSE(rig.Engine.Running()) << "the stop symbol still stops";
  EXPECT_EQ(rig.Host.Tape, QStringList{"- ."});
}

TEST(FasterEntry, PredictionCanStopAfterTheLikeliestFewLetters) {
  TSessionRig rig;
  const TLetterModel model = SmallModel();
  rig.Engine.SetLetterModel(&model);
  rig.Engine.SetPredictedLetters(1);
  rig.Host.Options.Symbols = kTable;
  rig.Host.Speed.PredictNextLetter = true;
  rig.Host.Speed.UndoPlace = 0;
  rig.Engine.Start(QStringLiteral("1"));
  rig.Fire();
  EXPECT_EQ(NextRests(rig, 5), (QStringList{"В", "А", "Б", "<", "."})) << "one letter, then table order";
}

TEST(FasterEntry, TheBackspaceSymbolComesAtItsPlaceInEveryScanAfterASelection) {
  TSessionRig rig;
  const TLetterModel model = SmallModel();
  rig.Engine.SetLetterModel(&model);
  rig.Host.Options.Symbols = kTable;
  rig.Host.Speed.PredictNextLetter = true;
  rig.Host.Speed.UndoPlace = 2;
  rig.Engine.Start(QStringLiteral("1"));
  EXPECT_EQ(rig.Engine.ScanAhead(), (QList<int>{3, 1, 4, 5})) << "nothing to undo yet: table order";
  rig.Fire();
  EXPECT_EQ(rig.Engine.ScanAhead(), (QList<int>{3, 4, 2, 1, 5})) << "second, then the letters go on";
  EXPECT_EQ(NextRests(rig, 2), (QStringList{"В", "<"}));
  rig.Fire();
  EXPECT_EQ(rig.Host.Tape, QStringList{"- "});
  EXPECT_EQ(rig.Engine.ScanAhead().value(1), 4) << "after an undo too";

  rig.Host.Speed.UndoPlace = 9;
  rig.Engine.Stop();
  rig.Engine.Start(QStringLiteral("1"));
  rig.Fire();
  EXPECT_EQ(rig.Engine.ScanAhead().last(), 4) << "a place beyond the scan: last";
  rig.Host.Options.BackspaceSymbol = QStringLiteral("#");
  rig.Engine.Stop();
  rig.Engine.Start(QStringLiteral("1"));
  rig.Fire();
  EXPECT_EQ(rig.Engine.ScanAhead(), (QList<int>{3, 2, 1, 4, 5})) << "a backspace symbol not in the table";
}

// The counts the live statistics show: the tape as it ends up.
TEST(FasterEntry, KeptCharactersAreTheSessionsOwnThatStayOnTheTape) {
  TSessionRig rig;
  rig.Host.Options.Symbols = kTable;
  rig.Host.Tape = QStringList{"- ОК"};
  rig.Engine.Start(QStringLiteral("1"));
  rig.MoveTo(QStringLiteral("<"));
  rig.Fire();
  EXPECT_EQ(rig.Host.Tape, QStringList{"- О"});
  EXPECT_EQ(rig.Engine.KeptCount(), 0) << "an earlier session's character removed";
  for (const char* s : {"А", "Б", "<", "<", "<", "<", "В"}) {
    rig.NextSymbol();
    rig.MoveTo(QString::fromUtf8(s));
    rig.Fire();
  }
  // "- АБ" lost Б, А, the blank and the "-" of its start; В began a new line.
  EXPECT_EQ(rig.Host.Tape, (QStringList{"- О", "", "- В"}));
  EXPECT_EQ(rig.Engine.WrittenCount() - rig.Engine.UndoneCount(), -2) << "the old count";
  EXPECT_EQ(rig.Engine.KeptCount(), 1);
  rig.Host.Tape << QStringLiteral("10:00");  // a time stamp, not the session's text
  rig.NextSymbol();
  rig.MoveTo(QStringLiteral("<"));
  rig.Fire();
  EXPECT_EQ(rig.Engine.KeptCount(), 1);
}

// The group scan with groups of two offered twice: after "." the ranking is
// Б, В, А, then "<" and "." unknown to the model.
struct TGroupRig : TSessionRig {
  TGroupRig() {
    Engine.SetLetterModel(&Model);
    Engine.SetGroupLayout({1, 2, 2, false});
    Host.Options.Symbols = kTable;
    Host.Speed.PredictNextLetter = true;
    Host.Speed.GroupScan = true;
    Host.Speed.UndoPlace = 2;
  }
  QString Shown() const { return Engine.Symbols().value(Engine.DrumPosition() - 1); }
  TLetterModel Model = SmallModel();
};

TEST(GroupScan, AReactionPicksAGroupThenOneOfItsMembers) {
  TGroupRig rig;
  rig.Engine.Start(QStringLiteral("1"));
  EXPECT_EQ(rig.Engine.Level(), 1);
  EXPECT_EQ(rig.Engine.RestGroup(), QList<int>{2}) << "the likeliest letter alone";
  EXPECT_EQ(rig.Engine.GroupsAhead(), (QList<QList<int>>{{3, 1}, {4, 5}})) << "nothing to undo yet";
  rig.NextSymbol();
  EXPECT_EQ(rig.Engine.RestGroup(), (QList<int>{3, 1}));
  rig.Fire();
  EXPECT_TRUE(rig.Host.Tape.isEmpty()) << "a group writes nothing";
  EXPECT_EQ(rig.Engine.ScanAhead(), (QList<int>{3, 1, 3, 1, 2, 3, 4}));
  rig.Fire();
  EXPECT_EQ(rig.Engine.ScanAhead().size(), 7) << "one selection per rest";

  EXPECT_EQ(NextRests(rig, 2), (QStringList{"В", "А"}));
  EXPECT_EQ(rig.Engine.Level(), 2);
  EXPECT_TRUE(rig.Engine.RestGroup().isEmpty());
  rig.Fire();
  EXPECT_EQ(rig.Host.Tape, QStringList{"- А"});
  EXPECT_EQ(rig.Engine.KeptCount(), 1);
  // Planned again from "А" (overall order В, Б, А): "<" alone second.
  EXPECT_EQ(NextRests(rig, 1), QStringList{"В"});
  EXPECT_EQ(rig.Engine.Level(), 1);
  EXPECT_EQ(rig.Engine.GroupsAhead(), (QList<QList<int>>{{4}, {2, 1}, {5}}));
  rig.NextSymbol();
  rig.Fire();
  EXPECT_EQ(rig.Host.Tape, QStringList{"- "}) << "the backspace symbol alone acts at once";
  EXPECT_EQ(rig.Engine.UndoneCount(), 1);
  EXPECT_EQ(rig.Engine.KeptCount(), 0);
}

TEST(GroupScan, UnansweredMembersGiveBackTheGroupsAfterTheirLoops) {
  TGroupRig rig;
  rig.Engine.Start(QStringLiteral("1"));
  rig.NextSymbol();
  rig.Fire();  // the group В, А
  EXPECT_EQ(NextRests(rig, 7), (QStringList{"В", "А", "В", "А", "Б", "В", "<"}));
  EXPECT_EQ(rig.Engine.Level(), 1);
  EXPECT_EQ(NextRests(rig, 3), (QStringList{"Б", "В", "<"})) << "the groups come round while nobody reacts";

  // A member that stops the session stops it; a new session begins at the
  // first group again.
  rig.Fire();
  EXPECT_EQ(NextRests(rig, 1), QStringList{"<"});
  rig.NextSymbol();
  rig.Fire();
  EXPECT_FALSE(rig.Engine.Running());
  EXPECT_EQ(rig.Host.Tape, QStringList{"- ."});
  rig.Engine.Start(QStringLiteral("1"));
  EXPECT_EQ(rig.Engine.Level(), 1);
  EXPECT_EQ(rig.Shown(), QStringLiteral("Б"));
}

TEST(GroupScan, ATurnBeforeThePauseIsATurnOfTheGroups) {
  TGroupRig rig;
  rig.Host.Switch.ScanLoops = 1;
  rig.Engine.Start(QStringLiteral("1"));
  rig.NextSymbol();
  rig.NextSymbol();
  EXPECT_FALSE(rig.Engine.Paused());
  rig.NextSymbol();
  EXPECT_TRUE(rig.Engine.Paused()) << "three groups, not five symbols";
}

TEST(GroupScan, TheCueNamesTheGroupsFirstSymbol) {
  TGroupRig rig;
  TSpeechOptions scanning;
  scanning.AuditoryScanning = true;
  TRigVoice voice(rig.Host, scanning);
  const TFakeSpeech& speech = voice.Speech;
  rig.Engine.Start(QStringLiteral("1"));
  rig.NextSymbol();
  ASSERT_EQ(rig.Engine.RestGroup(), (QList<int>{3, 1}));
  const std::string atGroup = speech.CueSounding;
  rig.Fire();
  rig.NextSymbol();
  ASSERT_EQ(rig.Shown(), QStringLiteral("В"));
  EXPECT_EQ(speech.CueSounding, atGroup) << "the group's first symbol, В, as at its own rest";
  rig.NextSymbol();
  EXPECT_NE(speech.CueSounding, atGroup);
}

TEST(GroupScan, OnlyWithPrediction) {
  TGroupRig rig;
  rig.Host.Speed.PredictNextLetter = false;
  rig.Engine.Start(QStringLiteral("1"));
  EXPECT_EQ(rig.Engine.Level(), 0);
  rig.Fire();
  EXPECT_EQ(rig.Host.Tape, QStringList{"- А"});
  EXPECT_EQ(NextRests(rig, 1), QStringList{"Б"});
}

TEST(FasterEntry, AJumpMovesTheWindowAllTheWayInFiveFrames) {
  TDrumState state;
  state.Running = true;
  state.Position = 2;
  state.Phase = 5;
  state.Target = 6;
  const TDrumLayout jump = DrumLayout(449, 409, 28, state);
  state.Phase = 0;
  state.Position = 6;
  EXPECT_EQ(jump.Window, DrumLayout(449, 409, 28, state).Window) << "at phase 5 it stands on the target";

  state.Position = 2;
  state.Phase = 3;
  state.FixedWindow = true;
  state.Target = 0;
  const TDrumLayout next = DrumLayout(449, 409, 28, state);
  state.Target = 3;
  const TDrumLayout nextAsTarget = DrumLayout(449, 409, 28, state);
  EXPECT_EQ(next.Places[0].Centre, nextAsTarget.Places[0].Centre) << "the next symbol as target: a plain move";
}

}  // namespace
