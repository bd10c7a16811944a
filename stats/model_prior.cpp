// Reading and normalising the prior weights of the models.
#include "stats/model_prior.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/text_pieces.h"

namespace varno {

namespace {

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

std::vector<double> modelPriorProbabilities(const std::vector<double>& weights, int models) {
  const auto n = static_cast<std::size_t>(models > 0 ? models : 0);
  if (weights.size() != n) return std::vector<double>(n, n > 0 ? 1.0 / static_cast<double>(n) : 0.0);
  // scaled by the largest first, so that a sum of huge weights stays finite
  double largest = 0;
  for (double w : weights) largest = std::max(largest, w);
  double total = 0;
  for (double w : weights) total += w / largest;
  std::vector<double> prior(n);
  for (std::size_t i = 0; i < n; ++i) prior[i] = weights[i] / largest / total;
  return prior;
}

std::variant<std::vector<double>, std::string> parseModelPrior(std::string_view text, int models) {
  std::vector<std::string_view> pieces;
  for (std::size_t start = 0;;) {
    const std::size_t comma = text.find(',', start);
    pieces.push_back(trimmed(text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start)));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (static_cast<long long>(pieces.size()) != models) {
    return concat("the model prior has ", counted(static_cast<long long>(pieces.size()), "weight", "weights"),
                  " but the analysis has ", counted(models, "model", "models"),
                  ": give one weight per model, in model order, separated by commas");
  }
  std::vector<double> weights;
  bool positive = false;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const std::string_view piece = pieces[i];
    const std::string where = concat("weight ", decimal(static_cast<long long>(i) + 1), " of the model prior (",
                                     quoted(std::string(piece)), ")");
    double w = 0;
    const auto [end, ec] = std::from_chars(piece.data(), piece.data() + piece.size(), w);
    if (piece.empty() || ec != std::errc() || end != piece.data() + piece.size() || !std::isfinite(w)) {
      return concat(where, " is not a number");
    }
    if (w < 0) return concat(where, " is negative: weights must be 0 or more");
    positive = positive || w > 0;
    weights.push_back(w);
  }
  if (!positive) return std::string("the model prior's weights are all 0: give at least one model a positive weight");
  return weights;
}

std::optional<std::string> zeroPriorOfVisitedModels(const std::vector<double>& weights,
                                                    const std::vector<double>& counts) {
  std::vector<std::size_t> ruledOut;
  for (std::size_t m = 0; m < weights.size() && m < counts.size(); ++m)
    if (weights[m] == 0 && counts[m] > 0) ruledOut.push_back(m);
  if (ruledOut.empty()) return std::nullopt;
  // "2", "2 and 3", "2, 3 and 4"
  auto listed = [&](auto&& item) {
    std::string text;
    for (std::size_t i = 0; i < ruledOut.size(); ++i) {
      if (i > 0) text += i + 1 == ruledOut.size() ? " and " : ", ";
      text += item(ruledOut[i]);
    }
    return text;
  };
  const bool one = ruledOut.size() == 1;
  return concat("the model prior gives weight 0 to ", one ? "model " : "models ",
                listed([](std::size_t m) { return decimal(static_cast<long long>(m) + 1); }),
                ", which the retained rows visit ",
                listed([&](std::size_t m) { return decimal(std::llround(counts[m])); }),
                one && std::llround(counts[ruledOut[0]]) == 1 ? " time" : " times",
                ": a prior that rules a model out cannot be combined with draws of it; give ",
                one ? "it" : "them", " a positive weight");
}

std::string modelPriorText(const std::vector<double>& weights) {
  std::string text;
  for (double w : weights) {
    if (!text.empty()) text += ',';
    char buffer[32];
    text.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, w).ptr);
  }
  return text;
}

}  // namespace varno
