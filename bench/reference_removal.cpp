// The least work a removal list allows: one DeleteFileA per line, then one RemoveDirectoryA
// per line that remains, deepest first. reference_removal.exe FOLDER reads FOLDER\Uninstall.lst.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    std::string folder = std::string(argv[1]) + "\\";
    HANDLE file = CreateFileA((folder + "Uninstall.lst").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    std::string text(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    ReadFile(file, &text[0], static_cast<DWORD>(text.size()), &got, nullptr);
    CloseHandle(file);
    text.resize(got);

    std::vector<std::string> rest;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        if (line.empty())
            continue;
        std::string path = folder + line;
        if (!DeleteFileA(path.c_str()))
            rest.push_back(path);
    }
    std::stable_sort(rest.begin(), rest.end(), [](const std::string &a, const std::string &b) {
        return std::count(a.begin(), a.end(), '\\') > std::count(b.begin(), b.end(), '\\');
    });
    for (const std::string &path : rest)
        RemoveDirectoryA(path.c_str());
    return 0;
}
