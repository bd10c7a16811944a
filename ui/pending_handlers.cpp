// Handlers whose behaviour is still to come; each does nothing yet.
#include "ui/plotwin2.h"

namespace varno {

bool TForm3::PagesChanging(int) { return state.dataExtension == ".fst"; }
void TForm3::OpenClick() {}
void TForm3::OpenfactorfileClick() {}
void TForm3::Refresh1Click() {}
void TForm3::DropFiles(const QStringList&) {}
void TForm3::save_resClick() {}
void TForm3::logFstClick() {}
void TForm3::xiChange() {}
void TForm3::LocusChange() {}
void TForm3::AlleleChange() {}
void TForm3::Model_onlyChange() {}
void TForm3::Model_only2Change() {}
void TForm3::normalClick() {}
void TForm3::meanClick() {}
void TForm3::histoClick() {}
void TForm3::densityClick() {}
void TForm3::nb_histo2Change() {}
void TForm3::lambda_densChange() {}
void TForm3::lambda_defaultClick() {}
void TForm3::CutinChange() {}
void TForm3::CutoutChange() {}
void TForm3::TburninChange() {}
void TForm3::TburnoutChange() {}
void TForm3::Cpc2Change() {}
void TForm3::Combo_G1Change() {}
void TForm3::Combo_G2Change() {}
void TForm3::model_helpClick() {}
bool TForm3::catalogueAccepts(const SampleTable&) { return true; }
void TForm3::BuildColumnCatalogue() {}
void TForm3::PlotColumn(int) {}
void TForm3::ReplotCurrentColumn() {}
void TForm3::SetDefaultBandwidth() {}
void TForm3::DetectFactorCount() {}
void TForm3::ReadFactorValues() {}
void TForm3::ComputeModelSummary() {}
void TForm3::PlotFstAgainstFactors() {}
bool TForm3::isSummarizing() const { return false; }
void TForm3::waitForSummary() {}

}  // namespace varno
