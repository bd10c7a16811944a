// Runs a handler so that an error it raises ends only that handler and is shown to the user.
#pragma once

#include <QString>
#include <exception>

#include "ui/dialogs.h"

namespace varno {

template <class F>
void guarded(QWidget* form, Dialogs& dialogs, F&& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    dialogs.error(form, QString::fromUtf8(e.what()));
  } catch (...) {
    dialogs.error(form, "An unexpected error ended the command.");
  }
}

}  // namespace varno
