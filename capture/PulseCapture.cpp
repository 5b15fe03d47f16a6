#include "capture/PulseCapture.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr const char* kClientName = "Quillora";
// How long a connection or a stream may take to come up.
constexpr pa_usec_t kSetUpTimeout = 3 * PA_USEC_PER_SEC;
// 20 ms of samples per fragment: the stream hands over data more often than
// the 40 ms poll, so every poll during a tone finds new samples.
constexpr uint32_t kFragmentBytes = 160;

}  // namespace

// A threaded main loop and a context connected on it. Callbacks run on the
// loop's thread with its lock held; the owner takes the lock to act.
struct TPulseLink {
  pa_threaded_mainloop* loop = nullptr;
  pa_context* context = nullptr;
  std::atomic<bool> failed{false};

  ~TPulseLink() {
    // The thread is joined first, so nothing runs while the objects go.
    if (loop) pa_threaded_mainloop_stop(loop);
    if (context) {
      pa_context_set_state_callback(context, nullptr, nullptr);
      pa_context_disconnect(context);
      pa_context_unref(context);
    }
    if (loop) pa_threaded_mainloop_free(loop);
  }

  static void ContextState(pa_context* c, void* self) {
    auto* link = static_cast<TPulseLink*>(self);
    if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(c))) link->failed = true;
    pa_threaded_mainloop_signal(link->loop, 0);
  }

  // Connects and waits until the context is ready; false when it fails or
  // takes too long.
  bool Connect() {
    loop = pa_threaded_mainloop_new();
    if (!loop) return false;
    context = pa_context_new(pa_threaded_mainloop_get_api(loop), kClientName);
    if (!context) return false;
    pa_context_set_state_callback(context, ContextState, this);
    // No autospawn: a server that is gone is a fault to report, and a server
    // started behind the user's back is not the one the user set up.
    if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) return false;
    if (pa_threaded_mainloop_start(loop) < 0) return false;
    Lock lock(loop);
    return Wait([&] { return pa_context_get_state(context) == PA_CONTEXT_READY; }) &&
           !failed;
  }

  struct Lock {
    explicit Lock(pa_threaded_mainloop* l) : loop(l) { pa_threaded_mainloop_lock(loop); }
    ~Lock() { pa_threaded_mainloop_unlock(loop); }
    pa_threaded_mainloop* loop;
  };

  // With the lock held: waits until done() or the context fails or the
  // set-up time is over. True when done() holds.
  template <class Done>
  bool Wait(Done done) {
    struct TTimeout {
      pa_threaded_mainloop* loop;
      bool over = false;
    } timeout{loop};
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop);
    timeval when{};
    pa_timeval_add(pa_gettimeofday(&when), kSetUpTimeout);
    pa_time_event* event = api->time_new(
        api, &when,
        [](pa_mainloop_api*, pa_time_event*, const timeval*, void* t) {
          auto* to = static_cast<TTimeout*>(t);
          to->over = true;
          pa_threaded_mainloop_signal(to->loop, 0);
        },
        &timeout);
    while (!done() && !failed && !timeout.over) pa_threaded_mainloop_wait(loop);
    api->time_free(event);
    return done();
  }

  // With the lock held: runs an operation to its end. False when the
  // context fails first or the time is over.
  bool Run(pa_operation* op) {
    if (!op) return false;
    const bool ended = Wait([&] { return pa_operation_get_state(op) != PA_OPERATION_RUNNING; });
    if (!ended) pa_operation_cancel(op);
    pa_operation_unref(op);
    return ended && !failed;
  }

  // With the lock held: the server's default source, empty when unknown.
  std::string DefaultSource() {
    std::pair<TPulseLink*, std::string> r{this, {}};
    Run(pa_context_get_server_info(
        context,
        [](pa_context*, const pa_server_info* i, void* u) {
          auto* r = static_cast<std::pair<TPulseLink*, std::string>*>(u);
          if (i && i->default_source_name) r->second = i->default_source_name;
          pa_threaded_mainloop_signal(r->first->loop, 0);
        },
        &r));
    return r.second;
  }

  // With the lock held: the sources that record (not monitors of outputs).
  std::vector<TCaptureInput> Sources() {
    std::pair<TPulseLink*, std::vector<TCaptureInput>> r{this, {}};
    Run(pa_context_get_source_info_list(
        context,
        [](pa_context*, const pa_source_info* i, int eol, void* u) {
          auto* r = static_cast<std::pair<TPulseLink*, std::vector<TCaptureInput>>*>(u);
          if (eol == 0 && i && i->monitor_of_sink == PA_INVALID_INDEX)
            r->second.push_back({i->name, i->description ? i->description : i->name});
          if (eol != 0) pa_threaded_mainloop_signal(r->first->loop, 0);
        },
        &r));
    return r.second;
  }
};

TPulseCapture::TPulseCapture() = default;

TPulseCapture::~TPulseCapture() {
  Reset();
  link_.reset();
}

void TPulseCapture::SelectInput(const std::string& name) { selected_ = name; }

std::string TPulseCapture::InputInUse() const { return inUse_; }

bool TPulseCapture::Open() {
  Reset();
  // A connection kept from the last capture serves while it is good;
  // connecting costs a thread, a socket and a shared memory pool.
  std::unique_ptr<TPulseLink> link = std::move(link_);
  if (link && !link->failed) {
    TPulseLink::Lock lock(link->loop);
    if (pa_context_get_state(link->context) != PA_CONTEXT_READY) link.reset();
  } else {
    link.reset();
  }
  if (!link) {
    link = std::make_unique<TPulseLink>();
    if (!link->Connect()) return false;
  }
  target_.clear();
  bool missing = false;
  if (!selected_.empty()) {
    TPulseLink::Lock lock(link->loop);
    const std::vector<TCaptureInput> sources = link->Sources();
    missing = std::none_of(sources.begin(), sources.end(),
                           [&](const TCaptureInput& s) { return s.Name == selected_; });
    if (!missing) target_ = selected_;
  }
  link_ = std::move(link);
  if (missing && OnInputMissing) OnInputMissing(selected_);
  return true;
}

bool TPulseCapture::AddBuffer(uint8_t* data, int size) {
  if (!link_ || !data || size <= 0 || stream_) return false;
  data_ = data;
  size_ = size;
  position_ = 0;
  return true;
}

void TPulseCapture::StreamState(pa_stream* stream, void* self) {
  auto* capture = static_cast<TPulseCapture*>(self);
  if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) capture->streamFailed_ = true;
  pa_threaded_mainloop_signal(capture->link_->loop, 0);
}

void TPulseCapture::StreamReadable(pa_stream* stream, size_t, void* self) {
  auto* capture = static_cast<TPulseCapture*>(self);
  for (;;) {
    const void* bytes = nullptr;
    size_t n = 0;
    if (pa_stream_peek(stream, &bytes, &n) < 0) {
      capture->streamFailed_ = true;
      return;
    }
    if (n == 0) return;  // nothing more to take
    const int at = capture->position_.load(std::memory_order_relaxed);
    const int k = static_cast<int>(std::min<size_t>(n, static_cast<size_t>(capture->size_ - at)));
    if (k > 0) {
      // A hole (samples the server lost) is mid-scale: no signal.
      if (bytes)
        std::memcpy(capture->data_ + at, bytes, static_cast<size_t>(k));
      else
        std::memset(capture->data_ + at, 128, static_cast<size_t>(k));
      // Published after the bytes: the poll reads only below this position.
      capture->position_.store(at + k, std::memory_order_release);
    }
    pa_stream_drop(stream);
  }
}

bool TPulseCapture::Start() {
  if (!link_ || !data_ || stream_) return false;
  streamFailed_ = false;
  position_ = 0;
  bool running = false;
  {
    TPulseLink::Lock lock(link_->loop);
    const pa_sample_spec spec{PA_SAMPLE_U8, 8000, 1};
    stream_ = pa_stream_new(link_->context, kClientName, &spec, nullptr);
    if (!stream_) return false;
    pa_stream_set_state_callback(stream_, StreamState, this);
    pa_stream_set_read_callback(stream_, StreamReadable, this);
    pa_buffer_attr attr;
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = static_cast<uint32_t>(-1);
    attr.prebuf = static_cast<uint32_t>(-1);
    attr.minreq = static_cast<uint32_t>(-1);
    attr.fragsize = kFragmentBytes;
    // A chosen device is kept: if it goes, the stream fails instead of
    // moving to another device unnoticed. The default may follow the system.
    int flags = PA_STREAM_ADJUST_LATENCY;
    if (!target_.empty()) flags |= PA_STREAM_DONT_MOVE;
    if (pa_stream_connect_record(stream_, target_.empty() ? nullptr : target_.c_str(), &attr,
                                 static_cast<pa_stream_flags_t>(flags)) == 0) {
      running = link_->Wait([&] { return pa_stream_get_state(stream_) == PA_STREAM_READY || streamFailed_; }) &&
                !streamFailed_;
    }
    if (running) {
      const char* device = pa_stream_get_device_name(stream_);
      inUse_ = device ? device : "";
    }
  }
  if (!running) Reset();
  return running;
}

int TPulseCapture::Position() { return position_.load(std::memory_order_acquire); }

bool TPulseCapture::BufferDone() { return data_ && size_ > 0 && Position() >= size_; }

bool TPulseCapture::Failed() { return streamFailed_ || (link_ && link_->failed); }

void TPulseCapture::Reset() {
  if (stream_) {
    TPulseLink::Lock lock(link_->loop);
    pa_stream_set_read_callback(stream_, nullptr, nullptr);
    pa_stream_set_state_callback(stream_, nullptr, nullptr);
    pa_stream_disconnect(stream_);
    pa_stream_unref(stream_);
    stream_ = nullptr;
  }
  data_ = nullptr;
  size_ = 0;
}

void TPulseCapture::Close() {
  Reset();
  // The connection stays for the next capture unless it failed.
  if (link_ && link_->failed) link_.reset();
}

bool TPulseInputs::List(std::vector<TCaptureInput>& inputs) {
  inputs.clear();
  TPulseLink link;
  if (!link.Connect()) return false;
  TPulseLink::Lock lock(link.loop);
  const std::string def = link.DefaultSource();
  inputs = link.Sources();
  if (link.failed) {
    inputs.clear();
    return false;
  }
  std::stable_partition(inputs.begin(), inputs.end(),
                        [&](const TCaptureInput& s) { return s.Name == def; });
  return true;
}
