#include "support/file_encoding.h"

#include <string.h>

bool StartsWithUtf8Mark(const char *text, size_t size)
{
    return size >= kUtf8MarkSize && memcmp(text, kUtf8Mark, kUtf8MarkSize) == 0;
}

// Bytes of the sequence a lead byte starts; 0 for a byte that starts none.
static size_t SequenceBytes(unsigned char lead)
{
    return lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                                            : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
}

// The second byte's range narrows after E0 (overlong), ED (surrogates), F0 (overlong) and F4
// (beyond U+10FFFF); every other continuation byte lies in 80 to BF.
static bool IsContinuation(unsigned char lead, size_t k, unsigned char c)
{
    unsigned char low = 0x80, high = 0xBF;
    if (k == 1) {
        low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    }
    return c >= low && c <= high;
}

bool IsUtf8(const char *text, size_t size, TextEnd end)
{
    for (size_t i = 0; i < size;) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        size_t n = SequenceBytes(lead);
        if (n == 0)
            return false;
        for (size_t k = 1; k < n; ++k) {
            if (i + k == size)
                return end == TextEnd::Prefix;
            if (!IsContinuation(lead, k, static_cast<unsigned char>(text[i + k])))
                return false;
        }
        i += n;
    }
    return true;
}

unsigned DetectCodePage(bool marked, const char *text, size_t size, TextEnd end, unsigned system, unsigned legacy)
{
    if (marked)
        return kUtf8CodePage;
    return system == kUtf8CodePage && !IsUtf8(text, size, end) ? legacy : system;
}
