// Moving satellites, transponders and programs by dragging them up or down
// their grid. Not built yet: the mouse-move handlers do nothing.
#include "TFormMain.h"

void TFormMain::SG_SatMouseMove() {}
void TFormMain::SG_TPMouseMove() {}
void TFormMain::SG_TVMouseMove() {}
void TFormMain::SG_RadioMouseMove() {}
void TFormMain::SG_TVMouseUp() {}
void TFormMain::SG_RadioMouseUp() {}
