// The plot surface on its own: the mapping between pixels and plot units, mouse events in plot units, a drag through
// real mouse events, and the painted colours.
#include <QImage>
#include <QtTest>

#include "core/form1.h"
#include "text/text.h"
#include "support/fake_host.h"
#include "support/formula_text.h"
#include "ui/graph_view.h"

namespace zelm {

class GraphViewTest : public QObject {
  Q_OBJECT

 private:
  struct Fixture {
    FakeHost host;
    Form1 form{host};
    GraphView view{form, nullptr};
    Fixture() {
      form.XAxisStart = 0;
      form.XAxisEnd = 200;
      form.YAxisTop = "100";
      form.StoredResults[0] = '1';
      form.StoredResults[1] = ResultLineOf(Coded("^12C_5"), 60);
      form.SelectedResult = ResultLineOf(Coded("^12C_10"), 120);
      form.FragmentList = "   1";
      form.IsotopeLines[0][0] = 1;
      form.IsotopeLines[1] = {121.00335, 10.8157};
      view.resize(10230 / 15, 2640 / 15);
      view.onMouseDown = [this](int b, int s, float x, float y) { form.Graph_MouseDown(b, s, x, y); };
      view.onMouseMove = [this](int b, int s, float x, float y) { form.Graph_MouseMove(b, s, x, y); };
      form.DrawGraph();
    }
    QImage Paint() {
      QImage image(view.size(), QImage::Format_RGB32);
      view.render(&image);
      return image;
    }
    // Whether some pixel of the column at plot x, between the plot heights y1 and y2, has the colour.
    bool ColumnHas(const QImage& image, double x, double y1, double y2, QColor colour) {
      int px = int(view.ToPixel(x, 0).x());
      int top = int(view.ToPixel(x, y2).y()), bottom = int(view.ToPixel(x, y1).y());
      for (int y = std::max(top, 0); y <= std::min(bottom, image.height() - 1); ++y)
        if (QColor(image.pixel(px, y)) == colour) return true;
      return false;
    }
  };

 private slots:
  void MappingFollowsTheScaleOfTheLastDrawing() {
    Fixture f;
    QPointF topLeft = f.view.ToPlot({0, 0});
    QCOMPARE(topLeft.x(), -6.0);
    QCOMPARE(topLeft.y(), 102.0);
    QPointF bottomRight = f.view.ToPlot({double(f.view.width()), double(f.view.height())});
    QCOMPARE(bottomRight.x(), 206.0);
    QCOMPARE(bottomRight.y(), -21.5);
    QPointF p = f.view.ToPixel(130, 50);
    QPointF back = f.view.ToPlot(p);
    QVERIFY(std::abs(back.x() - 130) < 1e-9 && std::abs(back.y() - 50) < 1e-9);
  }

  void PressAndDragThroughMouseEvents() {
    Fixture f;
    QPoint press = f.view.ToPixel(130, 50).toPoint();
    QTest::mousePress(&f.view, Qt::LeftButton, Qt::NoModifier, press);
    QVERIFY(std::abs(f.form.DragStartX - 130) < 0.5);
    // Move left pixel by pixel over a little more than 30 u: the range follows in three steps of 10.
    const int pixels = int(std::ceil(30.5 / 212 * f.view.width()));
    for (int i = 1; i <= pixels; ++i) {
      QMouseEvent move(QEvent::MouseMove, QPointF(press.x() - i, press.y()), f.view.mapToGlobal(QPointF(press.x() - i, press.y())),
                       Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(&f.view, &move);
    }
    QCOMPARE(f.form.XAxisStart, 30.0);
    QCOMPARE(int(f.form.XAxisEnd), 230);
  }

  void PaintsTheSpectrumInItsColours() {
    Fixture f;
    QImage image = f.Paint();
    QPoint empty = f.view.ToPixel(170, 80).toPoint();
    QCOMPARE(QColor(image.pixel(empty)), QColor(192, 192, 192));
    QVERIFY(f.ColumnHas(image, 120, 5, 95, QColor(0, 128, 0)));
    // The fragment is half of the compound: its black line lies under the red one.
    QVERIFY(f.ColumnHas(image, 60, 5, 45, QColor(255, 0, 0)));
    QVERIFY(!f.ColumnHas(image, 60, 55, 95, QColor(255, 0, 0)));
    QVERIFY(f.ColumnHas(image, 121.00335, 1, 9, QColor(0, 0, 255)));
    // The frame and the labelled ticks are black.
    QVERIFY(f.ColumnHas(image, 0, 5, 95, QColor(0, 0, 0)));
    QVERIFY(f.ColumnHas(image, 100, -8, -1, QColor(0, 0, 0)));
  }

  void TallLinesAreCutAtTheEdge() {
    Fixture f;
    f.form.YAxisTop = " 10";
    f.form.DrawGraph();
    QImage image = f.Paint();
    QVERIFY(f.ColumnHas(image, 120, 95, 101.9, QColor(0, 128, 0)));
    QCOMPARE(image.size(), f.view.size());
  }

  void NothingButTheBackgroundBeforeTheFirstDrawing() {
    FakeHost host;
    Form1 form{host};
    GraphView view{form, nullptr};
    view.resize(682, 176);
    QImage image(view.size(), QImage::Format_RGB32);
    view.render(&image);
    QCOMPARE(QColor(image.pixel(340, 88)), QColor(192, 192, 192));
  }
};

}  // namespace zelm

QTEST_MAIN(zelm::GraphViewTest)
#include "graph_view_test.moc"
