// The main window's session record: every session variable under its own name, the models of all controls, the window's
// outer height and the focus. One Form1 per process; every handler and procedure is a member, defined in the folder of
// the subsystem that owns it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/controls.h"
#include "core/host.h"
#include "engine/combination_search.h"
#include "text/data_files.h"
#include "core/graph_surface.h"

namespace zelm {

// Table limits of the data model.
constexpr int kIndexLimit = 5000;
constexpr int kStoredLimit = 1000;
constexpr int kConfidenceLimit = 500;
constexpr int kIsotopeLimit = 5000;
constexpr int kIsotopeLineLimit = 50;
constexpr int kAdjustLimit = 51;

// Window heights (outer, twips) and the frame the client area lies in.
constexpr int kHeightCompact = 3360;
constexpr int kHeightSearching = 3420;
constexpr int kHeightPlot = 6400;
constexpr int kFrameHeight = 385;
constexpr int kClientWidth = 10290;
constexpr float kBarFullWidth = 1935;

class Form1 {
 public:
  explicit Form1(Host& host);
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  Host& host;

  // ---- Controls, in stacking order (the first lies on top) ----
  CaptionControl MassAdjustment{"MassAdjustment", 0, 1200, 1935, 255, 31};
  CaptionControl ExpandY{"ExpandY", 5040, 5640, 3105, 315, 30};
  CaptionControl Report{"Report", 0, 5640, 1905, 315, 28};
  CaptionControl Expand{"Expand", 1920, 5640, 3105, 315, 27};
  CaptionControl GraphClose{"GraphClose", 8160, 5640, 2025, 315, 26};
  GraphSurface Graph{"Graph", 0, 2940, 10230, 2640, 25};
  ListBox ReportBox{"ReportBox", 0, 0, 10155, 2580, 29, false};
  CaptionControl PasteFromClipboard{"PasteFromClipboard", 0, 1440, 1935, 255, 24};
  CaptionControl Exit{"Exit", 960, 2400, 975, 255, 4};
  CaptionControl Load{"Load", 2640, 2400, 735, 255, 8};
  CaptionControl Cut{"Cut", 3360, 2400, 735, 255, 9};
  CaptionControl Stop{"Stop", 0, 2400, 975, 255, 16};
  CaptionControl Add{"Add", 1920, 2400, 735, 255, 7};
  CaptionControl PlusMinusX{"PlusMinusX", 960, 1680, 975, 255, 18};
  CaptionControl MaxMassN{"MaxMassN", 0, 1680, 975, 255, 17};
  CaptionControl QuickSearch{"QuickSearch", 0, 2040, 1935, 345, 10};
  CaptionControl Confidence{"Confidence", 6000, 2400, 2175, 255, 22};
  CaptionControl Teach{"Teach", 5280, 2400, 735, 255, 21};
  CaptionControl Help{"Help", 8160, 2400, 2070, 255, 19};
  CaptionControl Frame1{"Frame1", 120, 720, 1695, 495, 11};
  OptionButton Option0{"Option0", 720, 240, 255, 200, 15};
  OptionButton OptionPlus{"OptionPlus", 120, 240, 255, 200, 13};
  OptionButton OptionMinus{"OptionMinus", 1320, 240, 255, 200, 12};
  CaptionControl Label2{"Label2", 240, 0, 1455, 255, 14};
  ListBox Results{"Results", 4200, 0, 6015, 2400, 6, true};
  TextBox Range{"Range", 1200, 480, 615, 285, 3};
  ListBox WorkList{"WorkList", 1920, 390, 2175, 2010, 1, false};
  TextBox FindMass{"FindMass", 0, 0, 4095, 390, 0};
  CaptionControl WorkListBtn{"WorkListBtn", 1800, 0, 2295, 255, 23};
  CaptionControl CopyAll{"CopyAll", 4200, 2400, 1095, 255, 20};
  BarShape Bar{"Bar", 0, 1920, 1935, 135, -1};
  CaptionControl HelpLine{"HelpLine", 0, 2640, 10215, 300, 5};
  CaptionControl Label3{"Label3", 120, 480, 1095, 255, 2};

  // All controls in stacking order.
  std::vector<Control*> Controls();

  // ---- Window ----
  std::string Caption;
  int WindowHeight = 6400;  // outer height in twips
  unsigned WindowChanges = 0;
  Control* Focus = &FindMass;
  void SetHeight(int twips);
  void SetFocus(Control& control);

  // ---- Session variables, in the order of their declaration ----
  std::vector<std::string> IndexLabel = std::vector<std::string>(kIndexLimit + 1);
  std::vector<double> IndexMass = std::vector<double>(kIndexLimit + 1, 0.0);
  double SearchMass = 0;
  int16_t IndexCount = 0;
  int16_t MaxBit = 0;
  std::string PendingEntry;
  int16_t StopRequested = 0;
  // Clicks on Stop so far: how the selection pass after a search run sees a click without clearing StopRequested.
  unsigned StopClicks = 0;
  std::vector<std::string> StoredResults = std::vector<std::string>(kStoredLimit + 1);
  // Beside each stored line, the error it was found with: the measured mass it was searched for minus the line's own
  // mass, in u (ListBox::kNoData when not known). The Results lines carry the same as their item data.
  std::vector<double> StoredErrors = std::vector<double>(kStoredLimit + 1, ListBox::kNoData);
  int16_t ConfidenceThreshold = 0;
  struct Rating {
    std::string Percent;  // position 0: the number of entries
    std::string Key;      // at most 40 characters
  };
  std::vector<Rating> ConfidenceTable = std::vector<Rating>(kConfidenceLimit + 1);
  double XAxisStart = 0;
  int16_t XAxisEnd = 0;
  std::string FragmentList;
  std::string SelectedResult;
  std::vector<std::array<std::string, 4>> IsotopeTable =
      std::vector<std::array<std::string, 4>>(kIsotopeLimit + 1);
  std::vector<std::array<double, 2>> IsotopeLines =
      std::vector<std::array<double, 2>>(kIsotopeLineLimit + 1, {0.0, 0.0});
  std::string YAxisTop;
  int16_t MatchScore = 0;
  std::vector<std::string> AdjustName = std::vector<std::string>(kAdjustLimit);
  std::vector<double> AdjustMass = std::vector<double>(kAdjustLimit, 0.0);
  int16_t AdjustIndex = 0;
  int16_t AdjustLast = 0;
  float DragStartX = 0;

  // ---- Start-up, activation, exit ----
  // Start-up, once before the window shows (writes missing default files first).
  void FormLoad();
  // Activation: every time the main window becomes the active window.
  void FormActivate();
  void Exit_Click();

  // ---- Event handlers of the controls (button: left 1, right 2; shift: Shift 1, Ctrl 2, Alt 4) ----
  void MassAdjustment_MouseUp(int Button, int Shift, float X, float Y);
  void ExpandY_MouseUp(int Button, int Shift, float X, float Y);
  void Report_Click();
  void Expand_MouseUp(int Button, int Shift, float X, float Y);
  void GraphClose_Click();
  void Graph_MouseDown(int Button, int Shift, float X, float Y);  // X, Y in plot units
  void Graph_MouseMove(int Button, int Shift, float X, float Y);
  void PasteFromClipboard_Click();
  void Load_Click();
  void Cut_Click();
  void Stop_Click();
  void Add_Click();
  void PlusMinusX_MouseUp(int Button, int Shift, float X, float Y);
  void MaxMassN_MouseUp(int Button, int Shift, float X, float Y);
  void QuickSearch_Click();
  void Results_MouseUp(int Button, int Shift, float X, float Y);
  void WorkList_Click();
  void FindMass_KeyDown(int KeyCode, int Shift);
  void FindMass_KeyPress(int KeyAscii);
  void FindMass_DblClick();
  void WorkListBtn_Click();
  void CopyAll_Click();

  // ---- Help line ----
  // Replaces the help line; repaintNow has it drawn at once, before long work starts.
  void SetHelp(const std::string& text, bool repaintNow = false);

  // ---- Library file and search index ----
  void LoadFile(const std::string& FileName);
  void Sort();
  // The path of a data file in the current directory.
  std::string DataPath(const std::string& name) const;
  // What the last LoadFile could not load, for the help line; empty when every line loaded.
  std::string LoadProblem;

  // ---- Auxiliary data files ----
  void LoadIsotopeTable();
  void LoadAdjustments();
  void LoadConfidence();
  // What the auxiliary loaders skipped or could not read, for the help line; empty when all was well.
  std::string DataProblem;

  // Files written from the built-in defaults at start-up, by name.
  std::vector<std::string> CreatedFiles;

  // ---- Mass search ----
  // Turns one combination of index entries into a result line of Results; rewrites both arguments.
  void CheckAdd(std::string& s, std::string& Wmass);
  // Lists every combination of index entries whose mass lies inside the window around WorkMass, as the walk does,
  // skipping the parts of the walk that cannot list anything.
  void Search(double& WorkMass);
  // The walk itself, position by position: the same lines, yields and bar as Search, and the measure it is held to.
  void SearchWalk(double& WorkMass);
  // The window of one search, fixed for its whole run: the corrected target and the bounds a sum must lie strictly
  // between.
  using SearchWindow = zelm::SearchWindow;
  // The start and end common to both: help line, empty list, stop cleared, window; and the closing help line and bar.
  SearchWindow BeginSearch(double WorkMass);
  // The window of a search for WorkMass with the range, charge and adjustment now set.
  SearchWindow WindowOf(double WorkMass) const;
  // Why a mass piece of the mass box (the `number`th, from 1) could not be searched, or how it was read when the
  // leading-number rule read only part of it; empty when it was searched as typed. `listed` is whether its search
  // listed any line.
  std::string PieceNote(const std::string& piece, int number, bool listed) const;
  void EndSearch(bool cut);
  // The measured mass the running search lists its lines for (ListBox::kNoData outside a search); CheckAdd gives each
  // line its error from it.
  double ListingMass = ListBox::kNoData;
  // Lists the combination of the index positions slot[1] (heaviest) to slot[k] with its summed mass; returns true
  // when Results has reached its limit.
  bool ListCombination(const int* slot, int k, double sum);
  // At most this many lines are listed by one search; the search ends there and says so on the help line.
  static constexpr int kSearchLineLimit = 100000;
  // How the engine searches (its measuring knobs, which benchmarks and tests set, and the memory of the last search's
  // table), and what the latest search did: positions entered, combinations inside the window, cut or stopped. The
  // statistics are also up to date at every yield of a search.
  SearchOptions SearchSettings;
  SearchStats SearchStatistics;
  // A search run's selection pass yields after this long, as a search does.
  static constexpr double kSearchYieldSeconds = 0.05;

  // ---- Library editing ----
  // The current library's file: "EMass", the library button's caption, ".txt".
  std::string CurrentLibraryFile() const;
  // Loads and sorts the current library again, so that the work list shows it.
  void ReloadCurrentLibrary();

  // ---- Existence confidence ----
  // Fills Results from StoredResults, leaving out the lines rated below ConfidenceThreshold.
  void ShowResults();

  // ---- Result analysis: fragments and isotope lines ----
  // "YES" when w2 is a fragment of w1 (every group of w2, written out atom by atom, occurs in w1 written out), else "".
  std::string FragmentCheck(const std::string& w1, const std::string& w2);
  // The isotope lines of SelectedResult into IsotopeLines; nothing when SelectedResult is empty.
  void ComputeIsotopes();

  // ---- Results tooltip ----
  // The tooltip of Results line i (from 0): the line's formula in Hill order, its error in ppm and mDa, and its RDBE,
  // as coded text with its lines ended by "\n"; empty when there is no such line.
  std::string ResultsToolTip(int i) const;

  // ---- Spectrum plot ----
  // Clears and redraws the plot of SelectedResult, its fragments and isotope lines, and shows the plot area.
  void DrawGraph();
};

// The work-list line of a library entry: label, ",", the mass as number text (" 12").
std::string WorkListLine(const std::string& label, double mass);
// The library file line that loads back as the given work-list line: the work-list text itself, or with the label
// between double quotes where bare it would not read back whole (a comma in it, blanks or tabs at either end).
std::string LibraryLineOf(const std::string& workListLine);
// The help-line note on the lines of a data file that were not used (those before line `before`): how many, and the
// first with its reason ("isotopes.txt: 2 lines were not read, first line 4 (fewer than four fields)."); empty when
// there were none. `what` is "read" or "loaded".
std::string ProblemsNote(const std::vector<FileProblem>& problems, int before, const char* what);
// The index label for power n: n right-aligned in two characters, "(", the label, ")".
std::string IndexLabelText(int n, const std::string& label);

}  // namespace zelm
