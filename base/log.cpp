// The game log: one line per call in qblog.txt, boxes for serious levels.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/log.h"
#include "base/platform.h"

const char *logfile = "qblog.txt";
const char *oldlogfile = "qblog.old.txt";
int showdebugboxes = 1;
void (*logwatch)(int level, int category, const char *text) = nullptr;

static const char *CategoryWord(int category) {
    switch (category) {
    case LOGCAT_PROGRAM: return "Program";
    case LOGCAT_PROJECT: return "Project";
    case LOGCAT_USER: return "User";
    default: return "Unknown";
    }
}


static std::string VFormat(const char *format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    int length = vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length < 0) return std::string();
    std::string text((size_t)length + 1, '\0');
    vsnprintf(&text[0], text.size(), format, args);
    text.resize((size_t)length);
    return text;
}

// Opens the log for writing ("w" truncates, "a" appends) without following a
// symbolic link and without waiting on anything but a regular file or a
// device such as /dev/null; errno tells why when it fails.
static FILE *OpenLog(const char *mode) {
    int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | (mode[0] == 'a' ? O_APPEND : 0);
    int fd = open(logfile, flags, 0644);
    if (fd < 0) return nullptr;
    struct stat info;
    if (fstat(fd, &info) != 0 || !(S_ISREG(info.st_mode) || S_ISCHR(info.st_mode))) {
        close(fd);
        errno = EINVAL;
        return nullptr;
    }
    if (mode[0] == 'w' && ftruncate(fd, 0) != 0) {
        close(fd);
        return nullptr;
    }
    FILE *file = fdopen(fd, mode);
    if (!file) close(fd);
    return file;
}

std::string Format(const char *format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = VFormat(format, args);
    va_end(args);
    return text;
}

void SetUpLog() {
    // The previous run's log is kept for a bug report; a link is neither
    // followed nor moved.
    struct stat info;
    if (lstat(logfile, &info) == 0 && S_ISREG(info.st_mode)) rename(logfile, oldlogfile);
    FILE *file = OpenLog("w");
    if (!file) {
        if (errno != ENOENT) {
            std::string line = Format("Unable to write to %s: %s", logfile, strerror(errno));
            ShowAlert(line.c_str(), "File error", "&OK");
        }
        return;
    }
    fputs("Set up general Quillbay log file. Please send this file to the Quillbay team (see \"Reporting "
          "bugs\" in the README) when an error or bug occurs, together with a description of what you did "
          "and what happened. This is Quillbay " QB_VERSION ".\n",
          file);
    fclose(file);
}

void log(int level, int category, const char *text) {
    if (!text) text = "";
    if (logwatch) logwatch(level, category, text);
    const char *word = CategoryWord(category);
    std::string line;
    const char *title = nullptr;
    switch (level) {
    case LOG_BREAKING: line = Format("Breaking %s error: %s", word, text); title = "Error!"; break;
    case LOG_MAJOR: line = Format("Major %s error: %s", word, text); title = "Error!"; break;
    case LOG_MINOR: line = Format("Minor %s error: %s", word, text); break;
    case LOG_INFO: line = Format("%s: %s", word, text); break;
    case LOG_DEBUG: line = Format("%s debug: %s", word, text); title = "Debug.."; break;
    default: line = Format("%s (level %d): %s", word, level, text); break;
    }

    // The line reaches the file before its box is shown: a game killed while
    // the box is open still leaves the line that says what went wrong.
    FILE *file = OpenLog("a");
    if (!file) {
        if (errno != ENOENT) {
            std::string alertline = Format("Unable to append to %s: %s", logfile, strerror(errno));
            ShowAlert(alertline.c_str(), "File error", "&OK");
        }
    } else {
        fprintf(file, "%s\n", line.c_str());
        fclose(file);
    }

    if (title && (level != LOG_DEBUG || showdebugboxes)) ShowMessageBox(line.c_str(), title);
    if (level == LOG_BREAKING) PostQuitMessage(0);
}

void logfmt(int level, int category, const char *format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = VFormat(format, args);
    va_end(args);
    log(level, category, text.c_str());
}
