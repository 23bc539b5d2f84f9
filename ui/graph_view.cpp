#include "ui/graph_view.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "ui/codec.h"
#include "ui/fonts.h"
#include "ui/widgets.h"

namespace zelm {

namespace {

const QColor kButtonFace(192, 192, 192);

QColor ColourOf(uint32_t rgb) { return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// The centre of the pixel a coordinate falls in, so that one-pixel lines along the axes stay sharp.
double PixelCentre(double v) { return std::floor(v) + 0.5; }

}  // namespace

GraphView::GraphView(Form1& form, QWidget* parent) : QWidget(parent), form_(form) {
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, kButtonFace);
  setPalette(p);
}

void GraphView::HorizontalScale(double* left, double* width) const {
  *left = form_.Graph.ScaleLeft;
  *width = form_.Graph.ScaleWidth;
  if (*width == 0) {
    double w = double(form_.XAxisEnd) - form_.XAxisStart;
    *left = form_.XAxisStart - 0.03 * w;
    *width = 1.06 * w;
  }
}

QPointF GraphView::ToPlot(QPointF pixel) const {
  // Horizontal: the scale of the last drawing; vertical: 102 at the top edge, -21.5 at the bottom edge.
  double left, w;
  HorizontalScale(&left, &w);
  const double top = GraphSurface::ScaleTop, bottom = GraphSurface::ScaleBottom;
  double x = left + pixel.x() / width() * w;
  double y = top - pixel.y() / height() * (top - bottom);
  return {x, y};
}

QPointF GraphView::ToPixel(double x, double y) const {
  double left, w;
  HorizontalScale(&left, &w);
  const double top = GraphSurface::ScaleTop, bottom = GraphSurface::ScaleBottom;
  return {(x - left) / w * width(), (top - y) / (top - bottom) * height()};
}

void GraphView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kButtonFace);
  const GraphSurface& graph = form_.Graph;
  if (!(graph.ScaleWidth > 0) || width() <= 0 || height() <= 0) return;

  painter.setClipRect(rect());
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  painter.setFont(ControlFont("Graph"));
  const double ascent = QFontMetricsF(painter.font()).ascent();

  for (const GraphItem& item : graph.Items) {
    QPointF a = ToPixel(item.x1, item.y1);
    if (item.kind == GraphItem::Kind::Text) {
      painter.setPen(ColourOf(item.colour));
      painter.drawText(QPointF(a.x(), a.y() + ascent), ToUnicode(item.text));
      continue;
    }
    QPointF b = ToPixel(item.x2, item.y2);
    // Far-off ends are brought near the surface first; the clip does the rest.
    auto bound = [](double v) { return std::clamp(v, -1e6, 1e6); };
    a = {bound(a.x()), bound(a.y())};
    b = {bound(b.x()), bound(b.y())};
    if (a.x() == b.x()) a.setX(PixelCentre(a.x())), b.setX(a.x());
    if (a.y() == b.y()) a.setY(PixelCentre(a.y())), b.setY(a.y());
    QPen pen(ColourOf(item.colour));
    // The coloured spectrum lines are drawn two pixels wide so that they read at a glance; frame and ticks one.
    pen.setWidthF(std::max(item.colour == 0 ? 1.0 : 2.0, double(item.width)));
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.drawLine(a, b);
  }
}

void GraphView::mousePressEvent(QMouseEvent* e) {
  QPointF p = ToPlot(e->position());
  if (onMouseDown) onMouseDown(ButtonCode(e->button()), ShiftCode(e->modifiers()), float(p.x()), float(p.y()));
}

void GraphView::mouseMoveEvent(QMouseEvent* e) {
  QPointF p = ToPlot(e->position());
  int buttons = 0;
  if (e->buttons() & Qt::LeftButton) buttons |= 1;
  if (e->buttons() & Qt::RightButton) buttons |= 2;
  if (e->buttons() & Qt::MiddleButton) buttons |= 4;
  if (onMouseMove) onMouseMove(buttons, ShiftCode(e->modifiers()), float(p.x()), float(p.y()));
}

}  // namespace zelm
