// Ascending order of draws with their positions, by stable least-significant-digit radix sorts.
#include "stats/ascending_order.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <memory>
#include <utility>

#include "stats/ordered_key.h"

namespace varno {

namespace {

constexpr std::size_t kComparisonSortSize = 256;

// Draws with their positions, one byte of the key per pass.
void sortDraws(std::vector<OrderedDraw>& order) {
  const std::size_t n = order.size();
  std::array<std::array<std::size_t, 256>, 8> counts{};
  for (const OrderedDraw& d : order) {
    const std::uint64_t key = orderedKey(d.value);
    for (int b = 0; b < 8; ++b) ++counts[b][(key >> (8 * b)) & 0xff];
  }
  std::vector<OrderedDraw> spare(n);
  for (int b = 0; b < 8; ++b) {
    std::array<std::size_t, 256>& count = counts[b];
    // a byte that every key shares orders nothing (values widened from floats share three)
    if (std::find(count.begin(), count.end(), n) != count.end()) continue;
    std::size_t offset = 0;
    for (std::size_t& c : count) offset += std::exchange(c, offset);
    for (const OrderedDraw& d : order) spare[count[(orderedKey(d.value) >> (8 * b)) & 0xff]++] = d;
    order.swap(spare);
  }
}

constexpr std::uint64_t kSign = std::uint64_t{1} << 63;

// A key that orders like the draws and keeps their trailing zero bits (values widened from
// floats have 29): 2^63 plus the magnitude of a positive draw, 2^63 minus that of a negative one.
// -0 and +0 share a key, so a sample that holds -0 takes the other path.
std::uint64_t packedKey(double v) {
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(v);
  const std::uint64_t magnitude = bits & ~kSign;
  return bits & kSign ? kSign - magnitude : kSign + magnitude;
}

double fromPackedKey(std::uint64_t key) {
  return std::bit_cast<double>(key >= kSign ? key - kSign : (kSign - key) | kSign);
}

// The keys of the draws as offsets from the smallest, without the low bits they all share.
struct KeyRange {
  std::uint64_t smallest = ~std::uint64_t{0};
  int low = 0;    // trailing bits shared by every key
  int width = 0;  // bits of the largest offset
  bool negativeZero = false;
};

KeyRange keyRange(std::span<const double> values) {
  KeyRange range;
  std::uint64_t largest = 0, differ = 0, first = 0;
  bool seen = false;
  for (double v : values) {
    if (std::isnan(v)) continue;
    range.negativeZero = range.negativeZero || std::bit_cast<std::uint64_t>(v) == kSign;
    const std::uint64_t key = packedKey(v);
    if (!seen) first = key;
    seen = true;
    differ |= key ^ first;  // its lowest set bit is the lowest of any difference
    range.smallest = std::min(range.smallest, key);
    largest = std::max(largest, key);
  }
  if (differ != 0) {
    range.low = std::countr_zero(differ);
    range.width = std::bit_width((largest - range.smallest) >> range.low);
  }
  return range;
}

// Where the keys of the draws span few enough bits to share one word with their positions
// (values widened from floats do: about 30 bits), the words sort at half the memory traffic of
// draws, a byte at a time. The positions below the key keep equal keys in order.
void sortPacked(std::span<const double> values, const KeyRange& range, int positionBits,
                std::vector<OrderedDraw>& order) {
  constexpr int kDigitBits = 8;
  constexpr std::size_t kBuckets = std::size_t{1} << kDigitBits;
  const int digits = (range.width + kDigitBits - 1) / kDigitBits;
  std::vector<std::array<std::size_t, kBuckets>> counts(static_cast<std::size_t>(digits));
  for (auto& c : counts) c.fill(0);

  // both written in full before they are read, so left uninitialised
  auto words = std::make_unique_for_overwrite<std::uint64_t[]>(values.size());
  auto spare = std::make_unique_for_overwrite<std::uint64_t[]>(values.size());
  std::size_t n = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (std::isnan(values[i])) continue;
    const std::uint64_t key = (packedKey(values[i]) - range.smallest) >> range.low;
    words[n++] = key << positionBits | i;
    for (int d = 0; d < digits; ++d) ++counts[d][(key >> (kDigitBits * d)) & (kBuckets - 1)];
  }
  for (int d = 0; d < digits; ++d) {
    auto& count = counts[d];
    if (std::find(count.begin(), count.end(), n) != count.end()) continue;
    std::size_t offset = 0;
    for (std::size_t& c : count) offset += std::exchange(c, offset);
    const int shift = positionBits + kDigitBits * d;
    for (std::size_t i = 0; i < n; ++i) {
      const std::uint64_t w = words[i];
      spare[count[(w >> shift) & (kBuckets - 1)]++] = w;
    }
    words.swap(spare);
  }
  const std::uint64_t positionMask = (std::uint64_t{1} << positionBits) - 1;
  order.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint64_t w = words[i];
    order[i] = {fromPackedKey(range.smallest + ((w >> positionBits) << range.low)),
                static_cast<std::uint32_t>(w & positionMask)};
  }
}

}  // namespace

std::vector<OrderedDraw> ascendingOrder(std::span<const double> values) {
  std::vector<OrderedDraw> order;
  if (values.size() >= kComparisonSortSize) {
    const KeyRange range = keyRange(values);
    const int positionBits = std::bit_width(values.size() - 1);
    if (!range.negativeZero && range.width + positionBits <= 64) {
      sortPacked(values, range, positionBits, order);
      return order;
    }
  }
  order.reserve(values.size());
  for (std::size_t i = 0; i < values.size(); ++i)
    if (!std::isnan(values[i])) order.push_back({values[i], static_cast<std::uint32_t>(i)});
  if (order.size() < kComparisonSortSize) {
    std::stable_sort(order.begin(), order.end(), [](const OrderedDraw& a, const OrderedDraw& b) {
      return orderedKey(a.value) < orderedKey(b.value);
    });
  } else {
    sortDraws(order);
  }
  return order;
}

}  // namespace varno
