#include "ui/widgets.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "core/result_line.h"
#include "text/text.h"
#include "ui/codec.h"

namespace zelm {

int ShiftCode(Qt::KeyboardModifiers m) {
  int code = 0;
  if (m & Qt::ShiftModifier) code |= 1;
  if (m & Qt::ControlModifier) code |= 2;
  if (m & Qt::AltModifier) code |= 4;
  return code;
}

int ButtonCode(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
  }
}

int KeyCode(int key, Qt::KeyboardModifiers m) {
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return (m & Qt::KeypadModifier) ? 96 + (key - Qt::Key_0) : key;
  // With Alt or Ctrl some layouts report the shifted symbol of a digit key; the handlers want the digit.
  static const int shiftedDigits[10] = {Qt::Key_ParenRight, Qt::Key_Exclam,  Qt::Key_At,         Qt::Key_NumberSign,
                                        Qt::Key_Dollar,     Qt::Key_Percent, Qt::Key_AsciiCircum, Qt::Key_Ampersand,
                                        Qt::Key_Asterisk,   Qt::Key_ParenLeft};
  for (int d = 0; d < 10; ++d)
    if (key == shiftedDigits[d]) return 48 + d;
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return key;
  switch (key) {
    case Qt::Key_Colon: return 58;
    case Qt::Key_Equal:
    case Qt::Key_Plus: return 187;
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return 189;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    default: return 0;
  }
}

void MouseUpButton::mousePressEvent(QMouseEvent* e) {
  // Any button presses it down, so that the release comes back here.
  setDown(true);
  e->accept();
}

void MouseUpButton::mouseReleaseEvent(QMouseEvent* e) {
  setDown(false);
  e->accept();
  if (rect().contains(e->position().toPoint()) && onMouseUp)
    onMouseUp(ButtonCode(e->button()), ShiftCode(e->modifiers()), float(e->position().x()),
              float(e->position().y()));
}

void MassBox::keyPressEvent(QKeyEvent* e) {
  int code = KeyCode(e->key(), e->modifiers());
  if (onKeyDown) onKeyDown(code, ShiftCode(e->modifiers()));
  if (code == 13 && onKeyPress) onKeyPress(13);
  // Alt with a character key types nothing on its own (it only calls up the coded digits above).
  const auto mods = e->modifiers() & (Qt::AltModifier | Qt::ControlModifier);
  if (mods == Qt::AltModifier && !e->text().isEmpty() && e->text().at(0).isPrint()) return;
  QLineEdit::keyPressEvent(e);
}

void MassBox::mouseDoubleClickEvent(QMouseEvent* e) {
  QLineEdit::mouseDoubleClickEvent(e);
  if (onDoubleClick) onDoubleClick();
}

void FitLabel::setText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  update();
}

void FitLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window));
  painter.setPen(palette().color(QPalette::WindowText));
  QFont f = font();
  const double full = font().pointSizeF();
  QRect area = rect().adjusted(2, 0, -2, 0);
  for (double size = full; size >= full * 2 / 3; size -= 0.25) {
    f.setPointSizeF(size);
    if (QFontMetrics(f).horizontalAdvance(text_) <= area.width()) break;
  }
  painter.setFont(f);
  QFontMetrics metrics(f);
  QString shown = metrics.elidedText(text_, Qt::ElideRight, area.width());
  setToolTip(shown == text_ ? QString() : text_);
  painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, shown);
}

std::pair<QString, QString> ResultLineDelegate::Split(const QString& line) {
  const std::string bytes = FromUnicode(line);
  const ResultLineParts parts = SplitResultLine(bytes);
  return {ToUnicode(std::string(parts.formula)), ToUnicode(std::string(Trim(parts.massText)))};
}

void ResultLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyleOptionViewItem plain = option;
  initStyleOption(&plain, index);
  auto [formula, mass] = Split(plain.text);
  plain.text.clear();
  plain.widget->style()->drawControl(QStyle::CE_ItemViewItem, &plain, painter, plain.widget);
  painter->save();
  painter->setFont(option.font);
  painter->setPen(option.palette.color(option.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                              : QPalette::Text));
  QRect area = option.rect.adjusted(4, 0, -2, 0);
  QFontMetrics metrics(option.font);
  const int column = metrics.horizontalAdvance(QString(13, QChar('M')));
  int formulaWidth = metrics.horizontalAdvance(formula);
  painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter, formula);
  int massLeft = std::max(column, formulaWidth + metrics.horizontalAdvance(QString(2, ' ')));
  painter->drawText(area.adjusted(massLeft, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, mass);
  painter->restore();
}

int ListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : list_.Count(); }

QVariant ListModel::data(const QModelIndex& index, int role) const {
  if (index.row() < 0 || index.row() >= list_.Count()) return {};
  if (role == Qt::ToolTipRole && toolTip) return ToUnicode(toolTip(index.row()));
  if (role != Qt::DisplayRole) return {};
  return ToUnicode(list_.Item(index.row()));
}

void ListModel::Refresh() {
  beginResetModel();
  endResetModel();
}

void ListView::mousePressEvent(QMouseEvent* e) {
  // Either button highlights the line under the mouse, as a list box does.
  QModelIndex index = indexAt(e->position().toPoint());
  if (index.isValid()) setCurrentIndex(index);
  e->accept();
}

void ListView::mouseReleaseEvent(QMouseEvent* e) {
  e->accept();
  if (viewport()->rect().contains(e->position().toPoint()) && onMouseUp)
    onMouseUp(ButtonCode(e->button()), ShiftCode(e->modifiers()), float(e->position().x()),
              float(e->position().y()));
}

}  // namespace zelm
