// Makes the two help pictures from the real main window: help_pictures OUTDIR
// Renders the window offscreen in a fresh folder with the built-in data after a search for 120 and 60, plot shown,
// and draws the callouts (reference page, 954 x 548) and the numbered steps (tutorial page, 950 x 558) around it.
#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTemporaryDir>
#include <cstdio>

#include "text/text.h"
#include "ui/app.h"

namespace {

using zelm::Control;
using zelm::Form1;

const QColor kInk(20, 20, 60);
const QColor kPaper(255, 255, 248);
const QColor kLead(200, 40, 40);
const QColor kNote(255, 250, 205);

// Where a control of the window lands on the page.
struct Placement {
  QPointF origin;
  double scale;
  QPointF At(const Form1& f, const Control& c, double fx = 0.5, double fy = 0.5) const {
    double left = c.Left, top = c.Top;
    // Controls inside the frame or the plot are measured from their container.
    if (&c == &f.Option0 || &c == &f.OptionPlus || &c == &f.OptionMinus || &c == &f.Label2)
      left += f.Frame1.Left, top += f.Frame1.Top;
    if (&c == &f.ReportBox) left += f.Graph.Left, top += f.Graph.Top;
    return origin + QPointF((left + c.Width * fx) / 15.0, (top + c.Height * fy) / 15.0) * scale;
  }
};

QFont PageFont(double points, bool bold = false) {
  QFont f("DejaVu Sans");
  f.setPointSizeF(points);
  f.setBold(bold);
  return f;
}

// A callout: a boxed text at box, with a leader line to the point it names.
void Callout(QPainter& p, const QRectF& box, const QString& text, QPointF target, bool star = false) {
  p.setFont(PageFont(7.2));
  QString shown = star ? text + " *" : text;
  QRectF need = p.boundingRect(box.adjusted(3, 2, -3, -2), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, shown);
  QRectF frame(box.topLeft(), QSizeF(box.width(), need.height() + 4));
  QPointF from(target.x() < frame.left() ? frame.left() : (target.x() > frame.right() ? frame.right() : frame.center().x()),
               target.y() < frame.top() ? frame.top() : (target.y() > frame.bottom() ? frame.bottom() : frame.center().y()));
  p.setPen(QPen(kLead, 1.2));
  p.drawLine(from, target);
  p.setBrush(kLead);
  p.drawEllipse(target, 2.2, 2.2);
  p.setBrush(Qt::white);
  p.setPen(QPen(kInk, 0.8));
  p.drawRoundedRect(frame, 3, 3);
  p.drawText(frame.adjusted(3, 2, -3, -2), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, shown);
}

void Heading(QPainter& p, QPointF at, const QString& text, double points = 13) {
  p.setFont(PageFont(points, true));
  p.setPen(kInk);
  p.drawText(at, text);
}

// The window drawn at the page's scale: rendered as drawing, not shrunk as a picture, so thin plot lines and small
// captions stay visible.
void Window(QPainter& p, QWidget& window, const Placement& place) {
  QRectF target(place.origin, QSizeF(window.width(), window.height()) * place.scale);
  p.setPen(QPen(QColor(90, 90, 90), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(target.adjusted(-1, -1, 1, 1));
  QPixmap sharp(window.size() * 3);
  sharp.setDevicePixelRatio(3);
  window.render(&sharp);
  p.save();
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.drawPixmap(target, sharp, QRectF(sharp.rect()));
  p.restore();
}

void ColourKey(QPainter& p, QRectF box) {
  p.setPen(QPen(kInk, 0.8));
  p.setBrush(Qt::white);
  p.drawRoundedRect(box, 3, 3);
  p.setFont(PageFont(7.2, true));
  p.drawText(box.adjusted(4, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, "Colour key of the plot");
  struct Key {
    QColor colour;
    const char* text;
  } keys[] = {{QColor(0, 160, 0), "compound (highlighted result)"},
              {QColor(0, 0, 220), "its isotopes"},
              {QColor(220, 0, 0), "its fragments"}};
  p.setFont(PageFont(7.2));
  double y = box.top() + 20;
  for (const Key& k : keys) {
    p.setPen(QPen(k.colour, 3));
    p.drawLine(QPointF(box.left() + 8, y), QPointF(box.left() + 26, y));
    p.setPen(kInk);
    p.drawText(QPointF(box.left() + 32, y + 4), k.text);
    y += 14;
  }
}

QImage Reference(const Form1& f, QWidget& shot) {
  QImage page(954, 548, QImage::Format_RGB888);
  page.fill(kPaper);
  QPainter p(&page);
  p.setRenderHint(QPainter::Antialiasing);
  Placement at{QPointF(232, 66), 0.72};
  Window(p, shot, at);
  Heading(p, QPointF(232, 30), "ZELM Help Reference");
  p.setFont(PageFont(8));
  p.drawText(QPointF(232, 48), "Left click Help for this page, right click Help for the tutorial. Click this page to close it.");

  // Left column: the mass box and the search parameters.
  const double lx = 8, lw = 200;
  Callout(p, {lx, 12, lw, 0}, "Search mass box: enter one or more masses separated by commas (120,60).",
          at.At(f, f.FindMass, 0.15));
  Heading(p, QPointF(lx, 66), "Search parameters", 9);
  Callout(p, {lx, 72, lw, 0}, "Range (PPM): results will be within this range of each mass.", at.At(f, f.Range));
  Callout(p, {lx, 104, lw, 0}, "Charge: + or - adds or takes away the electron mass.", at.At(f, f.OptionPlus), true);
  Callout(p, {lx, 136, lw, 0}, "Mass adjustment: adds the mass of OH, H and the like.", at.At(f, f.MassAdjustment, 0.3),
          true);
  Callout(p, {lx, 168, lw, 0}, "Paste from Clipboard: paste a number from another application.",
          at.At(f, f.PasteFromClipboard, 0.3));
  Callout(p, {lx, 200, lw, 0}, "15: maximum number of each element in a formula.", at.At(f, f.MaxMassN), true);
  Callout(p, {lx, 232, lw, 0}, "+/- Mass: adds the highlighted mass of the list to the search mass.",
          at.At(f, f.PlusMinusX), true);
  Callout(p, {lx, 264, lw, 0}, "Search: finds every formula of the list's elements within the range.",
          at.At(f, f.QuickSearch, 0.3));
  Callout(p, {lx, 296, lw, 0}, "Stop: stops the search of the current mass.  Exit: ends ZELM.", at.At(f, f.Stop));
  Callout(p, {lx, 328, lw, 0}, "Add: add the label and mass typed in the mass box (C, 12) to this list.",
          at.At(f, f.Add, 0.5, 0.8));
  Callout(p, {lx, 360, lw, 0}, "Copy: copy an item from the library of elements and fragments.",
          at.At(f, f.Load, 0.5, 0.8));
  Callout(p, {lx, 392, lw, 0}, "Delete: delete the highlighted item.", at.At(f, f.Cut, 0.5, 0.8));
  Callout(p, {lx, 414, lw, 0},
          "Work list: ZELM identifies masses made up of combinations of the elements and fragments in this list. "
          "New elements and fragments, DNA fragments too, can be added or copied from the library.",
          at.At(f, f.WorkList, 0.4, 0.5));

  // Right column: results, help, the plot and its buttons.
  const double rx = 742, rw = 204;
  Callout(p, {rx, 12, rw, 0}, "Results: the highlighted result is graphed below.", at.At(f, f.Results, 0.8, 0.2));
  Callout(p, {rx, 44, rw, 0},
          "Copy Results: copy the results list to the clipboard, to paste it into a word processor or spreadsheet.",
          at.At(f, f.CopyAll, 0.5));
  Callout(p, {rx, 98, rw, 0}, "Help: left click for this page, right click for the tutorial page.", at.At(f, f.Help, 0.8));
  Callout(p, {rx, 130, rw, 0}, "Help and status line: progress, results and fragments.", at.At(f, f.HelpLine, 0.9));
  ColourKey(p, {rx, 162, rw, 62});
  Callout(p, {rx, 234, rw, 0}, "Plot: click and drag to move the X axis.", at.At(f, f.Graph, 0.85, 0.4));
  Callout(p, {rx, 266, rw, 0}, "Copy Results (under the plot): copy peaks, isotopes and fragments to the clipboard.",
          at.At(f, f.Report, 0.3));
  Callout(p, {rx, 310, rw, 0}, "Left or right click to expand or contract the X axis.", at.At(f, f.Expand, 0.5));
  Callout(p, {rx, 342, rw, 0}, "Left or right click to expand or contract the Y axis.", at.At(f, f.ExpandY, 0.5));
  Callout(p, {rx, 374, rw, 0}, "Close Graph: closes the bottom results box; a second click closes the graph box.",
          at.At(f, f.GraphClose, 0.7));

  // Notes under the window.
  p.setFont(PageFont(8));
  p.setPen(kInk);
  p.drawText(QRectF(232, 366, 500, 30), Qt::TextWordWrap,
             "* In general a left mouse click adds and a right mouse click subtracts.");
  QRectF note(232, 470, 500, 64);
  p.setBrush(kNote);
  p.setPen(QPen(kInk, 1));
  p.drawRect(note);
  p.drawText(note.adjusted(8, 6, -8, -6), Qt::TextWordWrap,
             "If the superscript and subscript digits of the formulas do not appear correctly, restart the system "
             "so that its fonts are loaded again.\nZELM may be distributed freely for educational use.");
  return page;
}

QImage Tutorial(const Form1& f, QWidget& shot) {
  QImage page(950, 558, QImage::Format_RGB888);
  page.fill(kPaper);
  QPainter p(&page);
  p.setRenderHint(QPainter::Antialiasing);
  Placement at{QPointF(430, 78), 0.74};
  Window(p, shot, at);
  Heading(p, QPointF(12, 30), "ZELM Tutorial");
  p.setFont(PageFont(8.5));
  p.setPen(kInk);
  p.drawText(QPointF(12, 50), "Do the steps below in the main window.");
  Callout(p, {430, 8, 230, 0}, "Elements and fragments list box (the work list)", at.At(f, f.WorkList, 0.5, 0.1));
  Callout(p, {680, 8, 120, 0}, "Search box", at.At(f, f.FindMass, 0.8, 0.3));

  const char* steps[] = {
      "Click Search. At start 120 is in the search box: the search finds that 10 carbons make up the mass, with a "
      "few other entries depending on the work list, and the plot appears. Drag on the plot, and use the buttons "
      "that expand and contract the axes.",
      "Set the Range to .1 and search again: only the 10 carbons remain, since the other entries miss the "
      "tolerance.",
      "Click the 15 button next to the +/- Mass button: it changes to 31, and all combinations of 0 to 31 of each "
      "element are tried.",
      "Right-click the same button: it goes back to 15. As a rule a left click adds and a right click subtracts.",
      "Highlight carbon in the work list and left-click +/- Mass: a carbon mass is added to the number in the "
      "search box.",
      "Enter 120 and 60, separated by a comma, in the search box and search: several peaks are searched at once, "
      "and the help line tells whether one peak is a fragment of another.",
      "Highlight the sodium entry in the work list and click Delete.",
      "Click Copy: the whole element and fragment library appears in the work list. Find sodium and click it: it "
      "is added to the list again.",
  };
  double y = 66;
  for (int i = 0; i < 8; ++i) {
    QRectF circle(12, y, 18, 18);
    p.setBrush(kLead);
    p.setPen(Qt::NoPen);
    p.drawEllipse(circle);
    p.setPen(Qt::white);
    p.setFont(PageFont(8, true));
    p.drawText(circle, Qt::AlignCenter, QString::number(i + 1));
    p.setPen(kInk);
    p.setFont(PageFont(8));
    QRectF text(38, y, 380, 80);
    QRectF used = p.boundingRect(text, Qt::TextWordWrap, steps[i]);
    p.drawText(text, Qt::TextWordWrap, steps[i]);
    y += std::max(22.0, used.height() + 8);
  }
  ColourKey(p, {430, 390, 200, 62});
  QRectF note(650, 390, 290, 90);
  p.setBrush(kNote);
  p.setPen(QPen(kInk, 1));
  p.drawRect(note);
  p.setFont(PageFont(8));
  p.drawText(note.adjusted(8, 6, -8, -6), Qt::TextWordWrap,
             "The plot shows in green the peak highlighted in the results list, in blue its isotopes and in red its "
             "fragments. Click the 5-carbon result to see the plot change.");
  return page;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: help_pictures OUTDIR\n");
    return 2;
  }
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QDir out(QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1])));
  QTemporaryDir work;
  QDir::setCurrent(work.path());
  zelm::App zelm;
  zelm.Start();
  QApplication::processEvents();
  Form1& f = zelm.form;
  f.FindMass.SetText("120,60");
  f.QuickSearch_Click();
  // The pages show the ten-carbon result highlighted and drawn, with its five-carbon fragment.
  for (int i = 0; i < f.Results.Count(); ++i) {
    if (f.Results.Item(i).rfind(zelm::ToSuperscript("12") + "C" + zelm::ToSubscript("10") + " ", 0) == 0) {
      f.Results.SetListIndex(i);
      f.Results_MouseUp(1, 0, 0, 0);
    }
  }
  zelm.window->Sync();
  QApplication::processEvents();
  QWidget& shot = *zelm.window;
  bool ok = Reference(f, shot).save(out.filePath("reference.png")) && Tutorial(f, shot).save(out.filePath("tutorial.png"));
  std::printf("%s\n", ok ? "written reference.png and tutorial.png" : "could not write the pictures");
  return ok ? 0 : 1;
}
