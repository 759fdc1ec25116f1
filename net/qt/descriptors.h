// File descriptors of a long-running server: a crowd of sockets must not
// take the descriptors its files need (autosave, undo snapshots, records).
#pragma once

#include <QTcpServer>

#include <functional>
#include <string>

namespace zelbo {

// Raises the soft limit on open descriptors to the hard limit. Returns a
// line to print when the limit is low even so (below 4096), "" otherwise.
std::string RaiseDescriptorLimit();

// Descriptors kept free for the program's files: a socket whose descriptor
// falls inside this reserve at the top of the limit is closed at once.
constexpr int DescriptorReserve = 64;
bool InDescriptorReserve(qintptr descriptor);

// When `server` cannot accept for want of descriptors, Qt stops accepting
// for good; this resumes it after a short pause, so the listener neither
// spins nor stays deaf. `onPause` is told each time.
void ResumeAcceptingAfterExhaustion(QTcpServer* server, std::function<void()> onPause);

}  // namespace zelbo
