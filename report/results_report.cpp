// The results report, laid out line by line from the summary state.
#include "report/results_report.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include "core/model_numbering.h"
#include "core/text_pieces.h"
#include "stats/number_format.h"

namespace varno {

namespace {

std::size_t shortest(const SummaryArrays& a) {
  return std::min({a.mean.size(), a.mode.size(), a.low.size(), a.high.size()});
}

class ReportWriter {
 public:
  explicit ReportWriter(const ReportInputs& in) : in_(in), leftAdjust_(in.populationCount > 0) {}

  std::string build() {
    header();
    populations();
    models();
    inclusions();
    best();
    coefficients();
    return std::move(out_);
  }

 private:
  void field(double value) { out_ += reportNumberField(value, leftAdjust_); }
  void line() { out_ += '\n'; }

  // mean, mode and "[low ; high]" of entry i
  void statistics(double mean, double mode, double low, double high) {
    field(mean);
    out_ += "  ";
    field(mode);
    out_ += "  [";
    field(low);
    out_ += " ; ";
    field(high);
    out_ += "]";
  }

  std::string factorList(int model) const {
    std::string list = " (Constant";
    for (int f : factorsInModel(model, in_.factorCount, in_.hasInteraction)) {
      list += ", ";
      list += factorName(f, in_.hasInteraction);
    }
    return list.append(")");
  }

  std::vector<int> modelSet() const {
    std::vector<int> models(static_cast<std::size_t>(modelCount(in_.factorCount, in_.hasInteraction)));
    for (std::size_t i = 0; i < models.size(); ++i) models[i] = static_cast<int>(i) + 1;
    return models;
  }

  double probability(int model) const {
    const long long retained = static_cast<long long>(in_.rowCount) - in_.burnOut - in_.burnIn;
    if (retained <= 0) return 0;
    return in_.modelProbabilities[static_cast<std::size_t>(model - 1)] / static_cast<double>(retained);
  }

  bool isInteraction(int f) const { return in_.hasInteraction && f == 3; }

  void header() {
    out_ += "       Fst statistics:                    Factors: ";
    line();
    out_ += "       mean    mode        95% HPDI       ";
    for (int f = 1; f <= in_.factorCount; ++f) out_ += isInteraction(f) ? "G1*G2" : concat("G", decimal(f), "      ");
    line();
  }

  void populations() {
    for (int p = 1; p <= in_.populationCount; ++p) {
      const auto i = static_cast<std::size_t>(p - 1);
      std::string number = decimal(p);
      if (number.size() < 3) number.append(3 - number.size(), ' ');
      out_ += concat("Pop", number, " ");
      const SummaryArrays& s = in_.fstSummary;
      statistics(s.mean[i], s.mode[i], s.low[i], s.high[i]);
      out_ += "  ";
      for (int f = 1; f <= in_.factorCount; ++f) {
        field(static_cast<double>(in_.factorValues[i][static_cast<std::size_t>(f - 1)]));
        out_ += "  ";
      }
      line();
    }
    line();
  }

  void models() {
    for (int m : modelSet()) {
      out_ += concat("P(model=", decimal(m), ")= ");
      field(probability(m));
      out_ += factorList(m);
      line();
    }
    line();
  }

  void inclusions() {
    const std::vector<int> models = modelSet();
    for (int f = 1; f <= in_.factorCount; ++f) {
      double sum = 0;
      for (int m : models) {
        if (FactorInModel(m, f, in_.factorCount, in_.hasInteraction)) sum += probability(m);
      }
      out_ += concat("P(", factorName(f, in_.hasInteraction), ")= ");
      field(sum);
      line();
    }
    line();
  }

  void best() {
    out_ += concat("Highest probaility model: ", decimal(in_.bestModel), factorList(in_.bestModel));
    line();
    line();
  }

  void coefficients() {
    const SummaryArrays& c = in_.coefficientSummary;
    out_ += "       mean    mode        95% HPDI ";
    line();
    out_ += "a0     ";
    statistics(c.mean[0], c.mode[0], c.low[0], c.high[0]);
    out_ += "  (Constant)";
    line();
    for (int f : factorsInModel(in_.bestModel, in_.factorCount, in_.hasInteraction)) {
      const auto i = static_cast<std::size_t>(f);
      out_ += concat("a", decimal(f), "     ");
      statistics(c.mean[i], c.mode[i], c.low[i], c.high[i]);
      out_ += concat("  (", factorName(f, in_.hasInteraction), ")");
      line();
    }
    const auto& s = in_.sigmaSummary;
    out_ += "sigma\xB2 ";
    statistics(s[0], s[1], s[2], s[3]);
    line();
  }

  const ReportInputs& in_;
  // The first population line switches the fields to left adjustment for the rest of the
  // report; without populations every field stays filled on the left.
  const bool leftAdjust_;
  std::string out_;
};

}  // namespace

ReportInputs reportInputsFrom(const AnalysisState& state, int burnIn, int burnOut) {
  ReportInputs in;
  in.populationCount = state.populationCount;
  in.factorCount = state.factorCount;
  in.hasInteraction = state.hasInteraction;
  in.fstSummary = state.fstSummary;
  in.factorValues = state.factorValues;
  in.modelProbabilities = state.modelProbabilities;
  in.bestModel = state.bestModel;
  in.coefficientSummary = state.coefficientSummary;
  in.sigmaSummary = state.sigmaSummary;
  in.rowCount = state.chains.empty() ? 0 : state.chains.front().table->rowCount();
  in.burnIn = burnIn;
  in.burnOut = burnOut;
  return in;
}

void countPooledRows(std::span<const ChainRows> chains, ReportInputs& in) {
  if (chains.size() <= 1) return;
  long long retained = 0;
  for (const ChainRows& chain : chains) retained += chain.rows.count();
  in.rowCount = static_cast<int>(retained);
  in.burnIn = 0;
  in.burnOut = 0;
}

std::optional<std::string> reportPrecondition(const ReportInputs& in) {
  const int p = in.populationCount;
  const int f = in.factorCount;
  if (p < 0) return concat("the population count is negative (", decimal(p), ")");
  if (f < 0 || f > kMaxFactors) return concat("the factor count ", decimal(f), " is out of range");
  if (in.hasInteraction && f != 3) return concat("the interaction needs 3 factors, not ", decimal(f));
  if (shortest(in.fstSummary) < static_cast<std::size_t>(p))
    return concat("the Fst summary holds ", decimal(static_cast<long long>(shortest(in.fstSummary))), " of ",
                  decimal(p), " populations");
  if (in.factorValues.size() < static_cast<std::size_t>(p))
    return concat("factor values are missing: ", decimal(static_cast<long long>(in.factorValues.size())),
                  " of ", decimal(p), " populations");
  for (int i = 0; i < p; ++i) {
    const std::vector<float>& row = in.factorValues[static_cast<std::size_t>(i)];
    if (row.size() < static_cast<std::size_t>(f))
      return concat("factor values of population ", decimal(i + 1), " are missing");
    // a value no factors file gave is never written as a number
    for (int k = 0; k < f; ++k) {
      if (std::isnan(row[static_cast<std::size_t>(k)]))
        return concat("population ", decimal(i + 1), " has no ", factorName(k + 1, in.hasInteraction),
                      " value: open a factors file that gives every population a value of each factor");
    }
  }
  if (shortest(in.coefficientSummary) < static_cast<std::size_t>(f) + 1)
    return concat("the coefficient summary holds ",
                  decimal(static_cast<long long>(shortest(in.coefficientSummary))), " of ", decimal(f + 1),
                  " coefficients");
  return std::nullopt;
}

std::string buildResultsReport(const ReportInputs& in) {
  if (reportPrecondition(in)) return {};
  return ReportWriter(in).build();
}

std::string batchReportName(const std::string& dataFileName) {
  const std::size_t cut = dataFileName.size() >= 4 ? dataFileName.size() - 4 : dataFileName.size();
  return concat(std::string_view(dataFileName).substr(0, cut), "_res.txt");
}

}  // namespace varno
