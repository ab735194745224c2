#include "app/Global.h"

#include "actions/Job.h"

const char* const JobTypeNames[JobTypeCount] = {
    "Beep",
    "Play sound or music",
    "Background music",
    "Display a message",
    "Display pictures in fullscreen mode",
    "Change wallpaper",
    "Launch a program or file",
    "Send a message to a window",
    "Simulate a mouse event",
    "Simulate key stroke(s)",
    "Shutdown, suspend, etc.",
};

const char* const JobHelpPages[JobTypeCount] = {
    "beep.htm", "music.htm", "bgmusic.htm", "msg.htm", "pictures.htm", "wallpaper.htm",
    "launch.htm", "wndmsg.htm", "mouse.htm", "key.htm", "shut.htm",
};

const char* const MouseCornerNames[MouseCornerCount] = {
    "Top left", "Top right", "Bottom left", "Bottom right",
};

const char* const MouseEventNames[MouseEventCount] = {
    "Left button down",
    "Left button up",
    "Left button click",
    "Left button double click",
    "Middle button down",
    "Middle button up",
    "Middle button click",
    "Middle button double click",
    "Right button down",
    "Right button up",
    "Right button click",
    "Right button double click",
    "Scroll up",
    "Scroll down",
    "Scroll left (Vista and later)",
    "Scroll right (Vista and later)",
    "Mouse move",
};

const char* const KeyNames[KeyNameCount] = {
    "(None)", "Esc", "Tab", "Win", "Backspace", "Enter", "Menu", "Print screen", "Pause/Break",
    "Delete", "Space",
};

// Escape, Tab, left Windows key, Backspace, Enter, Applications, Print Screen,
// Pause, Delete, Space.
const uint8_t KeyCodes[KeyNameCount] = {
    0, 0x1B, 0x09, 0x5B, 0x08, 0x0D, 0x5D, 0x2C, 0x13, 0x2E, 0x20,
};

const char* const WallpaperStyleNames[WallpaperStyleCount] = {"Center", "Tile", "Stretch"};

const int WndMsgCodes[WndMsgCodeCount] = {WndMsgCommand, WndMsgClick, WndMsgClose};
const char* const WndMsgTypeNames[WndMsgCodeCount] = {"COMMAND", "CLICK", "CLOSE"};

const char* JobHelpPage(int type)
{
    return IsJobType(type) ? JobHelpPages[type] : "error.htm";
}
