#pragma once
// The program's four windows: created in the order main, settings, panel,
// graph, and destroyed in the reverse order, each writing its part of the
// settings file as it goes.

// Creates FMain, FSettings, FDisplay and FGraph.
void CreateAppWindows();
// Destroys FGraph, FDisplay, FSettings and FMain, those that exist.
void DestroyAppWindows();
