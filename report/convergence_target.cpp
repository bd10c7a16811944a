// The convergence target: parsing its text, evaluating it over the summary rows, its status line.
#include "report/convergence_target.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <unordered_set>

#include "core/read_notes.h"
#include "stats/rhat_chance.h"

namespace varno {

namespace {

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::optional<double> finiteNumber(const std::string& text) {
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string numberText(double value) {
  if (value == std::floor(value) && std::fabs(value) < 1e15) return grouped(static_cast<long long>(value));
  char digits[32];
  return std::string(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

std::string plainNumber(double value) {
  char digits[32];
  return std::string(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

bool isCounted(const SummaryRow& row) {
  return row.kind == ColumnKind::quantity || row.kind == ColumnKind::factorCoefficient;
}

}  // namespace

double defaultTargetEss(int chains) { return std::max(400.0, 100.0 * chains); }

double targetEssLine(const ConvergenceTarget& target, int chains) {
  return std::max(target.essBulk.value_or(defaultTargetEss(chains)), target.essTail.value_or(defaultTargetEss(chains)));
}

ParsedTarget parseConvergenceTarget(const std::string& text) {
  ParsedTarget out;
  const auto fail = [&](const std::string& why) {
    out.error = "--until: " + why;
    return out;
  };
  if (trimmed(text).empty())
    return fail("the target is empty: write e.g. ess_bulk>=400,ess_tail>=400,rhat<=1.01");
  ConvergenceTarget target;
  bool rhatGiven = false;
  std::size_t at = 0;
  while (at <= text.size()) {
    std::size_t comma = text.find(',', at);
    if (comma == std::string::npos) comma = text.size();
    const std::string part = trimmed(text.substr(at, comma - at));
    const std::string quoted = "\"" + part + "\"";
    if (part.rfind("columns", 0) == 0) {
      const std::size_t equals = text.find('=', at);
      if (equals == std::string::npos || equals > comma || trimmed(text.substr(at, equals - at)) != "columns")
        return fail(quoted + " is not a column list: write columns=NAME,NAME as the last part");
      if (!target.columns.empty()) return fail("columns is given twice");
      // the list is all the rest of the text
      std::size_t item = equals + 1;
      while (true) {
        std::size_t next = text.find(',', item);
        const std::string name = trimmed(text.substr(item, next == std::string::npos ? std::string::npos : next - item));
        if (name.empty())
          return fail("\"" + trimmed(text.substr(at)) +
                      "\" has an empty column name: write columns=NAME,NAME (names or numbers) as the last part");
        target.columns.push_back(name);
        if (next == std::string::npos) break;
        item = next + 1;
      }
      break;
    }
    struct Bound {
      const char* name;
      const char* op;
      std::optional<double>* ess;
    };
    const Bound bounds[] = {{"ess_bulk", ">=", &target.essBulk}, {"ess_tail", ">=", &target.essTail}, {"rhat", "<=", nullptr}};
    const Bound* bound = nullptr;
    for (const Bound& b : bounds)
      if (part.rfind(b.name, 0) == 0) bound = &b;
    if (!bound)
      return fail(quoted + " is not a part of a target: write ess_bulk>=NUMBER, ess_tail>=NUMBER, rhat<=NUMBER"
                           " or, last, columns=NAME,NAME");
    const std::string prefix = std::string(bound->name) + bound->op;
    const std::optional<double> value =
        part.rfind(prefix, 0) == 0 ? finiteNumber(trimmed(part.substr(prefix.size()))) : std::nullopt;
    if (!value) return fail(quoted + " is not a bound: write " + prefix + "NUMBER");
    if (bound->ess) {
      if (bound->ess->has_value()) return fail(std::string(bound->name) + " is given twice");
      if (*value < 0) return fail(quoted + " is not a bound: an ESS is 0 or more");
      *bound->ess = *value;
    } else {
      if (rhatGiven) return fail("rhat is given twice");
      if (*value < 1) return fail(quoted + " is not a bound: an R-hat bound is 1 or more");
      target.rhat = *value;
      rhatGiven = true;
    }
    if (comma == text.size()) break;
    at = comma + 1;
  }
  out.target = target;
  return out;
}

std::string convergenceTargetText(const ConvergenceTarget& target) {
  std::vector<std::string> parts;
  if (target.essBulk) parts.push_back("ess_bulk>=" + plainNumber(*target.essBulk));
  if (target.essTail) parts.push_back("ess_tail>=" + plainNumber(*target.essTail));
  parts.push_back("rhat<=" + plainNumber(target.rhat));
  if (!target.columns.empty()) {
    std::string list = "columns=";
    for (std::size_t i = 0; i < target.columns.size(); ++i) list += (i ? "," : "") + target.columns[i];
    parts.push_back(list);
  }
  std::string text;
  for (std::size_t i = 0; i < parts.size(); ++i) text += (i ? "," : "") + parts[i];
  return text;
}

TargetEvaluation evaluateConvergenceTarget(const ConvergenceTarget& target, const std::vector<SummaryRow>& rows,
                                           int chains) {
  TargetEvaluation out;
  out.essBulkBound = target.essBulk.value_or(defaultTargetEss(chains));
  out.essTailBound = target.essTail.value_or(defaultTargetEss(chains));
  out.rhatBound = target.rhat;
  // the list looked up, not searched: a target may list thousands of a wide trace's columns
  const std::unordered_set<std::string> items(target.columns.begin(), target.columns.end());
  std::unordered_set<std::string> named;
  const auto isListed = [&](const SummaryRow& row) {
    bool found = false;
    for (const std::string& key : {row.name, std::to_string(row.column)})
      if (items.count(key)) {
        named.insert(key);
        found = true;
      }
    return found;
  };
  for (const SummaryRow& row : rows) {
    const bool inList = !items.empty() && isListed(row);
    if (!isCounted(row)) continue;
    if (!items.empty() && !inList) continue;
    if (row.sd && *row.sd == 0) continue;
    ++out.counted;
    const ConvergenceDiagnostics& d = row.diagnostics;
    TargetMiss miss{row.column, row.name};
    miss.essBulk = !d.essBulk || *d.essBulk < out.essBulkBound;
    miss.essTail = !d.essTail || *d.essTail < out.essTailBound;
    miss.rhat = !d.rhat || *d.rhat > out.rhatBound;
    if (miss.essBulk || miss.essTail || miss.rhat) out.misses.push_back(miss);
    if (d.essTail && (!out.lowestTailEss || *d.essTail < *out.lowestTailEss)) {
      out.lowestTailEss = d.essTail;
      out.lowestTailColumn = row.name;
    }
    if (d.rhat) {
      const bool several = chains > 1;
      const int used = several ? chains - static_cast<int>(row.chainsLeftOut.size()) : 1;
      out.chanceRhatMisses += rhatChanceMiss(used, several ? row.chainsLength : row.n, out.rhatBound);
    }
  }
  for (const std::string& item : target.columns)
    if (!named.count(item)) out.unknownColumns.push_back(item);
  out.met = out.counted > 0 && out.misses.empty();
  return out;
}

std::string convergenceTargetStatus(const TargetEvaluation& evaluation, long long rows) {
  if (evaluation.met) {
    const std::string ess = evaluation.essBulkBound == evaluation.essTailBound
                                ? "ESS ≥ " + numberText(evaluation.essBulkBound)
                                : "bulk ESS ≥ " + numberText(evaluation.essBulkBound) +
                                      ", tail ESS ≥ " + numberText(evaluation.essTailBound);
    const std::string which =
        evaluation.counted == 1 ? "the 1 quantity" : "all " + groupedCount(evaluation.counted, "quantity", "quantities");
    return "target met at row " + grouped(rows) + " (" + which + ": " + ess + ", R-hat ≤ " +
           plainNumber(evaluation.rhatBound) + ")";
  }
  if (evaluation.counted == 0) return "target not met: no quantity counts";
  std::string text = "target not met: " + groupedCount(static_cast<long long>(evaluation.misses.size()), "quantity", "quantities");
  if (evaluation.lowestTailEss)
    text += ", lowest tail ESS " + grouped(std::llround(*evaluation.lowestTailEss)) + " (" + evaluation.lowestTailColumn + ")";
  const auto rhatMisses = std::count_if(evaluation.misses.begin(), evaluation.misses.end(),
                                        [](const TargetMiss& m) { return m.rhat; });
  const long long chance = std::llround(evaluation.chanceRhatMisses);
  if (rhatMisses > 0 && chance >= 1)
    text += "; " + grouped(rhatMisses) + " miss R-hat, chance alone would give about " + grouped(chance);
  return text;
}

}  // namespace varno
