// Change notifications: a program write runs the change handler at once and only on a real change;
// a program selection in a drop-down raises no event; a spinner writes its position into its edit.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "ui/track_bar.h"
#include "ui/up_down.h"

namespace varno {
namespace {

TEST(ChangeNotification, EditTextWrittenByTheProgramNotifiesOnlyOnARealChange) {
  QLineEdit edit("0");
  int runs = 0;
  QString seenInside;
  QObject::connect(&edit, &QLineEdit::textChanged, [&] {
    ++runs;
    seenInside = edit.text();
  });
  edit.setText("250");
  EXPECT_EQ(runs, 1);  // ran inside the setter
  EXPECT_EQ(seenInside, "250");
  edit.setText("250");
  EXPECT_EQ(runs, 1);
}

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

TEST(ChangeNotification, ProgramSelectionInADropDownRaisesNoUserEvent) {
  QComboBox combo;
  combo.addItems({"All", "1", "2"});
  QSignalSpy activated(&combo, &QComboBox::activated);
  combo.setCurrentIndex(2);
  combo.clear();
  EXPECT_EQ(activated.count(), 0);
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

}  // namespace
}  // namespace varno
