// The sound input chosen in the settings window: listed from the capture
// layer, applied to the sensor's device, kept in a section of its own.
#include "SettingsFixture.h"

#include "capture/FakeCaptureDevice.h"
#include "sensor/Sens.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>

namespace {

class CaptureDevice : public SettingsFixture {
protected:
  void SetUp() override {
    SettingsFixture::SetUp();
    Inputs.Inputs = {{"mic", "Микрофон"}, {"usb", "USB-вход"}};
    TFSettings::SetCaptureInputs(&Inputs);
  }
  void TearDown() override {
    SettingsFixture::TearDown();
    TFSettings::SetCaptureInputs(nullptr);
  }
  QStringList Items() const {
    QStringList items;
    for (int i = 0; i < Settings->CBCaptureDevice->count(); ++i) items << Settings->CBCaptureDevice->itemText(i);
    return items;
  }
  TFakeCaptureDevice& Device() { return static_cast<TFakeCaptureDevice&>(Sensor->Device()); }
  QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  TFakeCaptureInputs Inputs;
};

}  // namespace

TEST_F(CaptureDevice, ChoiceIsListedAppliedAndKeptInItsOwnSection) {
  Settings->LoadSettings(PathOf("none.ini"));
  EXPECT_EQ(Items(), (QStringList{"По умолчанию: Микрофон", "Микрофон (используется)", "USB-вход"}));
  EXPECT_EQ(Settings->CBCaptureDevice->currentIndex(), 0);
  const QString plain = PathOf("plain.ini");
  ASSERT_TRUE(Settings->SaveSettings(plain, true));
  EXPECT_FALSE(Bytes(plain).contains("[Capture]")) << "the default writes nothing of its own";

  Settings->CBCaptureDevice->setCurrentIndex(2);
  Settings->CBCaptureDeviceChange();
  EXPECT_EQ(Device().SelectedInput, "usb") << "the sensor's next capture records from it";
  EXPECT_EQ(Items().value(2), QStringLiteral("USB-вход (используется)"));
  const QString chosen = PathOf("chosen.ini");
  ASSERT_TRUE(Settings->SaveSettings(chosen, true));
  EXPECT_TRUE(Bytes(chosen).contains("[Capture]\r\nDevice=usb") || Bytes(chosen).contains("[Capture]\nDevice=usb"))
      << Bytes(chosen).toStdString();

  Settings->LoadSettings(plain);
  EXPECT_EQ(Settings->CaptureDevice(), QStringLiteral("usb")) << "a file without the section leaves it";
  Settings->SetCaptureDevice(QString());
  Settings->LoadSettings(chosen);
  EXPECT_EQ(Settings->CaptureDevice(), QStringLiteral("usb"));
  EXPECT_EQ(Settings->CBCaptureDevice->currentIndex(), 2);
  EXPECT_TRUE(Dialogs.Messages.isEmpty());

  // Back to the default: the section goes.
  Settings->CBCaptureDevice->setCurrentIndex(0);
  Settings->CBCaptureDeviceChange();
  EXPECT_EQ(Device().SelectedInput, "");
  ASSERT_TRUE(Settings->SaveSettings(chosen, true));
  EXPECT_FALSE(Bytes(chosen).contains("[Capture]"));
}

TEST_F(CaptureDevice, StoredDeviceThatIsGoneFallsBackWithAMessage) {
  const QString path = PathOf("gone.ini");
  WriteFile("gone.ini", "[Capture]\r\nDevice=headset\r\n");
  Settings->LoadSettings(path);
  ASSERT_EQ(Dialogs.Messages.size(), 1);
  EXPECT_TRUE(Dialogs.Messages[0].contains(QStringLiteral("headset")));
  EXPECT_EQ(Items().value(3), QStringLiteral("headset (не найдено)"));
  EXPECT_EQ(Items().value(1), QStringLiteral("Микрофон (используется)")) << "the default records";

  // A device that goes during a session is told in the window, not in a box.
  Settings->LCaptureStatus->clear();
  ASSERT_TRUE(Device().OnInputMissing);
  Device().OnInputMissing("headset");
  EXPECT_TRUE(Settings->LCaptureStatus->text().contains(QStringLiteral("headset")));
  EXPECT_EQ(Dialogs.Messages.size(), 1);

  // Without a sound server nothing can be said about the device.
  Inputs.Listable = false;
  Settings->LoadSettings(path);
  EXPECT_EQ(Dialogs.Messages.size(), 1);
}
