#include "display/qt/table_widget.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "display/qt/qt_canvas.h"
#include "display/table_painter.h"

namespace zelbo {

TableWidget::TableWidget(QWidget* parent)
    : QWidget(parent), pictures_(parent ? parent->devicePixelRatioF() : 1.0) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

bool TableWidget::setCardFolder(const QString& folder, QString* error) {
  if (folder.isEmpty()) {
    pictures_ = CardPictures(devicePixelRatioF());
    update();
    return true;
  }
  CardPictures loaded;
  if (!loaded.LoadFolder(folder, error)) return false;
  pictures_ = std::move(loaded);
  update();
  return true;
}

TableView TableWidget::currentView() const { return provider_ ? provider_() : TableView{}; }

void TableWidget::paintEvent(QPaintEvent* event) {
  // Drawn cards follow the screen's ratio (the window may have moved to
  // another screen since the last paint).
  if (!pictures_.fromFolder() && pictures_.ratio() != devicePixelRatioF()) {
    pictures_.SetRatio(devicePixelRatioF());
  }
  const QRect area = event->rect();
  QPainter painter(this);
  painter.setRenderHint(QPainter::TextAntialiasing);
  QtCanvas canvas(painter, pictures_, fonts_);
  PaintTable(currentView(), PaintRect{area.x(), area.y(), area.width(), area.height()}, canvas);
}

void TableWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  const QPoint at = event->position().toPoint();
  const TableClick click = ClickTable(currentView(), at.x(), at.y());
  if (click.undo || click.slot >= 0) emit tableClicked(click);
}

// The second press of a double click does nothing: only the first acts.
void TableWidget::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

void TableWidget::keyPressEvent(QKeyEvent* event) {
  if (!keyTarget_) {
    QWidget::keyPressEvent(event);
    return;
  }
  keyTarget_->setFocus(Qt::OtherFocusReason);
  QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->nativeScanCode(),
                 event->nativeVirtualKey(), event->nativeModifiers(), event->text(),
                 event->isAutoRepeat(), static_cast<quint16>(event->count()));
  QCoreApplication::sendEvent(keyTarget_, &copy);
}

}  // namespace zelbo
