// The convergence target in the window: set through its dialog, the Diagnostics page marks the
// columns that miss it, the status line says whether it is met, and the page's filter box and
// toggle choose the rows shown.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

#include "ui/convergence_target_dialog.h"
#include "ui/diagnostics_table.h"
#include "window_fixture.h"
#include "window_parts.h"

namespace varno {
namespace {

using namespace testing;

constexpr int kRows = 1000;

// Column 1 counts the rows, column 2 is well mixed in both chains but sits 5 higher in the second
// (the chains disagree: not converged), column 3 is well mixed in both.
QByteArray chainText(unsigned seed, double shift) {
  QByteArray text;
  unsigned state = seed;
  const auto draw = [&] {
    state = state * 1103515245u + 12345u;
    return ((state >> 8) & 0xFFFF) / 65536.0;
  };
  for (int r = 0; r < kRows; ++r) {
    const double second = draw() + shift;
    text += QByteArray::number(r + 1) + " " + QByteArray::number(second, 'g', 9) + " " +
            QByteArray::number(draw(), 'g', 9) + "\n";
  }
  return text;
}

ConvergenceTarget targetOf(const char* text) { return *parseConvergenceTarget(text).target; }

struct ConvergenceTargetWindow : WindowFixture {
  void openTwoChainsOnTheDiagnosticsPage() {
    const QString first = write("run1.ml", chainText(12345, 0));
    const QString second = write("run2.ml", chainText(777, 5));
    form->actOnCommandLine({first}, {second});
    idle();
    part<QTabWidget>(*form, "Pages")->setCurrentIndex(2);
    idle();
    ASSERT_EQ(form->analysis().chainCount(), 2);
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
  }
  // Options > "Convergence target..." answered with `target`; nothing: cancelled.
  void chooseTarget(std::optional<ConvergenceTarget> target) {
    dialogs.targets = {target};
    part<QAction>(*form, "convergenceTarget")->trigger();
  }
  QString status() { return part<QStatusBar>(*form, "StatusBar")->currentMessage(); }
  DiagnosticsTable& table() { return *part<DiagnosticsTable>(*form, "diagnosticsTable"); }
  QModelIndex cellOf(int column, int c) {
    for (int r = 0; r < table().model()->rowCount(); ++r)
      if (table().model()->index(r, 0).data().toString() == QString::number(column)) return table().model()->index(r, c);
    return {};
  }
  // The figures of a column the target marks: "b" bulk ESS, "t" tail ESS, "r" R-hat.
  QString marksOf(int column) {
    QString marks;
    for (const auto& [c, letter] : {std::pair{8, 'b'}, std::pair{9, 't'}, std::pair{10, 'r'}})
      if (cellOf(column, c).data(Qt::BackgroundRole).value<QBrush>().color() == DiagnosticsTable::markColour())
        marks += QChar(letter);
    return marks;
  }
  QStringList shownColumns() {
    QStringList columns;
    for (int r = 0; r < table().model()->rowCount(); ++r) columns << table().model()->index(r, 0).data().toString();
    return columns;
  }
};

TEST_F(ConvergenceTargetWindow, TheTargetMarksTheColumnsThatMissItAndTheStatusLineSaysWhetherItIsMet) {
  openTwoChainsOnTheDiagnosticsPage();
  // the default target: ESS at least max(400, 100 x 2), R-hat at most 1.01
  EXPECT_TRUE(status().startsWith("target not met: 1 quantity, lowest tail ESS ")) << status().toStdString();
  EXPECT_TRUE(marksOf(2).contains('r'));
  EXPECT_EQ(marksOf(3), "");
  EXPECT_EQ(marksOf(1), "");  // the counter never counts
  EXPECT_TRUE(cellOf(2, 10).data(Qt::ToolTipRole).toString().contains("is above 1.01 (the target): the chains"));

  // the dialog starts from the target now, with the open analysis' chains and quantity columns
  chooseTarget(std::nullopt);
  ASSERT_EQ(dialogs.targetOffers.size(), 1u);
  EXPECT_EQ(dialogs.targetOffers[0].target, ConvergenceTarget{});
  EXPECT_EQ(dialogs.targetOffers[0].chains, 2);
  ASSERT_EQ(dialogs.targetOffers[0].columns.size(), 2u);
  EXPECT_EQ(dialogs.targetOffers[0].columns[0].column, 2);
  EXPECT_EQ(dialogs.targetOffers[0].columns[1].item, "Column 3");

  struct Case {
    const char* target;
    const char* status;  // the start of the status line
    const char* marks2;
    const char* marks3;
  };
  const Case cases[] = {
      {"rhat<=1.01,columns=Column 3", "target met at row 1,000 (the 1 quantity: ESS \u2265 400, R-hat \u2264 1.01)", "", ""},
      {"ess_bulk>=0,ess_tail>=0,rhat<=100,columns=2,3",
       "target met at row 1,000 (all 2 quantities: ESS \u2265 0, R-hat \u2264 100)", "", ""},
      {"ess_bulk>=100000,ess_tail>=0,rhat<=100", "target not met: 2 quantities, lowest tail ESS ", "b", "b"},
      {"ess_bulk>=0,ess_tail>=0,rhat<=1.01", "target not met: 1 quantity, lowest tail ESS ", "r", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target);
    chooseTarget(targetOf(c.target));
    // judged at once, on the results shown: nothing is computed anew
    EXPECT_FALSE(form->jobs().busy(JobRunner::Lane::analysis));
    EXPECT_TRUE(status().startsWith(QString::fromUtf8(c.status))) << status().toStdString();
    EXPECT_EQ(marksOf(2), c.marks2);
    EXPECT_EQ(marksOf(3), c.marks3);
  }
  EXPECT_TRUE(cellOf(3, 8).data(Qt::ToolTipRole).toString().isEmpty());

  // a cancelled dialog keeps the target
  const QString before = status();
  chooseTarget(std::nullopt);
  EXPECT_EQ(status(), before);
  EXPECT_EQ(marksOf(2), "r");
}

// The filter box and the toggle choose the rows whatever the target, and keep the sort.
TEST_F(ConvergenceTargetWindow, FilterAndToggleShowTheRowsOfTheTargetNow) {
  openTwoChainsOnTheDiagnosticsPage();
  QLineEdit* filter = part<QLineEdit>(*form, "diagnosticsFilter");
  QCheckBox* missing = part<QCheckBox>(*form, "diagnosticsMissing");
  table().sortByColumn(0, Qt::DescendingOrder);
  struct Case {
    const char* target;
    const char* filter;
    bool onlyMissing;
    QStringList columns;
  };
  const Case cases[] = {
      {"rhat<=1.01", "", true, {"2"}},
      {"rhat<=1.01", "", false, {"3", "2", "1"}},
      {"rhat<=1.01,columns=3", "", true, {}},  // column 2 does not count
      {"ess_bulk>=100000", "", true, {"3", "2"}},
      {"ess_bulk>=100000", "COLUMN 3", true, {"3"}},
      {"ess_bulk>=100000", "2", true, {"2"}},
      {"ess_bulk>=100000", "1", true, {}},  // the counter never misses
      {"ess_bulk>=100000", "1", false, {"1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.target) + " | " + c.filter);
    chooseTarget(targetOf(c.target));
    filter->clear();
    QTest::keyClicks(filter, c.filter);
    missing->setChecked(c.onlyMissing);
    EXPECT_EQ(shownColumns(), c.columns);
  }
  // the toggle on, the target changed: the rows follow the new misses
  filter->clear();
  missing->setChecked(true);
  chooseTarget(targetOf("rhat<=1.01"));
  EXPECT_EQ(shownColumns(), QStringList({"2"}));
  EXPECT_EQ(part<QLabel>(*form, "diagnosticsShownRows")->text(), "1 of 3 columns");
}

// The dialog's fields read as a target: an empty ESS is the analysis' default, a number is read as
// the target's text reads it, and a field that cannot be read is refused, named, and the dialog stays.
TEST(ConvergenceTargetDialog, ItsFieldsReadAsATargetAndWhatCannotBeReadIsNamed) {
  TargetOffer offer;
  offer.chains = 8;
  offer.columns = {{2, "tau", "tau"}, {3, "Column 3", "Column 3"}, {4, "a,b", "4"}};
  offer.target = targetOf("ess_tail>=900,columns=tau,gone");
  ConvergenceTargetDialog dialog(offer);
  auto* bulk = part<QLineEdit>(dialog, "targetEssBulk");
  auto* tail = part<QLineEdit>(dialog, "targetEssTail");
  auto* rhat = part<QLineEdit>(dialog, "targetRhat");
  EXPECT_EQ(bulk->text(), "");
  EXPECT_TRUE(bulk->placeholderText().startsWith("800 (default")) << bulk->placeholderText().toStdString();
  EXPECT_EQ(tail->text(), "900");
  EXPECT_EQ(rhat->text(), "1.01");
  EXPECT_TRUE(part<QRadioButton>(dialog, "targetChosenColumns")->isChecked());
  EXPECT_EQ(dialog.chosenTarget(), offer.target);  // a column of another file stays listed

  part<QRadioButton>(dialog, "targetAllColumns")->setChecked(true);
  const struct {
    const char *bulk, *tail, *rhat;
    const char* target;   // nothing: refused
    const char* problem;  // the start of what the dialog says
  } cases[] = {
      {"", "", "", "rhat<=1.01", ""},
      {" 1200 ", "0", "1.05", "ess_bulk>=1200,ess_tail>=0,rhat<=1.05", ""},
      {"abc", "", "1.01", nullptr, "Least bulk ESS: \"abc\" is not a number of 0 or more"},
      {"", "-5", "1.01", nullptr, "Least tail ESS: \"-5\" is not a number"},
      {"", "", "0.9", nullptr, "Largest R-hat: \"0.9\" is not a number of 1 or more"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.bulk) + "|" + c.tail + "|" + c.rhat);
    bulk->setText(c.bulk);
    tail->setText(c.tail);
    rhat->setText(c.rhat);
    QString problem;
    const auto target = dialog.chosenTarget(&problem);
    ASSERT_EQ(target.has_value(), c.target != nullptr) << problem.toStdString();
    if (c.target) EXPECT_EQ(convergenceTargetText(*target), c.target);
    else EXPECT_TRUE(problem.startsWith(c.problem)) << problem.toStdString();
  }
  dialog.accept();  // the last case cannot be read: the dialog stays open and says why
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(part<QLabel>(dialog, "targetProblem")->text().startsWith("Largest R-hat"));

  // the list: found by number, checked; the column list names it by number where its name has a comma
  rhat->setText("1.01");
  part<QRadioButton>(dialog, "targetChosenColumns")->setChecked(true);
  part<QLineEdit>(dialog, "targetColumnFilter")->setText("4");
  QAbstractItemModel* list = part<QListView>(dialog, "targetColumnList")->model();
  ASSERT_EQ(list->rowCount(), 1);
  list->setData(list->index(0, 0), Qt::Checked, Qt::CheckStateRole);
  EXPECT_EQ(convergenceTargetText(*dialog.chosenTarget()), "rhat<=1.01,columns=tau,4,gone");
  // nothing checked of this analysis' columns: refused
  part<QLineEdit>(dialog, "targetColumnFilter")->setText("");
  ASSERT_EQ(list->rowCount(), 3);
  for (int r : {0, 2}) list->setData(list->index(r, 0), Qt::Unchecked, Qt::CheckStateRole);
  QString problem;
  EXPECT_FALSE(dialog.chosenTarget(&problem));
  EXPECT_TRUE(problem.startsWith("Check at least one column")) << problem.toStdString();
}

}  // namespace
}  // namespace varno
