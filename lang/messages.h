// The optional language module "qbxlng.dll" and the string-table look-up.
#pragma once

#include "support/text_sizes.h"

#include <windows.h>

extern HMODULE g_resourceModule; // dialogs, strings and icon come from here
extern HMODULE g_programModule;

class ExtResource {
public:
    ~ExtResource() { Unload(); }
    // Loads "qbxlng.dll" from the folder of folderOf (null: the program's own file).
    void Load(HMODULE program, const char *folderOf);
    void Unload();
    bool loaded = false;
};
extern ExtResource g_extResource;

// Bytes a message's translation may take in its file (what the kit measures), and the size of
// the buffers that hold a message: enough for any such translation in UTF-8.
constexpr int kMsgSize = 512;
constexpr int kMsgBufferSize = static_cast<int>(Converted(kMsgSize));
constexpr int kMsgRing = 8;

// The dialog template of that name in the resource module; null without one.
HRSRC FindDialogResource(const char *name);

// Localised text of a string-table number; valid until 8 further calls. "" when unknown.
const char *GetMsg(int id);

// True for a plain web address: "http://" or "https://" (any case), then no control
// character, blank or double quote that could end it on a handler's command line.
bool IsWebAddress(const char *text);
// GetMsg for a text the program opens: a translation or module text that is not a web
// address gives way to the program's own text, so no translation decides what is started.
const char *GetWebAddressMsg(int id);
// True when the language file replaces the text of that number.
bool IsMsgTranslated(int id);
// The text of a string-table number in UTF-16, from the module GetMsg reads it from, so it
// keeps characters the process's code page cannot hold. False, out empty, when there is none.
bool GetResourceMsgW(int id, WCHAR *out, int size);

// Message id with its single "%s" replaced by arg, written to out (size bytes, cut to fit).
// A translation with any other conversion is not trusted: the native text is used instead.
void FormatMsg(char *out, size_t size, int id, const char *arg);
