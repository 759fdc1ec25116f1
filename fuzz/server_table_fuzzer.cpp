// Drives the server table with several connections through an in-memory
// transport. The input is a list of steps (accept, greet and join, raw
// bytes, a well-formed frame, the acting seat's lawful move, close, stall,
// time passing); every frame the table sends is checked as it is sent, and
// the table after every step:
// - every send is exactly one well-formed frame, to a connection it holds;
// - a connection that has not joined gets nothing but the idle frame;
// - no seated player gets another seat's open cards, and with masked
//   watchers no watcher gets any;
// - the prompts go only to the acting seat's connection;
// - a stalled connection's queue stays within the limit;
// - at most 32 connections are held.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "engine/simple_policy.h"
#include "net/server_table.h"

namespace {

using namespace zelbo;

void Check(bool ok) {
  if (!ok) std::abort();
}

class MemoryTransport : public Transport {
 public:
  void SetEvents(TransportEvents* events) override { events_ = events; }
  bool Listen(uint16_t, std::string&) override { return true; }
  uint16_t ListeningPort() const override { return 2118; }
  void StopListening() override {}
  ConnId Connect(const std::string&, uint16_t) override { return NoConn; }
  void Close(ConnId conn, CloseMode) override { open_.erase(conn); }
  int64_t NowMs() const override { return now; }
  int64_t QueuedBytes(ConnId conn) const override {
    const auto it = queued_.find(conn);
    return it == queued_.end() ? 0 : it->second;
  }

  void Send(ConnId conn, std::span<const uint8_t> bytes) override {
    Check(open_.count(conn) == 1);
    Check(bytes.size() >= 2 && bytes[0] == bytes.size() && bytes[0] <= MaxFrameLength);
    const int type = bytes[1];
    Check(type >= MsgIdle && type <= MsgScoreDelete);
    const std::span<const uint8_t> payload = bytes.subspan(2);
    const Connection* c = table->Connections().Find(conn);
    Check(c != nullptr);
    if (c && !c->joined) Check(type == MsgIdle);
    const int seat = SeatOf(table->Occupants(), conn);
    const GameState& g = table->Game();
    if (type == MsgHand) {
      Check(payload.size() == 14 && payload[0] <= 3);
      bool open = false;
      for (std::size_t i = 1; i < payload.size(); ++i) open |= payload[i] != NoCard;
      if (seat >= 0 && seat != payload[0]) Check(!open);
      if (seat < 0 && !table->Config().watchersSeeHands) Check(!open);
    }
    if (type == MsgChooseContract) Check(g.phase == PhaseChoosing && g.turn == 0 && seat == SeatMod(g.dealer));
    if (type == MsgDoublePrompt) Check(g.phase == PhaseChoosing && g.turn != 0 && seat == ActingSeat(g));
    if (stalled.count(conn)) queued_[conn] += static_cast<int64_t>(bytes.size());
  }

  ConnId Accept() {
    const ConnId c = next_++;
    open_.insert(c);
    events_->OnAccepted(c);
    if (open_.count(c)) events_->OnWritable(c);
    return c;
  }
  void Deliver(ConnId c, std::span<const uint8_t> bytes) {
    if (open_.count(c)) events_->OnRead(c, bytes);
  }
  void PeerCloses(ConnId c) {
    if (open_.erase(c)) events_->OnClosed(c);
  }

  const ServerTable* table = nullptr;
  std::set<ConnId> stalled;
  int64_t now = 0;
  std::set<ConnId> open_;

 private:
  TransportEvents* events_ = nullptr;
  std::map<ConnId, int64_t> queued_;
  ConnId next_ = 1;
};

// The input, read a byte at a time; zeros once it is used up.
struct Input {
  std::span<const uint8_t> rest;
  uint8_t Byte() {
    if (rest.empty()) return 0;
    const uint8_t b = rest[0];
    rest = rest.subspan(1);
    return b;
  }
  std::span<const uint8_t> Take(std::size_t n) {
    n = n < rest.size() ? n : rest.size();
    const auto taken = rest.first(n);
    rest = rest.subspan(n);
    return taken;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in{std::span<const uint8_t>(data, size)};
  const uint8_t setup = in.Byte();
  MemoryTransport transport;
  ServerUi ui;
  ServerConfig config{(setup & 1) ? "Host" : std::string(NonplayingServerHandle), "", static_cast<uint32_t>(1 + (setup >> 4)), false,
                      false};
  config.watchersSeeHands = (setup & 2) == 0;
  ServerTable table(transport, ui, config);
  transport.table = &table;
  std::string error;
  table.Start(0, error);
  std::vector<ConnId> conns;
  auto pick = [&]() -> ConnId { return conns.empty() ? NoConn : conns[in.Byte() % conns.size()]; };

  for (int steps = 0; !in.rest.empty() && steps < 4000; ++steps) {
    const uint8_t op = in.Byte();
    switch (op % 10) {
      case 0:
        if (conns.size() < 64) conns.push_back(transport.Accept());
        break;
      case 1: {  // greeting and join
        const ConnId c = pick();
        const auto handle = in.Take(in.Byte() % 40);
        std::vector<uint8_t> b(Greeting.begin(), Greeting.end());
        const Frame join = MakeJoin(std::string_view(reinterpret_cast<const char*>(handle.data()), handle.size()));
        b.insert(b.end(), join.bytes.begin(), join.bytes.begin() + join.size);
        transport.Deliver(c, b);
        break;
      }
      case 2: {  // raw bytes
        const ConnId c = pick();
        transport.Deliver(c, in.Take(in.Byte()));
        break;
      }
      case 3: {  // one well-formed frame of a type a client sends
        const ConnId c = pick();
        const int type = in.Byte() % (MsgScoreDelete + 1);
        const auto payload = in.Take(in.Byte() % (MaxFrameLength - 1));
        std::vector<uint8_t> b{static_cast<uint8_t>(payload.size() + 2), static_cast<uint8_t>(type)};
        b.insert(b.end(), payload.begin(), payload.end());
        transport.Deliver(c, b);
        break;
      }
      case 4: {  // a sit request
        const ConnId c = pick();
        const Frame f = MakeSitRequest(in.Byte() % 5);
        transport.Deliver(c, f.view());
        break;
      }
      case 5: {  // the acting seat's lawful move, from its connection
        const GameState& g = table.Game();
        int seat = -1, value = 0, type = MsgPlayCard;
        if (g.phase == PhaseChoosing) {
          seat = ActingSeat(g);
          type = g.turn == 0 ? MsgContractChosen : MsgDoubleChosen;
          value = g.turn == 0 ? SimpleContract(g) : SimpleDoubling(g);
        } else if (g.phase == PhasePlaying || g.phase == PhaseFirstLead) {
          seat = SeatMod(g.turn);
          value = SimpleCard(g, seat);
        }
        if (seat < 0 || value < 0) break;
        const ConnId o = table.Occupants()[static_cast<std::size_t>(seat)];
        const Frame f = type == MsgPlayCard ? MakePlayCard(value)
                        : type == MsgContractChosen ? MakeContractChosen(value)
                                                    : MakeDoubleChosen(value);
        if (o >= 0) {
          transport.Deliver(o, f.view());
        } else if (o == ServerUserSeat) {
          if (type == MsgPlayCard) table.LocalPlayCard(value);
          else if (type == MsgContractChosen) table.LocalContractChosen(value);
          else table.LocalDoubleChosen(value);
        }
        break;
      }
      case 6:
        transport.PeerCloses(pick());
        break;
      case 7: {  // a peer stops reading, or starts again
        const ConnId c = pick();
        if (!transport.stalled.erase(c)) transport.stalled.insert(c);
        break;
      }
      case 8:
        transport.now += in.Byte() * 500;
        table.OnTick();
        break;
      case 9:
        if (in.Byte() & 1) table.SendChat("host line");
        else table.RemoveConnection(in.Byte() % 4);
        break;
    }
    Check(table.Connections().count() <= MaxConnections + ReturnSlots);
    Check(transport.open_.size() <= static_cast<std::size_t>(MaxConnections + ReturnSlots));
    for (ConnId c : transport.open_) Check(transport.QueuedBytes(c) <= MaxQueuedBytes + MaxFrameLength);
    for (const Connection& c : table.Connections().all()) Check(transport.open_.count(c.conn) == 1);
  }
  return 0;
}
