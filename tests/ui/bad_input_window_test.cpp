// Bad files opened over an open analysis: the analysis stays as it was and one error names the file.
#include <QComboBox>
#include <QDir>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <ostream>

#include "window_fixture.h"
#include "window_parts.h"

namespace varno {
namespace {

using namespace testing;

using testing::WindowFixture;

// What a refused file must leave untouched.
struct AnalysisView {
  const SampleTable* table;
  int rowCount, columnCount, populationCount, factorCount, factorMode, modelFilter, page, columnEntries;
  bool hasInteraction;
  std::string dataFileName, dataExtension, factorFileName;
  QString caption, memo;
  std::vector<std::vector<float>> factorValues;
  SummaryArrays fst, coefficients;
  std::array<double, 4> sigma;
  std::array<double, kModelSlots> modelProbabilities;
  int bestModel;
  bool summaryCurrent;

  static AnalysisView of(const TForm3& f) {
    const AnalysisState& s = f.analysis();
    return {s.open() ? s.firstTable().get() : nullptr,
            s.open() ? s.firstTable()->rowCount() : 0,
            s.columnCount,
            s.populationCount,
            s.factorCount,
            s.factorMode,
            s.modelFilter,
            part<QTabWidget>(f, "Pages")->currentIndex(),
            part<QComboBox>(f, "xi")->count(),
            s.hasInteraction,
            s.dataFileName,
            s.dataExtension,
            s.factorFileName,
            f.windowTitle(),
            part<QPlainTextEdit>(f, "mModel")->toPlainText(),
            s.factorValues,
            s.fstSummary,
            s.coefficientSummary,
            s.sigmaSummary,
            s.modelProbabilities,
            s.bestModel,
            summaryShown(f)};
  }
  bool operator==(const AnalysisView&) const = default;
};

enum class Flow { Open, Drop, CommandLine, Reload };

struct BadOpen {
  const char* name;
  const char* fileName;
  QByteArray content;  // ignored for a folder
  bool folder;
  Flow flow;
};

// Names the case in test listings instead of its bytes.
void PrintTo(const BadOpen& open, std::ostream* out) { *out << open.name; }

const QByteArray kHeader = "Iteration Sigma Loglik\n1 2 3\n";
const QByteArray kUtf16 = QByteArray("\xFF\xFE" "1\0 \0" "2\0\r\0\n\0", 12);
const QByteArray kBinary = QByteArray("\x7F" "ELF\x02\x01\0\0\x89PNG\r\n", 14);

class BadInputWindow : public WindowFixture, public ::testing::WithParamInterface<BadOpen> {
 protected:
  // An fst trace of 40 rows, 3 populations and 2 factors, with its factors file; no interaction.
  void openAnalysis() {
    const QString data = write("lake.fst", testing::fstRows(40, 3, 2, [](int r) { return 1 + r % 4; }));
    const QString factors = write("lake.txt", "npop=3\ng[1]=0.1 0.5 0.9\ng[2]=12 15 11\n");
    dialogs.files = {data, factors};
    dialogs.answers = {true, false};
    trigger(*form, "Open");
    idle();
    ASSERT_EQ(form->analysis().factorCount, 2);
    ASSERT_EQ(form->analysis().populationCount, 3);
    ASSERT_EQ(form->analysis().firstTable()->rowCount(), 40);
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  }
};

TEST_P(BadInputWindow, LeavesTheOpenAnalysisIntactAndShowsOneErrorNamingTheFile) {
  const BadOpen& c = GetParam();
  openAnalysis();
  const AnalysisView before = AnalysisView::of(*form);

  QString path;
  if (c.flow == Flow::Reload) {
    path = dir.filePath("lake.fst");  // the open file, overwritten on disk since it was read
    write("lake.fst", c.content);
  } else if (c.folder) {
    path = dir.filePath(c.fileName);
    ASSERT_TRUE(QDir(dir.path()).mkdir(c.fileName));
  } else {
    path = write(c.fileName, c.content);
  }

  dialogs.questions.clear();
  switch (c.flow) {
    case Flow::Open:
      dialogs.files = {path};
      dialogs.answers = {false};  // no environmental factors for an fst file
      trigger(*form, "Open");
      idle();
      break;
    case Flow::Drop:
      dialogs.answers = {false};
      drop(*form, {path});
      idle();
      break;
    case Flow::CommandLine:
      form->actOnCommandLine({path});
      idle();
      break;
    case Flow::Reload:
      trigger(*form, "Refresh1");
      idle();
      break;
  }
  idle();

  ASSERT_EQ(dialogs.errors.size(), 1) << dialogs.errors.join("\n").toStdString();
  EXPECT_TRUE(dialogs.errors.front().contains(path)) << dialogs.errors.front().toStdString();
  EXPECT_TRUE(AnalysisView::of(*form) == before);
  EXPECT_EQ(form->analysis().firstTable()->rowCount(), 40);
  EXPECT_FALSE(form->jobs().busy(JobRunner::Lane::analysis));
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadInputWindow,
    ::testing::Values(BadOpen{"EmptyFstByOpen", "empty.fst", "", false, Flow::Open},
                      BadOpen{"BlankLinesByOpen", "blank.ml", "\n \n\t\n\r\n", false, Flow::Open},
                      BadOpen{"BinaryByDrop", "core.frq", kBinary, false, Flow::Drop},
                      BadOpen{"Utf16ByOpen", "wide.ml", kUtf16, false, Flow::Open},
                      BadOpen{"HeaderWordsByCommandLine", "header.fst", kHeader, false, Flow::CommandLine},
                      BadOpen{"HeaderNamingTooFewColumnsByCommandLine", "names.csv", "a,b\n1,2,3\n", false,
                              Flow::CommandLine},
                      BadOpen{"CommaHeaderOverTabRowsByDrop", "mixed.txt", "a,b\n1\t2\n", false, Flow::Drop},
                      BadOpen{"FolderByDrop", "runs.fst", "", true, Flow::Drop},
                      BadOpen{"FolderByOpen", "runs.ml", "", true, Flow::Open},
                      BadOpen{"TooFewColumnsForTheFactorsByOpen", "narrow.fst", "1 2 3\n4 5 6\n", false, Flow::Open},
                      BadOpen{"NoLocusByDrop", "zero.frq", "1 0 0.5\n2 0 0.5\n", false, Flow::Drop},
                      // two factors read as none: the model column holds coefficients
                      BadOpen{"TraceOfTwoFactorsOpenedWithoutFactorsByOpen", "other.fst",
                              testing::fstRows(40, 3, 2, [](int r) { return 1 + r % 4; }), false, Flow::Open},
                      BadOpen{"TraceOfTwoFactorsOpenedWithoutFactorsByDrop", "other.fst",
                              testing::fstRows(40, 3, 2, [](int r) { return 1 + r % 4; }), false, Flow::Drop},
                      BadOpen{"OverwrittenWithThreeFactorsByReload", "",
                              testing::fstRows(40, 3, 3, [](int r) { return 1 + r % 8; }), false, Flow::Reload},
                      BadOpen{"OverwrittenWithWordsByReload", "", kHeader, false, Flow::Reload},
                      BadOpen{"OverwrittenEmptyByReload", "", "", false, Flow::Reload}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace varno
