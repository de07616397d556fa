// The project chooser: dialog 120 and its procedure, and GetProject.
#include "base/log.h"
#include "base/platform.h"
#include "battle/battle.h"
#include "fileload/fileload.h"
#include "savefile/savefile.h"
#include "shell/main.h"

// Dialog 120, filling the window: the list on the left, the project's
// information and the buttons on the right.
const dlgtemplate LoadProjDialog = {
    "Start a New Game",
    344,
    328,
    {
        {DLG_TEXT, IDC_AVAILTEXT, "Available projects", 4, 2, 170, 12, 0},
        {DLG_LIST, IDLB_PROJSLIST, nullptr, 4, 16, 170, 306, DLGF_SORTED},
        {DLG_BUTTON, IDB_LOADOLDER, "&Load Older Game", 182, 0, 158, 22, 0},
        {DLG_GROUP, IDC_PROJGROUP, "Project Information", 182, 28, 158, 232, 0},
        {DLG_TEXT, IDC_PROJNAME, "Name: ", 187, 44, 150, 20, 0},
        {DLG_TEXT, IDC_PROJDESC, "Description: ", 187, 68, 150, 124, 0},
        {DLG_TEXT, IDC_PROJCREATOR, "Creator: ", 187, 196, 150, 22, 0},
        {DLG_TEXT, IDC_PROJURL, "URL: ", 187, 222, 150, 34, 0},
        {DLG_BUTTON, IDOK, "&OK", 182, 268, 158, 22, 0},
        {DLG_BUTTON, IDCANCEL, "&Cancel", 182, 298, 158, 22, 0},
    },
};

void GetProject() {
    InitCommonControlsEx(8, 0xFF);
    if (ReadGameIndex() != 0) return;

    intptr_t chosen = DialogBoxParamA(LoadProjDialog, LoadProjDialogProcs, 0);
    if (chosen == -1) {
        log(LOG_INFO, LOGCAT_PROGRAM, "No project was chosen, or an error occurred. Exiting");
        quitgamenow = 1;
        return;
    }
    unsavedprogress = 0;
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
        // The first row is chosen from the start, so that Enter plays it.
        SendDlgItemMessageA(dialog, IDLB_PROJSLIST, LB_SETCURSEL, 0, 0);
        ShowProjectTexts(dialog, SelectedProject(dialog));
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
