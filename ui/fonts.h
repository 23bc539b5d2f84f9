// The fonts of the window, with the desktop's substitutes for the names the controls were designed with.
#pragma once

#include <QFont>
#include <QString>

namespace zelm {

// "Chemistry Serif" -> DejaVu Serif, "Chemistry SansSerif" and "MS Sans Serif" -> DejaVu Sans, "Arial" -> Liberation Sans.
QFont SubstituteFont(const QString& designName, double points);
// The font a control of the main window was designed with.
QFont ControlFont(const std::string& controlName);

}  // namespace zelm
