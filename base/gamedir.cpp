// The game directory of an installed game: the player's own copy of the
// shipped projects, kept up to date without losing what the player changed.
#include "base/gamedir.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <map>

#include "base/log.h"

const char *const SHIPPEDLIST = ".quillbay-shipped";

namespace {

constexpr int DEPTHMAX = 8;  // folders within folders of the shipped tree
constexpr const char *TEMPNAME = ".quillbay-new";
constexpr int DIRFLAGS = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

struct shippedfile {
    std::string path;  // relative, '/' between its parts
    uint64_t sum;
};

// A file's checksum (64-bit FNV-1a) to tell a changed file from the shipped
// one; false when it is missing, a link or not a regular file.
bool SumFile(int dir, const char *name, uint64_t &sum) {
    const int fd = openat(dir, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info;
    bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    sum = 14695981039346656037ull;
    unsigned char buffer[65536];
    for (ssize_t n; ok && (n = read(fd, buffer, sizeof buffer)) != 0;) {
        ok = n > 0;
        for (ssize_t i = 0; i < n; i++) sum = (sum ^ buffer[i]) * 1099511628211ull;
    }
    close(fd);
    return ok;
}

// A name the list can hold and every file system shows alike.
bool PlainName(const char *name) {
    for (const char *c = name; *c; c++)
        if ((unsigned char)*c < 0x20 || *c == 0x7F) return false;
    return true;
}

// The regular files of the shipped tree below `dir`, sorted by path; links,
// odd names and anything else are noted and left out.
void ListShipped(int dir, const std::string &prefix, int depth, std::vector<shippedfile> &files,
                 std::vector<std::string> &notes) {
    DIR *listing = fdopendir(dir);
    if (!listing) {
        close(dir);
        return;
    }
    std::vector<std::string> names;
    while (dirent *entry = readdir(listing))
        if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0) names.push_back(entry->d_name);
    std::sort(names.begin(), names.end());
    for (const std::string &name : names) {
        const std::string path = prefix + name;
        struct stat info;
        uint64_t sum = 0;
        if (!PlainName(name.c_str()) || fstatat(dirfd(listing), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            notes.push_back("Left out a shipped file with an odd name in " + (prefix.empty() ? "." : prefix));
        } else if (S_ISDIR(info.st_mode) && depth < DEPTHMAX) {
            const int sub = openat(dirfd(listing), name.c_str(), DIRFLAGS);
            if (sub >= 0) ListShipped(sub, path + "/", depth + 1, files, notes);
        } else if (S_ISREG(info.st_mode) && SumFile(dirfd(listing), name.c_str(), sum)) {
            if (path != SHIPPEDLIST) files.push_back({path, sum});
        } else {
            notes.push_back("Left out the shipped " + path + ": not a plain file or folder");
        }
    }
    closedir(listing);
}

// The shipped list in the player's copy: its version line and each file's
// checksum as shipped last. An unreadable list is an empty one.
std::string ReadShippedList(int user, std::map<std::string, uint64_t> &sums) {
    const int fd = openat(user, SHIPPEDLIST, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    FILE *file = fd < 0 ? nullptr : fdopen(fd, "r");
    if (!file) {
        if (fd >= 0) close(fd);
        return "";
    }
    std::string version;
    char line[4200];
    while (fgets(line, sizeof line, file)) {
        line[strcspn(line, "\n")] = '\0';
        uint64_t sum;
        int start = 0;
        if (version.empty()) version = line;
        else if (sscanf(line, "%16" SCNx64 " %n", &sum, &start) == 1 && start == 17) sums[line + start] = sum;
    }
    fclose(file);
    return version;
}

// Writes `size` bytes as the file `name` in `dir`: a new file beside it,
// renamed over it once whole, so a cut-short copy never replaces a file.
bool WriteWhole(int dir, const std::string &name, const char *bytes, size_t size) {
    unlinkat(dir, TEMPNAME, 0);
    const int fd = openat(dir, TEMPNAME, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = true;
    for (size_t done = 0; ok && done < size;) {
        const ssize_t n = write(fd, bytes + done, size - done);
        ok = n > 0;
        done += ok ? (size_t)n : 0;
    }
    ok = close(fd) == 0 && ok && renameat(dir, TEMPNAME, dir, name.c_str()) == 0;
    const int error = errno;
    if (!ok) unlinkat(dir, TEMPNAME, 0), errno = error;
    return ok;
}

bool ReadWhole(const std::string &path, std::string &bytes) {
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    char buffer[65536];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) bytes.append(buffer, (size_t)n);
    close(fd);
    return n == 0;
}

// The folder of `path` inside the player's copy, each folder on the way made
// if missing and opened without following a link; -1 when one is in the way.
int OpenFolderOf(int user, const std::string &path, std::string &name) {
    int dir = dup(user);
    size_t start = 0;
    for (size_t slash; dir >= 0 && (slash = path.find('/', start)) != std::string::npos; start = slash + 1) {
        const std::string part = path.substr(start, slash - start);
        mkdirat(dir, part.c_str(), 0755);
        const int sub = openat(dir, part.c_str(), DIRFLAGS);
        close(dir);
        dir = sub;
    }
    name = path.substr(start);
    return dir;
}

// Brings one shipped file into the player's copy; false with `why` when it
// cannot be written.
bool UpdateFile(int user, const std::string &shipped, const shippedfile &file,
                const std::map<std::string, uint64_t> &last, std::vector<std::string> &notes, std::string &why) {
    std::string name;
    const int dir = OpenFolderOf(user, file.path, name);
    if (dir < 0) {
        notes.push_back("Left your " + file.path + " as it is: a folder on its way is not a plain folder");
        return true;
    }
    struct stat info;
    uint64_t sum = 0;
    const bool present = fstatat(dir, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
    const bool plain = present && SumFile(dir, name.c_str(), sum);
    const auto shippedlast = last.find(file.path);
    const bool asshipped = plain && shippedlast != last.end() && shippedlast->second == sum;
    bool ok = true;
    if (present && !asshipped && !(plain && sum == file.sum)) {
        notes.push_back("Kept your own " + file.path + " in place of the shipped one");
    } else if (!plain || sum != file.sum) {
        std::string bytes;
        ok = ReadWhole(shipped + "/" + file.path, bytes) && WriteWhole(dir, name, bytes.data(), bytes.size());
        if (!ok) why = Format("cannot copy %s: %s", file.path.c_str(), strerror(errno));
    }
    close(dir);
    return ok;
}

// Makes the folders of `path` that are missing, the last one for the
// player; false with `why`.
bool MakeFolders(const std::string &path, std::string &why) {
    std::string above;  // the first folder above that could not be made, and why
    int aboveerror = 0;
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        if (mkdir(path.substr(0, slash).c_str(), 0700) != 0 && errno != EEXIST && above.empty())
            above = path.substr(0, slash), aboveerror = errno;
    struct stat info;
    if (lstat(path.c_str(), &info) != 0 && (errno != ENOENT || mkdir(path.c_str(), 0755) != 0 ||
                                            lstat(path.c_str(), &info) != 0)) {
        const bool becauseabove = errno == ENOENT && !above.empty();
        why = Format("cannot make %s: %s", (becauseabove ? above : path).c_str(),
                     strerror(becauseabove ? aboveerror : errno));
        return false;
    }
    if (S_ISLNK(info.st_mode)) why = path + " is a link, and the game plays only in a real folder";
    else if (!S_ISDIR(info.st_mode)) why = path + " is there but is not a folder";
    return why.empty();
}

}  // namespace

std::string ShippedGameDir(const std::string &exe) {
    const size_t slash = exe.rfind('/');
    if (slash == std::string::npos) return "";
    const std::string dir = exe.substr(0, slash) + "/../share/quillbay";
    struct stat info;
    return stat(dir.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? dir : "";
}

std::string UserGameDir(const char *xdgdatahome, const char *home) {
    if (xdgdatahome && xdgdatahome[0] == '/') return std::string(xdgdatahome) + "/quillbay";
    if (home && home[0] == '/') return std::string(home) + "/.local/share/quillbay";
    return "";
}

bool UpdateUserGameDir(const std::string &shipped, const std::string &user, const std::string &version,
                       std::vector<std::string> &notes, std::string &why) {
    if (!MakeFolders(user, why)) return false;
    const int userfd = open(user.c_str(), DIRFLAGS);
    if (userfd < 0) {
        why = Format("cannot open %s: %s", user.c_str(), strerror(errno));
        return false;
    }
    std::map<std::string, uint64_t> last;
    const std::string versionline = "version " + version;
    bool ok = ReadShippedList(userfd, last) == versionline;
    const int shippedfd = ok ? -1 : open(shipped.c_str(), DIRFLAGS);
    if (!ok && shippedfd < 0) why = Format("cannot read the shipped projects in %s: %s", shipped.c_str(), strerror(errno));
    if (shippedfd >= 0) {
        std::vector<shippedfile> files;
        ListShipped(shippedfd, "", 0, files, notes);
        ok = true;
        std::string list = versionline + "\n";
        for (size_t i = 0; ok && i < files.size(); i++) {
            ok = UpdateFile(userfd, shipped, files[i], last, notes, why);
            list += Format("%016" PRIx64 " %s\n", files[i].sum, files[i].path.c_str());
        }
        if (ok && !WriteWhole(userfd, SHIPPEDLIST, list.data(), list.size()))
            ok = false, why = Format("cannot write %s/%s: %s", user.c_str(), SHIPPEDLIST, strerror(errno));
        if (ok) notes.push_back("Brought the shipped projects of Quillbay " + version + " into the game directory");
    }
    close(userfd);
    return ok;
}
