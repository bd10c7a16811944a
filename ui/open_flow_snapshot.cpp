// Snapshot of the state an open flow changes before its file is read.
#include "ui/open_flow_snapshot.h"

#include <QTabWidget>

#include "ui/plotwin2.h"

namespace varno {

OpenFlowSnapshot::OpenFlowSnapshot(const TForm3& form)
    : dataFileName_(form.state.dataFileName),
      dataExtension_(form.state.dataExtension),
      factorFileName_(form.state.factorFileName),
      factorCount_(form.state.factorCount),
      factorMode_(form.state.factorMode),
      modelFilter_(form.state.modelFilter),
      page_(form.Pages->currentIndex()),
      hasInteraction_(form.state.hasInteraction),
      coefficientSummary_(form.state.coefficientSummary),
      caption_(form.windowTitle()) {}

void OpenFlowSnapshot::restore(TForm3& form) const {
  form.state.dataFileName = dataFileName_;
  form.state.dataExtension = dataExtension_;
  form.state.factorFileName = factorFileName_;
  form.state.factorCount = factorCount_;
  form.state.factorMode = factorMode_;
  form.state.modelFilter = modelFilter_;
  form.state.hasInteraction = hasInteraction_;
  form.state.coefficientSummary = coefficientSummary_;
  form.setWindowTitle(caption_);
  form.selectPage(page_);
}

}  // namespace varno
