#include "app/app_prompts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/setup_dialog.h"

namespace zelbo {
namespace {

// The About box: Escape leaves it open; OK, Return and the close box end it.
class AboutBox : public QDialog {
 public:
  explicit AboutBox(QWidget* owner) : QDialog(owner) {
    setWindowTitle(AboutTitle);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(AboutText, this));
    layout->addWidget(new QLabel("Zelbo for four players at one table, over the network.", this));
    auto* ok = new QPushButton("OK", this);
    ok->setDefault(true);
    layout->addWidget(ok, 0, Qt::AlignRight);
    connect(ok, &QPushButton::clicked, this, [this] { done(1); });
  }
  void reject() override {}

 protected:
  void closeEvent(QCloseEvent* event) override {
    event->accept();
    done(0);
  }
};

}  // namespace

QString FileFilter(int kind) {
  return kind == FileKindText ? QStringLiteral("Text Files  (*.txt)")
                              : QStringLiteral("Zelbo Games  (*.zelbo)");
}

QString DefaultSuffix(int kind) { return kind == FileKindText ? "txt" : "zelbo"; }

std::string QtPrompts::ChooseFileName(QWidget* owner, bool open, int kind) {
  QWidget* active = QApplication::activeWindow();
  QFileDialog dialog(active ? active : owner, open ? "Open" : "Save");
  dialog.setNameFilter(FileFilter(kind));
  dialog.setDefaultSuffix(DefaultSuffix(kind));
  dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first().toStdString();
}

void QtPrompts::ShowError(QWidget* owner, const QString& text) {
  QMessageBox::critical(owner, "Error", text);
}

bool QtPrompts::AskSaveHandRecords(QWidget* owner) {
  return QMessageBox::question(owner, HandRecordsCaption, HandRecordsQuestion,
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool QtPrompts::RunSetup(SetupDialog& dialog) { return dialog.exec() == QDialog::Accepted; }

void QtPrompts::ShowAbout(QWidget* owner) {
  AboutBox box(owner);
  box.exec();
}

bool QtPrompts::OpenInBrowser(const QString& url) { return QDesktopServices::openUrl(QUrl(url)); }

}  // namespace zelbo
