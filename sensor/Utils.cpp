#include "sensor/Utils.h"

#include "inifile/TextNumbers.h"
#include "inifile/WidePath.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <locale>
#include <sstream>
#include <system_error>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

int RoundToInt(double x) {
  if (std::isnan(x)) return 0;
  const double r = std::trunc(x + 0.5);
  if (r >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (r <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(r);
}

namespace {

bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Strips blanks around the text.
std::string Trimmed(const std::string& text) {
  std::size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  return text.substr(b, e - b);
}

}  // namespace

bool ParseDecimal(const std::string& text, double& out) {
  std::string s = Trimmed(text);
  // Checks the form [sign] digits [sep digits] [e [sign] digits] by hand, so
  // neither the locale nor words like "inf" change what counts as a number.
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t mantissaDigits = 0;
  while (i < s.size() && IsDigit(s[i])) { ++i; ++mantissaDigits; }
  if (i < s.size() && (s[i] == '.' || s[i] == ',')) {
    s[i] = '.';
    ++i;
    while (i < s.size() && IsDigit(s[i])) { ++i; ++mantissaDigits; }
  }
  if (mantissaDigits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t expDigits = 0;
    while (i < s.size() && IsDigit(s[i])) { ++i; ++expDigits; }
    if (expDigits == 0) return false;
  }
  if (i != s.size()) return false;

  std::istringstream in(s);
  in.imbue(std::locale::classic());
  double value = 0.0;
  in >> value;
  // Beyond the range of a double the stream fails: not a usable number.
  if (in.fail() || !std::isfinite(value)) return false;
  out = value;
  return true;
}

bool ParseInteger(const std::string& text, int& out) {
  return ParseIntegerText(Trimmed(text), TIntegerForms::Decimal, out);
}

double ParsePercent(const std::string& text) {
  double v = 0.0;
  if (!ParseDecimal(text, v) || std::isnan(v)) return 0.0;
  if (v < 0.0) return 0.0;
  if (v > 100.0) return 100.0;
  return v;
}

TClock::~TClock() = default;

namespace {

class TSystemClock : public TClock {
public:
  TLocalDateTime Now() const override {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(now);
    long long ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    if (ms < 0) ms += 1000;
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &secs);
#else
    localtime_r(&secs, &tm);
#endif
    TLocalDateTime t;
    t.Year = tm.tm_year + 1900;
    t.Month = tm.tm_mon + 1;
    t.Day = tm.tm_mday;
    t.Hour = tm.tm_hour;
    t.Minute = tm.tm_min;
    t.Second = tm.tm_sec > 59 ? 59 : tm.tm_sec;  // a leap second stays in the day
    t.Millisecond = static_cast<int>(ms);
    return t;
  }
};

const TSystemClock systemClock;
const TClock* currentClock = &systemClock;

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
long long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2 ? 1 : 0;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153LL * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

}  // namespace

const TClock& Clock() { return *currentClock; }

void SetClock(const TClock* clock) { currentClock = clock ? clock : &systemClock; }

double TimeOfDayDays(const TLocalDateTime& t) {
  const long long ms = ((t.Hour * 60LL + t.Minute) * 60LL + t.Second) * 1000LL + t.Millisecond;
  return static_cast<double>(ms) / 86400000.0;
}

double LocalDateTimeDays(const TLocalDateTime& t) {
  return static_cast<double>(DaysFromCivil(t.Year, t.Month, t.Day)) + TimeOfDayDays(t);
}

double TimeOfDayDays() { return TimeOfDayDays(Clock().Now()); }

double LocalDateTimeDays() { return LocalDateTimeDays(Clock().Now()); }

namespace {

fs::path PathFromUtf8(const std::string& s) {
#if defined(__cpp_char8_t)
  return fs::path(std::u8string(s.begin(), s.end()));
#else
  return fs::u8path(s);
#endif
}

bool IsSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/';
#endif
}

}  // namespace

std::string WithTrailingSeparator(const std::string& dir) {
  if (dir.empty() || IsSeparator(dir.back())) return dir;
#ifdef _WIN32
  return dir + '\\';
#else
  return dir + '/';
#endif
}

std::string ExecutableDir() {
  std::string path;
#ifdef _WIN32
  std::wstring buf(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, &buf[0], static_cast<DWORD>(buf.size()));
    if (n == 0) break;
    if (n < buf.size()) {
      buf.resize(n);
      path = Utf8FromWide(buf);
      break;
    }
    buf.resize(buf.size() * 2);
  }
#elif defined(__linux__)
  std::string buf(4096, '\0');
  const ssize_t n = readlink("/proc/self/exe", &buf[0], buf.size());
  if (n > 0 && static_cast<std::size_t>(n) < buf.size()) path.assign(buf.data(), static_cast<std::size_t>(n));
#endif
  std::size_t cut = std::string::npos;
  for (std::size_t i = path.size(); i > 0; --i)
    if (IsSeparator(path[i - 1])) { cut = i; break; }
  if (cut == std::string::npos) return WithTrailingSeparator(".");
  return path.substr(0, cut);
}

bool IsDirWritable(const std::string& dir) {
  if (dir.empty()) return false;
  std::error_code ec;
  const fs::path d = PathFromUtf8(dir);
  if (!fs::is_directory(d, ec)) return false;
  // Creating a file is the only reliable test (permissions, read-only media,
  // folders protected by the system).
  for (int attempt = 0; attempt < 16; ++attempt) {
    const fs::path probe = d / (".quillora-write-test-" + std::to_string(attempt));
    if (fs::exists(probe, ec)) continue;
#ifdef _WIN32
    std::FILE* f = _wfopen(probe.wstring().c_str(), L"wb");
#else
    std::FILE* f = std::fopen(probe.string().c_str(), "wb");
#endif
    if (!f) return false;
    std::fclose(f);
    fs::remove(probe, ec);
    return true;
  }
  return false;
}

std::string ChooseDataDir(const std::string& preferred, const std::string& fallback) {
  if (IsDirWritable(preferred)) return WithTrailingSeparator(preferred);
  std::error_code ec;
  if (!fallback.empty()) fs::create_directories(PathFromUtf8(fallback), ec);
  return WithTrailingSeparator(fallback);
}
