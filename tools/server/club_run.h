// zelbowin-server --lobby: the club's tables behind one web door.
#pragma once

#include <QCoreApplication>

#include "net/qt/qt_transport.h"
#include "tools/server/server_options.h"

namespace zelbo {

// Runs the club until the application quits; the program's exit status.
int RunClub(const ServerOptions& options, QtTransport& transport, QCoreApplication& app);

}  // namespace zelbo
