// Handlers of controls whose behaviour is still to come; each moves to its subsystem's folder when it is built.
#include "core/form1.h"

namespace zelm {

void Form1::MassAdjustment_MouseUp(int, int, float, float) {}
void Form1::Report_Click() {}
void Form1::PasteFromClipboard_Click() {}
void Form1::Load_Click() {}
void Form1::Cut_Click() {}
void Form1::Stop_Click() {}
void Form1::Add_Click() {}
void Form1::PlusMinusX_MouseUp(int, int, float, float) {}
void Form1::MaxMassN_MouseUp(int, int, float, float) {}
void Form1::QuickSearch_Click() {}
void Form1::WorkList_Click() {}
void Form1::FindMass_KeyDown(int, int) {}
void Form1::FindMass_KeyPress(int) {}
void Form1::FindMass_DblClick() {}
void Form1::WorkListBtn_Click() {}
void Form1::CopyAll_Click() {}

}  // namespace zelm
