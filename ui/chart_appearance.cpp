// Chart appearance and window options: series colours, backgrounds, grids, line style, resizing,
// staying on top.
#include "ui/plotwin2.h"

namespace varno {

void TForm3::FormResize() {}
void TForm3::AlwaysontopClick() {}
void TForm3::Line_RedClick() {}
void TForm3::Line_BlackClick() {}
void TForm3::Line_BlueClick() {}
void TForm3::Line_GreenClick() {}
void TForm3::Line_GrayClick() {}
void TForm3::Line_WhiteClick() {}
void TForm3::Back_GreyClick() {}
void TForm3::Back_WhiteClick() {}
void TForm3::Grid_OnClick() {}
void TForm3::Grid_OffClick() {}
void TForm3::LinesClick() {}
void TForm3::PointsClick() {}
void TForm3::BothClick() {}

}  // namespace varno
