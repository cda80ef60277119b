#include "removal/uninstall.h"

#include "app/app_state.h"
#include "app/entry.h"
#include "lang/messages.h"
#include "removal/batch_file.h"
#include "removal/deletion_passes.h"
#include "removal/list_file.h"
#include "removal/remove_integration.h"
#include "res/resource.h"
#include "support/text.h"

static const char kListName[] = "Uninstall.lst";

static int ShowMessage(const char *text, UINT flags)
{
    return MessageBoxA(nullptr, text, GetMsg(IDS_CAPTION), flags | MB_SETFOREGROUND);
}

static void ShowListError(const char *name)
{
    char text[kMsgSize + 1024];
    FormatMsg(text, sizeof text, IDS_NO_LIST_FILE, name);
    ShowMessage(text, MB_ICONERROR);
}

// The folder of the program file, split double-byte aware; C:\ keeps its backslash.
static bool ProgramFolder(char *program, char *folder, size_t size)
{
    DWORD n = GetModuleFileNameA(nullptr, program, static_cast<DWORD>(size));
    if (n == 0 || n >= size)
        return false;
    const char *name = FileNamePart(program);
    if (name == program || name[-1] != '\\')
        return false;
    CopyBounded(folder, program, size);
    StripFileName(folder);
    return true;
}

static void DeleteHelpIndex()
{
    static const char *const names[] = {"quibex.gid", "quibex.fts"};
    for (const char *name : names) {
        ClearAttributesUnlessLink(name);
        DeleteFileA(name);
    }
}

int RunUninstall()
{
    char program[1024], folder[1024];
    if (!ProgramFolder(program, folder, sizeof folder))
        return kRemovalFailed;
    if (!g_silentMode && ShowMessage(GetMsg(IDS_CONFIRM_REMOVAL), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return kRemovalCancelled;
    // Never read a list from whatever folder was inherited.
    if (!SetCurrentDirectoryA(folder)) {
        char listPath[1024];
        AppendBackslash(folder);
        if (!JoinBounded(listPath, sizeof listPath, folder, kListName))
            CopyBounded(listPath, kListName, sizeof listPath);
        ShowListError(listPath);
        return kRemovalFailed;
    }
    AppendBackslash(folder);
    ListFile list;
    if (!list.Open(kListName)) {
        ShowListError(kListName);
        return kRemovalFailed;
    }

    RemoveIntegration();
    g_extResource.Unload(); // "qbxlng.dll" is one of the files to delete
    DeleteHelpIndex();
    bool scheduled = false;
    bool restartNeeded = RunDeletionPasses(list, folder, program, &scheduled);
    list.Close();
    DeleteFileA(kListName);
    if (restartNeeded)
        ShowMessage(GetMsg(IDS_RESTART_NEEDED), MB_ICONINFORMATION);
    if (!WriteAndStartBatch(program)) {
        ShowManualDeletionMessage();
        return kRemovalFailed;
    }
    return scheduled ? kRestartRequired : kRemoved;
}
