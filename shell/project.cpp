// The project index gameindex.txt and the project chooser.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fileload/fileload.h"
#include "savefile/savefile.h"
#include "shell/main.h"

indexentry GameIndex[INDEXMAX];
int indarrsiz = 0;
int indexno = 0;
const char *indexfile = "gameindex.txt";

// Reads the entries after INDEXCOUNT; 0 on success.
static int ReadIndexEntries(PACKFILE *file) {
    for (int i = 1; i <= indarrsiz; i++) {
        if (atoi(ReadValPairLine("INDEX", file, 20)) != i) {
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
        if (strcmp(ReadLine(file, 15), "END INDEX") != 0) {
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
        logfmt(LOG_MAJOR, LOGCAT_PROJECT, "Unrecognized version number %u", (unsigned)version);
    } else if ((count = atoi(ReadValPairLine("INDEXCOUNT", file, 30))) <= 0) {
        log(LOG_BREAKING, LOGCAT_PROJECT, "Invalid INDEXCOUNT value!");
    } else if (count > INDEXMAX) {
        logfmt(LOG_BREAKING, LOGCAT_PROJECT, "INDEXCOUNT of %d is more than the %d projects an index can hold!",
               count, INDEXMAX);
    } else {
        indarrsiz = count;
        result = ReadIndexEntries(file);
    }
    pack_fclose(file);
    if (result == 0) log(LOG_INFO, LOGCAT_PROGRAM, "Read Index");
    return result;
}

void GetProject() {
    InitCommonControlsEx(8, 0xFF);
    if (ReadGameIndex() != 0) return;

    intptr_t chosen = DialogBoxParamA(IDD_LOADPROJ, LoadProjDialogProcs);
    if (chosen == -1) {
        log(LOG_INFO, LOGCAT_PROGRAM, "No project was chosen, or an error occurred. Exiting");
        quitgamenow = 1;
        return;
    }
    if (chosen == -2) {
        gamerunning = 1;
        currentgamestate = GAMESTATE_OVERWORLD;
        return;
    }
    SetUpNewGame();
}

// The GameIndex position carried by the current list selection, or -1.
static intptr_t SelectedProject(HDLG dialog) {
    intptr_t row = SendDlgItemMessageA(dialog, IDLB_PROJSLIST, LB_GETCURSEL, 0, 0);
    if (row == LB_ERR) return -1;
    return SendDlgItemMessageA(dialog, IDLB_PROJSLIST, LB_GETITEMDATA, (uintptr_t)row, 0);
}

static void ShowProjectTexts(HDLG dialog, intptr_t k) {
    if (k < 0 || k >= indarrsiz) return;
    const indexentry &entry = GameIndex[k];
    SetDlgItemTextA(dialog, IDC_PROJNAME, ("Name: " + entry.name).c_str());
    SetDlgItemTextA(dialog, IDC_PROJDESC, ("Description: " + entry.description).c_str());
    SetDlgItemTextA(dialog, IDC_PROJCREATOR, ("Creator: " + entry.creator).c_str());
    SetDlgItemTextA(dialog, IDC_PROJURL, ("URL: " + entry.url).c_str());
}

intptr_t LoadProjDialogProcs(HDLG dialog, unsigned message, uintptr_t wparam, intptr_t) {
    if (message == WM_INITDIALOG) {
        for (int k = 0; k < indarrsiz; k++) {
            intptr_t row = SendDlgItemMessageA(dialog, IDLB_PROJSLIST, LB_ADDSTRING, 0,
                                               (intptr_t)GameIndex[k].name.c_str());
            SendDlgItemMessageA(dialog, IDLB_PROJSLIST, LB_SETITEMDATA, (uintptr_t)row, k);
        }
        return 1;
    }
    if (message != WM_COMMAND) return 0;

    if (HIWORD(wparam) == LBN_SELCHANGE) {
        log(LOG_DEBUG, LOGCAT_PROGRAM, "Entering LBN_SELCHANGE");
        if (LOWORD(wparam) != IDLB_PROJSLIST) return 0;
        log(LOG_DEBUG, LOGCAT_PROGRAM, "Entering IDLB_PROJSLIST");
        ShowProjectTexts(dialog, SelectedProject(dialog));
        return 1;
    }

    switch (LOWORD(wparam)) {
    case IDOK: {
        intptr_t k = SelectedProject(dialog);
        if (k < 0 || k >= indarrsiz) {
            log(LOG_INFO, LOGCAT_USER, "Please select a project.");
            return 1;
        }
        indexno = (int)k;
        EndDialog(dialog, indexno);
        return 1;
    }
    case IDCANCEL:
        EndDialog(dialog, -1);
        return 1;
    case IDB_LOADOLDER:
        if (LoadSaveFile() == 0) EndDialog(dialog, -2);
        return 1;
    default:
        return 0;
    }
}
