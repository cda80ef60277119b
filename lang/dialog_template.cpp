#include "lang/dialog_template.h"

namespace {

constexpr unsigned kSetFont = 0x40;        // DS_SETFONT: a font follows the caption
constexpr unsigned kNumberMark = 0xFFFF;   // a resource number instead of a text

// Reads little-endian words within the template; past its end every read fails.
class TemplateReader {
public:
    TemplateReader(const unsigned char *bytes, size_t size) : bytes_(bytes), size_(size) {}
    bool ok() const { return ok_; }
    size_t at() const { return at_; }
    unsigned Word()
    {
        if (size_ - at_ < 2) {
            ok_ = false;
            at_ = size_;
            return 0;
        }
        unsigned w = bytes_[at_] | bytes_[at_ + 1] << 8;
        at_ += 2;
        return w;
    }
    unsigned Dword()
    {
        unsigned low = Word();
        return low | Word() << 16;
    }
    void Skip(size_t n)
    {
        if (size_ - at_ < n) {
            ok_ = false;
            at_ = size_;
        } else {
            at_ += n;
        }
    }
    void AlignDword() { Skip((4 - at_ % 4) % 4); }
    // A text or a resource number; true for a text, with its offset and length.
    bool Text(size_t *offset, size_t *length)
    {
        unsigned first = Word();
        if (first == kNumberMark) {
            Word();
            return false;
        }
        *offset = at_ - 2;
        *length = 0;
        for (unsigned c = first; ok_ && c != 0; c = Word())
            ++*length;
        return ok_;
    }

private:
    const unsigned char *bytes_;
    size_t size_;
    size_t at_ = 0;
    bool ok_ = true;
};

} // namespace

bool DialogTemplateText(const unsigned char *bytes, size_t size, int index, size_t *offset, size_t *length)
{
    TemplateReader r(bytes, size);
    if (size >= 4 && bytes[0] == 1 && bytes[1] == 0 && bytes[2] == 0xFF && bytes[3] == 0xFF)
        return false; // an extended template (the program's dialogs are none): keyed as shown
    unsigned style = r.Dword();
    r.Skip(4); // extended style
    unsigned count = r.Word();
    r.Skip(8); // position and size
    size_t at = 0, n = 0;
    r.Text(&at, &n); // menu
    r.Text(&at, &n); // class
    bool text = r.Text(offset, length);
    if (index == 0)
        return text;
    if (style & kSetFont) {
        r.Skip(2);       // point size
        r.Text(&at, &n); // face name
    }
    for (unsigned item = 1; item <= count && r.ok(); ++item) {
        r.AlignDword();
        r.Skip(18);      // styles, position and size, identifier
        r.Text(&at, &n); // class
        text = r.Text(offset, length);
        if (static_cast<int>(item) == index)
            return text;
        r.Skip(r.Word()); // creation data
    }
    return false;
}
