// The game log: every progress line, warning and error of every subsystem
// goes through log(), which writes qblog.txt and shows the serious ones.
#pragma once

#include <string>

extern const char *logfile;
extern const char *oldlogfile;  // where a new run puts the last run's log
// 0: debug lines are written without their box (the --no-debug-boxes switch).
extern int showdebugboxes;

// levels and categories
enum { LOG_BREAKING = 1, LOG_MAJOR = 2, LOG_MINOR = 3, LOG_INFO = 4, LOG_DEBUG = 5 };
enum { LOGCAT_PROGRAM = 1, LOGCAT_PROJECT = 2, LOGCAT_USER = 3 };

// writing
// Keeps the last run's log as oldlogfile and starts a fresh log file with
// its banner; called once at start-up.
void SetUpLog();
void log(int level, int category, const char *text);
// A tool may watch every line as it is logged; the game sets no watcher.
extern void (*logwatch)(int level, int category, const char *text);
// log() with a printf-style text; never cuts or overruns a long text.
void logfmt(int level, int category, const char *format, ...) __attribute__((format(printf, 3, 4)));
// A printf-style text of any length, as logfmt writes it.
std::string Format(const char *format, ...) __attribute__((format(printf, 1, 2)));
