// Small traces in the styles other samplers write, shared by the reader, window and tool tests:
// each with its file name, the names its header gives and the mean of every column.
#pragma once

#include <string>
#include <vector>

namespace varno::testing {

struct TraceStyle {
  const char* name;
  const char* fileName;
  std::string content;
  std::vector<std::string> names;
  std::vector<std::vector<float>> rows;
  std::vector<std::string> means;  // as the tool writes them
};

inline const std::vector<TraceStyle>& traceStyles() {
  static const std::vector<TraceStyle> styles = {
      {"header and tabs", "run.p",
       "Gen\tLnL\tTL\n1\t-10.5\t2.25\n2\t-9.75\t2.5\n3\t-9\t2.75\n4\t-8.25\t3\n",
       {"Gen", "LnL", "TL"},
       {{1, -10.5f, 2.25f}, {2, -9.75f, 2.5f}, {3, -9, 2.75f}, {4, -8.25f, 3}},
       {"2.5", "-9.375", "2.625"}},
      {"comments at top, middle and end, CSV header with quoted names", "output.csv",
       "# sampler settings\n#   thin = 1\n\"lp__\",\"accept_stat__\",theta,\"a, b\"\n-7.5,0.5,0.25,1\n"
       "# Adaptation terminated\n#  step size = 0.8\n-7.25, 0.75 ,0.5,2\r\n-7,1,0.75,3\n\n"
       "#  Elapsed Time: 0.01 seconds\n",
       {"lp__", "accept_stat__", "theta", "a, b"},
       {{-7.5f, 0.5f, 0.25f, 1}, {-7.25f, 0.75f, 0.5f, 2}, {-7, 1, 0.75f, 3}},
       {"-7.25", "0.75", "0.5", "2"}},
      {"bracketed first line and tab header", "run1.t",
       "[ID: 9409050143]\nGen\tLnL\talpha\n1\t-100.5\t0.5\n100\t-99.5\t0.75\n",
       {"Gen", "LnL", "alpha"},
       {{1, -100.5f, 0.5f}, {100, -99.5f, 0.75f}},
       {"50.5", "-100", "0.625"}},
  };
  return styles;
}

// A CODA index and two chain files thinned by 10 ("beta[1]" follows "alpha" in each chain file),
// a third chain file of the same run under another name, and what reading the two chains gives.
struct CodaRun {
  std::string index = "alpha 1 3\r\nbeta[1] 4 6\n\n";
  std::string chain1 = "10 0.5\n20 0.25\n30 0.75\n10 1e1\n20\t20\n30 -30\n";
  std::string chain2 = "10 1.5\n20 1.25\n30 1.75\n10 11\n20 21\n30 31";
  std::string chain3 = "10 2\n20 2\n30 2\n10 1\n20 1\n30 1\n";
  std::vector<std::string> names{"Iteration", "alpha", "beta[1]"};
  std::vector<std::vector<float>> rows1{{10, 0.5f, 10}, {20, 0.25f, 20}, {30, 0.75f, -30}};
  std::vector<std::vector<float>> rows2{{10, 1.5f, 11}, {20, 1.25f, 21}, {30, 1.75f, 31}};
  std::vector<std::string> pooledMeans{"20", "1", "10.5"};  // of chains 1 and 2, as the tool writes them
};

}  // namespace varno::testing
