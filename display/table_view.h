// TableView: everything the table painter and the click test read, gathered
// by the caller from the game, the network role and the settings. The
// painter never looks anywhere else, so a test can build any table by hand
// and a server and several clients in one process each paint their own.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "display/canvas.h"
#include "display/table_settings.h"
#include "engine/game_state.h"

namespace zelbo {

enum class TableRole { None, Server, Client };

struct TableView {
  GameState game;
  TableRole role = TableRole::None;
  // NoPosition neither seated nor watching, 0..3 seated, 4..7 watching
  // seat value - 4, KibitzAll watching all seats.
  int localPosition = NoPosition;

  // The local user's own Handle.
  std::string handle;
  // Per seat: on a client, its SeatHandles slots; on a server, the handle of
  // the connection that SeatOccupant names for the seat (unused for an empty
  // seat and for the server's own seat, which shows `handle`).
  std::array<std::string, 4> seatHandles;
  // Server only: SeatOccupant per seat (EmptySeat, ServerUserSeat or a
  // connection index).
  std::array<int, 4> seatOccupant{EmptySeat, EmptySeat, EmptySeat, EmptySeat};
  // Client only: the SeatTaken flags.
  std::array<bool, 4> seatTaken{};

  // Settings.
  int32_t backgroundRed = DefaultTableColour.red;
  int32_t backgroundGreen = DefaultTableColour.green;
  int32_t backgroundBlue = DefaultTableColour.blue;
  int32_t cardSpacing = DefaultCardSpacing;
  bool privileged = false;

  bool IsServer() const { return role == TableRole::Server; }
  bool IsClient() const { return role == TableRole::Client; }
};

// The table colour: the low 8 bits of each background setting.
Rgb TableColour(const TableView& view);

// Whether a seat shows as occupied: SeatOccupant on a server, SeatTaken on
// a client.
bool SeatIsTaken(const TableView& view, int seat);

// The name shown for a seat. On a server the server's own seat shows the
// own Handle, another occupied seat its connection's handle and an empty
// seat "crashee"; on a client the SeatHandles slot.
std::string SeatDisplayName(const TableView& view, int seat);

// The seat at the bottom of the table: the own seat, the watched seat, or
// South when watching all; -1 for a viewer without a position.
int ViewerSeat(const TableView& view);

}  // namespace zelbo
