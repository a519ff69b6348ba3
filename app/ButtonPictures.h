#pragma once
// The pictures of the main window's buttons and tabs (the image list ilButtons): 16 x 16
// pixel art drawn in code, on a transparent background. Edge pixels are blended with a
// neutral button-face grey, so the outlines look smooth on the window's grey and beige.
// Platform-free.
#include "toolkit/Bitmap16.h"

constexpr int kPictureUpArrow = 0;
constexpr int kPictureDownArrow = 1;
constexpr int kPictureQuestion = 2;
constexpr int kPictureRuler = 3;
constexpr int kPictureHammer = 4;
constexpr int kPicturePower = 5;
constexpr int kButtonPictureCount = 6;

// Picture Index (0 to kButtonPictureCount - 1), with Transparent set; its transparent colour
// is magenta (0x00FF00FF), which no picture uses otherwise. Raises std::out_of_range for
// any other index.
TBitmap16 ButtonPicture(int Index);

// The pictures of the tray icon's image list ImageList1: a ring of coloured arrows, and a small
// taskbar with its start button.
constexpr int kTrayPictureArrows = 0;
constexpr int kTrayPictureTaskbar = 1;
constexpr int kTrayPictureCount = 2;
// As ButtonPicture, for ImageList1.
TBitmap16 TrayPicture(int Index);
