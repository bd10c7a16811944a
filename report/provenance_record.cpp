// Writing the record of a result as JSON.
#include "report/provenance_record.h"

#include <filesystem>
#include <string_view>

#include "report/json_text.h"

namespace varno {

namespace {

std::string stringArray(const std::vector<std::string>& texts) {
  std::string out = "[";
  for (std::size_t i = 0; i < texts.size(); ++i) out += (i ? ", " : "") + jsonString(texts[i]);
  return out + "]";
}

std::string optionalNumber(const std::optional<int>& value) { return value ? jsonNumber(*value) : "null"; }

bool shellSafe(std::string_view word) {
  if (word.empty()) return false;
  for (char c : word) {
    const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      std::string_view("/._-+=:,@%").find(c) != std::string_view::npos;
    if (!safe) return false;
  }
  return true;
}

}  // namespace

std::string shellCommandLine(const std::vector<std::string>& words) {
  std::string line;
  for (const std::string& word : words) {
    if (!line.empty()) line += ' ';
    if (shellSafe(word)) {
      line += word;
      continue;
    }
    // single quotes keep everything literally; a single quote itself is closed, escaped, reopened
    line += '\'';
    for (char c : word) line += c == '\'' ? std::string("'\\''") : std::string(1, c);
    line += '\'';
  }
  return line;
}

std::string absolutePath(const std::string& path) {
  std::error_code ignored;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
  return absolute.empty() ? path : absolute.lexically_normal().string();
}

std::string recordPathBeside(const std::string& reportPath) {
  return std::filesystem::path(reportPath).replace_extension(".json").string();
}

std::optional<RecordedInput> recordedInput(const std::string& role, const std::string& path, std::string* why) {
  const std::string absolute = absolutePath(path);
  std::optional<FileDigest> digest = digestFile(absolute, why);
  if (!digest) return std::nullopt;
  return RecordedInput{role, absolute, std::move(*digest)};
}

std::string provenanceJson(const ProvenanceRecord& r) {
  std::string out = "{\n";
  out += "  \"program\": " + jsonString(r.program) + ",\n";
  out += "  \"version\": " + jsonString(r.version) + ",\n";
  out += "  \"inputs\": [";
  for (std::size_t i = 0; i < r.inputs.size(); ++i) {
    const RecordedInput& in = r.inputs[i];
    out += i ? ",\n    " : "\n    ";
    out += "{\"role\": " + jsonString(in.role) + ", \"path\": " + jsonString(in.path) +
           ", \"size\": " + jsonNumber(static_cast<long long>(in.digest.size)) +
           ", \"sha256\": " + jsonString(in.digest.sha256) + "}";
  }
  out += r.inputs.empty() ? "],\n" : "\n  ],\n";
  out += "  \"chains\": " + jsonNumber(r.chains) + ",\n";
  long long burnIns = r.chains * r.burnIn;
  if (!r.chainBurnIns.empty()) {
    burnIns = 0;
    for (long long rows : r.chainBurnIns) burnIns += rows;
  }
  out += "  \"rows\": {\"total\": " + jsonNumber(r.rowCount) + ", \"burn_in\": " + jsonNumber(r.burnIn) +
         ", \"burn_out\": " + jsonNumber(r.burnOut) +
         ", \"retained\": " + jsonNumber(r.rowCount - burnIns - r.chains * r.burnOut) + "},\n";
  if (!r.chainBurnIns.empty()) {
    out += "  \"burn_in_by_chain\": [";
    for (std::size_t c = 0; c < r.chainBurnIns.size(); ++c) out += (c ? ", " : "") + jsonNumber(r.chainBurnIns[c]);
    out += "],\n";
  }
  if (const auto& rule = r.burnInRule) {
    out += "  \"burn_in_rule\": " + jsonString(rule->rule) + ",\n";
    out += "  \"burn_in_set_by\": ";
    if (rule->column && rule->chain)
      out += "{\"column\": " + jsonNumber(*rule->column) + ", \"name\": " + jsonString(rule->columnName) +
             ", \"chain\": " + jsonNumber(*rule->chain) + "},\n";
    else
      out += "null,\n";
  }
  out += "  \"model_filter\": " + jsonNumber(r.modelFilter) + ",\n";
  out += "  \"factors\": {\"mode\": " + jsonNumber(r.factorMode) +
         ", \"count\": " + jsonNumber(r.decision.factorCount) +
         ", \"interaction\": " + (r.decision.hasInteraction ? "true" : "false") + "},\n";
  out += "  \"level_percent\": " + optionalNumber(r.levelPercent) + ",\n";
  out += "  \"bandwidth_position\": " + optionalNumber(r.bandwidthPosition) + ",\n";
  out += "  \"outputs\": " + stringArray(r.outputs) + ",\n";
  // no equivalent command: null, so that no one runs an empty line
  out += "  \"command\": " + (r.command.empty() ? std::string("null") : stringArray(r.command)) + ",\n";
  out += "  \"command_line\": " + (r.command.empty() ? std::string("null") : jsonString(shellCommandLine(r.command))) + "\n";
  out += "}\n";
  return out;
}

}  // namespace varno
