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

}  // namespace varno::testing
