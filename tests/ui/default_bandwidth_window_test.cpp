// The default bandwidth is that of the pooled sample of the column shown once the analysis is in
// place, however it was opened: the Statistics box's mode is then the same for the same files.
#include <QLineEdit>
#include <QGroupBox>

#include "stats/default_bandwidth.h"
#include "ui/track_bar.h"
#include "window_fixture.h"
#include "window_parts.h"

namespace varno {
namespace {

using namespace testing;

// The default position of a sample: the rule of thumb over its values pooled.
int pooledDefault(const std::vector<double>& values) {
  double mean = 0;
  for (double v : values) mean += v;
  mean /= static_cast<double>(values.size());
  double sumSquares = 0;
  for (double v : values) sumSquares += (v - mean) * (v - mean);
  return defaultBandwidthPosition(static_cast<int>(values.size()), sumSquares).value();
}

struct DefaultBandwidth : WindowFixture {
  // two chains of one column with different spreads: chain 1 alone gives another default
  std::vector<double> valuesA, valuesB;
  QString a, b;

  DefaultBandwidth() {
    QByteArray textA, textB;
    for (int i = 0; i < 40; ++i) {
      valuesA.push_back(static_cast<float>(1.0 + 0.01 * (i % 9)));
      valuesB.push_back(static_cast<float>(1.5 + 0.2 * (i % 5)));
      textA += QByteArray::number(1.0 + 0.01 * (i % 9)) + " " + QByteArray::number(i) + "\n";
      textB += QByteArray::number(1.5 + 0.2 * (i % 5)) + " " + QByteArray::number(i) + "\n";
    }
    a = write("a.ml", textA);
    b = write("b.ml", textB);
  }
  int position() const { return part<TrackBar>(*form, "lambda_dens")->position(); }
  QString mode() const { return part<QLineEdit>(*form, "mode")->text(); }
};

TEST_F(DefaultBandwidth, EveryWayOfOpeningTwoChainsGivesThePooledDefaultAndTheSameMode) {
  std::vector<double> pooled = valuesA;
  pooled.insert(pooled.end(), valuesB.begin(), valuesB.end());
  const int expected = pooledDefault(pooled);
  ASSERT_NE(expected, pooledDefault(valuesA)) << "the fixture must tell chain 1 alone from both";

  const struct {
    const char* name;
    std::function<void(DefaultBandwidth&)> open;
  } ways[] = {
      {"dropped together", [](DefaultBandwidth& t) {
         t.dialogs.answers = {true};
         drop(*t.form, {t.a, t.b});
       }},
      {"opened, then Add chain", [](DefaultBandwidth& t) {
         t.dialogs.files = {t.a};
         trigger(*t.form, "Open");
         t.idle();
         t.dialogs.files = {t.b};
         trigger(*t.form, "addChain");
       }},
      {"command line", [](DefaultBandwidth& t) { t.form->actOnCommandLine({t.a}, {t.b}); }},
      {"reloaded", [](DefaultBandwidth& t) { trigger(*t.form, "Refresh1"); }},
  };
  QString firstMode;
  for (const auto& way : ways) {
    SCOPED_TRACE(way.name);
    way.open(*this);
    idle();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
    ASSERT_EQ(form->analysis().chainCount(), 2);
    EXPECT_EQ(position(), expected);
    if (firstMode.isEmpty()) firstMode = mode();
    EXPECT_EQ(mode(), firstMode);
    // the bandwidth is the user's again, and the box says which one its mode uses
    EXPECT_TRUE(part<QLineEdit>(*form, "mode")->toolTip().isEmpty());
    part<TrackBar>(*form, "lambda_dens")->setValue(expected + 60);
    idle();
    EXPECT_EQ(position(), expected + 60);
    const QString tip = part<QLineEdit>(*form, "mode")->toolTip();
    EXPECT_TRUE(tip.contains("Lambda = " + part<QLineEdit>(*form, "Vlambda")->text())) << tip.toStdString();
    EXPECT_TRUE(tip.contains("default")) << tip.toStdString();
    EXPECT_EQ(part<QGroupBox>(*form, "Stats")->toolTip(), tip);
  }
}

// The unattended start shows Sigma² at the default of Sigma², as opening the file does.
TEST_F(DefaultBandwidth, TheUnattendedStartGivesTheDefaultOfTheColumnShown) {
  const QString data = write("u.fst", fstRows(50, 2, 2, [](int r) { return r % 2 ? 4 : 2; }));
  const QString factors = write("u_factors.txt", "g[1]=0.1 0.5\ng[2]=12 15\n");
  std::vector<double> sigma;
  for (int r = 0; r < 50; ++r) sigma.push_back(static_cast<float>(0.5 + 0.01 * (r % 7)));
  const int expected = pooledDefault(sigma);

  form->actOnCommandLine({data, factors, "0"});
  idle();
  ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  EXPECT_EQ(part<QComboBox>(*form, "xi")->currentText(), "Sigma \u00B2");
  EXPECT_EQ(position(), expected);
  const QString unattendedMode = mode();

  dialogs.files = {data, factors};
  dialogs.answers = {true, false};
  trigger(*form, "Open");
  idle();
  EXPECT_EQ(position(), expected);
  EXPECT_EQ(mode(), unattendedMode);
}

}  // namespace
}  // namespace varno
