// The wave-input devices as the settings window lists them, and opening one
// of them by name.

#include <gtest/gtest.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <set>

#include "WaveInEnvironment.h"
#include "capture/CaptureInputs.h"
#include "capture/WaveInCapture.h"
#include "capture/WaveInInputs.h"

namespace {

TEST(WaveInInputs, PlatformListIsTheWaveInputList) {
  auto inputs = CreateDefaultCaptureInputs();
  EXPECT_NE(dynamic_cast<TWaveInInputs*>(inputs.get()), nullptr);
}

TEST(WaveInInputs, ListsEveryDeviceOnceUnderItsOwnName) {
  if (!WaveInEnvironmentSays("QUILLORA_WAVEIN_LOOPBACK") && waveInGetNumDevs() == 0)
    GTEST_SKIP() << "no input device";
  std::vector<TCaptureInput> inputs;
  ASSERT_TRUE(TWaveInInputs().List(inputs));
  ASSERT_EQ(inputs.size(), waveInGetNumDevs());
  std::set<std::string> names;
  for (const TCaptureInput& i : inputs) {
    EXPECT_FALSE(i.Name.empty());
    EXPECT_EQ(i.Description, i.Name);
    names.insert(i.Name);
  }
  EXPECT_EQ(names.size(), inputs.size()) << "a name that picks two devices";
  const int preferred = PreferredWaveInDevice();
  if (preferred >= 0) {
    EXPECT_EQ(inputs.front().Name, WaveInDeviceNames()[size_t(preferred)]);
  }
}

TEST(WaveInInputs, OpensTheSelectedDeviceAndFallsBackWhenItIsGone) {
  if (!WaveInEnvironmentSays("QUILLORA_WAVEIN_LOOPBACK") && waveInGetNumDevs() == 0)
    GTEST_SKIP() << "no input device";
  std::vector<TCaptureInput> inputs;
  ASSERT_TRUE(TWaveInInputs().List(inputs));
  ASSERT_FALSE(inputs.empty());
  TWaveInCapture device;
  std::vector<std::string> missing;
  device.OnInputMissing = [&](const std::string& name) { missing.push_back(name); };

  for (const TCaptureInput& i : inputs) {
    device.SelectInput(i.Name);
    ASSERT_TRUE(device.Open()) << i.Name;
    EXPECT_EQ(device.InputInUse(), i.Name);
  }
  EXPECT_TRUE(missing.empty());

  device.SelectInput("Quillora: no such device");
  ASSERT_TRUE(device.Open());
  EXPECT_EQ(missing, std::vector<std::string>{"Quillora: no such device"});
  // The mapper's device, which the list shows first.
  if (PreferredWaveInDevice() >= 0) {
    EXPECT_EQ(device.InputInUse(), inputs.front().Name);
  }

  device.SelectInput("");
  ASSERT_TRUE(device.Open());
  EXPECT_EQ(missing.size(), 1u);
  device.Close();
}

TEST(WaveInInputs, NoDeviceGivesAnEmptyListThatStillAnswers) {
  if (waveInGetNumDevs() != 0) GTEST_SKIP() << "an input device is present";
  std::vector<TCaptureInput> inputs{{"stale", "stale"}};
  // Answered, so the settings do not blame a sound server.
  EXPECT_TRUE(TWaveInInputs().List(inputs));
  EXPECT_TRUE(inputs.empty());
  TWaveInCapture device;
  device.SelectInput("stale");
  EXPECT_FALSE(device.Open());
  EXPECT_EQ(device.InputInUse(), "");
}

}  // namespace
