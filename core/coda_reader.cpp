// Reading the CODA format: the index into names and line ranges, then each chain file.
#include "core/coda_reader.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <optional>
#include <string_view>
#include <thread>

#include "core/factors_file.h"
#include "core/input_file.h"
#include "core/number_token.h"
#include "core/parallel_for.h"
#include "core/shown_text.h"
#include "core/text_pieces.h"

namespace varno {

namespace {

struct IndexEntry {
  std::string name;
  long long first = 0, last = 0;  // 1-based lines of each chain file
  long long indexLine = 0;
};

// The lines of a text, without their line feeds and carriage returns.
std::vector<std::string_view> linesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (nl == std::string_view::npos) break;
    text.remove_prefix(nl + 1);
  }
  return lines;
}

// Lines of a text by number, read forward; going back starts again from the top.
class LineCursor {
 public:
  explicit LineCursor(std::string_view text) : text_(text) {}

  // Line `number` (1-based, at most the line count) without its line feed and carriage return.
  std::string_view line(long long number) {
    if (number < line_) {
      line_ = 1;
      at_ = 0;
      end_ = text_.find('\n');
    }
    for (; line_ < number; ++line_) {
      at_ = end_ == std::string_view::npos ? text_.size() : end_ + 1;
      end_ = text_.find('\n', at_);
    }
    std::string_view l = text_.substr(at_, end_ == std::string_view::npos ? std::string_view::npos : end_ - at_);
    if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
    return l;
  }

 private:
  std::string_view text_;
  long long line_ = 1;
  std::size_t at_ = 0;
  std::size_t end_ = text_.find('\n');  // of line line_
};

long long lineCountOf(std::string_view text) {
  const long long feeds = static_cast<long long>(std::count(text.begin(), text.end(), '\n'));
  return feeds + (!text.empty() && text.back() != '\n' ? 1 : 0);
}

// The first two words of a line and how many words it has, without keeping the others.
struct DrawWords {
  std::string_view iteration, value;
  long long count = 0;
};

DrawWords drawWordsOf(std::string_view line) {
  DrawWords words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && isBlank(line[i])) ++i;
    const std::size_t from = i;
    while (i < line.size() && !isBlank(line[i])) ++i;
    if (i == from) break;
    if (words.count == 0) words.iteration = line.substr(from, i - from);
    if (words.count == 1) words.value = line.substr(from, i - from);
    ++words.count;
  }
  return words;
}

std::vector<std::string_view> tokensOf(std::string_view line) {
  std::vector<std::string_view> tokens;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && isBlank(line[i])) ++i;
    const std::size_t from = i;
    while (i < line.size() && !isBlank(line[i])) ++i;
    if (i > from) tokens.push_back(line.substr(from, i - from));
  }
  return tokens;
}

// Digits only, however many: a line number, whether or not it fits.
bool digitsOnly(std::string_view token) {
  return !token.empty() && std::all_of(token.begin(), token.end(), [](char c) { return isDigit(c); });
}

std::string at(const std::string& path, long long line) { return varno::quoted(path) + " line " + decimal(line) + ": "; }

CodaReadResult refused(std::string error) {
  CodaReadResult r;
  r.error = std::move(error);
  return r;
}

std::optional<std::string> readIndex(const std::string& path, std::vector<IndexEntry>& entries) {
  std::string why;
  const std::optional<std::string> text = readTextFile(path, &why, std::numeric_limits<std::size_t>::max());
  if (!text) return why;
  long long line = 0;
  for (std::string_view l : linesOf(*text)) {
    ++line;
    const std::vector<std::string_view> tokens = tokensOf(l);
    if (tokens.empty()) continue;
    IndexEntry e;
    e.indexLine = line;
    if (tokens.size() != 3)
      return at(path, line) + "an index line is a name and two line numbers (first and last), not " +
             counted(static_cast<long long>(tokens.size()), "word", "words");
    e.name = std::string(tokens[0]);
    const std::optional<long long> first = wholeNumberToken(tokens[1]), last = wholeNumberToken(tokens[2]);
    if (!first || !last) {
      if (digitsOnly(tokens[1]) && digitsOnly(tokens[2]))
        return at(path, line) + varno::quoted(e.name) + " takes lines " + shownText(tokens[1]) + " to " +
               shownText(tokens[2]) + ", more than any chain file has";
      return at(path, line) + "the line numbers of " + varno::quoted(e.name) + " must be whole numbers, not " +
             shownText(tokens[1]) + " and " + shownText(tokens[2]);
    }
    e.first = *first;
    e.last = *last;
    if (e.first < 1 || e.last < e.first)
      return at(path, line) + "the lines of " + varno::quoted(e.name) + " run from " + decimal(e.first) + " to " +
             decimal(e.last) + "; they must start at 1 or later and not end before they start";
    entries.push_back(std::move(e));
  }
  if (entries.empty()) return varno::quoted(path) + " names no variable";
  // each line of a chain file is the draw of one name; this also bounds the tables by the file
  std::vector<const IndexEntry*> byFirst;
  for (const IndexEntry& e : entries) byFirst.push_back(&e);
  std::sort(byFirst.begin(), byFirst.end(), [](const IndexEntry* a, const IndexEntry* b) { return a->first < b->first; });
  for (std::size_t k = 1; k < byFirst.size(); ++k) {
    const IndexEntry *a = byFirst[k - 1], *b = byFirst[k];
    if (b->first > a->last) continue;
    if (a->indexLine > b->indexLine) std::swap(a, b);
    return at(path, b->indexLine) + "the lines of " + varno::quoted(b->name) + " (" + decimal(b->first) + " to " +
           decimal(b->last) + ") overlap those of " + varno::quoted(a->name) + " (" + decimal(a->first) + " to " +
           decimal(a->last) + "); each line of a chain file is the draw of one name";
  }
  return std::nullopt;
}

// One chain file into its table: the first name's iteration numbers, then every name's values.
// A chain file's text with what its names need: the iterations the first name sets and the table.
struct ChainText {
  const std::string& indexPath;
  const std::string& path;
  const std::vector<IndexEntry>& entries;
  std::vector<long long>& iterations;
  SampleTable& table;
};

// The draws of name v into its column, its lines read from `lines` on. The first name sets the
// iterations; every other must be drawn at the same ones.
std::optional<std::string> readName(const ChainText& chain, std::size_t v, LineCursor lines) {
  const IndexEntry& e = chain.entries[v];
  const IndexEntry& reference = chain.entries.front();
  const std::string& path = chain.path;
  const long long rows = static_cast<long long>(chain.iterations.size());
  const long long draws = e.last - e.first + 1;
  for (long long k = 0; k < draws; ++k) {
    const long long line = e.first + k;
    const DrawWords words = drawWordsOf(lines.line(line));
    if (words.count != 2)
      return at(path, line) + "a line of draws is an iteration number and a value, not " +
             (words.count == 0 ? std::string("a blank line") : counted(words.count, "word", "words"));
    const std::optional<long long> iterationRead = wholeNumberToken(words.iteration);
    if (!iterationRead) return at(path, line) + shownText(words.iteration) + " is not an iteration number";
    const long long iteration = *iterationRead;
    float value = 0;
    if (!floatToken(words.value, value)) return at(path, line) + notAFloatReason(words.value);
    if (v == 0) {
      chain.iterations[static_cast<std::size_t>(k)] = iteration;
    } else if (k >= rows || chain.iterations[static_cast<std::size_t>(k)] != iteration) {
      return at(path, line) + varno::quoted(e.name) + " has iteration " + decimal(iteration) + " where " +
             varno::quoted(reference.name) +
             (k >= rows ? " has no more draws" : " has iteration " + decimal(chain.iterations[static_cast<std::size_t>(k)])) +
             "; every variable of a chain must be drawn at the same iterations";
    }
    chain.table.cell(static_cast<int>(v) + 1, static_cast<int>(k)) = value;
  }
  if (draws < rows)
    return at(chain.indexPath, e.indexLine) + varno::quoted(e.name) + " ends before iteration " +
           decimal(chain.iterations[static_cast<std::size_t>(draws)]) + " in " + varno::quoted(path) + ", where " +
           varno::quoted(reference.name) + " goes on; every variable of a chain must be drawn at the same iterations";
  return std::nullopt;
}

// A name's fault, carried out of the threads that read the names.
struct NameFault {
  std::string message;
};

// `tell` is given the share of the names read, from every reading thread; it may throw to stop.
std::optional<std::string> readChain(const std::string& indexPath, const std::vector<IndexEntry>& entries,
                                     const std::string& path, std::shared_ptr<SampleTable>& table,
                                     const std::function<void(double)>& tell) {
  std::string why;
  const std::optional<std::string> text = readTextFile(path, &why, std::numeric_limits<std::size_t>::max());
  if (!text) return why;
  const long long lineCount = lineCountOf(*text);
  const IndexEntry& reference = entries.front();
  const long long rows = reference.last - reference.first + 1;
  for (const IndexEntry& e : entries)
    if (e.last > lineCount)
      return at(indexPath, e.indexLine) + varno::quoted(e.name) + " takes lines " + decimal(e.first) + " to " +
             decimal(e.last) + ", but " + varno::quoted(path) + " has " + counted(lineCount, "line", "lines");
  if (rows > std::numeric_limits<int>::max() || entries.size() + 1 > static_cast<std::size_t>(std::numeric_limits<int>::max()))
    return varno::quoted(path) + " is too large to read";
  table = std::make_shared<SampleTable>(static_cast<int>(entries.size()) + 1, static_cast<int>(rows));
  std::vector<long long> iterations(static_cast<std::size_t>(rows));
  const ChainText chain{indexPath, path, entries, iterations, *table};

  // where each name's lines start, found in one pass over the file, so that names can be read apart
  std::vector<std::size_t> byFirst(entries.size());
  for (std::size_t v = 0; v < byFirst.size(); ++v) byFirst[v] = v;
  std::sort(byFirst.begin(), byFirst.end(), [&](std::size_t a, std::size_t b) { return entries[a].first < entries[b].first; });
  std::vector<LineCursor> starts(entries.size(), LineCursor(*text));
  LineCursor scan(*text);
  for (std::size_t v : byFirst) {
    scan.line(entries[v].first);
    starts[v] = scan;
  }

  // the first name sets the iterations; the others are read on every core, in the order of their
  // lines, and the fault of the first of them in that order is the one told
  tell(0);
  if (auto error = readName(chain, 0, starts[0])) return error;
  std::vector<std::size_t> rest;
  for (std::size_t v : byFirst)
    if (v != 0) rest.push_back(v);
  std::atomic<std::size_t> done{1};
  const auto share = [&] { return static_cast<double>(done.load()) / static_cast<double>(entries.size()); };
  const int cores = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
  try {
    parallelFor(rest.size(), cores, [&](std::size_t i) {
      tell(share());
      if (auto error = readName(chain, rest[i], starts[rest[i]])) throw NameFault{std::move(*error)};
      ++done;
    });
    tell(1);
  } catch (const NameFault& fault) {
    return fault.message;
  }
  std::unique_ptr<double[]> exactIterations(new double[static_cast<std::size_t>(rows)]);
  for (long long k = 0; k < rows; ++k) {
    const long long iteration = iterations[static_cast<std::size_t>(k)];
    table->cell(0, static_cast<int>(k)) = static_cast<float>(iteration);
    exactIterations[static_cast<std::size_t>(k)] = static_cast<double>(iteration);
  }
  table->offerExactFirstColumn(std::move(exactIterations));
  std::vector<std::string> names{"Iteration"};
  for (const IndexEntry& e : entries) names.push_back(e.name);
  table->setColumnNames(std::move(names));
  return std::nullopt;
}

}  // namespace

bool isCodaIndex(const std::string& path) {
  namespace fs = std::filesystem;
  std::string name = fs::path(path).filename().string();
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (name.find("index") == std::string::npos || !name.ends_with(".txt")) return false;
  // the first line is enough to tell; a large trace is not read whole for it
  // a FIFO or a folder so named is no index; the reading of the data file refuses it
  const OpenedInput opened = openInputFile(path, "data file");
  if (opened.fd < 0) return false;
  std::string head(4096, '\0');
  const ssize_t got = ::pread(opened.fd, head.data(), head.size(), 0);
  ::close(opened.fd);
  head.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  for (std::string_view line : linesOf(head)) {
    const std::vector<std::string_view> tokens = tokensOf(line);
    if (tokens.empty()) continue;
    float number = 0;
    return tokens.size() == 3 && !floatToken(tokens[0], number) && digitsOnly(tokens[1]) && digitsOnly(tokens[2]);
  }
  return false;
}

std::vector<std::string> codaChainFiles(const std::string& indexPath) {
  namespace fs = std::filesystem;
  const fs::path index(indexPath);
  const std::string name = index.filename().string();
  const std::size_t at = name.rfind("index");
  std::vector<std::string> chains;
  if (at == std::string::npos) return chains;
  for (int k = 1;; ++k) {
    const std::string chain = name.substr(0, at) + "chain" + decimal(k) + name.substr(at + 5);
    const fs::path path = index.parent_path() / chain;
    std::error_code ec;
    // a FIFO or a folder so named is listed, for the reading to refuse it by name
    if (!fs::exists(path, ec)) break;
    chains.push_back(path.string());
  }
  return chains;
}

std::vector<std::string> codaChainFiles(const std::string& indexPath, const std::vector<std::string>& named) {
  std::vector<std::string> chains = codaChainFiles(indexPath);
  chains.insert(chains.end(), named.begin(), named.end());
  return chains;
}

CodaReadResult readCoda(const std::string& indexPath, const std::vector<std::string>& chainPaths,
                        Progress& progress) {
  // a chain file beside the index that is another's hard link is one chain, not two
  if (auto why = repeatedChainFile(chainPaths)) return refused(std::move(*why));
  std::vector<IndexEntry> entries;
  if (auto error = readIndex(indexPath, entries)) return refused(std::move(*error));
  CodaReadResult result;
  for (std::size_t c = 0; c < chainPaths.size(); ++c) {
    const std::string& path = chainPaths[c];
    const auto tell = [&](double share) {
      progress.report((static_cast<double>(c) + share) / static_cast<double>(chainPaths.size()));
      progress.stopIfCancelled();
    };
    CodaChain chain{path, nullptr};
    if (auto error = readChain(indexPath, entries, path, chain.table, tell)) return refused(std::move(*error));
    result.chains.push_back(std::move(chain));
  }
  return result;
}

CodaReadResult readCoda(const std::string& indexPath, Progress& progress) {
  const std::vector<std::string> chains = codaChainFiles(indexPath);
  if (chains.empty()) {
    const std::string name = std::filesystem::path(indexPath).filename().string();
    const std::size_t at = name.rfind("index");
    const std::string first = at == std::string::npos ? std::string("a file named like the index with \"chain1\" for \"index\"")
                                                      : varno::quoted(name.substr(0, at) + "chain1" + name.substr(at + 5));
    return refused(varno::quoted(indexPath) + ": no chain file beside it (looked for " + first + ")");
  }
  return readCoda(indexPath, chains, progress);
}

}  // namespace varno
