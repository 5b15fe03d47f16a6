#pragma once

// The sound input as the sensor sees it: a recording device (the system's
// default unless one is selected), opened for 8000 Hz mono 8-bit unsigned
// PCM, filling one fixed buffer once.
// All calls come from the user-interface thread; the device may fill the
// buffer on its own in between.

#include <cstdint>
#include <functional>
#include <string>

class TCaptureDevice {
public:
  virtual ~TCaptureDevice();

  // Opens the input for 8000 Hz, mono, 8-bit unsigned PCM. False when there
  // is no such device or no sound system to ask. AddBuffer and Start fail on
  // a device whose open failed.
  virtual bool Open() = 0;
  // Hands over the one buffer to fill (prepared and queued). The memory stays
  // the caller's and must live until Reset or Close. On failure nothing stays
  // queued.
  virtual bool AddBuffer(uint8_t* data, int size) = 0;
  // Starts recording into the queued buffer.
  virtual bool Start() = 0;
  // Bytes recorded into the buffer since Start (one byte per sample).
  virtual int Position() = 0;
  // The buffer is full; the device has stopped filling it.
  virtual bool BufferDone() = 0;
  // The started capture has broken off (its stream, device or sound server
  // failed) and will deliver nothing more.
  virtual bool Failed();
  // Stops recording and gives the buffer back; the device stays open.
  virtual void Reset() = 0;
  // Releases the device. Harmless on a device that is not open.
  virtual void Close() = 0;

  // The recording device to use from the next Open: a name from the input
  // list (TCaptureInputs); empty for the system's default. A back end that
  // cannot choose ignores it.
  virtual void SelectInput(const std::string& name);
  // The name of the device the capture records from; empty when unknown.
  virtual std::string InputInUse() const;
  // Called from Open, on the caller's thread, with the selected name when
  // that device is gone and the default is opened instead.
  std::function<void(const std::string& missing)> OnInputMissing;
};
