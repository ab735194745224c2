#pragma once
// Process-wide name tables that give the numeric fields of actions their
// meaning. Fixed lists, read-only.

#include <cstdint>

constexpr int MouseCornerCount = 4;
constexpr int MouseEventCount = 17;
constexpr int KeyNameCount = 11;
constexpr int WallpaperStyleCount = 3;
constexpr int WndMsgCodeCount = 3;

extern const char* const JobTypeNames[11];
extern const char* const JobHelpPages[11];
extern const char* const MouseCornerNames[MouseCornerCount];
extern const char* const MouseEventNames[MouseEventCount];
extern const char* const KeyNames[KeyNameCount];
extern const uint8_t KeyCodes[KeyNameCount];
extern const char* const WallpaperStyleNames[WallpaperStyleCount];
extern const int WndMsgCodes[WndMsgCodeCount];
extern const char* const WndMsgTypeNames[WndMsgCodeCount];

// Message numbers of the window message kinds.
constexpr int WndMsgCommand = 273; // WM_COMMAND
constexpr int WndMsgClick = 1124;  // the program's own click code
constexpr int WndMsgClose = 16;    // WM_CLOSE

// Help page for a kind, or "error.htm" for any other selection.
const char* JobHelpPage(int type);
