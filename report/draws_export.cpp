// Writing the retained draws of every chain as one tab-separated table, a piece at a time.
#include "report/draws_export.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/text_pieces.h"
#include "report/atomic_write.h"

namespace varno {

namespace {

// Pieces of about this many bytes: large enough for few writes, small beside any table.
constexpr std::size_t kPieceBytes = 1 << 20;

void appendCell(std::string& out, float value) {
  if (std::isnan(value)) {
    out += "NaN";
  } else if (std::isinf(value)) {
    out += value > 0 ? "Inf" : "-Inf";
  } else {
    char text[32];
    out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
  }
}

void appendInteger(std::string& out, long long value) {
  char text[24];
  out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

std::string inputError(const DrawsExportInput& in) {
  if (in.thin < 1) return concat("the thinning step ", decimal(in.thin), " is not a positive whole number");
  const long long columns = static_cast<long long>(in.columnNames.size());
  for (std::size_t c = 0; c < in.chains.size(); ++c) {
    const long long have = in.chains[c].table ? in.chains[c].table->columnCount() : 0;
    if (have < columns || in.modelColumn >= have)
      return concat("chain ", decimal(static_cast<long long>(c) + 1), " has ", decimal(have), " columns, ",
                    decimal(columns), " expected");
  }
  return {};
}

// The export's lines in order, a piece of whole lines at a time.
class DrawLines {
 public:
  DrawLines(const DrawsExportInput& in, Progress& progress) : in_(in), progress_(progress) {
    for (const ChainRows& chain : in_.chains) rowCount_ += retainedCount(chain);
  }

  // Appends the next lines to `out` (given empty) until it holds a piece's bytes; false once
  // the last line is in.
  bool next(std::string& out) {
    if (!headerDone_) {
      out += ".chain\t.iteration\t.draw";
      for (const std::string& name : in_.columnNames) out += '\t' + name;
      out += '\n';
      headerDone_ = true;
    }
    const int columns = static_cast<int>(in_.columnNames.size());
    const bool filtered = in_.modelColumn >= 0 && in_.modelFilter != 0;
    for (; chain_ < in_.chains.size(); ++chain_, row_ = -1) {
      const SampleTable& table = *in_.chains[chain_].table;
      const std::span<const double> exactFirst = table.exactFirstColumn();
      const int end = std::min(in_.chains[chain_].rows.end, table.rowCount());
      if (row_ < 0) {
        row_ = std::max(in_.chains[chain_].rows.begin, 0);
        passed_ = iteration_ = 0;
      }
      for (; row_ < end; ++row_) {
        if (out.size() >= kPieceBytes) return true;
        const int r = row_;
        // the model filter compares the stored number exactly, as the figures do
        if (filtered && static_cast<double>(table.cell(in_.modelColumn, r)) != in_.modelFilter) continue;
        if (passed_++ % in_.thin != 0) continue;
        appendInteger(out, static_cast<long long>(chain_) + 1);
        out += '\t';
        appendInteger(out, ++iteration_);
        out += '\t';
        appendInteger(out, ++draws_);
        for (int col = 0; col < columns; ++col) {
          out += '\t';
          // a counter held exactly holds whole numbers: written as such
          if (col == 0 && !exactFirst.empty())
            appendInteger(out, static_cast<long long>(exactFirst[r]));
          else
            appendCell(out, table.cell(col, r));
        }
        out += '\n';
      }
    }
    return false;
  }
  // Reports the rows passed so far; false when a cancel was asked for.
  bool goOn() {
    if (progress_.watched() && rowCount_ > 0) {
      long long passed = 0;
      for (std::size_t c = 0; c < chain_ && c < in_.chains.size(); ++c) passed += retainedCount(in_.chains[c]);
      if (chain_ < in_.chains.size() && row_ >= 0) passed += row_ - std::max(in_.chains[chain_].rows.begin, 0);
      progress_.report(static_cast<double>(passed) / static_cast<double>(rowCount_));
    }
    return !progress_.cancelRequested();
  }
  long long draws() const { return draws_; }

 private:
  static long long retainedCount(const ChainRows& chain) {
    return std::max(0, std::min(chain.rows.end, chain.table->rowCount()) - std::max(chain.rows.begin, 0));
  }

  const DrawsExportInput& in_;
  Progress& progress_;
  long long rowCount_ = 0;
  bool headerDone_ = false;
  std::size_t chain_ = 0;
  int row_ = -1;
  long long passed_ = 0, iteration_ = 0, draws_ = 0;
};

}  // namespace

DrawsExport exportDraws(const DrawsExportInput& in, Progress& progress) {
  DrawsExport result;
  result.error = inputError(in);
  if (!result.error.empty()) return result;
  DrawLines lines(in, progress);
  std::string piece;
  for (bool more = true; more;) {
    piece.clear();
    more = lines.next(piece);
    result.text += piece;
    if (!lines.goOn()) throw WorkCancelled{};
  }
  result.draws = lines.draws();
  progress.report(1);
  return result;
}

std::optional<std::string> writeDrawsExport(const std::string& path, const DrawsExportInput& input,
                                            const std::vector<InputFile>& inputs, long long* draws,
                                            Progress& progress) {
  if (auto targeted = inputFileTargeted(path, inputs)) return targeted;
  if (std::string error = inputError(input); !error.empty()) return error;
  // a piece at a time: the text of a long chain would take more memory than the chain itself
  DrawLines lines(input, progress);
  const auto written = writeFileAtomically(path, [&](std::string& piece, bool& last) {
    last = !lines.next(piece);
    return lines.goOn();
  });
  if (written) {
    progress.stopIfCancelled();  // the writer stopped at the cancel and removed what it began
    return *written;
  }
  if (draws) *draws = lines.draws();
  progress.report(1);
  return std::nullopt;
}

}  // namespace varno
