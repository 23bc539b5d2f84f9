// The plot's drawing surface: paints the display list of the graph model and reports mouse events in plot units.
#pragma once

#include <QWidget>
#include <functional>

#include "core/form1.h"

namespace zelm {

class GraphView : public QWidget {
  Q_OBJECT
 public:
  GraphView(Form1& form, QWidget* parent);
  std::function<void(int button, int shift, float x, float y)> onMouseDown;
  std::function<void(int button, int shift, float x, float y)> onMouseMove;

  // Pixel <-> plot units in the scale of the last drawing (x in u, y in percent). Before the first drawing the
  // horizontal scale follows the mass range as a drawing would set it.
  QPointF ToPlot(QPointF pixel) const;
  QPointF ToPixel(double x, double y) const;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;

 private:
  void HorizontalScale(double* left, double* width) const;
  Form1& form_;
};

}  // namespace zelm
