// Rank ECDF differences against R's ecdf() and their band against the plotting library's
// simulated band (fixtures/rank_reference.R), within the spread of its simulation.
#include "stats/rank_ecdf.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "tests/stats/reference_fixtures.h"

namespace varno {
namespace {

using fixtures::drawCases;
using fixtures::number;
using fixtures::tsvRows;

// One chain (compared as its halves), four chains, ties across two chains, discrete draws: the
// thinning and every ECDF value exactly as R's.
TEST(RankEcdf, ThinningAndDifferencesAreRs) {
  struct Expected {
    std::int64_t thinning = 0;
    double bulk = 0, tail = 0;
    std::vector<std::vector<double>> z, difference;  // per curve
  };
  std::map<std::string, Expected> reference;
  for (const auto& row : tsvRows("rank_ecdf_reference.tsv")) {
    Expected& e = reference[row.at(0)];
    e.thinning = std::stoll(row.at(1));
    e.bulk = *number(row.at(2));
    e.tail = *number(row.at(3));
    const auto curve = static_cast<std::size_t>(std::stoi(row.at(4)));
    if (e.z.size() < curve) {
      e.z.resize(curve);
      e.difference.resize(curve);
    }
    e.z[curve - 1].push_back(*number(row.at(5)));
    e.difference[curve - 1].push_back(*number(row.at(6)));
  }
  ASSERT_EQ(reference.size(), 4u);
  for (const auto& [name, e] : reference) {
    const auto& draws = drawCases().at(name);
    const std::vector<std::span<const double>> chains(draws.begin(), draws.end());
    const RankEcdf ecdf = rankEcdf(chains, e.bulk, e.tail);
    EXPECT_EQ(ecdf.thinning, e.thinning) << name;
    EXPECT_EQ(ecdf.halves, chains.size() == 1) << name;
    ASSERT_EQ(ecdf.curves.size(), e.z.size()) << name;
    for (std::size_t c = 0; c < e.z.size(); ++c) {
      EXPECT_EQ(ecdf.z, e.z[c]) << name;
      EXPECT_EQ(ecdf.curves[c].difference, e.difference[c]) << name << " curve " << c + 1;
    }
    EXPECT_EQ(ecdf.thinning, rankEcdfThinning(static_cast<std::int64_t>(draws.size() * draws[0].size()), e.bulk, e.tail));
  }
  // the reference's ar1 is thinned, else the case would not show the thinning at work
  EXPECT_GT(reference.at("ar1").thinning, 1);
}

// The band of two halves and of four chains, few draws and many, lies between the bands of the
// smallest and largest level the plotting library's simulation gave over its seeds; our level
// lies in that spread too, widened by half of it each way: twenty runs span about two standard
// deviations of the simulated level either side, the widened range about three.
TEST(RankEcdf, BandLiesWithinTheSpreadOfTheReferenceSimulation) {
  struct Setting {
    double gammaLow = 0, gammaHigh = 0;
    std::vector<std::int64_t> lowerWide, lowerNarrow, upperNarrow, upperWide;
  };
  std::map<std::tuple<int, int, int>, Setting> reference;
  for (const auto& row : tsvRows("ecdf_band_reference.tsv")) {
    Setting& s = reference[{std::stoi(row.at(0)), std::stoi(row.at(1)), std::stoi(row.at(2))}];
    s.gammaLow = *number(row.at(3));
    s.gammaHigh = *number(row.at(4));
    s.lowerWide.push_back(std::stoll(row.at(6)));
    s.lowerNarrow.push_back(std::stoll(row.at(7)));
    s.upperNarrow.push_back(std::stoll(row.at(8)));
    s.upperWide.push_back(std::stoll(row.at(9)));
  }
  ASSERT_EQ(reference.size(), 5u);
  for (const auto& [key, s] : reference) {
    const auto [draws, curves, points] = key;
    const std::string what = std::to_string(draws) + " draws x " + std::to_string(curves) + " curves";
    const EcdfBand band = ecdfBand(draws, curves, points, 0.95);
    const double spread = s.gammaHigh - s.gammaLow;
    EXPECT_GE(band.gamma, s.gammaLow - spread / 2) << what;
    EXPECT_LE(band.gamma, s.gammaHigh + spread / 2) << what;
    ASSERT_EQ(band.lower.size(), static_cast<std::size_t>(points + 1)) << what;
    int inside = 0;
    for (int i = 0; i <= points; ++i) {
      // a count may step one beyond at a level just outside the twelve runs
      EXPECT_GE(band.lower[i], s.lowerWide[i] - 1) << what << " at " << i;
      EXPECT_LE(band.lower[i], s.lowerNarrow[i] + 1) << what << " at " << i;
      EXPECT_GE(band.upper[i], s.upperNarrow[i] - 1) << what << " at " << i;
      EXPECT_LE(band.upper[i], s.upperWide[i] + 1) << what << " at " << i;
      inside += band.lower[i] >= s.lowerWide[i] && band.lower[i] <= s.lowerNarrow[i] &&
                band.upper[i] >= s.upperNarrow[i] && band.upper[i] <= s.upperWide[i];
    }
    EXPECT_GE(inside, points * 9 / 10) << what;
    EXPECT_EQ(ecdfBand(draws, curves, points, 0.95).lower, band.lower) << what << ": the same every run";
  }
}

// Chains that sample different distributions leave the band where they part; chains that agree
// stay inside, however autocorrelated, once thinned by their ESS.
TEST(RankEcdf, ChainsApartLeaveTheBandAndChainsAlikeStayInside) {
  std::uint64_t state = 12345;
  const auto normal = [&state] {
    double s = 0;
    for (int k = 0; k < 12; ++k) {
      state = state * 6364136223846793005ULL + 1442695040888963407ULL;
      s += static_cast<double>(state >> 11) * 0x1p-53;
    }
    return s - 6;
  };
  // four AR(1) chains of 2000 draws, the last one shifted by `shift` standard deviations
  const auto chainsOf = [&](double phi, double shift) {
    std::vector<std::vector<double>> chains(4, std::vector<double>(2000));
    for (auto& chain : chains) {
      double x = normal();
      for (double& v : chain) v = x = phi * x + std::sqrt(1 - phi * phi) * normal();
    }
    for (double& v : chains[3]) v += shift;
    return chains;
  };
  const auto ecdfOf = [](const std::vector<std::vector<double>>& draws) {
    const std::vector<std::span<const double>> chains(draws.begin(), draws.end());
    return rankEcdf(chains, essBulk(chains), essTail(chains));
  };
  const RankEcdf same = ecdfOf(chainsOf(0.9, 0));
  EXPECT_GT(same.thinning, 3);
  ASSERT_EQ(same.curves.size(), 4u);
  for (const RankEcdfCurve& c : same.curves) EXPECT_FALSE(c.leaves()) << "chain " << c.chain;

  const RankEcdf shifted = ecdfOf(chainsOf(0.5, 0.4));
  ASSERT_EQ(shifted.curves.size(), 4u);
  for (int c = 0; c < 3; ++c) EXPECT_FALSE(shifted.curves[c].leaves()) << "chain " << c + 1;
  ASSERT_TRUE(shifted.curves[3].leaves());
  // its draws rank high: it runs below the band, from the lower ranks on
  const std::size_t middle = shifted.z.size() / 2;
  EXPECT_LT(shifted.curves[3].outsideAt.front(), 0.5);
  EXPECT_LT(shifted.curves[3].difference[middle], shifted.lower[middle]);
}

}  // namespace
}  // namespace varno
