// Dialogs whose answers a test scripts in advance; every question and message is recorded.
#pragma once

#include <QString>
#include <QPrinter>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

#include "ui/convergence_target_dialog.h"
#include "ui/dialogs.h"
#include "ui/file_dialog_spec.h"

namespace varno::testing {

class ScriptedDialogs : public Dialogs {
 public:
  std::deque<bool> answers;                     // Yes = true; none left counts as Yes
  std::deque<std::optional<QString>> files;     // chosen paths; nullopt = cancel; none left = cancel
  std::deque<std::optional<QString>> texts;     // typed texts; nullopt = cancel; none left = cancel
  QStringList textTitles, textLabels, textsOffered;  // of every text dialog, in order
  QStringList questions, messages, errors;
  QStringList openFilters, saveFilters, saveExtensions;
  QStringList titles, startFolders, offeredNames;  // of every file dialog, in order
  // what the next confirmed save chooses besides its path: a filter description, a choice
  std::optional<QString> nextFilter;
  std::optional<int> nextChoice;
  // the print dialog: when set, prints to this PDF file; otherwise cancelled
  std::optional<QString> printToPdf;
  int printDialogs = 0;

  bool ask(QWidget*, const QString& text) override {
    questions << text;
    if (answers.empty()) return true;
    const bool a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<QString> openFile(QWidget*, const FileDialogSpec& spec) override {
    openFilters << spec.filter;
    recordDialog(spec);
    return next();
  }
  std::optional<QString> saveFile(QWidget*, FileDialogSpec& spec) override {
    saveFilters << spec.filter;
    saveExtensions << spec.defaultExt;
    recordDialog(spec);
    auto chosen = next();
    if (chosen) {
      if (nextFilter) spec.selectedFilter = *nextFilter;
      if (nextChoice) spec.choice = *nextChoice;
    }
    nextFilter.reset();
    nextChoice.reset();
    return chosen;
  }
  QStringList printedNames;  // the document name of every print dialog
  bool choosePrinter(QWidget*, QPrinter& printer) override {
    ++printDialogs;
    printedNames << printer.docName();
    if (!printToPdf) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(*printToPdf);
    return true;
  }
  void inform(QWidget*, const QString& text) override { messages << text; }
  // runs while an error box would be open, to look at the window behind it
  std::function<void()> whileErrorShows;
  void error(QWidget*, const QString& text) override {
    errors << text;
    if (whileErrorShows) whileErrorShows();
  }
  std::optional<QString> askText(QWidget*, const QString& title, const QString& label, const QString& text) override {
    textTitles << title;
    textLabels << label;
    textsOffered << text;
    if (texts.empty()) return std::nullopt;
    const bool cancel = !texts.front().has_value();
    const QString answer = cancel ? QString() : *texts.front();
    texts.pop_front();
    if (cancel) return std::nullopt;
    return answer;
  }

  std::deque<std::optional<ConvergenceTarget>> targets;  // chosen targets; nullopt = cancel; none left = cancel
  std::vector<TargetOffer> targetOffers;                 // what every target dialog started from
  std::optional<ConvergenceTarget> chooseConvergenceTarget(QWidget*, const TargetOffer& offer) override {
    targetOffers.push_back(offer);
    if (targets.empty()) return std::nullopt;
    auto chosen = targets.front();
    targets.pop_front();
    return chosen;
  }

 private:
  void recordDialog(const FileDialogSpec& spec) {
    titles << spec.title;
    startFolders << spec.startFolder;
    offeredNames << spec.lastFileName;
  }
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
