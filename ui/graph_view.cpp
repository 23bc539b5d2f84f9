#include "ui/graph_view.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/widgets.h"

namespace zelm {

GraphView::GraphView(Form1& form, QWidget* parent) : QWidget(parent), form_(form) {
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, QColor(192, 192, 192));
  setPalette(p);
}

QPointF GraphView::ToPlot(QPointF pixel) const {
  // Horizontal: the mass range fills the middle 100/106 of the width; vertical: 102 at the top, -21.5 at the bottom.
  double w = double(form_.XAxisEnd) - form_.XAxisStart;
  double left = form_.XAxisStart - 0.03 * w;
  double x = left + pixel.x() / width() * 1.06 * w;
  double y = 102.0 - pixel.y() / height() * 123.5;
  return {x, y};
}

void GraphView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(192, 192, 192));
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
