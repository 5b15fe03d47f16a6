#pragma once

// Shared helpers of the measurement chain: rounding, parsing of typed numbers,
// the local clock (replaceable for tests) and the choice of the data folder.
// Plain C++: no toolkit types.

#include <string>

// x + 0.5 truncated toward zero. Not-a-number gives 0; values beyond the int
// range give the nearest int limit.
int RoundToInt(double x);

// A decimal number typed by the user. A point or a comma is accepted as the
// decimal separator whatever the current locale, an optional sign and an
// exponent are allowed, blanks around the number are ignored. The whole text
// must be the number, within the range of a double; otherwise false and out
// is left alone.
bool ParseDecimal(const std::string& text, double& out);

// A decimal integer with an optional sign and blanks around it. False when the
// text is not such an integer or does not fit into an int.
bool ParseInteger(const std::string& text, int& out);

// A percent text: 0 when it is not a number, then clamped to 0..100.
double ParsePercent(const std::string& text);

struct TLocalDateTime {
  int Year = 1970, Month = 1, Day = 1;
  int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

// The local clock. The system clock is used unless a test installs another.
class TClock {
public:
  virtual ~TClock();
  virtual TLocalDateTime Now() const = 0;
};

const TClock& Clock();
// Installs a clock (not owned); nullptr restores the system clock.
void SetClock(const TClock* clock);

// Fraction of a day since local midnight, millisecond resolution, from Clock().
double TimeOfDayDays();
// Local date and time in days since 1970-01-01 (the date part is > 1).
double LocalDateTimeDays();
// The same conversions for a given clock reading.
double TimeOfDayDays(const TLocalDateTime& t);
double LocalDateTimeDays(const TLocalDateTime& t);
// Whether midnight passed between two times of day in days: the later one
// falls back by more than half a day. A smaller step back is the clock being
// set back (a correction, the end of daylight saving), not midnight. Inline,
// so that the recorder can use it without linking this library.
inline bool PassedMidnight(double earlier, double later) { return earlier - later > 0.5; }

// Days from one time of day to a later one, one day added when midnight
// passed in between; negative when the clock was set back.
inline double DaysBetween(double earlier, double later) {
  const double d = later - earlier;
  return PassedMidnight(earlier, later) ? d + 1.0 : d;
}

// Folder of the running executable, UTF-8, with a trailing separator.
std::string ExecutableDir();

// The folder exists and a file can be created in it.
bool IsDirWritable(const std::string& dir);

// preferred when it is writable, else fallback (created when missing). The
// result ends with a separator.
std::string ChooseDataDir(const std::string& preferred, const std::string& fallback);

// dir with a trailing separator added when it has none (empty stays empty).
std::string WithTrailingSeparator(const std::string& dir);
