// The project index gameindex.txt: the projects the chooser offers and the
// directories their files lie in.
#include <cstring>

#include "base/log.h"
#include "fileload/fileload.h"

indexentry GameIndex[INDEXMAX];
int indarrsiz = 0;
int indexno = 0;
const char *indexfile = "gameindex.txt";

// Reads the entries after INDEXCOUNT; 0 on success.
static int ReadIndexEntries(PACKFILE *file) {
    for (int i = 1; i <= indarrsiz; i++) {
        if (ReadNumber("INDEX", file, 20) != i) {
            log(LOG_MINOR, LOGCAT_PROJECT, "INDEX does not match spot in array!");
            return -1;
        }
        indexentry &entry = GameIndex[i - 1];
        entry.name = ReadValPairLine("NAME", file, 150);
        entry.description = ReadValPairLine("DESCRIPTION", file, 500);
        entry.creator = ReadValPairLine("CREATOR", file, 128);
        entry.projectdir = ReadValPairLine("PROJECTDIR", file, 100);
        entry.projectdata = ReadValPairLine("PROJECTDATA", file, 50);
        entry.url = ReadValPairLine("URL", file, 200);
        if (!ReadMarker(file, 15, "END INDEX")) {
            log(LOG_BREAKING, LOGCAT_PROJECT, "Project Index is missing an END INDEX");
            return -1;
        }
    }
    return 0;
}

int ReadGameIndex() {
    log(LOG_INFO, LOGCAT_PROGRAM, "Starting to get project: Reading Index");
    PACKFILE *file = OpenDataFile(indexfile, "The project index");
    if (!file) return -1;

    int result = -1;
    long version = ReadVersionLine(file, 100);
    int count;
    if (version != 1) {
        logfmt(LOG_MAJOR, LOGCAT_PROJECT, "Unrecognized version number %ld", version);
    } else if ((count = ReadNumber("INDEXCOUNT", file, 30)) <= 0) {
        log(LOG_BREAKING, LOGCAT_PROJECT, "Invalid INDEXCOUNT value!");
    } else if (count > INDEXMAX) {
        logfmt(LOG_BREAKING, LOGCAT_PROJECT, "INDEXCOUNT of %d is more than the %d projects an index can hold!",
               count, INDEXMAX);
    } else {
        indarrsiz = count;
        result = ReadIndexEntries(file);
    }
    CloseDataFile(file);
    if (result == 0) log(LOG_INFO, LOGCAT_PROGRAM, "Read Index");
    return result;
}
