// The application object: the last net for errors that escape an event handler.
#pragma once

#include <QApplication>

namespace varno {

class VarnoApplication : public QApplication {
 public:
  VarnoApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace varno
