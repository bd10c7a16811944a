// The command line of varno-plot.
#include "ui/window_command_line.h"

#include <string>

#include "report/data_arguments_help.h"

namespace varno {

WindowCommandLine parseWindowCommandLine(const QStringList& args) {
  WindowCommandLine line;
  bool optionsEnded = false;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    if (!optionsEnded && arg == "--chain" && i + 1 < args.size()) {
      line.chains.append(args[++i]);
    } else if (!optionsEnded && arg.startsWith("--chain=")) {
      line.chains.append(arg.mid(8));
    } else if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
      line.help = true;
    } else if (!optionsEnded && arg == "--version") {
      line.version = true;
    } else if (!optionsEnded && arg == "--no-settings") {
      line.noSettings = true;
    } else if (!optionsEnded && arg == "--follow") {
      line.follow = true;
    } else {
      line.files.append(arg);
    }
  }
  return line;
}

std::string windowUsageText() {
  return "Usage:\n"
         "  varno-plot [--no-settings] [--follow]\n"
         "             [DATA [FACTORS.txt [MODE]] [--chain DATA2 ...]]\n"
         "      Opens the plot window. With DATA, opens the data file at start-up (an .fst trace\n"
         "      asks for its factors). With DATA.fst and FACTORS.txt, runs the whole analysis\n"
         "      unattended, writes the results report next to the data file as DATA_res.txt\n"
         "      and stays open.\n"
         "\n" +
         std::string(kDataArgumentsHelp) +
         "\n"
         "Options:\n"
         "  --no-settings             start with the designed defaults (window, chart\n"
         "                            appearance, folders, recent files) and save nothing\n"
         "  --chain PATH              a further chain of DATA's analysis (repeatable): a data\n"
         "                            file of the same kind and columns, pooled with DATA;\n"
         "                            with a CODA index, a chain file read through the index\n"
         "  --follow                  follow DATA and its chains while a sampler still writes\n"
         "                            them (Options > Follow files): rows appended are taken\n"
         "                            in once a second\n"
         "  --help                    show this text and exit\n"
         "  --version                 show the version and exit\n";
}

std::string windowVersionText() { return "varno-plot 2.0.0 (VARNO v2.0 Plot Window)\n"; }

}  // namespace varno
