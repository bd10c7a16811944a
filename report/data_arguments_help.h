// The help text of the arguments that name an analysis's files, shared by the window's and the
// tool's usage texts, which take them alike.
#pragma once

namespace varno {

inline constexpr const char* kDataArgumentsHelp =
    "Arguments:\n"
    "  DATA                      the sampler's output: .fst, .frq or any other table,\n"
    "                            or a CODA index (NAMEindex.txt) whose chain files\n"
    "                            (NAMEchain1.txt, NAMEchain2.txt, ...) beside it are\n"
    "                            read as chains of one analysis\n"
    "  FACTORS.txt               the factors file of an .fst trace\n"
    "  MODE                      -1 (the default): as many factors as the factors file\n"
    "                            has factor lines; 0: two factors; 1: two factors and\n"
    "                            their interaction G1*G2; any other number: no factors\n";

}  // namespace varno
