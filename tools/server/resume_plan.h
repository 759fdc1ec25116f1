// What `zelbowin-server --resume` does with the autosaves in its folder.
//
// The autosave is "temp.zelbo". When that file cannot be read back (it is
// corrupt, cut short or unreadable), it is left exactly as it is and the
// next name is tried: "temp-1.zelbo", "temp-2.zelbo", ... up to
// "temp-99.zelbo". The first name that is absent or holds a readable game
// becomes this run's autosave: an unfinished game in it is resumed; a
// finished one (or one never dealt) is replaced by a new table. So a table
// whose autosave was spoilt once goes on autosaving beside the spoilt file,
// and the next restart resumes from there.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zelbo {

struct ResumePlan {
  bool usable = false;              // false: every name holds an unreadable file
  std::string autosaveName;         // the file name inside the folder
  bool resume = false;              // the file holds an unfinished game to continue
  bool finished = false;            // the file holds a game that has ended
  std::vector<std::string> refused; // one message per unreadable file, in order
};

// The autosave file name that number `n` stands for (0: "temp.zelbo").
std::string AutosaveName(int n);

// Looks at the autosaves in `folder` and decides; reads, never writes.
ResumePlan PlanResume(const std::filesystem::path& folder);

}  // namespace zelbo
