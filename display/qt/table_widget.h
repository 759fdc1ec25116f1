// The table as a widget: paints the TableView its provider returns and
// reports what a left click hit. Key presses are passed on to a chosen
// widget (the chat line), which also gets the focus, so typing while the
// table has the focus goes into the chat.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

#include "display/qt/card_pictures.h"
#include "display/qt/table_fonts.h"
#include "display/table_click.h"
#include "display/table_layout.h"
#include "display/table_view.h"

namespace zelbo {

class TableWidget : public QWidget {
  Q_OBJECT

 public:
  using Provider = std::function<TableView()>;

  explicit TableWidget(QWidget* parent = nullptr);

  // Where the widget reads the table from at every paint and click.
  void setProvider(Provider provider) { provider_ = std::move(provider); }
  // Replaces the drawn cards with 900.png .. 951.png from `folder`; an empty
  // name goes back to the drawn cards. False (and the file that failed in
  // `error`) when a picture cannot be read; the cards shown stay as they were.
  bool setCardFolder(const QString& folder, QString* error = nullptr);
  const CardPictures& cardPictures() const { return pictures_; }
  // The widget that receives key presses made on the table.
  void setKeyTarget(QWidget* target) { keyTarget_ = target; }

  // Asks for a repaint of the whole table (the window system paints later).
  void redrawTable() { update(); }

  // The whole layout the painter draws in.
  QSize sizeHint() const override { return QSize(TableWidth, TableHeight); }

 signals:
  // A left click that hit a card of the own hand or the hidden Undo spot.
  void tableClicked(const zelbo::TableClick& click);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  TableView currentView() const;

  Provider provider_;
  CardPictures pictures_;
  TableFonts fonts_;
  QPointer<QWidget> keyTarget_;
};

}  // namespace zelbo
