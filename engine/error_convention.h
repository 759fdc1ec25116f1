// How a failure comes back, everywhere in the program (records, the
// transport, the command-line and option readers):
//
//   bool DoSomething(inputs..., outputs..., std::string& error);
//
// true: done, and the outputs are filled. false: nothing that the call was
// asked to change has changed, and `error` holds one complete readable line,
// ready to be shown as it is (a pane line, a message box, a line on standard
// error). Callers may prefix it with their own context but never rebuild it.
// A failure of the socket layer keeps its number in that line:
// "socket error N: reason" (see SocketErrorLine in net/transport.h).
// A check that only answers yes or no (a predicate such as ParseNumber)
// returns a plain bool and leaves the wording to its caller.
#pragma once
