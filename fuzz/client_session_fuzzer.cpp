// Feeds an arbitrary byte stream, as a server would send it, into a client
// session, and after every read paints the mirrored table and opens the
// decision dialogs' models on it, as the desktop window does. The first
// input byte picks the local user's position and the read sizes; the rest
// is the stream. Nothing may crash, and the painter may only copy real
// cards and draw inside the table.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "dialogs/doubling_model.h"
#include "dialogs/pick_game_model.h"
#include "table_view_source/client_view.h"
#include "display/table_click.h"
#include "display/table_painter.h"
#include "net/client_session.h"

namespace {

using namespace zelbo;

class NullTransport : public Transport {
 public:
  void SetEvents(TransportEvents* events) override { events_ = events; }
  bool Listen(uint16_t, std::string&) override { return false; }
  uint16_t ListeningPort() const override { return 0; }
  void StopListening() override {}
  ConnId Connect(const std::string&, uint16_t) override { return 7; }
  void Send(ConnId, std::span<const uint8_t> bytes) override { sent += bytes.size(); }
  void Close(ConnId, CloseMode) override {}
  int64_t NowMs() const override { return 0; }
  int64_t QueuedBytes(ConnId) const override { return 0; }
  TransportEvents* events_ = nullptr;
  std::size_t sent = 0;
};

class CheckingCanvas : public Canvas {
 public:
  void FillRect(const PaintRect&, Rgb) override {}
  void DrawText(int, int, std::string_view text, TableFont, Rgb, Rgb) override {
    if (text.size() > 4096) std::abort();
  }
  void CopyCard(int card, const PaintRect& source, int, int) override {
    if (card < 0 || card > 51) std::abort();
    if (source.x < 0 || source.y < 0 || source.x + source.width > CardWidth ||
        source.y + source.height > CardHeight)
      std::abort();
  }
};

// The window's side: opens the dialog models on every prompt.
struct FuzzUi : ClientUi {
  ClientSession* session = nullptr;
  void PromptContract(const GameState& g) override {
    PickGameModel pick;
    pick.Open(g.offeredContracts);
    for (int box = 0; box < PickGameModel::BoxCount; ++box) pick.ClickBox(box, true);
    pick.SelectSuit(0);
    pick.SelectRank(0);
    const int code = pick.Code();
    if (code != 0) session->SendContractChosen(code);
  }
  void PromptDoubling(const GameState& g) override {
    DoublingModel doubling;
    std::string handles[4];
    for (int s = 0; s < 4; ++s) handles[s] = session->SeatHandle(s);
    doubling.Open(g, session->LocalPosition() & 3, handles);
    for (int box = 0; box < DoublingModel::BoxCount; ++box) {
      (void)doubling.label(box);
      (void)doubling.seat(box);
      doubling.SetChecked(box, doubling.enabled(box));
    }
    session->SendDoubleChosen(doubling.Bits());
  }
};

void PaintAndClick(const ClientSession& session) {
  TableView v;
  FillClientView(v, session);
  CheckingCanvas canvas;
  PaintTable(v, PaintRect{0, 0, 800, 600}, canvas);
  for (int x = 0; x < 800; x += 37) {
    const TableClick click = ClickTable(v, x, 450);
    if (click.slot < -1 || click.slot >= 13) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t control = data[0];
  NullTransport transport;
  FuzzUi ui;
  ClientSession session(transport, ui, "fuzz");
  ui.session = &session;
  session.Connect("127.0.0.1", 2118);
  transport.events_->OnConnected(7);
  // Low 3 bits: no position, kibitz a seat or all, or ask for a seat.
  const int position = control & 7;
  if (position >= 1 && position <= 5) session.StartKibitzing(position - 1);
  const std::size_t chunk = 1 + ((control >> 3) & 31) * 4;
  std::span<const uint8_t> rest(data + 1, size - 1);
  while (!rest.empty()) {
    const std::size_t n = rest.size() < chunk ? rest.size() : chunk;
    transport.events_->OnRead(7, rest.first(n));
    rest = rest.subspan(n);
    if (position == 6 && !session.IsSeated()) session.RequestSeat(control >> 6);
    PaintAndClick(session);
    if (session.IsSeated() && session.Game().turn >= 0) {
      const auto& hand = session.Game().hands[session.LocalPosition() & 3];
      session.PlayCard(hand[0]);
    }
  }
  return 0;
}
