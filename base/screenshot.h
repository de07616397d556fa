// Screenshots: what the player sees, one pixel for each pixel of the view,
// as a PNG file in screenshots/ beside the log.
#pragma once

#include <allegro.h>

#include <ctime>
#include <string>

constexpr const char *SCREENSHOTDIR = "screenshots";
// Writes the top-left w by h pixels of `view` to a new file named by the
// local date and time `when` (quillbay-2026-12-07-14-03-05.png, with -2,
// -3, ... when that name is taken), making the folder if it is missing.
// Never writes through a link or over a file. The path written, or an empty
// text with the reason in `why`.
std::string SaveScreenshot(BITMAP *view, int w, int h, time_t when, std::string &why);
