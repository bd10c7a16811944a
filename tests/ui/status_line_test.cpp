// The window's first place on the screen, and its status line: long messages elided with the whole
// text as tooltip, messages that no longer hold taken away, the gauge only while a job runs.
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "ui/eliding_status_bar.h"
#include "ui/job_runner.h"
#include "window_fixture.h"
#include "window_parts.h"

namespace varno {
namespace {

using namespace testing;

QByteArray rows(int count) {
  QByteArray text;
  for (int r = 0; r < count; ++r) text += QByteArray::number(r) + " " + QByteArray::number(0.1 * (r % 13)) + "\n";
  return text;
}

struct StatusLine : WindowFixture {
  QString status() const { return form->statusBar()->currentMessage(); }
};

// The designed window is taller than many screens: its menu and tabs must still be on the screen.
TEST_F(StatusLine, TheWindowFirstFitsTheScreensFreeArea) {
  const QRect room = form->screen()->availableGeometry();
  const QRect frame(form->pos(), form->size());
  EXPECT_TRUE(room.contains(frame)) << "window at " << frame.x() << "," << frame.y() << " size " << frame.width()
                                    << "x" << frame.height() << " on a free area of " << room.width() << "x"
                                    << room.height();
  EXPECT_GE(form->y(), room.y()) << "the menu bar would be above the screen";
}

TEST_F(StatusLine, ALongMessageIsElidedBeforeTheRowsAndGivenWhole) {
  const QString name = QString(180, 'n') + ".ml";
  form->show();
  form->actOnCommandLine({write(name, rows(10))});
  idle();
  auto* bar = qobject_cast<ElidingStatusBar*>(form->statusBar());
  ASSERT_NE(bar, nullptr);
  ASSERT_TRUE(status().startsWith(dir.filePath(name))) << status().toStdString();
  const QString shown = bar->shownMessage();
  EXPECT_NE(shown, status());
  EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
  EXPECT_LE(bar->fontMetrics().horizontalAdvance(shown), bar->messageArea().width());
  auto* rowsText = part<QLabel>(*form, "retainedRows");
  EXPECT_LE(bar->messageArea().right(), rowsText->x()) << "the message runs under the rows retained";
  EXPECT_EQ(bar->toolTip(), status());
}

// What was said of a burn-in set back to 0 goes once the user sets another; a cancel is old news
// once the user looks at another column.
TEST_F(StatusLine, MessagesThatNoLongerHoldAreTakenAway) {
  form->actOnCommandLine({write("long.ml", rows(1000))});
  idle();
  part<QLineEdit>(*form, "Cutin")->setText("900");
  idle();
  const QString shortFile = write("short.ml", rows(100));
  form->actOnCommandLine({shortFile});
  idle();
  const QString fitted = "burn-in 900 and burn-out 0 did not fit the 100 rows read";
  ASSERT_TRUE(status().contains(fitted)) << status().toStdString();
  part<QLineEdit>(*form, "Cutin")->setText("10");
  idle();
  EXPECT_FALSE(status().contains(fitted)) << status().toStdString();
  EXPECT_TRUE(status().startsWith(shortFile + ": 100 rows")) << "what still holds stays: " << status().toStdString();

  dialogs.files = {write("other.ml", rows(50))};
  trigger(*form, "Open");
  ASSERT_TRUE(form->jobs().busy(JobRunner::Lane::analysis));
  part<QPushButton>(*form, "cancelJob")->click();
  idle();
  ASSERT_TRUE(status().contains("was cancelled")) << status().toStdString();
  choose(part<QComboBox>(*form, "xi"), 1);
  idle();
  EXPECT_TRUE(status().isEmpty()) << status().toStdString();
}

// A box that a result opens shows no gauge: nothing runs while the user reads it.
TEST_F(StatusLine, TheGaugeIsHiddenWhileAResultAsksTheUser) {
  auto* gauge = part<QProgressBar>(*form, "jobGauge");
  auto* cancel = part<QPushButton>(*form, "cancelJob");
  std::vector<bool> hiddenDuringBox;
  dialogs.whileErrorShows = [&] { hiddenDuringBox.push_back(gauge->isHidden() && cancel->isHidden()); };
  dialogs.files = {dir.filePath("missing.ml")};
  trigger(*form, "Open");
  ASSERT_FALSE(gauge->isHidden()) << "the gauge shows while the file is read";
  idle();
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_EQ(hiddenDuringBox, std::vector<bool>{true});
  EXPECT_TRUE(gauge->isHidden());
}

}  // namespace
}  // namespace varno
