// The texts of a dialog template as its resource holds them, in UTF-16: the dialog's caption
// and each item's text, in the order the dialog creates its windows. Pure: the caller reads
// the resource.
#pragma once

#include <stddef.h>

// Where the text of window `index` of the template lies (0: the dialog itself, 1 on: its
// items in order): its offset in bytes from the template's start and its length in UTF-16
// units, the terminator not counted. False when the template of size bytes has no such
// window, when that window's text is a resource number, when the template is cut short or
// when it is an extended one.
bool DialogTemplateText(const unsigned char *bytes, size_t size, int index, size_t *offset, size_t *length);
