#include "removal/uninstall.h"

#include "integration/uninstall_entry.h"
#include "lang/messages.h"
#include "removal/batch_file.h"
#include "removal/deletion_passes.h"
#include "removal/list_file.h"
#include "removal/remove_integration.h"
#include "support/log.h"
#include "support/long_paths.h"
#include "support/program_path.h"
#include "res/resource.h"
#include "support/text.h"

#include <string.h>

static int ShowMessage(const char *text, UINT flags)
{
    return MessageBoxA(nullptr, text, GetMsg(IDS_CAPTION), flags | MB_SETFOREGROUND);
}

static void ShowListError(const char *name)
{
    char text[kMsgBufferSize + kPathSize];
    FormatMsg(text, sizeof text, IDS_NO_LIST_FILE, name);
    ShowMessage(text, MB_ICONERROR);
}

// The folder of the program file, split double-byte aware; C:\ keeps its backslash.
static bool ProgramFolder(char *program, char *folder, size_t size)
{
    if (!OwnProgramPath(program, size))
        return false;
    const char *name = FileNamePart(program);
    if (name == program || name[-1] != '\\')
        return false;
    CopyBounded(folder, program, size);
    StripFileName(folder);
    return true;
}

void ShowManualDeletionMessage()
{
    char self[kPathSize];
    OwnProgramPath(self, sizeof self); // empty when it cannot be named: the message still helps
    char text[kMsgBufferSize + 1 + kMsgBufferSize + sizeof self];
    CopyBounded(text, GetMsg(IDS_REMOVAL_DONE), sizeof text);
    AppendBounded(text, "\n", sizeof text);
    size_t used = strlen(text);
    FormatMsg(text + used, sizeof text - used, IDS_DELETE_BY_HAND, self);
    MessageBoxA(nullptr, text, GetMsg(IDS_CAPTION), MB_ICONINFORMATION | MB_SETFOREGROUND);
}

void (*g_beforeBatchStarted)() = nullptr; // set by tests only

// The removal's last step: the batch file deletes the program's file and folder once it has
// ended. Returns code, or kRemovalFailed when the batch file could not be written or started.
static int HandToBatch(const char *program, bool quiet, int code)
{
    if (g_beforeBatchStarted)
        g_beforeBatchStarted();
    if (!WriteAndStartBatch(program, quiet)) {
        LogLine("no batch file: %s is left", program);
        if (!quiet)
            ShowManualDeletionMessage();
        return kRemovalFailed;
    }
    return code;
}

// folder ends with a backslash.
static void DeleteHelpIndex(const char *folder)
{
    static const char *const names[] = {"quibex.gid", "quibex.fts"};
    for (const char *name : names) {
        char path[kPathSize];
        if (JoinBounded(path, sizeof path, folder, name)) {
            ClearAttributesUnlessLink(path);
            LongDeleteFile(path);
        }
    }
}

int RunUninstall(bool silent, bool quiet)
{
    char program[kPathSize] = "", folder[kPathSize] = "";
    // A folder that cannot be named is reported as one that cannot be entered.
    bool named = ProgramFolder(program, folder, sizeof folder);
    if (!silent && ShowMessage(GetMsg(IDS_CONFIRM_REMOVAL), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return kRemovalCancelled;
    // Never read a list from whatever folder was inherited.
    if (!named || !SetCurrentDirectoryA(folder)) {
        LogChange(named ? FailureError() : ERROR_INVALID_NAME, "entering %s", folder);
        char listPath[kPathSize];
        AppendBackslash(folder, sizeof folder);
        if (!named || !JoinBounded(listPath, sizeof listPath, folder, kListFileName))
            CopyBounded(listPath, kListFileName, sizeof listPath);
        if (!quiet)
            ShowListError(listPath);
        return kRemovalFailed;
    }
    AppendBackslash(folder, sizeof folder);
    ListFile list;
    if (!list.Open(kListFileName)) {
        LogChange(FailureError(), "reading %s", kListFileName);
        // A removal cut after the list and the entry went, before its batch file started,
        // leaves the program alone in its folder: only the batch file is left to do, and the
        // files it deferred no longer count. A list there that cannot be read is more.
        if (HoldsOnlyRemovalLeftovers(folder, program) && !UninstallEntryMayNameFolderOf(program))
            return HandToBatch(program, quiet, kRemoved);
        if (!quiet)
            ShowListError(kListFileName);
        return kRemovalFailed;
    }

    LogLine("%s: %u lines, %u taken", kListFileName, list.LinesRead(), list.Count());
    RemoveIntegration();
    g_extResource.Unload(); // "qbxlng.dll" is one of the files to delete
    DeleteHelpIndex(folder);
    bool scheduled = false;
    bool restartNeeded = RunDeletionPasses(list, folder, program, &scheduled);
    // What the restart deletes keeps its folders, and so the batch file's, until then.
    if (scheduled)
        ScheduleFoldersAtRestart(list, folder);
    // The list and the entry go last: until then a removal cut short can be run again and
    // finishes the job.
    list.Close();
    LogDeletion(DeleteFileA(kListFileName), "list", kListFileName);
    RemoveUninstallEntry();
    if (restartNeeded && !quiet)
        ShowMessage(GetMsg(IDS_RESTART_NEEDED), MB_ICONINFORMATION);
    return HandToBatch(program, quiet, scheduled ? kRestartRequired : kRemoved);
}
