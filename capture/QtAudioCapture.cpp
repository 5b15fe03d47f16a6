#include "capture/QtAudioCapture.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSource>
#include <QCoreApplication>
#include <QIODevice>
#include <QMediaDevices>

#include <algorithm>
#include <cstring>

// Receives the pushed samples and copies them into the one fixed buffer.
// Samples beyond its end are dropped, as a full one-run buffer stops the
// capture.
class TBufferSink : public QIODevice {
public:
  TBufferSink(uint8_t* data, int size) : data_(data), size_(size) {}

  int Copied() const { return copied_; }
  bool Full() const { return copied_ >= size_; }

protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 len) override {
    const qint64 room = size_ - copied_;
    const qint64 n = std::min(len, room);
    if (n > 0) {
      std::memcpy(data_ + copied_, data, static_cast<std::size_t>(n));
      copied_ += static_cast<int>(n);
    }
    // Everything is taken, so the source never reports an error for a full
    // buffer.
    return len;
  }

private:
  uint8_t* data_;
  int size_;
  int copied_ = 0;
};

namespace {

QAudioFormat CaptureFormat() {
  QAudioFormat f;
  f.setSampleRate(8000);
  f.setChannelCount(1);
  f.setSampleFormat(QAudioFormat::UInt8);
  return f;
}

}  // namespace

TQtAudioCapture::TQtAudioCapture() = default;

TQtAudioCapture::~TQtAudioCapture() { Close(); }

bool TQtAudioCapture::Open() {
  Close();
  // The multimedia back end needs the application object and its event loop.
  if (!QCoreApplication::instance()) return false;
  const QAudioDevice device = QMediaDevices::defaultAudioInput();
  if (device.isNull()) return false;
  const QAudioFormat format = CaptureFormat();
  if (!device.isFormatSupported(format)) return false;
  source_ = std::make_unique<QAudioSource>(device, format);
  return true;
}

bool TQtAudioCapture::AddBuffer(uint8_t* data, int size) {
  if (!source_ || !data || size <= 0) return false;
  if (sink_ && sink_->isOpen()) return false;
  sink_ = std::make_unique<TBufferSink>(data, size);
  return true;
}

bool TQtAudioCapture::Start() {
  if (!source_ || !sink_) return false;
  if (!sink_->open(QIODevice::WriteOnly)) return false;
  // A small buffer (20 ms of samples) makes the back end hand over data
  // more often than the 40 ms poll; with its default, about one poll in
  // five found no new bytes and read silence in the middle of a tone.
  source_->setBufferSize(160);
  source_->start(sink_.get());
  if (source_->error() != QAudio::NoError) {
    source_->stop();
    sink_->close();
    return false;
  }
  return true;
}

int TQtAudioCapture::Position() { return sink_ ? sink_->Copied() : 0; }

bool TQtAudioCapture::BufferDone() { return sink_ && sink_->Full(); }

void TQtAudioCapture::Reset() {
  if (source_) source_->stop();
  sink_.reset();
}

void TQtAudioCapture::Close() {
  Reset();
  source_.reset();
}
