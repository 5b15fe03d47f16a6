// The graph drawn reading by reading in place against a whole redraw of the
// same window: filling, scrolling, markers moving and dropping out, the
// cursor, zoom and clear.
#include "GraphViewTestSupport.h"
#include "tests/support/PatchedScreen.h"

#include <QPainter>
#include <cmath>

namespace {

// Keeps the picture it is shown the way a window does: the changed region
// of each new picture patched into its own copy.
class TPatchingTarget : public TFakeGraphTarget {
public:
  QImage Screen;
  void ShowChanged(const QImage& picture, const QRegion& changed) override {
    PatchScreen(Screen, picture, changed);
    ShowPicture(picture);
  }
  // The screen's pixels move along; those moved in are black until patched.
  void ShowScrolled(const QImage& picture, int dx, const QRegion& changed) override {
    if (!Screen.isNull()) {
      QImage moved(Screen.size(), Screen.format());
      moved.fill(Qt::black);
      QPainter(&moved).drawImage(dx, 0, Screen);
      Screen = moved;
    }
    ShowChanged(picture, changed);
  }
};

class GraphViewFramesTest : public GraphViewFixture {
protected:
  TPatchingTarget Fast;
  TFakeGraphTarget Whole;
  std::unique_ptr<TInstGraph> Incremental;
  std::unique_ptr<TInstGraph> Reference;
  int Count = 0;

  void SetUp() override {
    Fast.Size = Whole.Size = QSize(300, 120);
    Incremental = std::make_unique<TInstGraph>(&Gauge, false, &Fast);
    Reference = std::make_unique<TInstGraph>(&Gauge, false, &Whole);
  }

  int Every = 1;  // readings in a frame: the others are deferred to it

  // Readings that swing across the plot and past its edges.
  void Add(int n) {
    for (int k = 0; k < n; ++k, ++Count) {
      const double inst = 130.0 * std::sin(Count * 0.37) + 40.0 * std::sin(Count * 2.1);
      const double level = 0.5 + 0.6 * std::cos(Count * 0.05);
      const TInstData r = Reading(DayTime(12, 0, 0, 0) + Count * 40 / 86400000.0, 0.5, level, inst);
      const bool deferred = (Count + 1) % Every != 0;
      const int shows = Fast.Shows;
      Incremental->Deferred = deferred;
      Incremental->AddReading(r);
      Incremental->Deferred = false;
      Reference->AddReading(r);
      if (deferred) {
        ASSERT_EQ(Fast.Shows, shows) << "reading " << Count << " drawn at once";
        continue;
      }
      Reference->Redraw();
      ASSERT_EQ(Incremental->Picture(), Reference->Picture()) << "reading " << Count;
      ASSERT_EQ(Fast.Screen, Incremental->Picture()) << "reading " << Count << ": not all shown";
    }
  }
  // Filling, scrolling, markers, the cursor, zoom and clear.
  void Script();
  template <typename F>
  void Both(F f) {
    f(*Incremental);
    f(*Reference);
  }
};

}  // namespace

TEST_F(GraphViewFramesTest, ReadingsDrawnInPlaceEqualWholeRedraws) {
  Script();
}

TEST_F(GraphViewFramesTest, ReadingsDrawnTogetherEqualWholeRedraws) {
  for (const int every : {2, 7}) {
    SCOPED_TRACE(every);
    SetUp();
    Every = every;
    Script();
    // The readings still waiting are drawn on demand.
    Incremental->CatchUp();
    Reference->Redraw();
    EXPECT_EQ(Incremental->Picture(), Reference->Picture());
    EXPECT_EQ(Fast.Screen, Incremental->Picture());
  }
}

void GraphViewFramesTest::Script() {
  Add(320);  // fills the window and scrolls
  Both([](TInstGraph& v) {
    v.SetMarker1(40);
    v.SetMarker2(250);
    v.Redraw();
  });
  Add(30);  // the markers scroll with their records
  Both([](TInstGraph& v) { v.Hover(10, 33); });
  Add(20);  // the cursor moved without a redraw
  Add(20);  // marker 1 scrolls out and takes marker 2 along
  Both([](TInstGraph& v) {
    v.TimeZoomOn = true;
    v.TimeZoomFactor = 2.0;
  });
  Add(5);
  Both([](TInstGraph& v) { v.TimeZoomFactor = 0.5; });
  Add(5);
  Both([](TInstGraph& v) { v.TimeZoomOn = false; });
  Add(5);
  Both([](TInstGraph& v) { v.Clear(); });
  Add(40);  // a window filling again, marker on a growing window
  Both([](TInstGraph& v) {
    v.SetMarker1(35);
    v.Redraw();
  });
  Add(10);
}

TEST_F(GraphViewFramesTest, AReadingOnAGrowingWindowRepaintsItsColumnsOnly) {
  struct TRegionTarget : TFakeGraphTarget {
    QRegion Last;
    void ShowChanged(const QImage& picture, const QRegion& changed) override {
      Last = changed;
      ShowPicture(picture);
    }
  } target;
  target.Size = QSize(300, 120);
  TInstGraph view(&Gauge, false, &target);
  for (int i = 0; i < 10; ++i) view.AddReading(Reading(0.5, 0.5, 0.5, i * 10.0));
  EXPECT_EQ(target.Last, QRegion(8, 0, 2, 120));
}

TEST_F(GraphViewFramesTest, APausedViewKeepsTheReadingsAndDrawsThemWholeAfterwards) {
  Add(100);
  Incremental->Paused = true;
  const QImage before = Incremental->Picture().copy();
  const int shows = Fast.Shows;
  Incremental->AddReading(Reading(0.6, 0.5, 0.9, 90.0));
  Reference->AddReading(Reading(0.6, 0.5, 0.9, 90.0));
  EXPECT_EQ(Fast.Shows, shows);
  EXPECT_EQ(Incremental->Picture(), before);
  EXPECT_EQ(Incremental->WindowLength(), 101);
  Incremental->Paused = false;
  Add(1);  // drawn whole, the paused reading included
}
