// Dialogs whose answers a test scripts in advance; every question and message is recorded.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

#include "ui/dialogs.h"
#include "ui/file_dialog_spec.h"

namespace varno::testing {

class ScriptedDialogs : public Dialogs {
 public:
  std::deque<bool> answers;                     // Yes = true; none left counts as Yes
  std::deque<std::optional<QString>> files;     // chosen paths; nullopt = cancel; none left = cancel
  QStringList questions, messages, errors;
  QStringList openFilters, saveFilters, saveExtensions;

  bool ask(QWidget*, const QString& text) override {
    questions << text;
    if (answers.empty()) return true;
    const bool a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<QString> openFile(QWidget*, const FileDialogSpec& spec) override {
    openFilters << spec.filter;
    return next();
  }
  std::optional<QString> saveFile(QWidget*, const FileDialogSpec& spec) override {
    saveFilters << spec.filter;
    saveExtensions << spec.defaultExt;
    return next();
  }
  void inform(QWidget*, const QString& text) override { messages << text; }
  void error(QWidget*, const QString& text) override { errors << text; }

 private:
  std::optional<QString> next() {
    if (files.empty()) return std::nullopt;
    const bool cancel = !files.front().has_value();
    const QString path = cancel ? QString() : *files.front();
    files.pop_front();
    if (cancel) return std::nullopt;
    return path;
  }
};

}  // namespace varno::testing
