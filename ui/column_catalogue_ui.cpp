// The column catalogue: what the columns of the loaded file mean, offered in the choosers.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "core/column_catalogue.h"
#include "ui/details_page.h"
#include "ui/plotwin2.h"
#include "ui/summary_page.h"
#include "ui/track_bar.h"

namespace varno {

namespace {

// A chooser's entries added in one step: one by one, tens of thousands would each notify the chooser.
QStringList entryTexts(const std::vector<std::string>& entries) {
  QStringList texts;
  texts.reserve(static_cast<qsizetype>(entries.size()));
  for (const std::string& entry : entries) texts << QString::fromStdString(entry);
  return texts;
}

}  // namespace

void TForm3::BuildColumnCatalogue() {
  details_->xi->clear();
  for (QWidget* w : std::initializer_list<QWidget*>{details_->xi, details_->mean, details_->histo, details_->density, details_->autocorr, details_->normal, details_->Cutin,
                                                    details_->Cutout, details_->Tburnin, details_->Tburnout, details_->Locus, details_->Allele,
                                                    details_->Model_only2})
    w->setEnabled(true);
  state.dataExtension = lowerCasedExtension(state.dataFileName);

  const auto showAll = [](std::initializer_list<QWidget*> widgets, bool visible) {
    for (QWidget* w : widgets) w->setVisible(visible);
  };

  switch (state.kind()) {
    case FileKind::fst: {
      Openfactorfile->setEnabled(true);
      summary_->Model_only->setEnabled(true);
      showAll({details_->Model_only2, details_->LModel_only2, details_->xi, details_->col}, true);
      showAll({details_->Allele, details_->Locus, details_->Lallele, details_->Llocus}, false);
      details_->xi->addItems(entryTexts(fstColumnLabels(state.columnCount, state.factorCount)));
      const int entry = state.reloading ? reloadSelection(state.reloadColumnIndex, details_->xi->count(), 1)
                                        : std::min(1, details_->xi->count() - 1);
      details_->xi->setCurrentIndex(entry);
      state.populationCount = std::max(0, TableLayout::fst(state.columnCount, {state.factorCount, state.hasInteraction}).populationCount);
      state.fstSummary.reset(static_cast<std::size_t>(state.populationCount));
      state.factorValues.assign(static_cast<std::size_t>(state.populationCount),
                                std::vector<float>(static_cast<std::size_t>(state.factorCount) + 1, 0.0f));
      details_->requestColumnFigures(entry + 1, true);  // at the bandwidth of its own sample
      break;
    }
    case FileKind::frq: {
      selectPage(0);
      Openfactorfile->setEnabled(false);
      summary_->Model_only->setEnabled(false);
      details_->Model_only2->setEnabled(false);
      showAll({details_->Model_only2, details_->LModel_only2, details_->xi, details_->col}, false);
      showAll({details_->Allele, details_->Locus, details_->Lallele, details_->Llocus}, true);
      state.modelFilter = 0;
      details_->Locus->clear();
      details_->Allele->clear();
      state.alleleCounts = frqAlleleCounts(*state.firstTable());
      details_->Locus->addItems(entryTexts(locusEntries(state.alleleCounts)));
      details_->Allele->addItems(entryTexts(alleleEntries(state.alleleCounts, 0)));
      details_->Allele->setCurrentIndex(0);
      details_->Locus->setCurrentIndex(0);
      details_->LocusChange();
      break;
    }
    case FileKind::other: {
      selectPage(0);
      Openfactorfile->setEnabled(false);
      summary_->Model_only->setEnabled(false);
      showAll({details_->Model_only2, details_->LModel_only2}, false);
      showAll({details_->Allele, details_->Locus, details_->Lallele, details_->Llocus}, false);
      showAll({details_->xi, details_->col}, true);
      state.modelFilter = 0;
      details_->xi->addItems(entryTexts(otherColumnLabels(state.columnCount, state.firstTable()->columnNames())));
      // the chains of an index start with their iteration numbers: the first name is what to look at
      const int entry = state.chainsFromIndex() && details_->xi->count() > 1 ? 1 : 0;
      details_->xi->setCurrentIndex(entry);
      details_->requestColumnFigures(entry + 1, true);
      break;
    }
  }
  details_->SetDefaultBandwidth();
}

}  // namespace varno
