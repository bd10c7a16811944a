// Several chains of one analysis: File > "Add chain...", the chains of the command line and of a
// drop, and what the window says about them. A chain that does not fit leaves the analysis as it was.
#include <QAction>
#include <QLineEdit>
#include <QLocale>

#include "core/read_notes.h"
#include "report/open_analysis.h"
#include "ui/details_page.h"
#include "ui/following.h"
#include "ui/dialogs.h"
#include "ui/file_dialog_spec.h"
#include "ui/job_runner.h"
#include "ui/plotwin2.h"

namespace varno {

std::vector<ChainRows> TForm3::retainedChains(long long burnIn, long long burnOut) const {
  return retainedChainRows(state.chainTables(), burnIn, burnOut);
}

int TForm3::shortestChainRows() const {
  int rows = state.open() ? state.firstTable()->rowCount() : 0;
  for (const auto& chain : state.chains) rows = std::min(rows, chain.table->rowCount());
  return rows;
}

QString TForm3::chainsStatus() const {
  const QLocale english(QLocale::English);
  QStringList counts;
  for (const auto& chain : state.chains) counts << english.toString(chain.table->rowCount());
  return QString("%1 chains: %2 rows \u00D7 %3")
      .arg(state.chainCount())
      .arg(counts.join(" + "), QString::fromStdString(groupedCount(state.columnCount, "column", "columns")));
}

void TForm3::AddChainClick() {
  if (refuseWhileBusy()) return;
  if (!state.open()) {
    reportError("Open a data file first: a chain is added to the analysis open in the window.");
    return;
  }
  // an analysis opened from an index takes further chain files of that index
  OpenDialog->filter = state.chainsFromIndex()
                           ? "CODA chain (*chain*.txt)|*chain*.txt|Other(*.*)|*.*"
                           : "Fst file (*.fst)|*.fst|Frequences file (*.frq)|*.frq|Other(*.*)|*.*";
  dialogFolders_.prepare(*OpenDialog, DialogPurpose::openData, QString::fromStdString(state.dataFileName));
  const auto chosen = dialogs_.openFile(this, *OpenDialog);
  if (!chosen) return;
  dialogFolders_.remember(DialogPurpose::openData, *chosen);
  addChainFile(*chosen);
}

bool TForm3::addChainFile(const QString& path, std::function<void()> then) {
  const auto refuse = [this](const QString& text) {
    setStatus("Not added: " + text);
    reportError(text);
  };
  if (!state.open()) {
    refuse(QString("\"%1\": no analysis is open to add it to as a chain").arg(path));
    return false;
  }
  // checked as the tool checks the further chains it opens, with the factors of chain 1; a burn
  // range that leaves too few rows is fitted afterwards
  ChainTarget target;
  target.dataPath = state.dataFileName;
  target.chainFiles = state.chainFileNames();
  target.columnCount = state.columnCount;
  target.decision = FactorDecision{state.factorCount, state.hasInteraction};
  target.voice = HintVoice::window;
  target.fitRange = true;
  if (burnRange_.valid()) {
    target.burnIn = *burnRange_.burnIn;
    target.burnOut = *burnRange_.burnOut;
  }
  const std::string file = path.toStdString();
  if (auto error = chainRefusedUnread(target, file)) {
    refuse(QString::fromStdString(error->message));
    return false;
  }
  JobRunner::Job job;
  job.title = "Reading " + path;
  job.work = [this, target, file, path, then](Progress& progress) -> JobRunner::Apply {
    auto chain = std::make_shared<ChainRows>();
    auto source = std::make_shared<ChainSource>();
    auto warnings = std::make_shared<std::vector<OpenWarning>>();
    auto refused = std::make_shared<std::optional<RunError>>(
        readFurtherChain(target, file, progress, *chain, *source, *warnings));
    return [this, target, chain, source, warnings, refused, file, path, then] {
      const auto refuse = [this](const QString& text) {
        setStatus("Not added: " + text);
        reportError(text);
      };
      // the analysis it was read for was replaced meanwhile
      if (state.dataFileName != target.dataPath || !state.open())
        return refuse(QString("\"%1\" was not added: the analysis changed").arg(path));
      if (*refused) {
        const QString why = QString::fromStdString((*refused)->message);
        return refuse((*refused)->unread ? QString("\"%1\" was not read: %2").arg(path, why) : why);
      }
      state.chains.push_back({file, chain->table});
      if (following_->follower) following_->follower->addChain(*source, chain->table->rowCount());
      QString status = chainsStatus();
      for (const OpenWarning& warning : *warnings) status += "; " + path + ": " + QString::fromStdString(warning.note);
      setStatus(status);
      // burn-in and burn-out must leave rows in the shortest chain too
      if (const auto cleared = fitDataRangeToRows(shortestChainRows())) setStatus(status + "; " + *cleared);
      if (then) {
        then();
      } else {
        details_->replotAtDefaultBandwidth();  // the pooled sample sets the default now
        analysisChanged();
      }
    };
  };
  job.failed = [refuse, path](const std::string& error) {
    refuse(QString("\"%1\" was not read: %2").arg(path, QString::fromStdString(error)));
  };
  job.cancelled = [this, path] { setPassingStatus("Reading " + path + " was cancelled; the analysis is kept as it was."); };
  if (!jobs_->start(JobRunner::Lane::analysis, std::move(job))) {
    refuseWhileBusy();
    return false;
  }
  setStatus("Reading " + path + " ...");
  return true;
}

void TForm3::addChainFiles(QStringList paths, std::function<void()> then) {
  if (paths.isEmpty()) {
    details_->replotAtDefaultBandwidth();  // the pooled sample sets the default now
    analysisChanged();
    if (then) then();
    return;
  }
  const QString next = paths.takeFirst();
  addChainFile(next, [this, paths, then] { addChainFiles(paths, then); });
}

}  // namespace varno
