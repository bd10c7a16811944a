// What the columns of a data file mean: fst labels, frq loci and alleles, numbered other columns.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/sample_table.h"

namespace varno {

// Column chooser entries of an fst file, entry e for column e: "Iteration", "Sigma ²",
// "Log likelihood", "Fst1" .. "FstP" (P = columnCount - factorCount - 5, none when negative),
// "Model", "alpha0" .. "alphaK". UTF-8.
std::vector<std::string> fstColumnLabels(int columnCount, int factorCount);

// Column chooser entries of any other file: the names of its header line (`names`, one per
// column), else "1" .. columnCount; a column whose name is empty keeps its number.
std::vector<std::string> otherColumnLabels(int columnCount, const std::vector<std::string>& names = {});

// Why an fst file cannot hold the chosen factors: fewer than factorCount + 5 columns.
std::optional<std::string> fstLayoutError(int columnCount, int factorCount);

// Why an other file has nothing to show: no column.
std::optional<std::string> otherLayoutError(int columnCount);

// Allele counts of the loci of an frq file, from its first row: column 1 holds the count of
// locus 1, its frequencies follow, then the count of locus 2, and so on. Counts are truncated
// toward zero. A count below 0 (or not a number) ends the walk; a count larger than the columns
// left after it is cut to them, so every allele counted has a column.
std::vector<int> frqAlleleCounts(const SampleTable& table);

// Why an frq file cannot be shown: no rows, or no locus with at least one allele.
std::optional<std::string> frqLayoutError(int rowCount, const std::vector<int>& alleleCounts);

// 1-based column of allele `allele` of locus `locus` (both 0-based): 2 + sum over earlier loci
// of (count + 1) + allele + 1. 0 when the locus or allele does not exist.
int frqColumn(const std::vector<int>& alleleCounts, int locus, int allele);

// Entries of the locus chooser ("1" .. number of loci) and of the allele chooser for one locus
// ("1" .. its allele count; none for a locus that does not exist).
std::vector<std::string> locusEntries(const std::vector<int>& alleleCounts);
std::vector<std::string> alleleEntries(const std::vector<int>& alleleCounts, int locus);

// The entry to select again after a reload: the remembered one when it still exists, else the
// default one (else the first, or -1 when there are no entries).
int reloadSelection(int rememberedIndex, int entryCount, int defaultIndex);

}  // namespace varno
