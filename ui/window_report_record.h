// Options > "Write a record with each report": the record Save results writes beside the report.
#pragma once

#include <optional>
#include <string>

#include "report/report_record.h"

namespace varno {

struct AnalysisState;

// The record of a report just saved from the window at `reportPath` with the given data range.
std::optional<ProvenanceRecord> windowReportRecord(const AnalysisState& state, long long burnIn, long long burnOut,
                                                   const std::string& reportPath, std::string* why);

}  // namespace varno
