#include "ui/fonts.h"

#include <map>
#include <string>

namespace zelm {

QFont SubstituteFont(const QString& designName, double points) {
  QString family = "DejaVu Sans";
  if (designName == "Chemistry Serif") family = "DejaVu Serif";
  else if (designName == "Arial") family = "Liberation Sans";
  QFont font(family);
  font.setPointSizeF(points);
  // The small captions were designed for a narrower face than DejaVu Sans: take its condensed face where it is
  // installed, so that every caption fits its button.
  if (designName == "MS Sans Serif" || designName == "Chemistry SansSerif") font.setStretch(QFont::Condensed);
  return font;
}

QFont ControlFont(const std::string& controlName) {
  struct Design {
    const char* name;
    double points;
  };
  static const std::map<std::string, Design> designs = {
      {"ReportBox", {"Chemistry SansSerif", 12}}, {"Label2", {"Chemistry Serif", 8.25}},
      {"Results", {"Chemistry Serif", 14.25}},    {"Range", {"Chemistry Serif", 8.25}},
      {"WorkList", {"Chemistry Serif", 14.25}},   {"FindMass", {"Chemistry Serif", 9.75}},
      {"HelpLine", {"Chemistry Serif", 12}},      {"Help", {"Arial", 8.25}},
      {"MassAdjustment", {"Chemistry SansSerif", 8.25}},
  };
  auto it = designs.find(controlName);
  if (it == designs.end()) return SubstituteFont("MS Sans Serif", 8.25);
  return SubstituteFont(it->second.name, it->second.points);
}

}  // namespace zelm
