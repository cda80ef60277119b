// Checks a language file against the program's texts, as the program would read it.
#pragma once

#include "resources.h"

#include <string>
#include <vector>

// One line per defect, "line N: ..." where a line is concerned.
std::vector<std::string> CheckTable(const std::string &file, const std::vector<ProgramText> &texts);
