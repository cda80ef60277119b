#include "resources.h"

#include <windows.h>

#include <map>

static std::string Narrow(const wchar_t *text, size_t length, unsigned codePage, bool &lossy)
{
    if (length == 0)
        return std::string();
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(codePage, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(codePage, 0, text, static_cast<int>(length), &out[0], n, nullptr,
                            codePage == CP_UTF8 ? nullptr : &usedDefault); // UTF-8 takes no default flag
    if (usedDefault || n <= 0)
        lossy = true;
    return out;
}

// One text as the program meets it in UTF-16: keyed over the key code page, started in the
// file's encoding.
static void AddText(std::vector<ProgramText> &texts, const TextCodePages &codePages, TextKind kind,
                    const std::string &context, const std::wstring &text, const std::string &where, size_t bufferSize)
{
    bool unused = false, lossy = false;
    std::string native = Narrow(text.c_str(), text.size(), CP_UTF8, unused);
    std::string keyed = Narrow(text.c_str(), text.size(), codePages.key, unused);
    std::string starting = codePages.utf8 ? native : Narrow(text.c_str(), text.size(), codePages.file, lossy);
    char key[kKeySize];
    LanguageKey(key, keyed.c_str(), context.empty() ? nullptr : context.c_str(), kind);
    for (ProgramText &t : texts)
        if (t.key == key && t.kind == kind && t.context == context && t.native == native) {
            t.where += ", " + where; // equal texts of one dialog share their entry
            return;
        }
    texts.push_back({kind, context, native, starting, where, bufferSize, key, lossy});
}

// The size and direction entries, whose native text is the same in every code page.
static void AddEntry(std::vector<ProgramText> &texts, const std::string &context, const std::string &native,
                     const std::string &starting, const std::string &where, size_t bufferSize)
{
    char key[kKeySize];
    LanguageKey(key, native.c_str(), context.c_str(), TextKind::DialogText);
    texts.push_back({TextKind::DialogText, context, native, starting, where, bufferSize, key, false});
}

static BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param)
{
    auto *names = reinterpret_cast<std::vector<std::string> *>(param);
    if (IS_INTRESOURCE(name))
        names->push_back("#" + std::to_string(reinterpret_cast<ULONG_PTR>(name)));
    else
        names->push_back(name);
    return TRUE;
}

static std::vector<std::string> ResourceNames(HMODULE module, LPCSTR type)
{
    std::vector<std::string> names;
    EnumResourceNamesA(module, type, CollectName, reinterpret_cast<LONG_PTR>(&names));
    return names;
}

static const BYTE *ResourceBytes(HMODULE module, const std::string &name, LPCSTR type, DWORD &size)
{
    LPCSTR id = name[0] == '#' ? MAKEINTRESOURCEA(atoi(name.c_str() + 1)) : name.c_str();
    HRSRC found = FindResourceA(module, id, type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    size = found ? SizeofResource(module, found) : 0;
    return loaded ? static_cast<const BYTE *>(LockResource(loaded)) : nullptr;
}

static void ReadStrings(HMODULE module, const TextCodePages &codePages, std::vector<ProgramText> &texts)
{
    std::map<int, std::wstring> messages;
    for (const std::string &name : ResourceNames(module, MAKEINTRESOURCEA(6))) { // RT_STRING
        DWORD size = 0;
        const BYTE *block = ResourceBytes(module, name, MAKEINTRESOURCEA(6), size);
        if (!block || name[0] != '#')
            continue;
        int first = (atoi(name.c_str() + 1) - 1) * 16;
        const WORD *p = reinterpret_cast<const WORD *>(block);
        const WORD *end = reinterpret_cast<const WORD *>(block + size);
        for (int i = 0; i < 16 && p < end; ++i) {
            size_t length = *p++;
            if (length > static_cast<size_t>(end - p))
                break;
            if (length > 0)
                messages[first + i] = std::wstring(reinterpret_cast<const wchar_t *>(p), length);
            p += length;
        }
    }
    for (const auto &[id, text] : messages)
        AddText(texts, codePages, TextKind::MessageText, "", text, "message " + std::to_string(id), kMessageLimit);
}

// Walks a dialog template, with or without the extended header, within its bytes.
class TemplateReader {
public:
    TemplateReader(const BYTE *data, DWORD size) : p_(data), begin_(data), end_(data + size) {}
    bool ok() const { return ok_; }
    WORD Word()
    {
        if (end_ - p_ < 2) {
            ok_ = false;
            return 0;
        }
        WORD w = static_cast<WORD>(p_[0] | (p_[1] << 8));
        p_ += 2;
        return w;
    }
    DWORD Dword()
    {
        DWORD low = Word();
        return low | (static_cast<DWORD>(Word()) << 16);
    }
    void Skip(size_t bytes)
    {
        if (static_cast<size_t>(end_ - p_) < bytes) {
            ok_ = false;
            p_ = end_;
        } else {
            p_ += bytes;
        }
    }
    void AlignDword() { Skip((4 - (p_ - begin_) % 4) % 4); }
    // A zero-terminated UTF-16 string, or an ordinal (0xFFFF and a number) given as -number.
    std::wstring SzOrOrd(int *ordinal)
    {
        *ordinal = 0;
        std::wstring s;
        WORD w = Word();
        if (w == 0xFFFF) {
            *ordinal = Word();
            return s;
        }
        while (ok_ && w != 0) {
            s += static_cast<wchar_t>(w);
            w = Word();
        }
        return s;
    }

private:
    const BYTE *p_;
    const BYTE *begin_;
    const BYTE *end_;
    bool ok_ = true;
};

// Controls whose window text is not the template's or is never shown.
static bool HasTranslatableText(int classOrdinal, const std::wstring &className, DWORD style)
{
    std::wstring lower;
    for (wchar_t c : className)
        lower += static_cast<wchar_t>(towlower(c));
    if (classOrdinal == 0x83 || classOrdinal == 0x84 || classOrdinal == 0x85 || lower == L"listbox" ||
        lower == L"scrollbar" || lower == L"combobox")
        return false;
    bool isStatic = classOrdinal == 0x82 || lower == L"static";
    DWORD type = style & SS_TYPEMASK;
    return !(isStatic && (type == SS_ICON || type == SS_BITMAP || type == SS_ENHMETAFILE));
}

static bool ReadDialog(const std::string &name, const BYTE *data, DWORD size, const TextCodePages &codePages,
                       std::vector<ProgramText> &texts)
{
    TemplateReader r(data, size);
    WORD version = r.Word();
    WORD signature = r.Word();
    bool extended = version == 1 && signature == 0xFFFF;
    DWORD style;
    if (extended) {
        r.Dword(); // help id
        r.Dword(); // extended style
        style = r.Dword();
    } else {
        style = version | (static_cast<DWORD>(signature) << 16);
        r.Dword(); // extended style
    }
    int count = r.Word();
    r.Skip(8); // position and size
    int ordinal;
    r.SzOrOrd(&ordinal); // menu
    r.SzOrOrd(&ordinal); // class
    std::wstring title = r.SzOrOrd(&ordinal);
    if (style & DS_SETFONT) {
        r.Word(); // point size
        if (extended)
            r.Skip(4); // weight, italic, character set
        r.SzOrOrd(&ordinal);
    }
    if (!r.ok())
        return false;
    // The size entry is keyed by the empty text in the dialog's context.
    AddEntry(texts, name, "", "100*100", name + " size in percent (width*height)", kSizeEntryLimit);
    if (!title.empty())
        AddText(texts, codePages, TextKind::DialogText, name, title, name + " title", kDialogTextLimit);
    for (int i = 0; i < count && r.ok(); ++i) {
        r.AlignDword();
        DWORD itemStyle;
        if (extended) {
            r.Dword(); // help id
            r.Dword(); // extended style
            itemStyle = r.Dword();
        } else {
            itemStyle = r.Dword();
            r.Dword(); // extended style
        }
        r.Skip(8);
        long id = extended ? static_cast<LONG>(r.Dword()) : static_cast<SHORT>(r.Word());
        int classOrdinal;
        std::wstring className = r.SzOrOrd(&classOrdinal);
        int textOrdinal;
        std::wstring text = r.SzOrOrd(&textOrdinal);
        r.Skip(r.Word());
        if (!r.ok())
            return false;
        if (text.empty() || !HasTranslatableText(classOrdinal, className, itemStyle))
            continue;
        AddText(texts, codePages, TextKind::DialogText, name, text, name + " control " + std::to_string(id),
                kDialogTextLimit);
    }
    return true;
}

bool ReadProgramTexts(const char *modulePath, const TextCodePages &codePages, std::vector<ProgramText> &texts,
                      std::string &error)
{
    HMODULE module = LoadLibraryExA(modulePath, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        error = std::string("cannot read the resources of ") + modulePath;
        return false;
    }
    ReadStrings(module, codePages, texts);
    for (const std::string &name : ResourceNames(module, MAKEINTRESOURCEA(5))) { // RT_DIALOG
        if (name == "RTL" || name[0] == '#')
            continue; // the direction marker and numbered dialogs are never shown by name
        DWORD size = 0;
        const BYTE *data = ResourceBytes(module, name, MAKEINTRESOURCEA(5), size);
        if (!data || !ReadDialog(name, data, size, codePages, texts)) {
            error = "dialog " + name + " is not a valid template";
            FreeLibrary(module);
            return false;
        }
    }
    FreeLibrary(module);
    AddEntry(texts, "LTR", "LTR", "LTR", "layout direction (RTL for right to left)", kDirectionLimit);
    return true;
}
