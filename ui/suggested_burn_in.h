// The suggested burn-in of the open chains, computed as a background job whenever the chains or
// the chosen source change, and offered only while it describes them.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/sample_table.h"
#include "core/table_layout.h"
#include "stats/burn_in_suggestion.h"

namespace varno {

class JobRunner;

// What a suggestion is computed from: each chain's whole table (whatever the retained rows), the
// table's layout and the columns that decide.
struct SuggestionInputs {
  std::vector<std::shared_ptr<const SampleTable>> tables;  // chain 1 first
  TableLayout layout;
  BurnInSource source;

  bool operator==(const SuggestionInputs&) const = default;
};

// A suggestion with its texts, made on the worker.
struct SuggestionResult {
  BurnInSuggestion suggestion;
  QString toolTip;  // "suggested burn-in: 1,500 rows (MSER-5; set by tau, chain 2)"
  QString whyNone;  // the status line's message when nothing gives a suggestion
};

class SuggestedBurnIn {
 public:
  // `current`: the inputs of the open analysis, nothing while none is open; `changed` runs on the
  // window's thread whenever what current() returns may have changed.
  SuggestedBurnIn(JobRunner& jobs, std::function<std::optional<SuggestionInputs>()> current,
                  std::function<void()> changed);

  // After the chains or the source changed: computes the suggestion of the current inputs unless
  // it is known or asked for already, and says at once that the one known may no longer hold.
  void update();
  // The suggestion of the current inputs; nothing while it is computed or none is open.
  const SuggestionResult* current() const;

 private:
  // the tables held weakly: a suggestion never keeps a closed file's tables in memory
  struct Described {
    std::vector<std::weak_ptr<const SampleTable>> tables;
    TableLayout layout;
    BurnInSource source;
    bool describes(const SuggestionInputs& inputs) const;
  };
  static Described describe(const SuggestionInputs& inputs);

  JobRunner& jobs_;
  std::function<std::optional<SuggestionInputs>()> current_;
  std::function<void()> changed_;
  std::optional<Described> wanted_;  // the latest request made
  std::optional<Described> shown_;   // what result_ describes
  std::shared_ptr<const SuggestionResult> result_;
};

}  // namespace varno
