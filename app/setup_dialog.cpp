#include "app/setup_dialog.h"

#include "dialogs/dialog_units.h"

namespace zelbo {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

}  // namespace

SetupDialog::SetupDialog(QWidget* owner, Settings& settings, ProcessRole role,
                         SettingsStore& store, const std::vector<std::string>& fileEntries)
    : QDialog(owner), settings_(settings), role_(role), store_(store) {
  setWindowTitle("Setup");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setModal(true);
  DialogUnits du(font());
  setFixedSize(du.X(151), du.Y(194));

  auto label = [&](const char* text, int x, int y, int w, int h) {
    auto* l = new QLabel(text, this);
    l->setGeometry(du.Rect(x, y, w, h));
    return l;
  };
  auto edit = [&](int x, int y, int w, int h) {
    auto* e = new QLineEdit(this);
    e->setGeometry(du.Rect(x, y, w, h));
    return e;
  };

  client_ = new QCheckBox("Client", this);
  client_->setGeometry(du.Rect(14, 14, 46, 14));
  server_ = new QCheckBox("Server", this);
  server_->setGeometry(du.Rect(80, 16, 40, 10));
  label("IP address:", 11, 36, 37, 12);
  address_ = new QComboBox(this);
  address_->setEditable(true);
  address_->setInsertPolicy(QComboBox::NoInsert);
  address_->setGeometry(du.Rect(49, 34, 95, 12));
  label("Port:", 10, 50, 28, 12);
  port_ = edit(50, 49, 35, 12);
  portNote_ = label("use 1-65535", 88, 50, 60, 12);
  label("Handle:", 11, 75, 35, 12);
  handle_ = edit(50, 74, 67, 12);
  handleNote_ = label("needed", 119, 75, 30, 12);
  for (QLabel* note : {portNote_, handleNote_}) {
    note->setStyleSheet("color: #c00000;");
    note->hide();
  }
  label("Random Seed:", 11, 96, 54, 12);
  seed_ = edit(67, 94, 63, 12);
  label("Background Colour (RGB, 0-255):", 11, 114, 135, 12);
  label("R", 15, 129, 10, 12);
  label("G", 59, 129, 10, 12);
  label("B", 102, 129, 10, 12);
  red_ = edit(27, 128, 22, 12);
  green_ = edit(69, 128, 22, 12);
  blue_ = edit(110, 128, 22, 12);
  label("Card spacing:", 11, 149, 48, 12);
  spacing_ = edit(63, 148, 34, 12);

  auto* cancel = new QPushButton("Cancel", this);
  cancel->setGeometry(du.Rect(19, 173, 40, 14));
  cancel->setAutoDefault(false);
  auto* ok = new QPushButton("OK", this);
  ok->setGeometry(du.Rect(86, 173, 40, 14));
  ok->setDefault(true);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(ok, &QPushButton::clicked, this, [this] { PressOk(); });

  SetFields(OpenSetupFields(settings_, role_, fileEntries, store_));
  // No control takes the focus by itself.
  setFocusPolicy(Qt::StrongFocus);
  setFocus();
}

SetupFields SetupDialog::Fields() const {
  SetupFields f;
  f.client = client_->isChecked();
  f.server = server_->isChecked();
  f.address = S(address_->currentText());
  for (int i = 0; i < address_->count(); ++i) f.addressList.push_back(S(address_->itemText(i)));
  f.port = S(port_->text());
  f.handle = S(handle_->text());
  f.seed = S(seed_->text());
  f.red = S(red_->text());
  f.green = S(green_->text());
  f.blue = S(blue_->text());
  f.spacing = S(spacing_->text());
  return f;
}

void SetupDialog::SetFields(const SetupFields& f) {
  client_->setChecked(f.client);
  server_->setChecked(f.server);
  address_->clear();
  for (const std::string& entry : f.addressList) address_->addItem(Q(entry));
  address_->setEditText(Q(f.address));
  port_->setText(Q(f.port));
  handle_->setText(Q(f.handle));
  seed_->setText(Q(f.seed));
  red_->setText(Q(f.red));
  green_->setText(Q(f.green));
  blue_->setText(Q(f.blue));
  spacing_->setText(Q(f.spacing));
}

void SetupDialog::PressOk() {
  outcome_ = AcceptSetup(Fields(), settings_, role_, store_);
  portNote_->setVisible(outcome_.portRejected);
  handleNote_->setVisible(outcome_.handleMissing);
  if (outcome_.close) accept();
}

}  // namespace zelbo
