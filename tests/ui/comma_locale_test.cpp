// Numbers read and shown by the window never follow a comma-decimal locale of the user.
#include <QLineEdit>
#include <clocale>

#include "window_fixture.h"
#include "window_parts.h"

namespace varno {
namespace {

using namespace testing;

struct CommaLocale : testing::WindowFixture {
  std::string previous = std::setlocale(LC_ALL, nullptr);
  void SetUp() override {
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
  }
  void TearDown() override { std::setlocale(LC_ALL, previous.c_str()); }
};

TEST_F(CommaLocale, ReadsAndWritesDotDecimals) {
  form->actOnCommandLine({write("t.ml", "0.5\n1.25\n2.5\n")});
  idle();
  EXPECT_EQ(part<QLineEdit>(*form, "m")->text(), "1.41667");
  EXPECT_EQ(part<QLineEdit>(*form, "min")->text(), "0.5");
  EXPECT_EQ(part<QLineEdit>(*form, "HPDI")->text(), "[0.5 ; 2.5]");
  part<QLineEdit>(*form, "Cpc2")->setText("90.5");
  idle();
  EXPECT_EQ(part<QLineEdit>(*form, "Cpc2")->text(), "90.5");
}

}  // namespace
}  // namespace varno
