// Every question, file dialog and message box of the window goes through this interface, so tests
// can script the answers and nothing modal blocks them.
#pragma once

#include <QString>
#include <optional>

#include "report/convergence_target.h"

class QPrinter;
class QWidget;

namespace varno {

class FileDialogSpec;
struct TargetOffer;

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A Yes/No question; only an explicit No gives false (closing the box counts as Yes).
  virtual bool ask(QWidget* parent, const QString& text) = 0;
  // The chosen path, or nothing when cancelled. The caller remembers the name in lastFileName.
  // A confirmed save leaves the chosen filter and choice in spec.selectedFilter and spec.choice.
  virtual std::optional<QString> openFile(QWidget* parent, const FileDialogSpec& spec) = 0;
  virtual std::optional<QString> saveFile(QWidget* parent, FileDialogSpec& spec) = 0;
  // The print dialog: false when cancelled; the printer is set up as the user chose.
  virtual bool choosePrinter(QWidget* parent, QPrinter& printer) = 0;
  // A multi-line text with an OK button.
  virtual void inform(QWidget* parent, const QString& text) = 0;
  // Something went wrong; the text says what and where.
  virtual void error(QWidget* parent, const QString& text) = 0;
  // One line of text the user types, shown first as `text` under the multi-line `label`; nothing
  // when cancelled.
  virtual std::optional<QString> askText(QWidget* parent, const QString& title, const QString& label,
                                         const QString& text) = 0;
  // Options > "Convergence target...": the target chosen, or nothing when cancelled.
  virtual std::optional<ConvergenceTarget> chooseConvergenceTarget(QWidget* parent, const TargetOffer& offer) = 0;
};

// The real, modal dialogs.
class QtDialogs : public Dialogs {
 public:
  bool ask(QWidget* parent, const QString& text) override;
  std::optional<QString> openFile(QWidget* parent, const FileDialogSpec& spec) override;
  std::optional<QString> saveFile(QWidget* parent, FileDialogSpec& spec) override;
  bool choosePrinter(QWidget* parent, QPrinter& printer) override;
  void inform(QWidget* parent, const QString& text) override;
  void error(QWidget* parent, const QString& text) override;
  std::optional<QString> askText(QWidget* parent, const QString& title, const QString& label,
                                 const QString& text) override;
  std::optional<ConvergenceTarget> chooseConvergenceTarget(QWidget* parent, const TargetOffer& offer) override;
};

}  // namespace varno
