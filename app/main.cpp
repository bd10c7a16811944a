// The program entry of varno-plot: one window, its event loop, and the command line.
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <cstdio>
#include <string>
#include <exception>
#include <memory>

#include "ui/dialogs.h"
#include "ui/plotwin2.h"
#include "ui/varno_application.h"
#include "ui/window_command_line.h"

int main(int argc, char** argv) {
  try {
    // --help and --version need no display: answered before the toolkit starts
    QStringList raw;
    for (int i = 1; i < argc; ++i) raw.append(QString::fromLocal8Bit(argv[i]));
    const varno::WindowCommandLine line = varno::parseWindowCommandLine(raw);
    if (line.help || line.version) {
      const std::string text = line.help ? varno::windowUsageText() : varno::windowVersionText();
      std::fputs(text.c_str(), stdout);
      return std::fflush(stdout) == 0 ? 0 : 1;
    }
    varno::VarnoApplication app(argc, argv);
    varno::QtDialogs dialogs;
    QStringList args = app.arguments();
    args.removeFirst();
    const varno::WindowCommandLine parsed = varno::parseWindowCommandLine(args);
    args = parsed.files;
    try {
      varno::TForm3 Form3(dialogs);
      // opened centred on the desktop
      if (const QScreen* screen = QGuiApplication::primaryScreen())
        Form3.move(screen->availableGeometry().center() - Form3.rect().center());
      // the place and size of the last run, when there was one, replace the centred place
      if (!line.noSettings) Form3.rememberIn(std::make_unique<QSettings>("VARNO", "varno-plot"));
      if (parsed.follow) Form3.followOnceOpen();
      Form3.actOnCommandLine(args, parsed.chains);
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
