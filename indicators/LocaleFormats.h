#pragma once
// How numbers and times of day are shown in the user's locale.

#include <QLocale>
#include <QString>

// The user's locale for numbers, without group separators (values shown in
// hints and fields are plain numbers).
QLocale NumberLocale();

// The locale's long time format without its time zone part: a time of day
// has no zone.
QString TimeOfDayFormat(const QLocale& locale);
