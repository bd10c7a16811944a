// Reads a data file in three passes: the first data line, a line count, then the numbers.
#include "core/data_file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cerrno>
#include <cfloat>
#include <charconv>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>
#include <new>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "core/file_kind.h"
#include "core/input_file.h"
#include "core/number_token.h"
#include "core/parallel_for.h"
#include "core/read_notes.h"
#include "core/shown_text.h"
#include "core/text_pieces.h"
#include "core/trace_preamble.h"

namespace varno {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kMaxThreads = 8;
constexpr long long kNumbersPerCheckpoint = 1 << 14;

// Byte classes: a number ends at a blank or a line feed, and so does every other token; in a
// comma-separated file it also ends at a comma.
enum : unsigned char { kOther = 0, kBlank = 1, kNewline = 2, kComma = 3 };
constexpr std::array<unsigned char, 256> makeClasses(bool csv) {
  std::array<unsigned char, 256> c{};
  for (unsigned char b : {' ', '\t', '\r', '\v', '\f'}) c[b] = kBlank;
  c['\n'] = kNewline;
  if (csv) c[','] = kComma;
  return c;
}
constexpr std::array<unsigned char, 256> kClass = makeClasses(false);
constexpr std::array<unsigned char, 256> kCsvClass = makeClasses(true);
template <bool Csv = false>
inline unsigned char classOf(char c) {
  return (Csv ? kCsvClass : kClass)[static_cast<unsigned char>(c)];
}

std::string errnoText(int err) { return std::generic_category().message(err); }

// Why a token that readNumber refused is no number: a number beyond the float range is written
// correctly but cannot be stored.
std::string notANumber(const char* b, const char* e) {
  return notAFloatReason(std::string_view(b, static_cast<std::size_t>(e - b)));
}

// One delimiter per file: a line that uses the other one refuses the file rather than ending the
// table, since every row after it would be misread the same way.
constexpr const char* kBlanksInCsv =
    "numbers separated by blanks or tabs in a comma-separated file (a file uses one delimiter throughout)";
constexpr const char* kCommasInBlankFile =
    "numbers separated by commas in a file separated by blanks or tabs (a file uses one delimiter throughout)";
constexpr const char* kEmptyField = "an empty field where a number is expected";

std::string tooFewNumbers(long long found, long long expected) {
  return decimal(found) + (found == 1 ? " number where " : " numbers where ") +
         decimal(expected) + " are expected";
}

// Reads the number at p (which is not a blank or line feed) up to lim. Returns the position
// after it, or null when the token there is not wholly a number. *lim must be readable.
template <bool Csv = false>
inline const char* readNumber(const char* p, const char* lim, float& value) {
  const char* end = readFloat(p, lim, value);
  return end && classOf<Csv>(*end) != kOther ? end : nullptr;
}

// Whether the float nearest a double is the float nearest the decimal number the double was read
// from. It is, unless the double lies exactly halfway between two floats (the decimal may lie on
// either side of it) or outside the normal floats, where the float reading has its own rules.
inline bool narrowsAsRead(double d) {
  const double a = std::fabs(d);
  if (!(a >= FLT_MIN && a <= FLT_MAX)) return d == 0;
  // the 29 bits a float drops: exactly half its last place is a tie
  return (std::bit_cast<std::uint64_t>(d) & 0x1FFFFFFFu) != 0x10000000u;
}

// readNumber for the first column, which may be an iteration counter beyond the floats' whole
// numbers: also gives the number as a double. The float is the one readNumber gives.
template <bool Csv = false>
inline const char* readFirstNumber(const char* p, const char* lim, float& value, double& exact) {
  const char* from = numberStart(p, lim);
  if (!from) return nullptr;
  auto [end, ec] = std::from_chars(from, lim, exact);
  if (ec != std::errc{} || !narrowsAsRead(exact)) [[unlikely]] {
    const char* floatEnd = readNumber<Csv>(p, lim, value);
    if (ec != std::errc{}) exact = value;
    return floatEnd;
  }
  value = static_cast<float>(exact);
  return classOf<Csv>(*end) == kOther ? nullptr : end;
}

// Whether a token refused as a number is numbers joined by commas: a second delimiter.
bool isCommaJoinedNumbers(const char* b, const char* e) {
  if (std::find(b, e, ',') == e) return false;
  for (const char* from = b;;) {
    const char* to = std::find(from, e, ',');
    std::string piece(from, to);
    piece += '\n';
    const char* data = piece.c_str();
    float value;
    const char* end = classOf(*data) == kOther ? readNumber(data, data + piece.size() - 1, value) : nullptr;
    if (end != data + piece.size() - 1) return false;
    if (to == e) return true;
    from = to + 1;
  }
}

// An open data file, closed on every way out.
class File {
 public:
  explicit File(int fd) : fd_(fd) {}
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File() {
    if (fd_ >= 0) ::close(fd_);
  }
  int fd() const { return fd_; }

 private:
  int fd_;
};

long long preadSome(int fd, char* to, std::size_t n, long long at, int& error) {
  for (;;) {
    ssize_t got = ::pread(fd, to, n, static_cast<off_t>(at));
    if (got >= 0) return got;
    if (errno != EINTR) {
      error = errno;
      return 0;
    }
  }
}

// A window onto one byte range of the file, refilled block by block. The byte after the data
// is always a line feed, so scans stop there without a bounds check.
class BlockReader {
 public:
  BlockReader(int fd, long long begin, long long end, std::size_t blockBytes)
      : fd_(fd), pos_(begin), end_(end),
        cap_(static_cast<std::size_t>(std::clamp<long long>(end - begin, 1, static_cast<long long>(blockBytes)))),
        buf_(new char[cap_ + 1]) {
    p = lim = buf_.get();
    buf_[0] = '\n';
    atEnd = pos_ >= end_;
  }
  // The bytes [data, data + size), which are those from byte `at` of the file, already read:
  // data[size] must be a line feed.
  BlockReader(const char* data, std::size_t size, long long at)
      : fd_(-1), pos_(at + static_cast<long long>(size)), end_(pos_), cap_(size) {
    p = data;
    lim = data + size;
    atEnd = true;
  }

  // The byte of the file that q points at.
  long long offsetOf(const char* q) const { return pos_ - (lim - q); }

  // Keeps [keep, lim), moved to the front, reads more after it and returns where keep went.
  const char* refill(const char* keep) {
    std::size_t kept = static_cast<std::size_t>(lim - keep);
    if (kept == cap_) {  // one token longer than the buffer
      std::size_t cap = cap_ * 2;
      std::unique_ptr<char[]> bigger(new char[cap + 1]);
      std::memcpy(bigger.get(), keep, kept);
      buf_ = std::move(bigger);
      cap_ = cap;
    } else if (kept > 0) {
      std::memmove(buf_.get(), keep, kept);
    }
    std::size_t want = static_cast<std::size_t>(std::min<long long>(
        static_cast<long long>(cap_ - kept), end_ - pos_));
    long long got = want ? preadSome(fd_, buf_.get() + kept, want, pos_, error) : 0;
    cutShort = want > 0 && got == 0 && error == 0;
    pos_ += got;
    atEnd = got == 0 || pos_ >= end_;
    p = buf_.get();
    lim = buf_.get() + kept + got;
    *const_cast<char*>(lim) = '\n';
    return p;
  }

  const char* p;      // next byte to look at
  const char* lim;    // end of the bytes read so far
  bool atEnd;         // nothing follows lim in this range
  int error = 0;      // errno of a failed read (then atEnd)
  bool cutShort = false;  // the file ended before the range did: it was cut while read

 private:
  int fd_;
  long long pos_, end_;
  std::size_t cap_;
  std::unique_ptr<char[]> buf_;
};

// Finds the end of the token at p, reading on when it reaches the end of the block. Returns
// false when it was cut by the block end and the block was refilled: p then points at the token.
template <bool Csv = false>
bool settleToken(BlockReader& in, const char*& p, const char*& tokenEnd) {
  tokenEnd = p;
  while (classOf<Csv>(*tokenEnd) == kOther) ++tokenEnd;
  if (tokenEnd == in.lim && !in.atEnd) {
    p = in.refill(p);
    return false;
  }
  return true;
}

// Reports to the progress and looks at its cancel request at most once per interval of work; an
// unwatched progress costs no look at the clock.
class Yielder {
 public:
  Yielder(Progress& progress, std::chrono::milliseconds interval)
      : progress_(progress), interval_(interval), next_(Clock::now() + interval) {}
  bool active() const { return progress_.watched(); }
  std::chrono::milliseconds interval() const { return interval_; }
  void maybe() {
    if (active() && Clock::now() >= next_) now();
  }
  void now() {
    progress_.report(fraction_.load(std::memory_order_relaxed));
    progress_.stopIfCancelled();
    next_ = Clock::now() + interval_;
  }
  // The share of the work done so far, as the passes count it; any thread may set it.
  void setFraction(double fraction) { fraction_.store(fraction, std::memory_order_relaxed); }

 private:
  Progress& progress_;
  std::chrono::milliseconds interval_;
  Clock::time_point next_;
  std::atomic<double> fraction_{0};
};

// One thread's part of the file: the whole lines that begin in [from, to).
struct Share {
  long long from = 0, to = 0;
  // line count pass
  long long begin = 0, end = 0;  // bytes of its lines
  long long lines = 0, rows = 0;  // all lines, non-blank lines
  long long firstLine = 1, firstRow = 0;
  // filling pass
  long long rowsRead = 0;
  bool stopped = false;
  long long stopLine = 0;
  std::string reason;
  long long extraRows = 0, firstExtraLine = 0;  // rows with more numbers than columns
  bool refuse = false;  // the stop refuses the whole file
  bool rowsCounted = true;  // rows is the count, not a bound: fewer rows read means a change
  // where reading on would begin: the line the share stopped at, or its end (after its last
  // row, when that row has no line end)
  long long restByte = 0, restLine = 0;
  bool rowOpen = false;
  // the first column's exact values are written from this row on (-1: its floats are exact so
  // far); none once it has shown a fraction
  long long exactFrom = -1;
  bool fractions = false;
};

struct Context {
  int fd;
  long long dataStart;  // after a byte order mark
  long long fileSize;
  std::size_t blockBytes;
  Yielder* yielder;                    // used by share 0 only, which runs on the calling thread
  std::atomic<std::size_t> firstStop;  // lowest share that stopped early; later ones give up
  // progress of all shares: counting takes about a quarter of the time, filling the rest
  std::atomic<long long> countedBytes{0};
  std::atomic<long long> filledRows{0};
  long long totalRows = 0;
  bool otherRules = false;  // files of the kind other: comment lines are skipped, one delimiter per file

  void counted(long long bytes) {
    const long long done = countedBytes.fetch_add(bytes, std::memory_order_relaxed) + bytes;
    const long long all = std::max(1LL, fileSize - dataStart);
    yielder->setFraction(0.25 * static_cast<double>(done) / static_cast<double>(all));
  }
  void filled(long long rows) {
    const long long done = filledRows.fetch_add(rows, std::memory_order_relaxed) + rows;
    yielder->setFraction(0.25 + 0.75 * static_cast<double>(done) / static_cast<double>(std::max(1LL, totalRows)));
  }
};

// Records that share k stopped early, unless an earlier share did.
void markStopped(Context& ctx, std::size_t k) {
  std::size_t expected = ctx.firstStop.load();
  while (k < expected && !ctx.firstStop.compare_exchange_weak(expected, k)) {
  }
}

// Work of one share; share 0 yields, every share gives up once an earlier one has stopped.
struct Checkpoint {
  Context& ctx;
  std::size_t index;
  bool operator()() const {
    if (index == 0) ctx.yielder->maybe();
    return ctx.firstStop.load(std::memory_order_relaxed) >= index;
  }
};

// Pass 2: counts the lines that begin in the share and which of them are not blank.
void countShare(Context& ctx, std::size_t index, Share& s) {
  Checkpoint goOn{ctx, index};
  long long at = s.from;
  const std::size_t cap = static_cast<std::size_t>(
      std::clamp<long long>(ctx.fileSize - at + 1, 1, static_cast<long long>(ctx.blockBytes)));
  std::unique_ptr<char[]> buf(new char[cap + 1]);
  int error = 0;
  if (s.from > ctx.dataStart) {  // start after the line feed that ends the line running into the share
    at = s.from - 1;
    for (;;) {
      long long got = preadSome(ctx.fd, buf.get(), cap, at, error);
      if (got <= 0) { at = ctx.fileSize; break; }
      if (const void* nl = std::memchr(buf.get(), '\n', got)) {
        at += static_cast<const char*>(nl) - buf.get() + 1;
        break;
      }
      at += got;
    }
  }
  s.begin = s.end = at;
  bool inLine = false, nonBlank = false;
  while (at < ctx.fileSize) {
    long long got = preadSome(ctx.fd, buf.get(), cap, at, error);
    if (got <= 0) break;
    const char* q = buf.get();
    const char* lim = q + got;
    buf[got] = '\n';
    while (q < lim) {
      if (!inLine) {
        long long lineStart = at + (q - buf.get());
        if (lineStart >= s.to) {
          s.end = lineStart;
          return;
        }
        inLine = true;
        nonBlank = false;
        ++s.lines;
      }
      if (!nonBlank) {
        while (classOf(*q) == kBlank) ++q;
        if (q == lim) break;
        if (*q != '\n') {
          nonBlank = true;
          if (!(ctx.otherRules && *q == '#')) ++s.rows;
        }
      }
      const void* nl = std::memchr(q, '\n', static_cast<std::size_t>(lim - q));
      if (!nl) break;
      q = static_cast<const char*>(nl) + 1;
      inLine = false;
    }
    at += got;
    s.end = at;
    ctx.counted(got);
    if (!goOn()) return;
  }
}

// Pass 3: reads the share's rows straight into their columns.
template <bool Csv>
void fillShare(Context& ctx, std::size_t index, Share& s, SampleTable& table, double* exactFirst, BlockReader& in) {
  Checkpoint goOn{ctx, index};
  const int columns = table.columnCount();
  const std::size_t stride = table.stride();
  float* const base = table.columnData(0);
  const long long rowEnd = s.firstRow + s.rows;

  const char* p = in.p;
  long long line = s.firstLine;
  long long lineStart = s.begin;  // byte where `line` begins
  bool rowOnLastLine = false;     // the share's last line, without a line feed, was a row
  long long row = s.firstRow;
  int col = 0;
  float* cell = nullptr;
  long long numbersSinceCheck = 0;
  long long rowsReported = row;
  auto reportRows = [&] {
    ctx.filled(row - rowsReported);
    rowsReported = row;
  };
  bool rowHasExtra = false;
  const bool comments = ctx.otherRules;
  bool inComment = false;     // skipping the rest of a comment line
  bool afterNumber = false;   // a number ended the line so far (comma-separated files only)
  // the first column's doubles are written only once a whole number has no float: other files
  // leave their pages untouched
  bool writingExact = false, fractions = false;

  auto stop = [&](std::string reason) {
    s.stopped = true;
    s.stopLine = line;
    s.reason = std::move(reason);
  };

  for (;;) {
    while (classOf<Csv>(*p) == kBlank) ++p;
    if (*p == '\n') {
      if (p == in.lim) {  // end of the block
        if (!in.atEnd) {
          p = in.refill(p);
          reportRows();
          if (!goOn()) break;
          continue;
        }
        if (in.error) {
          stop("the file cannot be read further: " + errnoText(in.error));
          break;
        }
        if (in.cutShort) {  // the line at the cut may end in half a number
          stop("the file changed while it was read");
          break;
        }
      }
      // end of a line (or of the share, which ends a line that has no line feed)
      const bool rowOnLine = col > 0;
      if (col > 0) {
        if (col < columns) {
          stop(tooFewNumbers(col, columns));
          break;
        }
        ++row;
        numbersSinceCheck += col;
        col = 0;
        rowHasExtra = false;
        afterNumber = false;
        if (numbersSinceCheck >= kNumbersPerCheckpoint) {
          numbersSinceCheck = 0;
          reportRows();
          if (!goOn()) break;
        }
      }
      if (p == in.lim) {
        rowOnLastLine = rowOnLine;
        break;
      }
      ++p;
      ++line;
      lineStart = in.offsetOf(p);
      inComment = false;
      continue;
    }
    if (col == columns) {  // numbers beyond the table's columns are not looked at, only counted
      if (!rowHasExtra) {
        rowHasExtra = true;
        if (s.extraRows++ == 0) s.firstExtraLine = line;
      }
      const void* nl = std::memchr(p, '\n', static_cast<std::size_t>(in.lim - p));
      p = nl ? static_cast<const char*>(nl) : in.lim;
      continue;
    }
    if (col == 0) {
      if (comments && (inComment || *p == '#')) [[unlikely]] {
        inComment = true;  // until the line feed, which may lie in a later block
        const void* nl = std::memchr(p, '\n', static_cast<std::size_t>(in.lim - p));
        p = nl ? static_cast<const char*>(nl) : in.lim;
        continue;
      }
      if (row == rowEnd) {  // more rows than counted: the file grew since
        stop("the file changed while it was read");
        break;
      }
      cell = base + row;
    }
    if constexpr (Csv) {
      if (*p == ',') {
        if (!afterNumber) {
          stop(kEmptyField);
          break;
        }
        afterNumber = false;
        ++p;
        continue;
      }
      if (afterNumber) {
        stop(kBlanksInCsv);
        s.refuse = true;
        break;
      }
    }
    float value;
    double exact;
    const char* end = col == 0 ? readFirstNumber<Csv>(p, in.lim, value, exact) : readNumber<Csv>(p, in.lim, value);
    if (!end || end == in.lim) [[unlikely]] {
      const char* tokenEnd;
      if (!settleToken<Csv>(in, p, tokenEnd)) continue;
      if (!end) {
        // a whole line of comma-separated numbers is a second delimiter; "1,5" among blank-separated
        // numbers is a decimal comma, which is no number
        const char* after = tokenEnd;
        while (classOf(*after) == kBlank) ++after;
        if (!Csv && comments && col == 0 && after == in.lim && !in.atEnd) {
          // the blanks run to the end of what is read: the rest of the line decides
          p = in.refill(p);
          continue;
        }
        if (!Csv && comments && col == 0 && *after == '\n' && isCommaJoinedNumbers(p, tokenEnd)) {
          stop(kCommasInBlankFile);
          s.refuse = true;
        } else {
          stop(notANumber(p, tokenEnd));
        }
        break;
      }
    }
    if (col == 0) {
      if (writingExact) {
        exactFirst[row] = exact;
      } else if (static_cast<double>(value) != exact && !fractions) [[unlikely]] {
        if (isExactWhole(exact)) {
          writingExact = true;
          s.exactFrom = row;
          exactFirst[row] = exact;
        } else {
          fractions = true;
        }
      }
    }
    *cell = value;
    cell += stride;
    ++col;
    p = end;
    if constexpr (Csv) {
      // the comma right after a number is taken at once, as a blank is in the loop's first step
      if (*p == ',')
        ++p;
      else
        afterNumber = true;
    }
  }
  s.rowsRead = row - s.firstRow;
  s.fractions = fractions;
  if (!s.stopped && s.rowsCounted && s.rowsRead < s.rows && ctx.firstStop.load() >= index)
    stop("the file changed while it was read");
  if (s.stopped) markStopped(ctx, index);
  // a last line without its line feed is read on from its start, unless it was a row
  s.rowOpen = !s.stopped && rowOnLastLine && lineStart < s.end;
  s.restByte = s.stopped || (lineStart < s.end && !s.rowOpen) ? lineStart : s.end;
  s.restLine = line;
}

// Runs work(index, share) for every share, share 0 on the calling thread, which yields while it
// waits for the others. A share that fails stops the later ones; the first failure is thrown.
template <class Work>
void runShares(std::vector<Share>& shares, Context& ctx, Work work) {
  std::vector<std::exception_ptr> failures(shares.size());
  WhileWaiting yield;
  if (ctx.yielder->active()) {
    yield.every = ctx.yielder->interval();
    yield.call = [&ctx] {
      try {
        ctx.yielder->now();
      } catch (...) {
        ctx.firstStop.store(0);  // the others give up; the threads join on the way out
        throw;
      }
    };
  }
  parallelFor(
      shares.size(), static_cast<int>(shares.size()),
      [&](std::size_t k) {
        try {
          work(k, shares[k]);
        } catch (...) {
          failures[k] = std::current_exception();
          markStopped(ctx, k);
        }
      },
      yield);
  for (auto& f : failures)
    if (f) std::rethrow_exception(f);
}

struct FirstLine {
  long long line = 0;  // 0: the file holds no numbers
  long long columns = 0;
  std::string fault;  // set when a token of that line is not a number
  int readError = 0;
};

// Pass 1: the first non-blank line gives the column count and must be all numbers.
FirstLine readFirstLine(int fd, long long start, long long fileSize, std::size_t blockBytes,
                        Yielder& yielder) {
  FirstLine first;
  BlockReader in(fd, start, fileSize, blockBytes);
  const char* p = in.p;
  long long line = 1;
  for (;;) {
    while (classOf(*p) == kBlank) ++p;
    if (*p == '\n') {
      if (p == in.lim && !in.atEnd) {
        p = in.refill(p);
        yielder.maybe();
        continue;
      }
      if (in.error) {
        first.readError = in.error;
        return first;
      }
      if (first.columns > 0) {
        first.line = line;
        return first;
      }
      if (p == in.lim) return first;
      ++p;
      ++line;
      continue;
    }
    float value;
    const char* end = readNumber(p, in.lim, value);
    if (!end || end == in.lim) {
      const char* tokenEnd;
      if (!settleToken(in, p, tokenEnd)) continue;
      if (!end) {
        first.line = line;
        first.fault = notANumber(p, tokenEnd);
        return first;
      }
    }
    ++first.columns;
    p = end;
  }
}

// The numbers of one whole line (without its line feed) read as the rows are: how many, or why
// the line is not a row of numbers.
struct LineNumbers {
  long long count = 0;
  std::string fault;   // set when the line is not all numbers
  bool mixed = false;  // the fault is a second delimiter
};

template <bool Csv>
LineNumbers numbersOnLine(std::string text) {
  LineNumbers r;
  text += '\n';
  const char* p = text.data();
  const char* lim = p + text.size() - 1;
  bool afterNumber = false;
  for (;;) {
    while (classOf<Csv>(*p) == kBlank) ++p;
    if (p == lim) break;
    if (Csv && *p == ',') {
      if (!afterNumber) {
        r.fault = kEmptyField;
        return r;
      }
      afterNumber = false;
      ++p;
      continue;
    }
    if (Csv && afterNumber) {
      r.fault = kBlanksInCsv;
      r.mixed = true;
      return r;
    }
    float value;
    const char* end = readNumber<Csv>(p, lim, value);
    if (!end) {
      const char* tokenEnd = p;
      while (classOf<Csv>(*tokenEnd) == kOther) ++tokenEnd;
      r.mixed = !Csv && isCommaJoinedNumbers(p, tokenEnd);
      r.fault = r.mixed ? kCommasInBlankFile : notANumber(p, tokenEnd);
      return r;
    }
    ++r.count;
    p = end;
    afterNumber = true;
  }
  return r;  // a comma may end the line, as it may end every row
}

LineNumbers numbersOnLine(const std::string& text, bool csv) {
  return csv ? numbersOnLine<true>(text) : numbersOnLine<false>(text);
}

// Reads the line that begins at `at` into `text` (without its line feed); returns where the next
// line begins, or -1 at the end of the file.
long long readLineAt(int fd, long long at, long long fileSize, std::string& text, int& error) {
  text.clear();
  if (at >= fileSize) return -1;
  char buf[4096];
  while (at < fileSize) {
    const long long got = preadSome(fd, buf, sizeof buf, at, error);
    if (got <= 0) return error ? -1 : fileSize;
    if (const void* nl = std::memchr(buf, '\n', static_cast<std::size_t>(got))) {
      const std::size_t n = static_cast<std::size_t>(static_cast<const char*>(nl) - buf);
      text.append(buf, n);
      return at + static_cast<long long>(n) + 1;
    }
    text.append(buf, static_cast<std::size_t>(got));
    at += got;
  }
  return fileSize;
}

// What comes before the rows of a file and how its rows are read.
struct FileLayout {
  long long bodyStart = 0;  // byte where the lines read as rows begin
  long long bodyLine = 1;   // the line number there
  long long columns = 0;    // 0: the file holds no numbers
  bool csv = false;
  std::vector<std::string> names;  // from a header line
  long long faultLine = 0;  // set with fault when the file is refused
  std::string fault;
  int readError = 0;
};

// Pass 1 of a file of the kind other: comment lines and a bracketed first line are passed over; a
// first line that holds no number, followed by a row of numbers, is the header naming the columns;
// commas in the header or the first row make the file comma-separated.
FileLayout readOtherLayout(int fd, long long start, long long fileSize, Yielder& yielder) {
  FileLayout layout;
  layout.bodyStart = start;
  std::string text;
  long long at = start, line = 0;
  bool firstNonBlank = true;
  // the next line that is neither blank nor a comment; false at the end of the file
  const auto nextContentLine = [&](bool& bracketed) {
    bracketed = false;
    for (;;) {
      const long long next = readLineAt(fd, at, fileSize, text, layout.readError);
      if (next < 0) return false;
      at = next;
      ++line;
      yielder.maybe();
      if (isBlankLine(text)) continue;
      const bool first = std::exchange(firstNonBlank, false);
      if (first && isBracketedLine(text)) {
        bracketed = true;
        return true;
      }
      if (!isCommentLine(text)) return true;
    }
  };
  bool bracketed = false;
  if (!nextContentLine(bracketed)) return layout;
  if (bracketed) {
    layout.bodyStart = at;
    layout.bodyLine = line + 1;
    if (!nextContentLine(bracketed)) return layout;
  }
  const std::string first = text;
  const long long firstLine = line, afterFirst = at;
  const bool firstCsv = hasDelimitingComma(first);
  const LineNumbers firstNumbers = numbersOnLine(first, firstCsv);
  if (firstNumbers.fault.empty()) {
    layout.columns = firstNumbers.count;
    layout.csv = firstCsv;
    return layout;
  }
  const auto refuse = [&](long long faultLine, std::string fault) {
    layout.faultLine = faultLine;
    layout.fault = std::move(fault);
    return layout;
  };
  // a header names columns: none of its fields is a number (a row with a word among numbers is a
  // faulty row, not a header)
  bool header = !firstNumbers.mixed;
  for (const std::string& field : headerFields(first, firstCsv))
    if (isDecimalNumber(field)) header = false;
  if (!header || !nextContentLine(bracketed)) return refuse(firstLine, firstNumbers.fault);
  const bool csv = firstCsv || hasDelimitingComma(text);
  const LineNumbers numbers = numbersOnLine(text, csv);
  if (numbers.mixed) return refuse(line, numbers.fault);
  if (!numbers.fault.empty()) return refuse(firstLine, firstNumbers.fault);
  if (csv && hasTabOutsideQuotes(first))
    return refuse(firstLine, "names separated by tabs in a comma-separated header (a file uses one delimiter throughout)");
  layout.names = headerFields(first, csv);
  const long long named = static_cast<long long>(layout.names.size());
  if (named != numbers.count)
    return refuse(firstLine, "the header names " + counted(named, "column", "columns") +
                                 " but the first row of numbers (line " + decimal(line) + ") holds " +
                                 counted(numbers.count, "number", "numbers"));
  layout.bodyStart = afterFirst;
  layout.bodyLine = firstLine + 1;
  layout.columns = numbers.count;
  layout.csv = csv;
  return layout;
}

std::size_t physicalMemory() {
  long pages = ::sysconf(_SC_PHYS_PAGES);
  long pageSize = ::sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return SIZE_MAX;
  return static_cast<std::size_t>(pages) * static_cast<std::size_t>(pageSize);
}

// Completes the first column's exact values, where some row needed them, with the floats of the
// rows before (exact there) and offers them to the table.
void offerExactFirstColumn(const std::vector<Share>& shares, std::unique_ptr<double[]> exact, SampleTable& table) {
  bool needed = false;
  for (const Share& s : shares) {
    if (s.firstRow >= table.rowCount()) break;  // after the rows kept
    if (s.fractions) return table.noteFirstColumnNotWhole();
    needed = needed || s.exactFrom >= 0;
  }
  if (!needed) return;
  const float* floats = table.columnData(0);
  for (const Share& s : shares) {
    const long long end = std::min<long long>(s.exactFrom >= 0 ? s.exactFrom : s.firstRow + s.rowsRead, table.rowCount());
    for (long long r = s.firstRow; r < end; ++r) exact[r] = floats[r];
  }
  table.offerExactFirstColumn(std::move(exact));
}

// Up to `n` bytes of the file before byte `at` (fewer when they cannot all be read).
std::string bytesBefore(int fd, long long at, std::size_t n) {
  std::string bytes(static_cast<std::size_t>(std::min<long long>(at, static_cast<long long>(n))), '\0');
  const long long from = at - static_cast<long long>(bytes.size());
  std::size_t got = 0;
  int error = 0;
  while (got < bytes.size()) {
    const long long more =
        preadSome(fd, bytes.data() + got, bytes.size() - got, from + static_cast<long long>(got), error);
    if (more <= 0) break;
    got += static_cast<std::size_t>(more);
  }
  bytes.resize(got);
  return bytes;
}

ReadOnPoint readOnPoint(int fd, const OpenedInput& opened, const Share& s, const FileLayout& layout,
                        bool comments) {
  ReadOnPoint at;
  at.byte = s.restByte;
  at.line = s.restLine;
  at.rowOpen = s.rowOpen;
  at.columns = static_cast<int>(layout.columns);
  at.csv = layout.csv;
  at.comments = comments;
  at.device = opened.device;
  at.inode = opened.inode;
  at.before = bytesBefore(fd, at.byte, ReadOnPoint::kBytesBefore);
  return at;
}

DataFileReadResult refused(std::string error) {
  DataFileReadResult r;
  r.error = std::move(error);
  return r;
}

DataFileReadResult read(const std::string& path, Progress& progress, const ReadTuning& tuning) {
  const std::string name = quoted(path);
  OpenedInput opened = openInputFile(path, "data file");
  if (opened.fd < 0) return refused(std::move(opened.refusal));
  const int fd = opened.fd;
  File file(fd);
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  const long long fileSize = opened.size;
  const std::size_t blockBytes = std::max<std::size_t>(tuning.blockBytes, 1);

  // a byte order mark, as some editors write, is not part of the first number
  char head[3] = {};
  int error = 0;
  const long long start =
      preadSome(fd, head, sizeof head, 0, error) == 3 && std::memcmp(head, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;

  Yielder yielder(progress, tuning.yieldInterval);
  const bool otherRules = fileKindOf(lowerCasedExtension(path)) == FileKind::other;
  FileLayout layout;
  if (otherRules) {
    layout = readOtherLayout(fd, start, fileSize, yielder);
  } else {  // fst and frq files hold rows of numbers only
    const FirstLine first = readFirstLine(fd, start, fileSize, blockBytes, yielder);
    layout.bodyStart = start;
    layout.columns = first.columns;
    layout.readError = first.readError;
    layout.faultLine = first.line;
    layout.fault = first.fault;
  }
  if (layout.readError) return refused("cannot read " + name + ": " + errnoText(layout.readError));
  if (!layout.fault.empty()) return refused(name + " line " + decimal(layout.faultLine) + ": " + layout.fault);
  if (layout.columns == 0) return refused(name + " holds no numbers");
  const long long bodyStart = layout.bodyStart;

  Context ctx{fd, bodyStart, fileSize, blockBytes, &yielder, {SIZE_MAX}, {0}, {0}, 0};
  ctx.otherRules = otherRules;

  int threads = tuning.maxThreads > 0
                    ? tuning.maxThreads
                    : std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxThreads);
  long long minShare = std::max(tuning.minShareBytes, 1LL);
  std::size_t shareCount =
      static_cast<std::size_t>(std::clamp(fileSize / minShare, 1LL, static_cast<long long>(threads)));
  std::vector<Share> shares(shareCount);
  const long long shareBytes = (fileSize - bodyStart) / static_cast<long long>(shareCount);
  for (std::size_t k = 0; k < shareCount; ++k) {
    shares[k].from = bodyStart + shareBytes * static_cast<long long>(k);
    shares[k].to = k + 1 == shareCount ? fileSize : bodyStart + shareBytes * static_cast<long long>(k + 1);
  }
  runShares(shares, ctx, [&](std::size_t k, Share& s) { countShare(ctx, k, s); });

  long long lines = 0, rows = 0;
  for (Share& s : shares) {
    s.firstLine = layout.bodyLine + lines;
    s.firstRow = rows;
    lines += s.lines;
    rows += s.rows;
  }
  ctx.totalRows = rows;
  const std::string size =
      " (" + groupedCount(rows, "row", "rows") + " x " + groupedCount(layout.columns, "column", "columns") + ")";
  if (rows > INT_MAX || layout.columns > INT_MAX ||
      static_cast<std::size_t>(rows) >
          physicalMemory() / (sizeof(float) * static_cast<std::size_t>(layout.columns) + sizeof(double)))
    return refused(name + " is too large to read" + size);

  std::shared_ptr<SampleTable> table;
  // the first column also as doubles, kept when it is a counter beyond the floats' whole numbers
  std::unique_ptr<double[]> exactFirst;
  try {
    // with room for the rows a sampler still writing the file appends, should it be followed
    table = std::make_shared<SampleTable>(static_cast<int>(layout.columns), static_cast<int>(rows),
                                          SampleTable::Room::forAppending);
    exactFirst.reset(rows ? new double[static_cast<std::size_t>(rows)] : nullptr);
  } catch (const std::bad_alloc&) {
    return refused(name + " is too large to read" + size);
  }
  ctx.firstStop = SIZE_MAX;
  runShares(shares, ctx, [&](std::size_t k, Share& s) {
    BlockReader in(ctx.fd, s.begin, s.end, ctx.blockBytes);
    if (layout.csv)
      fillShare<true>(ctx, k, s, *table, exactFirst.get(), in);
    else
      fillShare<false>(ctx, k, s, *table, exactFirst.get(), in);
  });

  DataFileReadResult result;
  long long kept = 0;
  const Share* last = &shares[0];  // the share reading on begins in: the last one with lines
  for (const Share& s : shares) {
    if (s.lines > 0) last = &s;
    kept = s.firstRow + s.rowsRead;
    if (s.extraRows > 0) {
      if (!result.extraNumbers) result.extraNumbers = ExtraNumbers{s.firstExtraLine, 0};
      result.extraNumbers->rows += s.extraRows;
    }
    if (s.stopped) {
      if (s.refuse) return refused(name + " line " + decimal(s.stopLine) + ": " + s.reason);
      result.stoppedEarly = ReadStop{s.stopLine, s.reason};
      break;
    }
  }
  if (kept == 0) {
    if (!result.stoppedEarly) return refused(name + " holds no numbers");
    const ReadStop& stop = *result.stoppedEarly;
    return refused(name + " line " + decimal(stop.line) + ": " + stop.reason);
  }
  table->truncateRows(static_cast<int>(kept));
  offerExactFirstColumn(shares, std::move(exactFirst), *table);
  table->setColumnNames(std::move(layout.names));
  result.table = std::move(table);
  result.readOn = readOnPoint(fd, opened, *last, layout, otherRules);
  return result;
}

}  // namespace

DataFileReadResult readDataFile(const std::string& path, const ReadTuning& tuning) {
  return readDataFile(path, Progress::unwatched(), tuning);
}

DataFileReadResult readDataFile(const std::string& path, Progress& progress, const ReadTuning& tuning) {
  try {
    DataFileReadResult result = read(path, progress, tuning);
    progress.report(1);
    return result;
  } catch (const std::bad_alloc&) {
    return refused(quoted(path) + " is too large to read");
  } catch (const std::system_error& e) {  // threads or locks the system would not give
    return refused("cannot read " + quoted(path) + ": " + e.what());
  }
}

AppendedRows readAppendedRows(std::string_view lines, const ReadOnPoint& from) {
  AppendedRows out;
  out.nextLine = from.line;
  const std::size_t size = lines.size();
  // every line but the last ends in a line feed, so there are no more rows than line feeds
  const long long bound = std::count(lines.begin(), lines.end(), '\n') + 1;
  const int columns = std::max(from.columns, 1);
  auto table = std::make_shared<SampleTable>(columns, static_cast<int>(std::min<long long>(bound, INT_MAX)));
  std::unique_ptr<char[]> text(new char[size + 1]);
  std::memcpy(text.get(), lines.data(), size);
  text[size] = '\n';
  std::unique_ptr<double[]> exact(new double[static_cast<std::size_t>(table->rowCount()) + 1]);

  Share s;
  s.from = s.begin = from.byte;
  s.to = s.end = from.byte + static_cast<long long>(size);
  s.lines = s.rows = table->rowCount();
  s.rowsCounted = false;
  s.firstLine = from.line;
  Yielder yielder(Progress::unwatched(), std::chrono::milliseconds{0});
  Context ctx{-1, from.byte, s.end, size, &yielder, {SIZE_MAX}, {0}, {0}, s.rows};
  ctx.otherRules = from.comments;
  BlockReader in(text.get(), size, from.byte);
  if (from.csv)
    fillShare<true>(ctx, 0, s, *table, exact.get(), in);
  else
    fillShare<false>(ctx, 0, s, *table, exact.get(), in);

  const int kept = static_cast<int>(s.rowsRead);
  table->truncateRows(kept);
  if (!s.fractions) {
    const float* floats = table->columnData(0);
    out.firstColumn.resize(static_cast<std::size_t>(kept));
    for (int r = 0; r < kept; ++r)
      out.firstColumn[static_cast<std::size_t>(r)] = s.exactFrom >= 0 && r >= s.exactFrom ? exact[r] : floats[r];
    if (s.exactFrom >= 0) {
      std::unique_ptr<double[]> held(new double[static_cast<std::size_t>(kept)]);
      std::copy(out.firstColumn.begin(), out.firstColumn.end(), held.get());
      table->offerExactFirstColumn(std::move(held));
    }
  } else {
    table->noteFirstColumnNotWhole();
  }
  if (s.extraRows > 0) out.extraNumbers = ExtraNumbers{s.firstExtraLine, s.extraRows};
  out.rows = std::move(table);
  out.nextLine = s.restLine;
  if (!s.stopped) {
    out.bytes = static_cast<long long>(size);
    return out;
  }
  out.bytes = s.restByte - from.byte;
  out.badRow = ReadStop{s.stopLine, s.reason};
  const std::string_view after = lines.substr(static_cast<std::size_t>(out.bytes));
  const std::size_t lineEnd = after.find('\n');
  if (lineEnd != std::string_view::npos)
    for (char c : after.substr(lineEnd + 1))
      if (classOf(c) != kBlank && c != '\n') {
        out.rowAfterBadRow = true;
        break;
      }
  return out;
}

}  // namespace varno
