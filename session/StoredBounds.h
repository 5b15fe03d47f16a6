#pragma once
// A window's bounds as the settings file keeps them, and the keys they live
// under. Left and top are the outer (frame) position, width and height the
// client size.

struct TBounds {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  bool operator==(const TBounds& o) const {
    return Left == o.Left && Top == o.Top && Width == o.Width && Height == o.Height;
  }
};

// Every window has "Position Left" and "Position Top"; the main window names
// its size keys after itself.
struct TBoundsKeys {
  const char* Section;
  const char* Width = "Window Width";
  const char* Height = "Window Height";
};
