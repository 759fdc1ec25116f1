// What the page tells its player in words: whose turn it is, why a command
// was refused, what a watcher cannot see, and the own hand for a screen
// reader. Pure: each reads the client session's mirror and nothing else.
// An empty refusal means the command may go to the server.
#pragma once

#include <string>

#include "net/client_session.h"

namespace zelbo {

// "Your turn: play a card", "Your turn: pick a game", "Your turn: double
// or pass"; "" when the own seat has nothing to do.
std::string TurnWords(const ClientSession& s);

// Why Sit(seat), Kibitz, StandUp, Undo or playing `card` is refused now.
std::string SitRefusal(const ClientSession& s, int seat);
std::string KibitzRefusal(const ClientSession& s);
std::string StandUpRefusal(const ClientSession& s);
std::string UndoRefusal(const ClientSession& s);
std::string CardRefusal(const ClientSession& s, int card);

// True when the session watches and the table sends watchers no hands
// although a deal is on.
bool HandsMaskedFromWatchers(const ClientSession& s);

// "Queen of Hearts".
std::string CardWords(int card);
// The own hand for a screen reader: "Your hand: ... . You may play: ...".
std::string HandWords(const ClientSession& s);

}  // namespace zelbo
