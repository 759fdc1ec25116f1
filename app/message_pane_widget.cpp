#include "app/message_pane_widget.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace zelbo {

MessagePaneWidget::MessagePaneWidget(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
  chat_ = new QLineEdit(this);
  chat_->setMaxLength(MaxChatInput);
  send_ = new QPushButton("Send", this);
  send_->setDefault(true);
  list_ = new QListWidget(this);
  list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  list_->setFocusPolicy(Qt::NoFocus);
  connect(send_, &QPushButton::clicked, this, [this] { SendTyped(); });
  connect(chat_, &QLineEdit::returnPressed, this, [this] { SendTyped(); });
}

void MessagePaneWidget::AddLine(std::string_view line) {
  while (list_->count() >= MaxLines) delete list_->takeItem(0);
  list_->addItem(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
  list_->scrollToBottom();
}

void MessagePaneWidget::SendTyped() {
  std::string text = chat_->text().left(MaxChatInput).toStdString();
  chat_->clear();
  if (onSend) onSend(text);
}

void MessagePaneWidget::TypeKey(QKeyEvent* event) {
  chat_->setFocus();
  QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text(),
                 event->isAutoRepeat(), static_cast<ushort>(event->count()));
  QCoreApplication::sendEvent(chat_, &copy);
}

void MessagePaneWidget::LayoutIn(int width, int height) {
  const int h = PaneHeight;
  setGeometry(4, height - h - 4, width - 8, h);
  const int inner = width - 24;
  const int buttonWidth = 70;
  chat_->setGeometry(8, 6, inner - buttonWidth - 6, 24);
  send_->setGeometry(8 + inner - buttonWidth, 5, buttonWidth, 26);
  list_->setGeometry(8, 36, inner, h - 44);
}

}  // namespace zelbo
