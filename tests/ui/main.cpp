// The window tests run inside one application object, offscreen.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  QApplication::setApplicationName("VARNO v2.0 Plot Window");
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
