// The commands that save a chart as an image, and "Print graph".
#include "ui/plotwin2.h"

namespace varno {

void TForm3::SaveClick() {}
void TForm3::g1_saveClick() {}
void TForm3::g2_saveClick() {}
void TForm3::hpdi_saveClick() {}
void TForm3::model_saveClick() {}
void TForm3::PrintClick() {}

}  // namespace varno
