// Fuzzes the headless report pipeline. The first byte holds the options (interaction answer,
// factor mode, burn-in, burn-out); the rest is the data file up to the first NUL byte and the
// factors file after it. Every run ends in a report or an error naming a file or an argument.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "core/column_catalogue.h"
#include "core/data_file_reader.h"
#include "fuzz_files.h"
#include "report/results_report.h"
#include "report/unattended_run.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// The catalogue of every file kind over the same table: labels, loci and alleles stay in range.
void catalogue(const varno::SampleTable& table, int factorCount) {
  const auto fst = varno::fstColumnLabels(table.columnCount(), factorCount);
  if (!varno::fstLayoutError(table.columnCount(), factorCount))
    check(fst.size() == static_cast<std::size_t>(table.columnCount()));
  check(varno::otherColumnLabels(table.columnCount()).size() == static_cast<std::size_t>(table.columnCount()));
  const auto alleles = varno::frqAlleleCounts(table);
  if (varno::frqLayoutError(table.rowCount(), alleles)) return;
  for (int locus = 0; locus < static_cast<int>(alleles.size()); ++locus) {
    check(varno::alleleEntries(alleles, locus).size() == static_cast<std::size_t>(alleles[locus]));
    for (int allele = 0; allele < alleles[locus]; ++allele) {
      const int column = varno::frqColumn(alleles, locus, allele);
      check(column >= 2 && column <= table.columnCount());
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t options = data[0];
  const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::size_t cut = rest.find('\0');
  const std::string_view dataBytes = rest.substr(0, cut);
  const std::string_view factorBytes = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);

  const std::string dataPath = varno::fuzz::writeScratch("trace.fst", dataBytes);
  const std::string factorsPath = varno::fuzz::writeScratch("factors.txt", factorBytes);

  varno::UnattendedOptions run;
  run.dataPath = dataPath;
  run.factorsPath = factorsPath;
  const int modes[4] = {-1, -1, 0, 1};
  const int mode = modes[(options >> 1) & 3];
  if (mode != -1) run.factorMode = mode;
  run.burnIn = (options >> 3) & 3;
  run.burnOut = (options >> 5) & 3;
  run.outputPath = varno::fuzz::scratchFolder() + "/never-written.txt";
  const bool answer = options & 1;
  int asked = 0;
  run.askInteraction = [&] { return ++asked, answer; };
  varno::Progress progress;

  const varno::UnattendedResult result = varno::buildUnattendedReport(run, progress);
  check(bool(result.report) != bool(result.error));
  check(asked <= 1);
  if (result.error) {
    const std::string& why = result.error->message;
    check(why.find(dataPath) != std::string::npos || why.find(factorsPath) != std::string::npos);
  } else {
    const std::string& text = result.report->text;
    check(result.report->path == *run.outputPath);
    check(startsWith(text, "       Fst statistics:                    Factors: \n"));
    check(text.back() == '\n');
    const std::size_t lastLine = text.rfind('\n', text.size() - 2);
    check(startsWith(std::string_view(text).substr(lastLine + 1), "sigma\xB2 "));
    check(text.find("Highest probaility model: ") != std::string::npos);
  }

  // The column catalogue of the same table, for each kind of file.
  const varno::DataFileReadResult read = varno::readDataFile(dataPath);
  if (read.table) {
    varno::FactorDecision decision;
    if (!varno::decideFactors(run.factorMode, factorBytes, answer, {}, decision)) catalogue(*read.table, decision.factorCount);
  }
  return 0;
}
