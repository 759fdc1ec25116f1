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

// Qt's default event dispatcher on Linux (GLib's) keeps the sockets it
// watches in a list that it walks each time one stops being watched for
// writing, which a socket does after every answer it sent: with thousands
// of sockets that walk is most of a server's time. This asks Qt for its own
// dispatcher instead, which finds a socket by its descriptor (unless
// QT_NO_GLIB is set already, either way). Call before the application
// object is made.
void PreferDispatcherForManySockets();

}  // namespace zelbo
