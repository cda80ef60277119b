// A dialog's size entry: its width and height in percent, "120*110".
#pragma once

constexpr int kMinSizePercent = 50;
constexpr int kMaxSizePercent = 400;

// True when the entry is two whole numbers from 50 to 400 joined by an asterisk, with
// nothing else; sets the two percentages then. Any other entry leaves them alone.
bool ParseSizeEntry(const char *entry, int *horizontal, int *vertical);
