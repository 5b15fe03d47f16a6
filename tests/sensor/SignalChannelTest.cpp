#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "sensor/Probe.h"

TEST(SignalChannel, SpringStepResponse) {
  TSignalChannel c;
  c.SpringEnabled = true;
  const std::vector<double> expected = {0, 24.2, 39.59, 46.48, 49.01, 49.79, 49.99, 50.02};
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_NEAR(c.Spring(50.0), expected[i], 0.005) << "step " << i;
  double y = 0;
  for (int i = 0; i < 50; ++i) y = c.Spring(50.0);
  EXPECT_NEAR(y, 50.0, 1e-6);
}

TEST(SignalChannel, SpringOffPassesInputExactly) {
  TSignalChannel c;
  for (double x : {0.0, -3.25, 1e-17, 123456.789}) EXPECT_EQ(c.Spring(x), x);
  EXPECT_EQ(c.SpringPosition(), 0.0);
}

TEST(SignalChannel, ChangingSpringParametersKeepsItsState) {
  TSignalChannel c;
  c.SpringEnabled = true;
  c.Spring(50.0);
  c.Spring(50.0);
  const double p = c.SpringPosition(), v = c.SpringVelocity();
  c.Damping = 5.0;
  c.TimeStep = 0.1;
  EXPECT_EQ(c.SpringPosition(), p);
  EXPECT_EQ(c.SpringVelocity(), v);
}

// Damping 10 with time step 0.22 makes the explicit step unstable: the output
// must stay finite and bounded, and the spring must settle once sane
// parameters are back.
TEST(SignalChannel, UnstableSpringStaysBoundedAndRecovers) {
  TSignalChannel c;
  c.SpringEnabled = true;
  c.SpringLimit = 2000.0;
  c.Damping = 10.0;
  c.TimeStep = 0.22;
  for (int i = 0; i < 10000; ++i) {
    const double y = c.Spring(50.0);
    ASSERT_TRUE(std::isfinite(y)) << i;
    ASSERT_LE(std::fabs(y), 2000.0) << i;
    ASSERT_TRUE(std::isfinite(c.SpringVelocity())) << i;
  }
  c.Damping = 3.1;
  c.TimeStep = 0.22;
  double y = 0;
  for (int i = 0; i < 300; ++i) y = c.Spring(50.0);
  EXPECT_NEAR(y, 50.0, 1e-6);
}

// Inputs far beyond the bound put the spring at rest within it, and it
// follows the input again, at rest, once the input is back.
TEST(SignalChannel, SpringSettlesAfterInputsBeyondItsBound) {
  for (const double timeStep : {0.01, 0.5}) {
    for (const double damping : {0.0, 1e9}) {
      SCOPED_TRACE(testing::Message() << "time step " << timeStep << ", damping " << damping);
      TSignalChannel c;
      c.SpringEnabled = true;
      c.SpringLimit = 2000.0;
      c.Damping = damping;
      c.TimeStep = timeStep;
      for (int i = 0; i < 40; ++i) {
        const double y = c.Spring(i % 2 ? 1e7 : -1e7);
        ASSERT_LE(std::fabs(y), 2000.0) << i;
      }
      double y = 0;
      for (int i = 0; i < 30000; ++i) y = c.Spring(50.0);
      EXPECT_NEAR(y, 50.0, 1e-3);
      EXPECT_NEAR(c.SpringVelocity(), 0.0, 1e-3);
    }
  }
}

TEST(SignalChannel, NonFiniteInputOrParametersResetTheSpring) {
  TSignalChannel c;
  c.SpringEnabled = true;
  c.Spring(50.0);
  EXPECT_TRUE(std::isfinite(c.Spring(std::nan(""))));
  EXPECT_EQ(c.SpringPosition(), 0.0);
  EXPECT_EQ(c.SpringVelocity(), 0.0);
  c.Damping = 1e308;
  c.TimeStep = 1e308;
  for (int i = 0; i < 10; ++i) EXPECT_TRUE(std::isfinite(c.Spring(50.0)));
}

TEST(SignalChannel, DepthOneReturnsInputAndKeepsSum) {
  TSignalChannel c;
  c.SetDepth(5);
  for (int i = 0; i < 3; ++i) c.Average(1.0);  // average 0.488
  const double average = c.CurrentAverage();
  c.SetDepth(1);
  EXPECT_DOUBLE_EQ(c.Sum(), average);
  EXPECT_EQ(c.Average(0.9), 0.9);
  EXPECT_EQ(c.Average(0.1), 0.1);
  EXPECT_DOUBLE_EQ(c.Sum(), average);
  c.SetDepth(5);
  EXPECT_DOUBLE_EQ(c.CurrentAverage(), average);
  EXPECT_DOUBLE_EQ(c.Average(average), average);
}

TEST(SignalChannel, RunningAverageSequence) {
  TSignalChannel c;
  c.SetDepth(5);
  EXPECT_DOUBLE_EQ(c.Average(1.0), 0.2);
  EXPECT_DOUBLE_EQ(c.Average(1.0), 0.36);
  EXPECT_DOUBLE_EQ(c.Average(1.0), 0.488);
  EXPECT_DOUBLE_EQ(c.Sum(), 5 * 0.488);
}

TEST(SignalChannel, DepthIsClampedAndAverageSurvives) {
  TSignalChannel c;
  c.SetDepth(0);
  EXPECT_EQ(c.Depth(), 1);
  c.SetDepth(-3);
  EXPECT_EQ(c.Depth(), 1);
  c.SetDepth(5000);
  EXPECT_EQ(c.Depth(), 1024);
  c.SetDepth(4);
  c.SetSum(4 * 0.3);
  c.SetDepth(20);
  EXPECT_EQ(c.Depth(), 20);
  EXPECT_DOUBLE_EQ(c.Sum(), 20 * 0.3);
  EXPECT_DOUBLE_EQ(c.CurrentAverage(), 0.3);
}

TEST(SignalChannel, FilterIsSpringThenAverage) {
  TSignalChannel a, b;
  a.SpringEnabled = b.SpringEnabled = true;
  a.SetDepth(3);
  b.SetDepth(3);
  for (int i = 0; i < 5; ++i) {
    const double viaParts = b.Average(b.Spring(10.0));
    EXPECT_DOUBLE_EQ(a.Filter(10.0), viaParts);
  }
}

TEST(SignalChannel, WindowedAverageIsTheMeanOfTheLastInputs) {
  TSignalChannel c(true);
  c.SetDepth(3);
  ASSERT_EQ(c.Window().size(), 3u);
  EXPECT_DOUBLE_EQ(c.Average(3.0), 1.0);
  EXPECT_DOUBLE_EQ(c.Average(6.0), 3.0);
  EXPECT_DOUBLE_EQ(c.Average(9.0), 6.0);
  EXPECT_DOUBLE_EQ(c.Average(0.0), 5.0);
}

TEST(SignalChannel, WindowRebuiltFromTheAverage) {
  TSignalChannel c(false);
  c.SetDepth(4);
  c.SetSum(4 * 0.5);
  c.SetWindowed(true);
  ASSERT_EQ(c.Window().size(), 4u);
  for (double w : c.Window()) EXPECT_DOUBLE_EQ(w, 0.5);
  EXPECT_DOUBLE_EQ(c.Average(1.0), (0.5 * 3 + 1.0) / 4);
  c.SetWindowed(false);
  EXPECT_TRUE(c.Window().empty());
  c.SetWindowed(true);
  c.SetDepth(1);
  EXPECT_TRUE(c.Window().empty());
}
