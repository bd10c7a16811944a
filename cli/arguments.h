// The command line of varno-report: its uses, their options, and the usage text.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "report/chain_outputs.h"
#include "report/model_evidence_table.h"
#include "report/summary_table.h"
#include "cli/figure_options.h"
#include "cli/follow_options.h"
#include "report/unattended_run.h"

namespace varno {

enum class CliAction { report, column, essByBurnIn, essProfile, summary, models, chainsTable, exportDraws, help, version };

struct CliArguments {
  CliAction action = CliAction::help;
  UnattendedOptions report;          // for CliAction::report
  ColumnStatisticsOptions column;    // for CliAction::column, essByBurnIn and essProfile
  SummaryTableOptions summary;       // for CliAction::summary
  ModelEvidenceOptions models;       // for CliAction::models
  ChainsTableOptions chains;         // for CliAction::chainsTable
  DrawsExportOptions exportDraws;    // for CliAction::exportDraws
  std::optional<FigureOptions> figures;  // for CliAction::report with --figures
  std::optional<std::string> record;     // for CliAction::report with --record: the record's path
  std::optional<FollowOptions> follow;   // for CliAction::summary with --follow
};

struct CliParse {
  std::optional<CliArguments> arguments;  // set when the command line is understood
  std::string error;                      // one line saying what is wrong, otherwise
};

// The arguments after the program name. "--help" or "--version" anywhere wins over the rest.
// Options take their value as the next argument or after "="; "--" ends the options; an argument
// such as "-1" is a number, not an option.
CliParse parseCliArguments(const std::vector<std::string>& args);

std::string usageText();
std::string versionText();

}  // namespace varno
