// Parsing the command line of varno-report into the options of the shared runs.
#include "cli/arguments.h"

#include <charconv>
#include <limits>
#include <map>
#include <string_view>

#include "core/number_token.h"
#include "report/data_arguments_help.h"
#include "report/program_version.h"

namespace varno {

namespace {

// What a run of the tool does: write the report, or the figures of one column, or one of the tables.
enum class Use : unsigned {
  report = 1u << 0,
  column = 1u << 1,
  summary = 1u << 2,
  models = 1u << 3,
  chains = 1u << 4,       // --chains-table
  exportDraws = 1u << 5,  // --export-draws
};

// The uses an option belongs to.
class Uses {
 public:
  constexpr Uses(Use use) : bits_(static_cast<unsigned>(use)) {}  // NOLINT: one use is a set of uses
  static constexpr Uses all() { return Uses((1u << 6) - 1); }
  constexpr Uses operator|(Uses other) const { return Uses(bits_ | other.bits_); }
  constexpr bool has(Use use) const { return (bits_ & static_cast<unsigned>(use)) != 0; }
  constexpr bool operator==(const Uses&) const = default;

 private:
  explicit constexpr Uses(unsigned bits) : bits_(bits) {}
  unsigned bits_;
};

constexpr Uses operator|(Use a, Use b) { return Uses(a) | b; }

struct OptionInfo {
  const char* name;
  Uses uses;
};

constexpr OptionInfo kOptions[] = {
    {"--interaction", Uses::all()},
    {"--burn-in", Uses::all()},
    {"--burn-out", Uses::all()},
    {"--output", Use::report},
    {"--column", Use::column},
    {"--level", Use::column | Use::summary},
    {"--bandwidth-position", Use::column},
    {"--model", Use::column | Use::report | Use::summary | Use::chains | Use::exportDraws},
    {"--summary", Use::summary},
    {"--format", Use::summary | Use::models | Use::chains},
    {"--models", Use::models},
    {"--model-prior", Use::models},
    {"--chains-table", Use::chains},
    {"--export-draws", Use::exportDraws},
    {"--thin", Use::exportDraws},
    {"--figures", Use::report},
    {"--figure-format", Use::report},
    {"--figure-scale", Use::report},
    {"--record", Use::report},
    {"--quantiles", Use::summary},
    {"--round-by-mcse", Use::summary},
    {"--ess-by-burnin", Use::column},
    {"--ess-profile", Use::column},
    {"--follow", Use::summary | Use::models},
    {"--until", Use::summary},
    {"--interval", Use::summary | Use::models},
    {"--idle", Use::summary | Use::models},
    {"--confirm", Use::summary},
    {"--min-rows", Use::summary},
};

// The options that only following the files takes.
constexpr const char* kFollowOptions[] = {"--until", "--interval", "--idle", "--confirm", "--min-rows"};

// Options that are flags: they take no value.
bool isFlag(std::string_view name) {
  return name == "--summary" || name == "--models" || name == "--chains-table" || name == "--round-by-mcse" ||
         name == "--ess-by-burnin" || name == "--ess-profile" || name == "--follow";
}

// A number of seconds above 0 (fractions too), at most a year; nothing for anything else.
std::optional<double> secondsValue(const std::string& text) {
  double seconds = 0;
  const char* end = text.data() + text.size();
  if (!isDecimalNumber(text) || std::from_chars(text.data(), end, seconds).ptr != end || !(seconds > 0) ||
      seconds > 366.0 * 24 * 3600)
    return std::nullopt;
  return seconds;
}

// "P1,P2,...": probabilities from 0 to 1; nothing, and the fault said, for anything else.
std::optional<std::vector<double>> probabilityList(const std::string& text, std::string& fault) {
  std::vector<double> list;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    const std::string part = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    double p = 0;
    const char* end = part.data() + part.size();
    if (!isDecimalNumber(part) || std::from_chars(part.data(), end, p).ptr != end || !(p >= 0 && p <= 1)) {
      fault = "--quantiles needs probabilities from 0 to 1 separated by commas; \"" + part + "\" is not one";
      return std::nullopt;
    }
    list.push_back(p);
    if (comma == std::string::npos) return list;
    start = comma + 1;
  }
}

// The options that choose a use other than the report and the column.
constexpr std::pair<Use, const char*> kTableUses[] = {{Use::summary, "--summary"},
                                                      {Use::models, "--models"},
                                                      {Use::chains, "--chains-table"},
                                                      {Use::exportDraws, "--export-draws"}};

const OptionInfo* findOption(std::string_view name) {
  for (const OptionInfo& option : kOptions) {
    if (name == option.name) return &option;
  }
  return nullptr;
}

// "-" followed by a digit: a negative number such as the factor mode -1.
bool looksLikeNumber(std::string_view arg) {
  return arg.size() >= 2 && arg[0] == '-' && arg[1] >= '0' && arg[1] <= '9';
}

// An optional "-" and decimal digits, nothing else, within [low, high].
std::optional<long long> wholeNumber(std::string_view text, long long low, long long high) {
  const std::optional<long long> value = wholeNumberToken(text);
  if (!value || *value < low || *value > high) return std::nullopt;
  return value;
}

class Parser {
 public:
  explicit Parser(const std::vector<std::string>& args) : args_(args) {}

  CliParse run() {
    for (const std::string& arg : args_) {
      if (arg == "--") break;
      if (arg == "--help" || arg == "-h") return done(CliAction::help);
    }
    for (const std::string& arg : args_) {
      if (arg == "--") break;
      if (arg == "--version") return done(CliAction::version);
    }
    if (!split()) return failed();
    return build();
  }

 private:
  CliParse done(CliAction action) {
    CliArguments a;
    a.action = action;
    return CliParse{a, {}};
  }
  CliParse failed() { return CliParse{std::nullopt, error_}; }
  bool fail(std::string message) {
    error_ = std::move(message);
    return false;
  }

  // Separates the positional arguments from the options and their values.
  bool split() {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args_.size(); ++i) {
      const std::string& arg = args_[i];
      if (!optionsEnded && arg == "--") {
        optionsEnded = true;
        continue;
      }
      if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-" || looksLikeNumber(arg)) {
        positional_.push_back(arg);
        continue;
      }
      const std::size_t equals = arg.find('=');
      const std::string name = arg.substr(0, equals);
      if (name == "--chain") {
        // repeatable: each names one further chain, in order
        std::string path;
        if (equals != std::string::npos) {
          path = arg.substr(equals + 1);
        } else if (i + 1 < args_.size()) {
          path = args_[++i];
        } else {
          return fail("--chain needs a value");
        }
        if (path.empty()) return fail("--chain needs the path of a data file");
        chains_.push_back(path);
        continue;
      }
      const OptionInfo* option = findOption(name);
      if (!option) return fail("unknown option " + name);
      if (isFlag(name)) {
        if (equals != std::string::npos) return fail(name + " takes no value");
        if (!values_.emplace(name, "").second) return fail(name + " is given more than once");
        continue;
      }
      std::string value;
      if (equals != std::string::npos) {
        value = arg.substr(equals + 1);
      } else if (i + 1 < args_.size()) {
        value = args_[++i];
      } else {
        return fail(name + " needs a value");
      }
      if (!values_.emplace(name, value).second) return fail(name + " is given more than once");
    }
    return true;
  }

  bool has(const char* name) const { return values_.count(name) != 0; }

  bool number(const char* name, long long low, long long high, const char* what, long long& out) {
    auto found = values_.find(name);
    if (found == values_.end()) return true;
    auto value = wholeNumber(found->second, low, high);
    if (!value) return fail(std::string(name) + " needs " + what + ", not \"" + found->second + "\"");
    out = *value;
    return true;
  }

  // DATA [FACTORS.txt [MODE]]: false (and the fault said) without a data file or with more.
  bool dataAndFactorArguments() {
    if (positional_.empty()) {
      fail("no data file given");
      return false;
    }
    if (positional_.size() > 3) {
      fail("too many arguments: \"" + positional_[3] + "\"");
      return false;
    }
    return true;
  }

  // The options the uses share: factors file, mode, interaction and data range.
  bool common(std::string& factorsPath, std::optional<int>& factorMode, std::optional<bool>& interaction,
              long long& burnIn, long long& burnOut, std::optional<AutoBurnIn>& autoBurnIn,
              std::optional<BurnInShare>& burnInShare) {
    if (positional_.size() >= 2) factorsPath = positional_[1];
    if (positional_.size() >= 3) {
      auto mode = wholeNumber(positional_[2], std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
      if (!mode) return fail("MODE must be a whole number (-1, 0 or 1), not \"" + positional_[2] + "\"");
      factorMode = static_cast<int>(*mode);
    }
    if (auto found = values_.find("--interaction"); found != values_.end()) {
      if (found->second == "yes") {
        interaction = true;
      } else if (found->second == "no") {
        interaction = false;
      } else {
        return fail("--interaction needs yes or no, not \"" + found->second + "\"");
      }
    }
    constexpr long long kMaxBurn = std::numeric_limits<int>::max();
    // "auto" or "auto:COLUMN": the suggested burn-in, taken once the chains are read
    const char* const burnInKinds = "a number of rows (0 or more), N% (a share of each chain's rows, below 100), auto or auto:COLUMN";
    // "N%": that share of each chain's own rows, taken once the chains are read
    if (auto found = values_.find("--burn-in"); found != values_.end() && found->second.find('%') != std::string::npos) {
      burnInShare = parseBurnInShare(found->second);
      if (!burnInShare) return fail(std::string("--burn-in needs ") + burnInKinds + ", not \"" + found->second + "\"");
      return number("--burn-out", 0, kMaxBurn, "a number of rows (0 or more)", burnOut);
    }
    if (auto found = values_.find("--burn-in"); found != values_.end() && found->second.rfind("auto", 0) == 0) {
      const std::string& value = found->second;
      if (value != "auto" && (value.size() <= 5 || value[4] != ':'))
        return fail(std::string("--burn-in needs ") + burnInKinds + ", not \"" + value + "\"");
      autoBurnIn = AutoBurnIn{value.size() > 5 ? value.substr(5) : std::string(), {}};
      return number("--burn-out", 0, kMaxBurn, "a number of rows (0 or more)", burnOut);
    }
    return number("--burn-in", 0, kMaxBurn, burnInKinds, burnIn) &&
           number("--burn-out", 0, kMaxBurn, "a number of rows (0 or more)", burnOut);
  }

  CliParse build() {
    CliArguments a;
    for (const char* name : kFollowOptions) {
      if (has(name) && !has("--follow")) {
        fail(std::string(name) + " can be given only with --follow");
        return failed();
      }
    }
    // the uses that print or write something else than the report
    const char* const tableUses[] = {"--summary", "--models", "--chains-table", "--export-draws", "--column"};
    const char* chosen = nullptr;
    for (const char* use : tableUses) {
      if (!has(use) || (chosen == nullptr && std::string_view(use) == "--column")) continue;
      if (chosen) {
        fail(std::string(chosen) + " and " + use + " cannot be given together");
        return failed();
      }
      chosen = use;
    }
    if (has("--summary")) return summary();
    if (has("--models")) return models();
    if (has("--chains-table")) return chainsTable();
    if (has("--export-draws")) return exportDraws();
    // with --figures, --column picks the column of the main chart's figure
    const bool figuresUse = has("--figures");
    const bool columnUse = has("--column") && !figuresUse;
    a.action = columnUse ? CliAction::column : CliAction::report;
    for (const auto& [name, value] : values_) {
      if (figuresUse && name == "--column") continue;
      if (!figuresUse && name.rfind("--figure-", 0) == 0) {
        fail(name + " can be given only with --figures");
        return failed();
      }
      const Uses uses = findOption(name)->uses;
      if (!uses.has(Use::column) && uses != Use::report && uses != Uses::all()) {
        // "--a", "--a or --b", "--a, --b or --c"
        std::vector<const char*> flags;
        for (const auto& [use, flag] : kTableUses)
          if (uses.has(use)) flags.push_back(flag);
        std::string list;
        for (std::size_t i = 0; i < flags.size(); ++i)
          list += std::string(i == 0 ? "" : i + 1 == flags.size() ? " or " : ", ") + flags[i];
        fail(name + " can be given only with " + list);
        return failed();
      }
      // --model belongs to the report as well
      if (uses.has(Use::column) && !columnUse && !uses.has(Use::report)) {
        fail(name + " can be given only with --column");
        return failed();
      }
      if (uses == Use::report && columnUse) {
        fail(name + " cannot be given with --column");
        return failed();
      }
    }

    if (!columnUse) {
      if (positional_.size() < 2) {
        fail(positional_.empty() ? "no data file given" : "no factors file given (a report needs DATA.fst FACTORS.txt)");
        return failed();
      }
      if (positional_.size() > 3) {
        fail("too many arguments: \"" + positional_[3] + "\"");
        return failed();
      }
      UnattendedOptions& r = a.report;
      r.dataPath = positional_[0];
      r.chainPaths = chains_;
      if (!common(r.factorsPath, r.factorMode, r.interaction, r.burnIn, r.burnOut, r.autoBurnIn, r.burnInShare)) return failed();
      long long model = 0;
      if (!number("--model", 0, std::numeric_limits<int>::max(), "a model number (0 for all models)", model))
        return failed();
      r.modelFilter = static_cast<int>(model);
      if (auto found = values_.find("--output"); found != values_.end()) {
        if (found->second.empty()) {
          fail("--output needs a path");
          return failed();
        }
        r.outputPath = found->second;
      }
      if (figuresUse && !figureOptions(a)) return failed();
      if (auto found = values_.find("--record"); found != values_.end()) {
        if (found->second.empty() || found->second == "-") {
          fail("--record needs the path of a file");
          return failed();
        }
        if (r.outputPath && *r.outputPath == "-") {
          fail("--record cannot be given with --output -: the record names the report's file");
          return failed();
        }
        a.record = found->second;
      }
      return CliParse{a, {}};
    }

    if (!dataAndFactorArguments()) return failed();
    ColumnStatisticsOptions& c = a.column;
    c.dataPath = positional_[0];
    c.chainPaths = chains_;
    if (!common(c.factorsPath, c.factorMode, c.interaction, c.burnIn, c.burnOut, c.autoBurnIn, c.burnInShare)) return failed();
    long long column = 0, level = 95, model = 0, position = 0;
    // what is not a whole number is a name of the header line
    const auto given = values_.find("--column");
    const bool columnNamed =
        given != values_.end() && !wholeNumber(given->second, std::numeric_limits<long long>::min(),
                                               std::numeric_limits<long long>::max());
    if (columnNamed && given->second.empty()) {
      fail("--column needs a column number (1 or more) or the name of a column, not \"\"");
      return failed();
    }
    if (columnNamed) c.columnName = given->second;
    if ((!columnNamed && !number("--column", 1, std::numeric_limits<int>::max(), "a column number (1 or more)", column)) ||
        !number("--level", 1, 99, "a whole percentage from 1 to 99", level) ||
        !number("--model", 0, std::numeric_limits<int>::max(), "a model number (0 for all models)", model) ||
        !number("--bandwidth-position", -1000, 300, "a whole number from -1000 to 300", position))
      return failed();
    if (!columnNamed) c.column = static_cast<int>(column);
    c.levelPercent = static_cast<int>(level);
    c.modelFilter = static_cast<int>(model);
    if (has("--bandwidth-position")) c.bandwidthPosition = static_cast<int>(position);
    if (has("--model") && c.factorsPath.empty()) {
      fail("--model needs the factors file of the .fst data file");
      return failed();
    }
    if (has("--ess-by-burnin")) a.action = CliAction::essByBurnIn;
    if (has("--ess-profile")) {
      if (has("--ess-by-burnin")) {
        fail("--ess-profile cannot be given with --ess-by-burnin");
        return failed();
      }
      a.action = CliAction::essProfile;
    }
    return CliParse{a, {}};
  }

  // Every option given belongs to `use`.
  bool onlyOptionsOf(Use use, const char* flag) {
    for (const auto& [name, value] : values_) {
      if (!findOption(name)->uses.has(use)) return fail(name + " cannot be given with " + flag);
    }
    return true;
  }

  // DATA [FACTORS.txt [MODE]], the shared options and --model of a use that reads one data file.
  bool dataOptions(AnalysisRequest& d) {
    if (!dataAndFactorArguments()) return false;
    d.dataPath = positional_[0];
    d.chainPaths = chains_;
    if (!common(d.factorsPath, d.factorMode, d.interaction, d.burnIn, d.burnOut, d.autoBurnIn, d.burnInShare)) return false;
    long long level = 95, model = 0;
    if (!number("--level", 1, 99, "a whole percentage from 1 to 99", level) ||
        !number("--model", 0, std::numeric_limits<int>::max(), "a model number (0 for all models)", model))
      return false;
    d.levelPercent = static_cast<int>(level);
    d.modelFilter = static_cast<int>(model);
    if (has("--model") && d.factorsPath.empty()) return fail("--model needs the factors file of the .fst data file");
    return true;
  }

  bool format(SummaryFormat& out) {
    auto found = values_.find("--format");
    if (found == values_.end()) return true;
    if (found->second == "tsv") {
      out = SummaryFormat::tsv;
    } else if (found->second == "csv") {
      out = SummaryFormat::csv;
    } else if (found->second == "json") {
      out = SummaryFormat::json;
    } else {
      return fail("--format needs tsv, csv or json, not \"" + found->second + "\"");
    }
    return true;
  }

  // The summary table of every column.
  CliParse summary() {
    CliArguments a;
    a.action = CliAction::summary;
    if (!onlyOptionsOf(Use::summary, "--summary") || !dataOptions(a.summary) || !format(a.summary.format)) return failed();
    if (auto found = values_.find("--quantiles"); found != values_.end()) {
      auto list = probabilityList(found->second, error_);
      if (!list) return failed();
      a.summary.quantiles = std::move(*list);
    }
    a.summary.roundByMcse = has("--round-by-mcse");
    if (has("--follow") && !followOptions(a)) return failed();
    return CliParse{a, {}};
  }

  // The tables of the models and of the evidence for each factor.
  CliParse models() {
    CliArguments a;
    a.action = CliAction::models;
    if (!onlyOptionsOf(Use::models, "--models")) return failed();
    if (positional_.size() < 2) {
      fail(positional_.empty() ? "no data file given" : "no factors file given (--models needs DATA.fst FACTORS.txt)");
      return failed();
    }
    if (!dataAndFactorArguments()) return failed();
    ModelEvidenceOptions& m = a.models;
    m.dataPath = positional_[0];
    m.chainPaths = chains_;
    if (!common(m.factorsPath, m.factorMode, m.interaction, m.burnIn, m.burnOut, m.autoBurnIn, m.burnInShare)) return failed();
    if (!format(m.format)) return failed();
    if (auto found = values_.find("--model-prior"); found != values_.end()) m.modelPrior = found->second;
    if (has("--follow") && !followOptions(a)) return failed();
    return CliParse{a, {}};
  }

  // The chains side by side.
  CliParse chainsTable() {
    CliArguments a;
    a.action = CliAction::chainsTable;
    if (!onlyOptionsOf(Use::chains, "--chains-table") || !dataOptions(a.chains) || !format(a.chains.format))
      return failed();
    return CliParse{a, {}};
  }

  // The retained draws written to a file.
  CliParse exportDraws() {
    CliArguments a;
    a.action = CliAction::exportDraws;
    DrawsExportOptions& e = a.exportDraws;
    if (!onlyOptionsOf(Use::exportDraws, "--export-draws") || !dataOptions(e)) return failed();
    e.outputPath = values_.at("--export-draws");
    if (e.outputPath.empty() || e.outputPath == "-") {
      fail("--export-draws needs the path of a file");
      return failed();
    }
    long long thin = 1;
    if (!number("--thin", 1, std::numeric_limits<int>::max(), "a whole number of draws (1 or more)", thin))
      return failed();
    e.thin = static_cast<int>(thin);
    return CliParse{a, {}};
  }

  // --follow and the options that go with it.
  bool followOptions(CliArguments& a) {
    FollowOptions f;
    if (auto found = values_.find("--until"); found != values_.end()) {
      ParsedTarget parsed = parseConvergenceTarget(found->second);
      if (!parsed.target) return fail(parsed.error);
      f.until = std::move(*parsed.target);
    }
    const auto seconds = [&](const char* name, std::string& text) -> std::optional<double> {
      auto found = values_.find(name);
      if (found == values_.end()) return std::nullopt;
      const std::optional<double> value = secondsValue(found->second);
      if (!value)
        fail(std::string(name) + " needs a number of seconds above 0 (a fraction too), not \"" + found->second + "\"");
      text = found->second;
      return value;
    };
    if (has("--interval")) {
      const std::optional<double> interval = seconds("--interval", f.intervalText);
      if (!interval) return false;
      f.interval = *interval;
    }
    if (has("--idle")) {
      f.idle = seconds("--idle", f.idleText);
      if (!f.idle) return false;
    }
    long long confirm = 0, minRows = 0;
    if (!number("--confirm", 0, std::numeric_limits<long long>::max(), "a number of rows (0 or more)", confirm) ||
        !number("--min-rows", 0, std::numeric_limits<long long>::max(), "a number of rows (0 or more)", minRows))
      return false;
    if (has("--confirm")) f.stop.confirmRows = confirm;
    f.stop.minRows = minRows;
    a.follow = std::move(f);
    return true;
  }

  bool figureOptions(CliArguments& a) {
    FigureOptions f;
    f.folder = values_.at("--figures");
    if (f.folder.empty()) return fail("--figures needs a folder");
    if (auto found = values_.find("--figure-format"); found != values_.end()) {
      if (found->second != "png" && found->second != "svg" && found->second != "pdf")
        return fail("--figure-format needs png, svg or pdf, not \"" + found->second + "\"");
      f.format = found->second;
    }
    long long scale = f.scale, column = 0;
    if (!number("--figure-scale", 1, 2, "1 or 2", scale) ||
        !number("--column", 1, std::numeric_limits<int>::max(), "a column number (1 or more)", column))
      return false;
    f.scale = static_cast<int>(scale);
    if (has("--column")) f.column = static_cast<int>(column);
    a.figures = std::move(f);
    return true;
  }

  const std::vector<std::string>& args_;
  std::vector<std::string> positional_;
  std::map<std::string, std::string> values_;
  std::vector<std::string> chains_;  // --chain paths, in order
  std::string error_;
};

}  // namespace

CliParse parseCliArguments(const std::vector<std::string>& args) { return Parser(args).run(); }

std::string usageText() {
  return "Usage:\n"
         "  varno-report DATA.fst FACTORS.txt [MODE] [--interaction yes|no]\n"
         "               [--burn-in N] [--burn-out N] [--output PATH] [--record PATH]\n"
         "               [--chain DATA2.fst ...] [--model M]\n"
         "      Writes the results report of an .fst trace, as the plot window's unattended run\n"
         "      does, and prints its path. The report goes next to the data file as\n"
         "      DATA_res.txt unless --output is given. With --model M its Fst statistics are\n"
         "      those of the rows of model M, as the window's report with Model M chosen.\n"
         "  varno-report DATA.fst FACTORS.txt [MODE] --figures DIR [--figure-format png|svg|pdf]\n"
         "               [--figure-scale 1|2] [--column N] [report options]\n"
         "      Also writes the Summary page's four charts and the main chart of column N (a\n"
         "      trace; default: column 2) into DIR, drawn as the window draws them, named\n"
         "      DATA_fst_g1, DATA_fst_g2, DATA_fst_hpdi, DATA_model_probability and\n"
         "      DATA_column_N, and the column's rank plots and ESS profiles across the chains:\n"
         "      DATA_ranks_N, DATA_rank_ecdf_N, DATA_ess_quantile_N, DATA_ess_local_N and\n"
         "      DATA_ess_run_N; needs no display.\n"
         "  varno-report DATA [FACTORS.txt [MODE]] --column N|NAME [--level L]\n"
         "               [--bandwidth-position P] [--model M] [--burn-in N] [--burn-out N]\n"
         "      Prints the Statistics box of column N of any data file, one figure a line:\n"
         "      name, a tab, the text the window shows.\n"
         "  varno-report DATA [FACTORS.txt [MODE]] --column N|NAME --ess-by-burnin\n"
         "               [--model M] [--burn-out N]\n"
         "      Prints the bulk and tail ESS of column N against burn-in, tab-separated:\n"
         "      burn_in, ess_bulk, ess_tail for the burn-ins 0, n/20, 2n/20, .. n/2 rows (n: the\n"
         "      shortest chain's rows). Where a transient ends, the ESS peaks.\n"
         "  varno-report DATA [FACTORS.txt [MODE]] --column N|NAME --ess-profile\n"
         "               [--model M] [--burn-in N] [--burn-out N]\n"
         "      Prints the ESS of column N where its draws lie and as the run goes on,\n"
         "      tab-separated: kind, x, ess; quantile: ess_quantile at x = 0.05 .. 0.95; local:\n"
         "      the ESS of the draws between the quantiles at x - 0.025 and x + 0.025; run_bulk\n"
         "      and run_tail: ess_bulk and ess_tail of the first x draws of every chain, in\n"
         "      tenths of the run.\n"
         "  varno-report DATA [FACTORS.txt [MODE]] --summary [--format tsv|csv|json]\n"
         "               [--level L] [--model M] [--burn-in N] [--burn-out N]\n"
         "               [--quantiles P1,P2,...] [--round-by-mcse]\n"
         "      Prints one row per column of the data file: column, name, n, mean, sd, mode,\n"
         "      hpdi_low, hpdi_high, ess_bulk, ess_tail, rhat, mcse_mean, mcse_hpdi_low,\n"
         "      mcse_hpdi_high, burnin_mser (NA where undefined). mcse_hpdi_low and\n"
         "      mcse_hpdi_high are the MCSE of the limits as quantiles (a lower bound): the\n"
         "      error of a quantile at the share of the draws at or below the limit, which\n"
         "      leaves out how the narrowest interval itself moves from run to run.\n"
         "      burnin_mser is the column's own suggested burn-in (MSER-5, the largest over\n"
         "      the chains).\n"
         "  varno-report DATA [FACTORS.txt [MODE]] --summary --follow [--until TARGET]\n"
         "               [--interval SECONDS] [--idle SECONDS] [--confirm ROWS]\n"
         "               [--min-rows N] [summary options]\n"
         "      Follows a run whose sampler still writes DATA and its chains: prints the\n"
         "      summary table at once and again each time the files grew, at most once per\n"
         "      interval, until SIGINT or SIGTERM (exit 0 after the last table), the target\n"
         "      confirmed (exit 0) or --idle (exit 3). Each table's rows, burn-in share and\n"
         "      target status go to standard error, one line. With --models instead of\n"
         "      --summary (and without --until, --confirm, --min-rows): the models and\n"
         "      factors tables each time.\n"
         "  varno-report DATA.fst FACTORS.txt [MODE] --models [--model-prior W1,W2,...]\n"
         "               [--format tsv|csv|json] [--burn-in N] [--burn-out N]\n"
         "      Prints the models (model, factors, prior, count, probability, mcse) and the\n"
         "      evidence for each factor (factor, prior, posterior, mcse, bf, log10_bf,\n"
         "      log10_bf_low, log10_bf_high, evidence, bf_matched): inclusion Bayes factors\n"
         "      read on Jeffreys' scale, with their Monte Carlo error.\n"
         "  varno-report DATA.fst [FACTORS.txt [MODE]] --chains-table [--format tsv|csv|json]\n"
         "               [--model M] [--burn-in N] [--burn-out N]\n"
         "      Prints the chains side by side: one row per model probability, factor\n"
         "      inclusion probability and population Fst mean and 95% HPDI bound, with the\n"
         "      columns quantity, chain1 .. chainN, pooled and rhat (the R-hat across chains\n"
         "      of a model's or factor's 0/1 indicator).\n"
         "  varno-report DATA [FACTORS.txt [MODE]] --export-draws PATH [--thin K]\n"
         "               [--model M] [--burn-in N] [--burn-out N]\n"
         "      Writes the retained draws (after the model filter) to PATH, tab-separated:\n"
         "      .chain, .iteration, .draw, then every column under its chooser's name.\n"
         "\n" +
         std::string(kDataArgumentsHelp) +
         "\n"
         "Options:\n"
         "  --interaction yes|no      whether a factors file of exactly two factor lines\n"
         "                            includes their interaction (needed with MODE -1 then)\n"
         "  --burn-in N               leave out the first N rows (default 0)\n"
         "  --burn-in auto[:COLUMN]   leave out the suggested burn-in: MSER-5 of each chain\n"
         "                            from its first row, the largest over every quantity\n"
         "                            column of every chain, or over the chains of COLUMN\n"
         "                            alone (a number or a name as --column takes it); said\n"
         "                            on standard error; none suggested: 0, with a warning\n"
         "  --burn-in N%              leave out N percent of each chain's own rows, rounded\n"
         "                            down (chains of different lengths each get their own);\n"
         "                            0% to below 100%\n"
         "  --burn-out N              leave out the last N rows (default 0)\n"
         "  --chain PATH              a further chain of the same analysis (repeatable): a data\n"
         "                            file of the same kind and columns as DATA; the report, the\n"
         "                            column's figures and the summary pool the retained rows of\n"
         "                            every chain, and the diagnostics are across the chains;\n"
         "                            with a CODA index, a chain file read through the index;\n"
         "                            a file already in the analysis, under any name, is\n"
         "                            refused\n"
         "  --output PATH             write the report to PATH (\"-\": standard output);\n"
         "                            never to the data or factors file\n"
         "  --column N|NAME           the column to summarise, counted from 1, or named as\n"
         "                            --summary names it (\"Fst1\", \"Sigma \xC2\xB2\") or as the data\n"
         "                            file's line of column names names it\n"
         "  --level L                 HPDI level in percent, 1 to 99 (default 95)\n"
         "  --bandwidth-position P    kernel bandwidth e^(P/100), P from -1000 to 300\n"
         "                            (default: the rule of thumb for the column)\n"
         "  --model M                 only the rows of model M (needs FACTORS.txt;\n"
         "                            0, the default, takes all models)\n"
         "  --summary                 print the summary table of every column\n"
         "  --format tsv|csv|json     the format of the summary, models or chains tables\n"
         "                            (default tsv)\n"
         "  --quantiles P1,P2,...     add to the summary q<P>, mcse_q<P> and ess_q<P> for each\n"
         "                            probability P from 0 to 1 (q5 for 0.05): the quantile\n"
         "                            (type 7), its Monte Carlo error and effective sample size\n"
         "  --round-by-mcse           write each mean and HPDI limit of the summary to the\n"
         "                            digits its MCSE supports (NA without one)\n"
         "  --ess-by-burnin           with --column: print the column's ESS against burn-in\n"
         "  --ess-profile             with --column: print the column's ESS by quantile, by\n"
         "                            interval of quantiles and over the run\n"
         "  --follow                  with --summary or --models: follow the files while a\n"
         "                            sampler writes\n"
         "                            them; an empty file is waited for; a burn-in N% or auto\n"
         "                            is taken anew for each table\n"
         "  --until TARGET            stop once TARGET holds at two tables --confirm rows\n"
         "                            apart: ess_bulk>=N,ess_tail>=N,rhat<=R (a part left out:\n"
         "                            ESS max(400, 100 x chains), R-hat 1.01), then maybe\n"
         "                            columns=NAME,NAME (default: every quantity)\n"
         "  --interval SECONDS        the least time between tables (default 10; fractions too)\n"
         "  --idle SECONDS            exit 3 once no file grew for SECONDS and the target is\n"
         "                            not confirmed\n"
         "  --confirm ROWS            rows the two tables that meet the target are apart at\n"
         "                            least (default 10% of the first's rows)\n"
         "  --min-rows N              a table of fewer rows (all chains) does not count toward\n"
         "                            the target (default 0)\n"
         "  --models                  print the models and the evidence for each factor\n"
         "  --model-prior W1,W2,...   prior weights of the models, one per model in model order\n"
         "                            (default: all models equally likely)\n"
         "  --chains-table            print the chains side by side\n"
         "  --export-draws PATH       write the retained draws to PATH; never to the data\n"
         "                            or factors file\n"
         "  --thin K                  export every K-th retained draw of each chain\n"
         "                            (default 1: all)\n"
         "  --figures DIR             also write the figures into DIR (made when missing)\n"
         "  --figure-format F         png (the default), svg or pdf\n"
         "  --figure-scale S          pixels a point of a PNG figure: 1 or 2 (the default)\n"
         "  --record PATH             also write a JSON record of how the report was made:\n"
         "                            program, inputs with size and SHA-256, rows, factors\n"
         "                            and the varno-report command that makes it again\n"
         "  --help                    show this text and exit\n"
         "  --version                 show the version and exit\n"
         "\n"
         "Exit status: 0 on success (warnings go to standard error), 1 when a file cannot be\n"
         "read, is refused or cannot be written, 2 when the arguments are wrong: options that\n"
         "conflict, a model the factors do not have, or an output that is an input file.\n"
         "With --follow: 3 when --idle gave up.\n"
         "Every output of a run is checked before any is written: a refused run writes none.\n";
}

std::string versionText() { return std::string("varno-report ") + kProgramVersion + " (VARNO v2.0 Plot Window)\n"; }

}  // namespace varno
