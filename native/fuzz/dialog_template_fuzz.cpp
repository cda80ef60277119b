// Fuzzes the reading of a dialog template's texts (a language module's dialogs are read so).
// Input: the template's bytes. Checked on every input, for the caption and every item:
//  - no read outside the template (the sanitizers; the buffer holds exactly its bytes);
//  - a text found lies whole in the template: at an even offset, its units none zero, then
//    a terminating zero unit;
//  - the template cut shorter gives the same text where the text lies whole in the cut
//    part, and none where it does not.
#include "lang/dialog_template.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "property.h"


static unsigned Unit(const uint8_t *bytes, size_t at) { return bytes[at] | bytes[at + 1] << 8; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<uint8_t> bytes(data, data + size);
    for (int index = 0; index < 64; ++index) {
        size_t offset = 0, length = 0;
        if (!DialogTemplateText(bytes.data(), bytes.size(), index, &offset, &length))
            continue;
        PROPERTY(offset % 2 == 0);
        PROPERTY(offset + 2 * length + 2 <= size);
        for (size_t i = 0; i < length; ++i)
            PROPERTY(Unit(data, offset + 2 * i) != 0);
        PROPERTY(Unit(data, offset + 2 * length) == 0);
        // Cut just after the text's terminator it is still found; one byte earlier it is not.
        size_t end = offset + 2 * length + 2;
        size_t cutOffset = 0, cutLength = 0;
        std::vector<uint8_t> whole(data, data + end);
        PROPERTY(DialogTemplateText(whole.data(), whole.size(), index, &cutOffset, &cutLength));
        PROPERTY(cutOffset == offset && cutLength == length);
        std::vector<uint8_t> cut(data, data + end - 1);
        PROPERTY(!DialogTemplateText(cut.data(), cut.size(), index, &cutOffset, &cutLength));
    }
    return 0;
}
