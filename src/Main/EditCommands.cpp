// Commands that change the database through the editor dialogs, add, delete
// and reset entries, sort programs, import transponders from .ini files and
// talk to the receiver. Their menu items and buttons are in place; the
// commands themselves are not built yet and do nothing.
#include "TFormMain.h"

void TFormMain::SG_SatDblClick() {}
void TFormMain::SG_TPDblClick() {}
void TFormMain::SG_TVDblClick() {}
void TFormMain::SG_RadioDblClick() {}
void TFormMain::ResetSatellite1Click() {}
void TFormMain::DownLoadFromini1Click() {}
void TFormMain::New_TpClick() {}
void TFormMain::New_TvClick() {}
void TFormMain::New_RadioClick() {}
void TFormMain::Delete_TpClick() {}
void TFormMain::Del_All_Empty_TpClick() {}
void TFormMain::Delete_TvClick() {}
void TFormMain::Delete_RadioClick() {}
void TFormMain::SorebyAZ1Click() {}
void TFormMain::SorebyTp1Click() {}
void TFormMain::SorebyFav1Click() {}
void TFormMain::SorebyAZ2Click() {}
void TFormMain::SorebyTp2Click() {}
void TFormMain::SorebyFav2Click() {}
void TFormMain::ReadDataClick() {}
void TFormMain::WriteChannelDataClick() {}
