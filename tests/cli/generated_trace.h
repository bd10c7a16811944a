// The set-up the tool's tests share: a folder holding an .fst trace made by the generator,
// lake.fst, and its factors file, lake.txt.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "temp_folder.h"
#include "tools/trace_generator.h"

namespace varno::testing {

class GeneratedTrace : public ::testing::Test {
 protected:
  explicit GeneratedTrace(const FstSpec& made) : spec(made) {}

  void SetUp() override {
    ASSERT_TRUE(folder.ok());
    data = folder.write("lake.fst", fstText(spec));
    factors = folder.write("lake.txt", factorsText(spec));
  }

  TempFolder folder;
  FstSpec spec;
  std::string data, factors;
};

}  // namespace varno::testing
