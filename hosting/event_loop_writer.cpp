#include "hosting/event_loop_writer.h"

namespace zelbo {

// A call posted to `context_` runs on its thread; one still waiting when
// the writer goes is dropped with `context_`, which goes after the writer.
EventLoopWriter::EventLoopWriter(const std::filesystem::path& spareParent)
    : writer_(
          [this] {
            QMetaObject::invokeMethod(&context_, [this] { writer_.DeliverOutcomes(); }, Qt::QueuedConnection);
          },
          spareParent) {}

}  // namespace zelbo
