// Change notifications: a program write runs the change handler at once and only on a real change;
// a program selection in a drop-down runs no handler; a spinner writes its position into its edit.
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "ui/job_runner.h"
#include "ui/track_bar.h"
#include "ui/up_down.h"
#include "window_fixture.h"
#include "window_parts.h"

namespace varno {
namespace {

using namespace testing;

TEST(ChangeNotification, TrackBarNotifiesAtOnceOnARealChangeAndTellsWhoMovedIt) {
  QWidget parent;
  TrackBar bar("bar", 0, 100, 5, 0, &parent);
  std::vector<std::pair<int, bool>> seen;
  QObject::connect(&bar, &TrackBar::changed,
                   [&] { seen.emplace_back(bar.position(), bar.changedByUser()); });
  bar.setPosition(25);
  bar.setPosition(25);
  bar.setPosition(150);  // limited to the range
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], std::make_pair(25, false));
  EXPECT_EQ(seen[1], std::make_pair(100, false));
  bar.setFocus();
  QTest::keyClick(&bar, Qt::Key_Left);  // the user moves it
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[2], std::make_pair(99, true));
}

TEST(ChangeNotification, NestedProgramWritesInsideAUserMoveAreSeenAsProgramWrites) {
  QWidget parent;
  TrackBar bar("bar", 0, 100, 5, 50, &parent);
  std::vector<bool> byUser;
  QObject::connect(&bar, &TrackBar::changed, [&] {
    byUser.push_back(bar.changedByUser());
    if (bar.position() == 51) bar.setPosition(60);
  });
  bar.setFocus();
  QTest::keyClick(&bar, Qt::Key_Right);
  EXPECT_EQ(byUser, (std::vector<bool>{true, false}));
}

TEST(ChangeNotification, SpinnerArrowsWritePositionIntoTheEditWithinTheRange) {
  QWidget parent;
  QLineEdit edit("30", &parent);
  UpDown spinner("spin", &edit, 2, 200, 30, &parent);
  spinner.upButton()->click();
  EXPECT_EQ(edit.text(), "31");
  spinner.setPosition(2);
  EXPECT_EQ(edit.text(), "31");  // a program write of the position leaves the text alone
  spinner.downButton()->click();
  EXPECT_EQ(spinner.position(), 2);
  EXPECT_EQ(edit.text(), "2");
  edit.setText("500");  // the edit accepts text outside the spinner's range
  EXPECT_EQ(edit.text(), "500");
  EXPECT_EQ(spinner.position(), 2);
}

// Our wiring of the toolkit's notices: a drop-down runs its handler only for the user's choice,
// an edit runs its handler inside the program's write, once, and only on a real change.
struct ChangeWiring : WindowFixture {
  void openTwoColumns() {
    QByteArray text;
    for (int v = 1; v <= 100; ++v)
      text += QByteArray::number(v) + " " + QByteArray::number(v % 2) + "\n";
    form->actOnCommandLine({write("trace.ml", text)});
    idle();
  }
  double lastPlotted() const {
    return (part<QCPGraph>(*form, "Serie")->data()->constEnd() - 1)->value;
  }
};

TEST_F(ChangeWiring, ASelectionMadeByTheProgramRunsNoHandlerAndTheUsersChoiceDoes) {
  openTwoColumns();
  QComboBox* xi = part<QComboBox>(*form, "xi");
  ASSERT_EQ(xi->count(), 2);
  ASSERT_EQ(lastPlotted(), 100);  // column 1 holds 1 .. 100
  xi->setCurrentIndex(1);
  EXPECT_TRUE(form->jobs().idle());
  idle();
  EXPECT_EQ(lastPlotted(), 100) << "the program's selection replotted the chart";
  choose(xi, 1);
  idle();
  EXPECT_EQ(lastPlotted(), 0) << "the user's choice did not replot the chart";  // column 2: v % 2
}

TEST_F(ChangeWiring, AnEditWrittenByTheProgramRunsItsHandlerAtOnceOnARealChangeOnly) {
  openTwoColumns();
  QLineEdit* cutin = part<QLineEdit>(*form, "Cutin");
  QLabel* rows = part<QLabel>(*form, "retainedRows");
  QSignalSpy barMoves(part<TrackBar>(*form, "Tburnin"), &TrackBar::changed);
  cutin->setText("50");
  // inside the write: the handler has moved the bar once and asked for the figures of the new rows
  EXPECT_EQ(rows->text(), "rows 51\u2013100 of 100 retained");
  EXPECT_EQ(barMoves.count(), 1);
  EXPECT_TRUE(form->jobs().busy(JobRunner::Lane::figures));
  idle();
  EXPECT_EQ(part<QCPGraph>(*form, "Serie")->data()->size(), 50);
  cutin->setText("50");
  EXPECT_FALSE(form->jobs().busy(JobRunner::Lane::figures))
      << "the same text ran the handler again";
  EXPECT_EQ(barMoves.count(), 1);
}

}  // namespace
}  // namespace varno
