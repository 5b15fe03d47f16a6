#pragma once

// Plays a 440 Hz tone burst into the virtual sink of the test set-up by
// starting scripts/play-burst.sh as a Unix process. Only Wine can do that: it
// runs a Unix program that CreateProcess is given. The sound then comes from
// the PulseAudio server's own buffer, so a busy test machine cannot break
// the burst up the way a starved wave-output writer would.

// Starts the player and returns at once; false when it could not be started.
bool StartUnixBurst(double amplitude, double seconds);
