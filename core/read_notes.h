// What a user should know about a data file that was read, in the words of the window and the tool.
#pragma once

#include <string>
#include <vector>

#include "core/data_file_reader.h"

namespace varno {

// n with its thousands grouped by commas: "1,500".
std::string grouped(long long n);

// n with its thousands grouped by commas ("1,500"), then the singular or plural noun.
std::string groupedCount(long long n, const char* one, const char* many);

// Notes on a read that was accepted: where reading stopped early, and which rows had numbers
// beyond the columns of the first row. Empty when the whole file was read as it should be.
std::vector<std::string> readNotes(const DataFileReadResult& read);

}  // namespace varno
