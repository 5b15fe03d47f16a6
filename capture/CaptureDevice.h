#pragma once

// The sound input as the sensor sees it: the default recording device, opened
// for 8000 Hz mono 8-bit unsigned PCM, filling one fixed buffer once.
// All calls come from the user-interface thread; the device may fill the
// buffer on its own in between.

#include <cstdint>

class TCaptureDevice {
public:
  virtual ~TCaptureDevice();

  // Opens the default input for 8000 Hz, mono, 8-bit unsigned PCM. False when
  // there is no such device. AddBuffer and Start fail on a device whose open
  // failed.
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
  // Stops recording and gives the buffer back; the device stays open.
  virtual void Reset() = 0;
  // Releases the device. Harmless on a device that is not open.
  virtual void Close() = 0;
};
