// The application object: errors that escape an event handler are shown and the program goes on,
// since the toolkit's event loop must never be left by an exception.
#include "ui/varno_application.h"

#include <QMessageBox>
#include <exception>

namespace varno {

VarnoApplication::VarnoApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("VARNO v2.0 Plot Window");
  setApplicationVersion("2.0.0");
}

bool VarnoApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    QMessageBox::critical(activeWindow(), applicationName(), QString::fromUtf8(e.what()));
  } catch (...) {
    QMessageBox::critical(activeWindow(), applicationName(), "An unexpected error occurred.");
  }
  return false;
}

}  // namespace varno
