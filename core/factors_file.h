// The factors file: factor lines found by the piece-and-"]=" rule, their values, and the factor count.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varno {

// Factors files are a few lines; anything larger than this is not one.
inline constexpr std::size_t kMaxFactorsFileBytes = std::size_t{64} << 20;

// Number of factor lines in the text of a factors file.
int countFactorLines(std::string_view text);

// For each factor line in order, the values read from the rest of its text line for populations
// 0 .. populationCount - 1. Reading stops at the first number that cannot be extracted, so a
// vector can be shorter than populationCount (even empty); values beyond it are ignored.
std::vector<std::vector<float>> readFactorLineValues(std::string_view text, int populationCount);

// Stores line n of values into slot n of each population row, within the rows and slots that
// exist; entries not read keep their values. With the interaction, slot 2 becomes slot 0 x slot 1
// in every row that has three slots.
void storeFactorValues(std::vector<std::vector<float>>& factorValues, const std::vector<std::vector<float>>& lines,
                       bool hasInteraction);

// Something a factors file holds that does not fit the data file, or may not be what was meant.
struct FactorsFileNote {
  long long line = 0;  // 1-based line of the factors file
  std::string reason;
  bool fault = true;   // true: the file does not fit (the headless tool stops); false: a warning
  int population = 0;  // when the file leaves populations without a value: the first of them (1-based)
  bool uncounted = false;  // a line that looks like a factor line but is not one
};

// The notes on a factors file read for populationCount populations, in the order of their lines:
// an "npop=" line whose value is not populationCount; a factor line with fewer values than
// populations, or with a value among the first populationCount that is not a number (faults);
// a line that would be a factor line but for blanks before its "=", so that it is not counted,
// and a factor line whose name has a bracketed number other than its place ("g[2]" first), which
// still gives the factor of its place (warnings). Then, at the last line, one fault for each of
// the first linesNeeded factors that no factor line gives.
std::vector<FactorsFileNote> checkFactorsFile(std::string_view text, int populationCount,
                                              int linesNeeded = 0);

// "\"f.txt\" line 3: reason".
std::string factorsFileNoteText(const std::string& path, const FactorsFileNote& note);

// What to ask when a factor count taken from the factors file does not fit the data file: its
// number of factor lines, and the lines that look like factor lines but were not counted.
std::string factorsFileHint(const std::string& path, std::string_view text);

struct FactorDecision {
  int factorCount = 0;
  bool hasInteraction = false;
};

// How many factors the model has. factorMode -1: as many as the factors file has factor lines
// (countLines), and for exactly two the user is asked about the interaction (askInteraction true
// means Yes: a third factor G1*G2); 0: two factors; 1: two factors and their interaction; any
// other value: none. Neither function is called when it is not needed.
FactorDecision decideFactorCount(int factorMode, const std::function<int()>& countLines,
                                 const std::function<bool()>& askInteraction);

// The factor lines whose values a factor decision uses: G1, G2 with the interaction (G1*G2 is
// their product), otherwise one per factor.
int factorLinesNeeded(const FactorDecision& decision);

// The factor values of populationCount populations, rows of factorCount + 1 slots, filled from
// the factor lines as storeFactorValues does. A value of the needed factor lines that no line
// gives is NaN, never a number taken from elsewhere; the other slots start at 0.
std::vector<std::vector<float>> factorValueRows(const std::vector<std::vector<float>>& lines, int populationCount,
                                                const FactorDecision& decision);

// The factor mode given on the command line: blanks, an optional sign and the digits up to the
// first other character; no digits give 0. Values beyond the int range are clamped to it.
int parseFactorModeArgument(std::string_view arg);

// The whole content of a text file of at most maxBytes bytes, unconverted. Nothing when the file
// cannot be read or is larger; then *error (when given) names the file and the reason.
std::optional<std::string> readTextFile(const std::string& path, std::string* error = nullptr,
                                        std::size_t maxBytes = kMaxFactorsFileBytes);

// Entries of the model choosers: "All", then "1" .. the number of models (at most the number of
// models that can be counted).
std::vector<std::string> modelChooserEntries(int factorCount, bool hasInteraction);

}  // namespace varno
