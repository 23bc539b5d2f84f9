// Handlers of controls whose behaviour is still to come; each moves to its subsystem's folder when it is built.
#include "core/form1.h"

namespace zelm {

void Form1::ExpandY_MouseUp(int, int, float, float) {}
void Form1::Expand_MouseUp(int, int, float, float) {}
void Form1::GraphClose_Click() {}
void Form1::Graph_MouseDown(int, int, float, float) {}
void Form1::Graph_MouseMove(int, int, float, float) {}
void Form1::Results_MouseUp(int, int, float, float) {}

}  // namespace zelm
