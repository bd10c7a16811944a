// When a followed run may stop: the target held at two tables far enough apart.
#pragma once

#include <optional>

namespace varno {

struct FollowStopRule {
  // The rows the two tables must be apart at least; nothing: 10% of the rows of the first.
  std::optional<long long> confirmRows;
  long long minRows = 0;  // a table of fewer rows neither starts nor ends a confirmation
};

// Fed each table's rows (of every chain together, as read) and whether the target held there, it
// says when the run is confirmed. A table that misses the target starts over, and so does one of
// fewer rows than the first (its files were read anew): stopping at the first table that meets a
// target would take the luck of one table for convergence.
class FollowStop {
 public:
  explicit FollowStop(FollowStopRule rule) : rule_(rule) {}

  // True once this table confirms the first one that met the target.
  bool confirms(long long rows, bool met);

  // The rows of the table that met the target and waits to be confirmed, if any.
  std::optional<long long> firstMet() const { return firstMet_; }
  // The least rows of a table that would confirm it (with firstMet).
  long long confirmingRows() const;

 private:
  FollowStopRule rule_;
  std::optional<long long> firstMet_;
};

}  // namespace varno
