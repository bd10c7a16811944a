// The program entry of varno-plot: one window, its event loop, and the command line.
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <cstdio>
#include <exception>

#include "ui/dialogs.h"
#include "ui/plotwin2.h"
#include "ui/varno_application.h"

int main(int argc, char** argv) {
  try {
    varno::VarnoApplication app(argc, argv);
    varno::QtDialogs dialogs;
    QStringList args = app.arguments();
    args.removeFirst();
    try {
      varno::TForm3 Form3(dialogs);
      // opened centred on the desktop
      if (const QScreen* screen = QGuiApplication::primaryScreen())
        Form3.move(screen->availableGeometry().center() - Form3.rect().center());
      Form3.actOnCommandLine(args);
      Form3.show();
      return app.exec();
    } catch (const std::exception& e) {
      // an error while the window is being created ends the program
      std::fprintf(stderr, "varno-plot: %s\n", e.what());
      QMessageBox::critical(nullptr, app.applicationName(), QString::fromUtf8(e.what()));
      return 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "varno-plot: %s\n", e.what());
    return 1;
  }
}
