// Checks a language file against the program's texts, as the program would read it.
#pragma once

#include "resources.h"
#include "support/dbcs_table.h"

#include <map>
#include <string>
#include <vector>

struct TableCheck {
    std::vector<std::string> defects; // one line each, "line N: ..." where a line is concerned
    // Entries found without defect, by key: the translation the program shows for each.
    std::map<std::string, std::string> accepted;
};

// codePage holds the lead bytes of the code page the file is written in.
TableCheck CheckTable(const std::string &file, const std::vector<ProgramText> &texts, const DbcsTable &codePage);
