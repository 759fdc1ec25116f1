// The modal "Setup" dialog: Client / Server boxes, the server address with
// its list of known servers, port, handle, random seed, table colour and
// card spacing. SetupModel does the work; OK either closes the dialog with
// the settings stored and the role to start, or keeps it open with a note
// beside a field that must be corrected (port, handle).
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/setup_model.h"

namespace zelbo {

class SetupDialog : public QDialog {
  Q_OBJECT
 public:
  SetupDialog(QWidget* owner, Settings& settings, ProcessRole role, SettingsStore& store,
              const std::vector<std::string>& fileEntries);

  // What OK does; the dialog closes (accepted) only when the outcome says so.
  void PressOk();
  const SetupOutcome& outcome() const { return outcome_; }

  SetupFields Fields() const;
  void SetFields(const SetupFields& fields);

  QCheckBox* clientBox() const { return client_; }
  QCheckBox* serverBox() const { return server_; }
  QComboBox* addressBox() const { return address_; }
  QLineEdit* portField() const { return port_; }
  QLineEdit* handleField() const { return handle_; }
  QLabel* portNote() const { return portNote_; }
  QLabel* handleNote() const { return handleNote_; }

 private:
  Settings& settings_;
  ProcessRole role_;
  SettingsStore& store_;
  SetupOutcome outcome_;

  QCheckBox* client_ = nullptr;
  QCheckBox* server_ = nullptr;
  QComboBox* address_ = nullptr;
  QLineEdit* port_ = nullptr;
  QLineEdit* handle_ = nullptr;
  QLineEdit* seed_ = nullptr;
  QLineEdit* red_ = nullptr;
  QLineEdit* green_ = nullptr;
  QLineEdit* blue_ = nullptr;
  QLineEdit* spacing_ = nullptr;
  QLabel* portNote_ = nullptr;
  QLabel* handleNote_ = nullptr;
};

}  // namespace zelbo
