#pragma once
// Ending the process once everything of the program's own has been destroyed.
//
// Qt Multimedia keeps its PulseAudio connection in a static object that is
// destroyed after main() returns; that teardown races with libpulse's own
// thread and now and then aborts the process ("Invalid read from eventfd").
// By the time this is called the windows, the chain and their files are
// gone, so nothing is lost by skipping the remaining static destructors.

// Flushes the C streams and ends the process with the given exit code.
[[noreturn]] void EndProcess(int exitCode);
