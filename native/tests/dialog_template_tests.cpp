#include <gtest/gtest.h>

#include "lang/dialog_template.h"

#include <string>
#include <vector>

namespace {

// A dialog template written out as the resource compiler lays it out.
class TemplateBytes {
public:
    void Word(unsigned w)
    {
        bytes.push_back(static_cast<unsigned char>(w));
        bytes.push_back(static_cast<unsigned char>(w >> 8));
    }
    void Dword(unsigned d)
    {
        Word(d & 0xFFFF);
        Word(d >> 16);
    }
    void Text(const std::u16string &text)
    {
        for (char16_t c : text)
            Word(c);
        Word(0);
    }
    void Number(unsigned n)
    {
        Word(0xFFFF);
        Word(n);
    }
    void Align()
    {
        while (bytes.size() % 4 != 0)
            bytes.push_back(0);
    }
    std::vector<unsigned char> bytes;
};

struct Item {
    std::u16string text; // empty: a resource number
    unsigned creationBytes;
};

const Item kItems[] = {{u"One", 0}, {u"", 0}, {u"\u5168\u90E8\u9009\u62E9(&A)", 6}, {u"Last", 0}};

std::vector<unsigned char> Template(bool extended)
{
    TemplateBytes t;
    if (extended) {
        t.Word(1);
        t.Word(0xFFFF);
        t.Dword(0);          // help id
        t.Dword(0);          // extended style
        t.Dword(0x80C800C0); // style with DS_SETFONT
    } else {
        t.Dword(0x80C800C0);
        t.Dword(0);
    }
    t.Word(sizeof kItems / sizeof kItems[0]);
    for (int i = 0; i < 4; ++i)
        t.Word(10);
    t.Word(0);               // no menu
    t.Text(u"MyClass");      // a class by name
    t.Text(u"Quibex \u7B80\u4F53"); // caption
    t.Word(9);
    if (extended) {
        t.Word(400);
        t.Word(0x0100); // italic, character set
    }
    t.Text(u"\u5B8B\u4F53"); // face name
    for (const Item &item : kItems) {
        t.Align();
        if (extended)
            t.Dword(0); // help id
        for (int i = 0; i < 2; ++i)
            t.Dword(0x50000000); // styles
        for (int i = 0; i < 4; ++i)
            t.Word(5);
        if (extended)
            t.Dword(101);
        else
            t.Word(101);
        if (&item == &kItems[3])
            t.Text(u"RICHEDIT");
        else
            t.Number(0x0080); // a button
        if (item.text.empty())
            t.Number(7); // an icon's number
        else
            t.Text(item.text);
        t.Word(item.creationBytes);
        for (unsigned i = 0; i < item.creationBytes; ++i)
            t.bytes.push_back(0xFF);
    }
    return t.bytes;
}

std::u16string TextAt(const std::vector<unsigned char> &bytes, size_t offset, size_t length)
{
    std::u16string text;
    for (size_t i = 0; i < length; ++i)
        text += static_cast<char16_t>(bytes[offset + 2 * i] | bytes[offset + 2 * i + 1] << 8);
    return text;
}

} // namespace

// The caption and each item's text in creation order; numbers and windows beyond the last
// have none, nor has any window of an extended template (its texts are keyed as shown).
TEST(DialogTemplate, CaptionAndItemTexts)
{
    for (bool extended : {false, true}) {
        std::vector<unsigned char> bytes = Template(extended);
        std::vector<std::u16string> expected = {u"Quibex \u7B80\u4F53"};
        for (const Item &item : kItems)
            expected.push_back(item.text);
        for (int index = -1; index <= 6; ++index) {
            size_t offset = 0, length = 0;
            bool found = DialogTemplateText(bytes.data(), bytes.size(), index, &offset, &length);
            bool text = !extended && index >= 0 && index < 5 && !expected[index].empty();
            ASSERT_EQ(found, text) << extended << " " << index;
            if (!found)
                continue;
            EXPECT_EQ(offset % 2, 0u);
            EXPECT_EQ(TextAt(bytes, offset, length), expected[index]) << extended << " " << index;
            EXPECT_EQ(TextAt(bytes, offset + 2 * length, 1), std::u16string(1, u'\0')) << "terminated";
        }
    }
}
