// The JavaScript face of the web client (embind). The page creates one
// PageClient with an object that carries out PageHost's calls and then
// calls in with socket notices, clicks and commands.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "display/card_recipe.h"
#include "display/hand_geometry.h"
#include "web/bridge/page_constants.h"
#include "web/bridge/game_summary.h"
#include "web/bridge/page_words.h"
#include "web/bridge/replay_viewer.h"
#include "web/bridge/web_client.h"

namespace zelbo {
namespace {

using emscripten::val;

class JsHost : public PageHost {
 public:
  explicit JsHost(val page) : page_(std::move(page)) {}
  void OpenSocket() override { page_.call<void>("openSocket"); }
  void SendBytes(std::span<const uint8_t> bytes) override {
    // A view into the module's memory: the page copies it at once.
    page_.call<void>("sendBytes", val(emscripten::typed_memory_view(bytes.size(), bytes.data())));
  }
  void CloseSocket() override { page_.call<void>("closeSocket"); }
  void ShowPickGame() override { page_.call<void>("showPickGame"); }
  void ShowAction() override { page_.call<void>("showAction"); }
  void HideDialogs() override { page_.call<void>("hideDialogs"); }
  void Repaint() override { page_.call<void>("repaint"); }
  void PaneLineAdded(std::string_view line) override {
    page_.call<void>("paneLineAdded", std::string(line));
  }
  void ScoreChanged() override { page_.call<void>("scoreChanged"); }
  void ConnectionLost() override { page_.call<void>("connectionLost"); }
  void Refused(std::string_view why) override { page_.call<void>("refused", std::string(why)); }
  void HoldTrick() override { page_.call<void>("holdTrick"); }

 private:
  val page_;
};

template <typename Range>
val ToArray(const Range& range) {
  val a = val::array();
  // The element type, not `auto`: vector<bool> hands out proxies.
  for (const typename Range::value_type& item : range) a.call<void>("push", val(item));
  return a;
}

// A rectangle of the layout as {x, y, width, height}.
val RectForPage(const PaintRect& r) {
  val o = val::object();
  o.set("x", r.x);
  o.set("y", r.y);
  o.set("width", r.width);
  o.set("height", r.height);
  return o;
}

// A recorded paint as the page's canvas carries it out: {ints, texts}.
val PaintForPage(const RecordingCanvas& canvas) {
  val result = val::object();
  result.set("ints", val::global("Int32Array").new_(
                         val(emscripten::typed_memory_view(canvas.ints.size(), canvas.ints.data()))));
  result.set("texts", ToArray(canvas.texts));
  return result;
}

class PageClient {
 public:
  PageClient(val page, std::string handle) : host_(std::move(page)), client_(host_, std::move(handle)) {}

  void join() { client_.Join(); }
  void leave() { client_.Leave(); }
  void socketOpened() { client_.SocketOpened(); }
  void socketBytes(val bytes) {
    const std::vector<uint8_t> data = emscripten::convertJSArrayToNumberVector<uint8_t>(bytes);
    client_.SocketBytes(data);
  }
  void socketClosed() { client_.SocketClosed(); }

  void sit(int seat) { client_.Sit(seat); }
  void kibitz(int which) { client_.Kibitz(which); }
  void standUp() { client_.StandUp(); }
  void takePosition(int position) { client_.TakePosition(position); }
  void undo() { client_.Undo(); }
  void chat(const std::string& text) { client_.Chat(text); }

  // The colour as "#rrggbb"; anything else paints the default colour.
  void setTable(const std::string& colour, int spacing) {
    Rgb rgb = DefaultTableColour;
    ParseColourText(colour, rgb);
    client_.SetTable(rgb.red, rgb.green, rgb.blue, spacing);
  }
  val paint() const {
    RecordingCanvas canvas;
    client_.Paint(canvas);
    return PaintForPage(canvas);
  }
  bool click(int x, int y) {
    const TableClick c = client_.Click(x, y);
    return c.undo || c.slot >= 0;
  }
  void playSlot(int slot) { client_.PlaySlot(slot); }
  void tap(int x, int y) { client_.Tap(x, y); }
  void setConfirmTaps(bool on) { client_.SetConfirmTaps(on); }
  void releaseTrick() { client_.ReleaseTrick(); }
  bool reconnecting() const { return client_.Reconnecting(); }
  bool trickHeld() const { return client_.TrickHeld(); }

  // Words the page shows or gives screen readers.
  std::string turnWords() const { return TurnWords(client_.Session()); }
  std::string handWords() const { return HandWords(client_.Session()); }
  bool handsMasked() const { return HandsMaskedFromWatchers(client_.Session()); }

  // {over, handles, totals, places, running: [[S, W, N, E] after each deal]}.
  val gameSummary() const {
    const GameSummary g = SummarizeGame(client_.Session());
    val o = val::object();
    o.set("over", g.over);
    o.set("handles", ToArray(g.handles));
    std::vector<double> totals(g.totals.begin(), g.totals.end());
    o.set("totals", ToArray(totals));
    o.set("places", ToArray(g.places));
    val running = val::array();
    for (const auto& row : g.running) running.call<void>("push", ToArray(std::vector<double>(row.begin(), row.end())));
    o.set("running", running);
    return o;
  }

  // The own hand's slots that hold a card, each with the rectangle of its
  // visible part (layout pixels), in hand order.
  val handSlots() const {
    const HandPlaces hand = client_.Hand();
    const ClientSession& s = client_.Session();
    const int seat = ViewedSeat(s.LocalPosition());
    val a = val::array();
    for (int k = 0; k < hand.count && seat >= 0; ++k) {
      const HandPlace& place = hand.places[static_cast<std::size_t>(k)];
      val o = RectForPage(place.visible);
      o.set("slot", place.slot);
      o.set("card", static_cast<int>(s.Game().hands[seat][place.slot]));
      a.call<void>("push", o);
    }
    return a;
  }
  // Each seat's name (by seat number), null where no name is shown.
  val nameRects() const {
    val a = val::array();
    for (const PaintRect& r : client_.NameRects()) {
      a.call<void>("push", r.empty() ? val::null() : RectForPage(r));
    }
    return a;
  }
  // The layout: compact or classic, a compact one laid out for width x
  // height; and the logical size painted ([width, height]).
  void setLayout(bool compact, int width, int height) { client_.SetLayout(compact, width, height); }
  val layoutSize() const {
    const TableSize size = client_.Size();
    return ToArray(std::vector<int>{size.width, size.height});
  }

  val pickState() {
    const PickGameModel& m = client_.Pick();
    std::vector<bool> checked, enabled;
    for (int i = 0; i < PickGameModel::BoxCount; ++i) {
      checked.push_back(m.checked(i));
      enabled.push_back(m.enabled(i));
    }
    val s = val::object();
    s.set("checked", ToArray(checked));
    s.set("enabled", ToArray(enabled));
    s.set("suit", m.suit());
    s.set("rank", m.rank());
    return s;
  }
  void pickClickBox(int box, bool nowChecked) { client_.Pick().ClickBox(box, nowChecked); }
  void pickSuit(int index) { client_.Pick().SelectSuit(index); }
  void pickRank(int index) { client_.Pick().SelectRank(index); }
  bool pickOk() { return client_.PickOk(); }

  val actionState() {
    const DoublingModel& m = client_.Action();
    std::vector<bool> checked, enabled;
    std::vector<std::string> labels;
    for (int i = 0; i < DoublingModel::BoxCount; ++i) {
      checked.push_back(m.checked(i));
      enabled.push_back(m.enabled(i));
      labels.push_back(m.label(i));
    }
    val s = val::object();
    s.set("checked", ToArray(checked));
    s.set("enabled", ToArray(enabled));
    s.set("labels", ToArray(labels));
    return s;
  }
  void actionSetChecked(int box, bool on) { client_.Action().SetChecked(box, on); }
  bool actionOk() { return client_.ActionOk(); }

  val paneLines() const { return ToArray(client_.Session().Pane().lines()); }
  val scoreLines() const { return ToArray(client_.Session().Game().scoreSheet.lines()); }
  // The sheet as the page shows it: the rows, one a line, and apart from
  // them the last line (the totals), which the page keeps in view.
  std::string scoreText() const {
    const auto& lines = client_.Session().Game().scoreSheet.lines();
    std::string text;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
      if (!text.empty()) text += '\n';
      text += lines[i];
    }
    return lines.size() == 1 ? lines.front() : text;
  }
  std::string scoreTotals() const {
    const auto& lines = client_.Session().Game().scoreSheet.lines();
    return lines.size() > 1 ? lines.back() : std::string();
  }

  val state() const {
    const ClientSession& s = client_.Session();
    const GameState& g = s.Game();
    val o = val::object();
    o.set("connected", s.IsClient());
    o.set("position", static_cast<int>(s.LocalPosition()));
    o.set("remembered", static_cast<int>(client_.RememberedPosition()));
    o.set("phase", static_cast<int>(g.phase));
    o.set("dealNumber", static_cast<int>(g.dealNumber));
    o.set("dealer", static_cast<int>(g.dealer));
    o.set("turn", static_cast<int>(g.turn));
    o.set("handle", s.Handle());
    std::vector<std::string> handles;
    std::vector<bool> taken;
    for (int seat = 0; seat < 4; ++seat) {
      handles.push_back(s.SeatHandle(seat));
      taken.push_back(s.SeatTaken(seat));
    }
    o.set("seatHandles", ToArray(handles));
    o.set("seatTaken", ToArray(taken));
    const int own = s.IsSeated() ? ViewedSeat(s.LocalPosition()) : South;
    std::vector<int> hand(std::begin(g.hands[own]), std::end(g.hands[own]));
    o.set("hand", ToArray(hand));
    return o;
  }
  val playableCards() const { return ToArray(client_.PlayableCards()); }
  val slotMiddle(int slot) const {
    const auto [x, y] = client_.SlotMiddle(slot);
    val o = val::object();
    o.set("x", x);
    o.set("y", y);
    return o;
  }

 private:
  JsHost host_;
  WebClient client_;
};

// An archived game in the replay viewer: the page hands in the stored
// saved-game bytes and the handles, then moves through the moments.
class ArchiveReplay {
 public:
  ArchiveReplay(val bytes, val handles) {
    const std::vector<uint8_t> data = emscripten::convertJSArrayToNumberVector<uint8_t>(bytes);
    std::array<std::string, 4> names;
    for (int s = 0; s < 4; ++s) names[s] = handles[s].as<std::string>();
    ok_ = viewer_.Load(data, names, error_);
  }
  bool ok() const { return ok_; }
  std::string error() const { return error_; }
  int steps() const { return static_cast<int>(viewer_.Steps().size()); }
  int moment() const { return viewer_.Moment(); }
  int deal() const { return viewer_.Deal(); }
  void goTo(int moment) { viewer_.GoTo(moment); }
  int target(int unit, int direction) const {
    return viewer_.Target(static_cast<ReplayViewer::Unit>(std::clamp(unit, 0, 2)), direction);
  }
  int dealStart(int deal) const { return viewer_.DealStart(deal); }
  val step(int i) const {
    val o = val::object();
    if (i < 0 || i >= steps()) return o;
    const ReplayViewer::Step& s = viewer_.Steps()[static_cast<std::size_t>(i)];
    o.set("deal", s.deal);
    o.set("trick", s.trick);
    o.set("card", s.card);
    o.set("seat", s.seat);
    o.set("value", s.value);
    o.set("name", s.card ? ReplayViewer::CardName(s.value) : std::string());
    return o;
  }
  val paint() const {
    RecordingCanvas canvas;
    viewer_.Paint(canvas);
    return PaintForPage(canvas);
  }
  std::string scoreText() const {
    std::string text;
    for (const std::string& line : viewer_.Now().scoreSheet.lines()) {
      if (!text.empty()) text += '\n';
      text += line;
    }
    return text;
  }
  val decisions() const { return ToArray(viewer_.DecisionTexts()); }
  // The review of `seat` in the present deal: started, then worked on in
  // slices of play-outs by the page between frames.
  void startReview(int seat) {
    review_ = std::make_unique<DealReview>(viewer_.ReviewDeal(std::clamp(seat, 0, 3), ReviewSamplesPerMove));
  }
  // Progress 0..1 after running up to `playouts` more play-outs.
  double workReview(int playouts) {
    if (!review_) return 1;
    review_->Work(playouts);
    const long total = review_->TotalPlayouts();
    return total > 0 ? static_cast<double>(review_->DonePlayouts()) / static_cast<double>(total) : 1.0;
  }
  val reviewResults() const {
    val all = val::array();
    if (!review_) return all;
    for (const ReviewedDecision& r : review_->Results()) {
      val o = val::object();
      o.set("moment", r.moment);
      o.set("card", r.kind == RobotMoveKind::Card);
      o.set("played", r.played);
      o.set("best", r.best);
      o.set("playedValue", r.playedValue);
      o.set("bestValue", r.bestValue);
      o.set("samples", r.samples);
      o.set("marked", r.marked);
      o.set("playedName", viewer_.ActionText(r.moment, r.played));
      o.set("bestName", viewer_.ActionText(r.moment, r.best));
      all.call<void>("push", o);
    }
    return all;
  }
  val totals() const {
    val all = val::array();
    for (const auto& four : viewer_.RunningTotals()) {
      std::vector<int> v(four.begin(), four.end());
      all.call<void>("push", ToArray(v));
    }
    return all;
  }

 private:
  ReplayViewer viewer_;
  std::unique_ptr<DealReview> review_;
  bool ok_ = false;
  std::string error_;
};

val RgbText(Rgb c) {
  return val("rgb(" + std::to_string(c.red) + "," + std::to_string(c.green) + "," +
             std::to_string(c.blue) + ")");
}

// The card's picture as plain objects: {path: [[kind, ...numbers]], fill,
// pen, penWidth} or {text, size, x, y, top, maxWidth, upsideDown, fill}.
val CardRecipeForPage(int card) {
  val shapes = val::array();
  for (const CardShape& shape : CardRecipe(card)) {
    val o = val::object();
    if (shape.filled || shape.isText()) o.set("fill", RgbText(shape.fill));
    if (shape.isText()) {
      o.set("text", shape.text);
      o.set("size", shape.textSize);
      o.set("x", shape.centreX);
      o.set("y", shape.y);
      o.set("top", shape.alignTop);
      o.set("maxWidth", shape.maxWidth);
      o.set("upsideDown", shape.upsideDown);
    } else {
      val path = val::array();
      for (const CardPathStep& step : shape.path) {
        val s = val::array();
        s.call<void>("push", val(static_cast<int>(step.kind)));
        for (double v : step.v) s.call<void>("push", val(v));
        path.call<void>("push", s);
      }
      o.set("path", path);
      if (shape.penWidth > 0) {
        o.set("pen", RgbText(shape.pen));
        o.set("penWidth", shape.penWidth);
      }
    }
    shapes.call<void>("push", o);
  }
  return shapes;
}

val FaceForPage(const TableFaceMetrics& face) {
  val o = val::object();
  o.set("line", face.lineHeight);
  o.set("average", face.averageWidth);
  o.set("size", face.typeSize);
  o.set("underlined", face.underlined);
  o.set("underlineTop", face.underlineTop);
  o.set("underlineThickness", face.underlineThickness);
  return o;
}

val PageConstantsForPage() {
  const PageConstants c = MakePageConstants();
  val o = val::object();
  o.set("tableWidth", c.tableWidth);
  o.set("tableHeight", c.tableHeight);
  o.set("cardCount", c.cardCount);
  o.set("compactBelowWidth", c.compactBelowWidth);
  o.set("compactBelowHeight", c.compactBelowHeight);
  o.set("faceWeight", c.faceWeight);
  o.set("minFaceStretch", c.minFaceStretch);
  o.set("maxFaceStretch", c.maxFaceStretch);
  val faces = val::array();
  for (const TableFaceMetrics& face : c.faces) faces.call<void>("push", FaceForPage(face));
  o.set("faces", faces);
  o.set("seatNames", ToArray(c.seatNames));
  o.set("sitMenuSeats", ToArray(c.sitMenuSeats));
  o.set("kibitzEveryone", c.kibitzEveryone);
  o.set("phaseGameOver", static_cast<int>(PhaseGameOver));
  o.set("pickBoxCount", c.pickBoxCount);
  o.set("pickSuitCount", c.pickSuitCount);
  o.set("pickRankCount", c.pickRankCount);
  o.set("actionBoxCount", c.actionBoxCount);
  o.set("minCardSpacing", c.minCardSpacing);
  o.set("maxCardSpacing", c.maxCardSpacing);
  o.set("defaultCardSpacing", c.defaultCardSpacing);
  o.set("defaultTableColour", c.defaultTableColour);
  o.set("maxHandleLength", c.maxHandleLength);
  return o;
}

bool IsColourText(const std::string& text) {
  Rgb ignored;
  return ParseColourText(text, ignored);
}

std::string PickBoxLabel(int box) {
  return box >= 0 && box < PickGameModel::BoxCount ? PickGameModel::BoxLabel(box) : "";
}
std::string PickSuitEntry(int i) {
  return i >= 0 && i < PickGameModel::SuitCount ? PickGameModel::SuitEntry(i) : "";
}
std::string PickRankEntry(int i) {
  return i >= 0 && i < PickGameModel::RankCount ? PickGameModel::RankEntry(i) : "";
}

}  // namespace
}  // namespace zelbo

EMSCRIPTEN_BINDINGS(zelbo_web) {
  using namespace zelbo;
  emscripten::class_<PageClient>("PageClient")
      .constructor<emscripten::val, std::string>()
      .function("join", &PageClient::join)
      .function("leave", &PageClient::leave)
      .function("socketOpened", &PageClient::socketOpened)
      .function("socketBytes", &PageClient::socketBytes)
      .function("socketClosed", &PageClient::socketClosed)
      .function("sit", &PageClient::sit)
      .function("kibitz", &PageClient::kibitz)
      .function("standUp", &PageClient::standUp)
      .function("takePosition", &PageClient::takePosition)
      .function("undo", &PageClient::undo)
      .function("chat", &PageClient::chat)
      .function("setTable", &PageClient::setTable)
      .function("paint", &PageClient::paint)
      .function("click", &PageClient::click)
      .function("playSlot", &PageClient::playSlot)
      .function("tap", &PageClient::tap)
      .function("setConfirmTaps", &PageClient::setConfirmTaps)
      .function("releaseTrick", &PageClient::releaseTrick)
      .function("reconnecting", &PageClient::reconnecting)
      .function("turnWords", &PageClient::turnWords)
      .function("handWords", &PageClient::handWords)
      .function("handsMasked", &PageClient::handsMasked)
      .function("gameSummary", &PageClient::gameSummary)
      .function("handSlots", &PageClient::handSlots)
      .function("pickState", &PageClient::pickState)
      .function("pickClickBox", &PageClient::pickClickBox)
      .function("pickSuit", &PageClient::pickSuit)
      .function("pickRank", &PageClient::pickRank)
      .function("pickOk", &PageClient::pickOk)
      .function("actionState", &PageClient::actionState)
      .function("actionSetChecked", &PageClient::actionSetChecked)
      .function("actionOk", &PageClient::actionOk)
      .function("paneLines", &PageClient::paneLines)
      .function("scoreLines", &PageClient::scoreLines)
      .function("scoreText", &PageClient::scoreText)
      .function("scoreTotals", &PageClient::scoreTotals)
      .function("state", &PageClient::state)
      .function("playableCards", &PageClient::playableCards)
      .function("slotMiddle", &PageClient::slotMiddle)
      .function("nameRects", &PageClient::nameRects)
      .function("trickHeld", &PageClient::trickHeld)
      .function("setLayout", &PageClient::setLayout)
      .function("layoutSize", &PageClient::layoutSize);
  emscripten::class_<ArchiveReplay>("ArchiveReplay")
      .constructor<emscripten::val, emscripten::val>()
      .function("ok", &ArchiveReplay::ok)
      .function("error", &ArchiveReplay::error)
      .function("steps", &ArchiveReplay::steps)
      .function("moment", &ArchiveReplay::moment)
      .function("deal", &ArchiveReplay::deal)
      .function("goTo", &ArchiveReplay::goTo)
      .function("target", &ArchiveReplay::target)
      .function("dealStart", &ArchiveReplay::dealStart)
      .function("step", &ArchiveReplay::step)
      .function("paint", &ArchiveReplay::paint)
      .function("scoreText", &ArchiveReplay::scoreText)
      .function("decisions", &ArchiveReplay::decisions)
      .function("totals", &ArchiveReplay::totals)
      .function("startReview", &ArchiveReplay::startReview)
      .function("workReview", &ArchiveReplay::workReview)
      .function("reviewResults", &ArchiveReplay::reviewResults);
  emscripten::function("pickBoxLabel", &PickBoxLabel);
  emscripten::function("pickSuitEntry", &PickSuitEntry);
  emscripten::function("pickRankEntry", &PickRankEntry);
  emscripten::function("cardRecipe", &CardRecipeForPage);
  emscripten::function("retryDelayMs", &WebClient::RetryDelayMs);
  emscripten::function("pageConstants", &PageConstantsForPage);
  emscripten::function("positionText", &PositionText);
  emscripten::function("isColourText", &IsColourText);
  emscripten::constant("cardWidth", CardWidth);
  emscripten::constant("reviewMarkPoints", ReviewMarkPoints);
  emscripten::constant("cardHeight", CardHeight);
  emscripten::constant("opFill", OpFill);
  emscripten::constant("opText", OpText);
  emscripten::constant("opCard", OpCard);
  emscripten::constant("pathMoveTo", static_cast<int>(CardPathStep::MoveTo));
  emscripten::constant("pathLineTo", static_cast<int>(CardPathStep::LineTo));
  emscripten::constant("pathCubicTo", static_cast<int>(CardPathStep::CubicTo));
  emscripten::constant("pathEllipse", static_cast<int>(CardPathStep::Ellipse));
  emscripten::constant("pathClose", static_cast<int>(CardPathStep::Close));
}
