// The modal questions the main window asks: file names, error boxes, the
// end-of-game question, the Setup dialog and the About box. The desktop
// program uses QtPrompts; tests give scripted answers through the same
// interface, so every command runs its real code path.
#pragma once

#include <QString>
#include <string>

class QWidget;

namespace zelbo {

class SetupDialog;

// Filter kinds of the file-name dialog.
constexpr int FileKindText = 1;
constexpr int FileKindGame = 0;

class AppPrompts {
 public:
  virtual ~AppPrompts() = default;
  // Open or save file-name dialog; empty when the user cancels.
  virtual std::string ChooseFileName(QWidget* owner, bool open, int kind) = 0;
  virtual void ShowError(QWidget* owner, const QString& text) = 0;
  // "Save hand records now?" at the end of a game.
  virtual bool AskSaveHandRecords(QWidget* owner) = 0;
  // Runs the Setup dialog; true when it closed with OK.
  virtual bool RunSetup(SetupDialog& dialog) = 0;
  virtual void ShowAbout(QWidget* owner) = 0;
  // Opens `url` in the system's browser; false when none could be started.
  virtual bool OpenInBrowser(const QString& url) = 0;
};

class QtPrompts : public AppPrompts {
 public:
  std::string ChooseFileName(QWidget* owner, bool open, int kind) override;
  void ShowError(QWidget* owner, const QString& text) override;
  bool AskSaveHandRecords(QWidget* owner) override;
  bool RunSetup(SetupDialog& dialog) override;
  void ShowAbout(QWidget* owner) override;
  bool OpenInBrowser(const QString& url) override;
};

// The filter text and default suffix of a file kind.
QString FileFilter(int kind);
QString DefaultSuffix(int kind);

inline constexpr const char* AboutTitle = "About ZelboWin";
inline constexpr const char* AboutText = "ZelboWin  v1.9.0  (21 September 2011)";
inline constexpr const char* HandRecordsCaption = "Hand records";
inline constexpr const char* HandRecordsQuestion =
    "Save hand records now?  (Remember to submit them for the ladder.)";

}  // namespace zelbo
