#include "net/table_router.h"

#include <algorithm>

namespace zelbo {

class TableRouter::Link : public Transport {
 public:
  Link(TableRouter& router, std::string route) : router_(router), route_(std::move(route)) {}

  void SetEvents(TransportEvents* events) override { events_ = events; }
  // The first table to listen opens the shared port; the others share it
  // (port 0 or the same number).
  bool Listen(uint16_t port, std::string& error) override {
    Transport& t = router_.transport_;
    if (!route_.empty()) {
      routePort_ = t.ListenRoute(route_, error);
      listening_ = routePort_ != 0;
      return listening_;
    }
    if (!router_.AnyListening()) {
      if (!t.Listen(port, error)) return false;
    } else if (port != 0 && port != t.ListeningPort()) {
      error = "socket error 98: the tables already listen on port " + std::to_string(t.ListeningPort());
      return false;
    }
    listening_ = true;
    return true;
  }
  uint16_t ListeningPort() const override {
    if (!listening_) return 0;
    return route_.empty() ? router_.transport_.ListeningPort() : routePort_;
  }
  void StopListening() override {
    if (!listening_) return;
    listening_ = false;
    if (!route_.empty()) {
      router_.transport_.StopRoute(route_);
      routePort_ = 0;
      return;
    }
    if (!router_.AnyListening()) router_.transport_.StopListening();
  }
  ConnId Connect(const std::string& host, uint16_t port) override {
    const ConnId conn = router_.transport_.Connect(host, port);
    if (conn != NoConn) router_.owner_[conn] = this;
    return conn;
  }
  void Send(ConnId conn, std::span<const uint8_t> bytes) override {
    if (Owns(conn)) router_.transport_.Send(conn, bytes);
  }
  void Close(ConnId conn, CloseMode mode) override {
    if (!Owns(conn)) return;
    router_.owner_.erase(conn);
    router_.transport_.Close(conn, mode);
  }
  int64_t QueuedBytes(ConnId conn) const override {
    return Owns(conn) ? router_.transport_.QueuedBytes(conn) : 0;
  }
  std::string PeerAddress(ConnId conn) const override {
    return Owns(conn) ? router_.transport_.PeerAddress(conn) : std::string();
  }
  std::string RouteOf(ConnId conn) const override {
    return Owns(conn) ? router_.transport_.RouteOf(conn) : std::string();
  }
  void Flush() override { router_.transport_.Flush(); }
  int64_t NowMs() const override { return router_.transport_.NowMs(); }

  bool Owns(ConnId conn) const { return router_.Owner(conn) == this; }
  bool listening() const { return listening_ && route_.empty(); }
  const std::string& route() const { return route_; }
  TransportEvents* events() const { return events_; }

 private:
  TableRouter& router_;
  TransportEvents* events_ = nullptr;
  bool listening_ = false;
  std::string route_;
  uint16_t routePort_ = 0;
};

TableRouter::TableRouter(Transport& transport) : transport_(transport) { transport_.SetEvents(this); }

TableRouter::~TableRouter() { transport_.SetEvents(nullptr); }

Transport& TableRouter::AddTable(std::string route) {
  return *links_.emplace_back(std::make_unique<Link>(*this, std::move(route)));
}

void TableRouter::RemoveTable(Transport& link) {
  for (auto it = owner_.begin(); it != owner_.end();) {
    if (it->second == &link) {
      transport_.Close(it->first, CloseMode::Graceful);
      it = owner_.erase(it);
    } else {
      ++it;
    }
  }
  link.StopListening();
  std::erase_if(links_, [&link](const std::unique_ptr<Link>& l) { return l.get() == &link; });
}

TableRouter::Link* TableRouter::Owner(ConnId conn) const {
  const auto it = owner_.find(conn);
  return it == owner_.end() ? nullptr : it->second;
}

TransportEvents* TableRouter::EventsOf(ConnId conn) const {
  const Link* link = Owner(conn);
  return link ? link->events() : nullptr;
}

bool TableRouter::AnyListening() const {
  return std::any_of(links_.begin(), links_.end(), [](const auto& l) { return l->listening(); });
}

void TableRouter::OnAccepted(ConnId conn) {
  Transport* chosen = nullptr;
  if (chooser_) {
    chosen = chooser_(conn);
  } else {
    const std::string route = transport_.RouteOf(conn);
    for (const auto& l : links_)
      if (l->route() == route) {
        chosen = l.get();
        break;
      }
  }
  const auto it = std::find_if(links_.begin(), links_.end(),
                               [chosen](const auto& l) { return l.get() == chosen; });
  if (it == links_.end() || !(*it)->events()) {
    transport_.Close(conn, CloseMode::Graceful);
    return;
  }
  owner_[conn] = it->get();
  (*it)->events()->OnAccepted(conn);
}

void TableRouter::OnConnected(ConnId conn) {
  if (TransportEvents* e = EventsOf(conn)) e->OnConnected(conn);
}

void TableRouter::OnWritable(ConnId conn) {
  if (TransportEvents* e = EventsOf(conn)) e->OnWritable(conn);
}

void TableRouter::OnRead(ConnId conn, std::span<const uint8_t> bytes) {
  if (TransportEvents* e = EventsOf(conn)) e->OnRead(conn, bytes);
}

void TableRouter::OnClosed(ConnId conn) {
  TransportEvents* e = EventsOf(conn);
  owner_.erase(conn);  // the id is dead now
  if (e) e->OnClosed(conn);
}

void TableRouter::OnSocketError(ConnId conn, const SocketError& error) {
  if (conn != NoConn) {
    if (TransportEvents* e = EventsOf(conn)) e->OnSocketError(conn, error);
    return;
  }
  // The listening socket is every listening table's.
  for (std::size_t i = 0; i < links_.size(); ++i)
    if (links_[i]->listening() && links_[i]->events()) links_[i]->events()->OnSocketError(conn, error);
}

void TableRouter::OnTick() {
  for (std::size_t i = 0; i < links_.size(); ++i)
    if (links_[i]->events()) links_[i]->events()->OnTick();
}

}  // namespace zelbo
