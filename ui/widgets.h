// Small widgets that turn Qt events into the events the handlers expect.
#pragma once

#include <QAbstractListModel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <functional>

#include "core/controls.h"

namespace zelm {

// Shift code of a Qt modifier set: Shift 1, Ctrl 2, Alt 4.
int ShiftCode(Qt::KeyboardModifiers modifiers);
// Mouse button code: left 1, right 2, middle 4, other 0.
int ButtonCode(Qt::MouseButton button);
// The key code a key event carries for the handlers (digits 48..57, keypad digits 96..105, "=" 187, "-" 189, ...).
int KeyCode(int qtKey, Qt::KeyboardModifiers modifiers);

// A button that reports the release of any mouse button over it; keyboard presses report nothing.
class MouseUpButton : public QPushButton {
  Q_OBJECT
 public:
  using QPushButton::QPushButton;
  std::function<void(int button, int shift, float x, float y)> onMouseUp;

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
};

// The mass box: key down and key press go to the handlers before the box handles the key itself.
class MassBox : public QLineEdit {
  Q_OBJECT
 public:
  using QLineEdit::QLineEdit;
  std::function<void(int keyCode, int shift)> onKeyDown;
  std::function<void(int keyAscii)> onKeyPress;
  std::function<void()> onDoubleClick;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
};

// Shows a list box model; rows are read from the model on demand, so long lists cost nothing until shown.
class ListModel : public QAbstractListModel {
  Q_OBJECT
 public:
  explicit ListModel(const ListBox& list, QObject* parent = nullptr) : QAbstractListModel(parent), list_(list) {}
  int rowCount(const QModelIndex& parent) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  void Refresh();
  // The coded tooltip of a row, when the list has tooltips; shown as the row's tooltip role.
  std::function<std::string(int row)> toolTip;

 private:
  const ListBox& list_;
};

// A one-line label that narrows its font, down to two thirds of its size, so that a long text still fits; beyond
// that the text is cut with an ellipsis and the whole text shows as the tooltip.
class FitLabel : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;
  void setText(const QString& text);
  const QString& text() const { return text_; }

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  QString text_;
};

// Draws a result line with its mass text at a fixed offset after the formula column, so that the masses line up;
// the text itself is not changed.
class ResultLineDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  // The formula and mass parts of a result line as shown.
  static std::pair<QString, QString> Split(const QString& line);
};

// A list view that reports mouse releases over it with the button and shift codes.
class ListView : public QListView {
  Q_OBJECT
 public:
  using QListView::QListView;
  std::function<void(int button, int shift, float x, float y)> onMouseUp;

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
};

}  // namespace zelm
