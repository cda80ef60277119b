#include "lang/language_file.h"

#include "support/text.h"

LanguageResources g_language;

LanguageResources::~LanguageResources() { delete[] data; }

void LanguageResources::Load(const char *) {}

void LanguageResources::Translate(char *out, size_t outSize, const char *text, const char *, TextKind) const
{
    if (out != text)
        CopyBounded(out, text, outSize);
}
