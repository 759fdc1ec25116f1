// TableSide: the local user's side of the table, whichever role the program
// plays (the server's own seat, or a client of another server). The main
// window paints, prompts and forwards the user's actions through it and
// never asks which role is behind it.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "display/table_view.h"
#include "engine/game_state.h"

namespace zelbo {

class ServerTable;
class ClientSession;

class TableSide {
 public:
  virtual ~TableSide() = default;

  // The game to paint and the local user's place in it.
  virtual const GameState& Game() const = 0;
  virtual int LocalPosition() const = 0;
  // The name a seat goes by in the dialogs ("" for an empty seat).
  virtual std::string SeatHandle(int seat) const = 0;
  // Fills the role's part of the table view: game, position and seats.
  virtual void FillView(TableView& view) const = 0;

  // The local user's actions; each does nothing unless the rules allow it.
  virtual void PlayCard(int card) = 0;
  virtual void ChooseContract(int code) = 0;
  virtual void ChooseDoubles(int bits) = 0;
  virtual void SendChat(std::string_view text) = 0;
};

// The side of a server's own user, and of a client. The table or session
// must outlive the side.
std::unique_ptr<TableSide> ServerSide(ServerTable& server);
std::unique_ptr<TableSide> ClientSide(ClientSession& client);

}  // namespace zelbo
