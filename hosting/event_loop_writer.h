// The writer thread of a Qt program: one DiskWriter for every table of the
// process, whose outcomes (a failed autosave, say) are told on the thread
// that made it, through its event loop. Make it before the tables that use
// it; it writes what waits before it goes.
#pragma once

#include <QObject>

#include "records/disk_writer.h"

namespace zelbo {

class EventLoopWriter {
 public:
  // `spareParent`: see DiskWriter.
  explicit EventLoopWriter(const std::filesystem::path& spareParent = {});
  DiskWriter& Writer() { return writer_; }

 private:
  QObject context_;  // lives on the event thread; outcomes are posted to it
  DiskWriter writer_;
};

}  // namespace zelbo
