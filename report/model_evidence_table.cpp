// Writing the models and factors tables of the evidence for each factor.
#include "report/model_evidence_table.h"

#include <variant>

#include "core/file_kind.h"
#include "core/model_numbering.h"
#include "core/text_pieces.h"
#include "report/json_text.h"
#include "stats/model_prior.h"

namespace varno {

namespace {

// A field and whether json writes it as a string.
struct Field {
  std::string text;
  bool isText = false;
};

std::vector<Field> modelFields(const ModelEvidence& m, const char* undefined) {
  return {{decimal(m.model)},
          {m.factors, true},
          {exactNumber(m.prior, undefined)},
          {decimal(m.count)},
          {exactNumber(m.probability, undefined)},
          {exactNumber(m.mcse, undefined)}};
}

std::vector<Field> factorFields(const FactorEvidence& f, const char* undefined) {
  return {{f.name, true},
          {exactNumber(f.prior, undefined)},
          {exactNumber(f.posterior, undefined)},
          {exactNumber(f.mcse, undefined)},
          {exactNumber(f.bf, undefined)},
          {exactNumber(f.log10Bf, undefined)},
          {exactNumber(f.log10Low, undefined)},
          {exactNumber(f.log10High, undefined)},
          {f.evidence, true},
          {exactNumber(f.bfMatched, undefined)}};
}

class TableWriter {
 public:
  explicit TableWriter(SummaryFormat format) : format_(format) {}

  const char* undefined() const { return undefinedText(format_); }

  // One table: a header row and the rows in tsv or csv, a json array of objects otherwise.
  void table(const std::vector<std::string>& header, const std::vector<std::vector<Field>>& rows) {
    if (format_ == SummaryFormat::json) {
      out_ += "[";
      for (std::size_t r = 0; r < rows.size(); ++r) {
        out_ += r == 0 ? "\n    {" : ",\n    {";
        for (std::size_t f = 0; f < rows[r].size(); ++f) {
          if (f > 0) out_ += ", ";
          const Field& field = rows[r][f];
          out_ += jsonString(header[f]) + ": " + (field.isText ? jsonString(field.text) : field.text);
        }
        out_ += "}";
      }
      out_ += rows.empty() ? "]" : "\n  ]";
      return;
    }
    std::vector<Field> headerRow;
    for (const std::string& h : header) headerRow.push_back({h, true});
    line(headerRow);
    for (const auto& row : rows) line(row);
  }

  void emptyLine() { out_ += format_ == SummaryFormat::csv ? "\r\n" : "\n"; }
  void raw(const char* text) { out_ += text; }
  std::string text() { return std::move(out_); }

 private:
  void line(const std::vector<Field>& fields) {
    const bool csv = format_ == SummaryFormat::csv;
    for (std::size_t f = 0; f < fields.size(); ++f) {
      if (f > 0) out_ += csv ? "," : "\t";
      out_ += csv ? csvField(fields[f].text) : fields[f].text;
    }
    emptyLine();
  }

  SummaryFormat format_;
  std::string out_;
};

RunError argumentError(std::string message) { return RunError{std::move(message), true}; }

}  // namespace

const std::vector<std::string>& modelTableHeader() {
  static const std::vector<std::string> header{"model", "factors", "prior", "count", "probability", "mcse"};
  return header;
}

const std::vector<std::string>& factorTableHeader() {
  static const std::vector<std::string> header{"factor", "prior",         "posterior",      "mcse",     "bf",
                                               "log10_bf", "log10_bf_low", "log10_bf_high", "evidence", "bf_matched"};
  return header;
}

std::string formatModelEvidence(const InclusionEvidence& evidence, SummaryFormat format) {
  TableWriter w(format);
  std::vector<std::vector<Field>> models, factors;
  for (const ModelEvidence& m : evidence.models) models.push_back(modelFields(m, w.undefined()));
  for (const FactorEvidence& f : evidence.factors) factors.push_back(factorFields(f, w.undefined()));
  if (format == SummaryFormat::json) {
    w.raw("{\n  \"models\": ");
    w.table(modelTableHeader(), models);
    w.raw(",\n  \"factors\": ");
    w.table(factorTableHeader(), factors);
    w.raw("\n}\n");
  } else {
    w.table(modelTableHeader(), models);
    w.emptyLine();
    w.table(factorTableHeader(), factors);
  }
  return w.text();
}

ModelEvidenceResult runModelEvidence(const ModelEvidenceOptions& options, Progress& progress) {
  ModelEvidenceResult result;
  if (auto refused = modelsDataRefused(options)) {
    result.error = std::move(*refused);
    return result;
  }
  OpenedAnalysis data;
  if (auto error = openAnalysis(options, data, result.warnings, progress)) {
    result.error = std::move(*error);
    return result;
  }
  std::string text;
  if (auto error = modelEvidenceText(data, options, text)) {
    result.error = std::move(*error);
    return result;
  }
  result.text = std::move(text);
  return result;
}

std::optional<RunError> modelsDataRefused(const ModelEvidenceOptions& options) {
  if (fileKindOf(lowerCasedExtension(options.dataPath)) != FileKind::fst)
    return argumentError("--models needs an .fst data file, not " + quoted(options.dataPath));
  return std::nullopt;
}

std::optional<RunError> modelEvidenceText(const OpenedAnalysis& data, const ModelEvidenceOptions& options,
                                          std::string& text) {
  EvidenceInput input = evidenceInput(data.chains, data.layout.modelColumn(), data.decision.factorCount,
                                      data.decision.hasInteraction);
  if (options.modelPrior) {
    auto parsed = parseModelPrior(*options.modelPrior, modelCount(input.factorCount, input.hasInteraction));
    if (auto* why = std::get_if<std::string>(&parsed)) return argumentError("--model-prior: " + *why);
    input.priorWeights = std::get<std::vector<double>>(std::move(parsed));
  }
  if (auto why = zeroPriorOfVisitedModels(input.priorWeights, input.modelCounts))
    return argumentError("--model-prior: " + *why);
  text = formatModelEvidence(inclusionEvidence(input), options.format);
  return std::nullopt;
}

}  // namespace varno
