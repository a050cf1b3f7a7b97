#pragma once
// Whether the program can open windows at all, asked before the application object exists, so that a
// session without a display gets one plain sentence instead of the window system's abort.

#include <string>

// True when a display (or a display-less window platform chosen on purpose) is there. Otherwise
// false with Reason set to one line for the user. Contract: call before TApplication::Initialize.
bool DisplayAvailable(std::string& Reason);
