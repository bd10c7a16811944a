// The command line of varno-plot: the options it takes before the files, and its usage text.
#pragma once

#include <QStringList>
#include <string>

namespace varno {

struct WindowCommandLine {
  bool help = false;
  bool version = false;
  bool noSettings = false;  // start with the designed defaults and save nothing
  bool follow = false;      // Options > Follow files, once DATA and its chains are open
  QStringList files;        // DATA [FACTORS.txt [MODE]], as the window acts on them
  QStringList chains;       // --chain PATH (repeatable): further chains of DATA's analysis
};

// The arguments after the program name. Only the options below are taken out; every other
// argument is one of the files, except "--chain PATH" (or "--chain=PATH"), which names a chain (a negative MODE such as -1 among them).
WindowCommandLine parseWindowCommandLine(const QStringList& args);

std::string windowUsageText();
std::string windowVersionText();

}  // namespace varno
