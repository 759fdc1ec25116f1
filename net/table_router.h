// TableRouter: one transport shared by several server tables. It takes
// the transport's events, hands each new connection to the table the
// chooser names, and every later event of that connection to the same
// table. Each table works through its own link, a Transport whose
// connections are only the ones routed to it; the listening port and the
// clock are the shared transport's.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "net/transport.h"

namespace zelbo {

class TableRouter : public TransportEvents {
 public:
  // The router makes itself the events sink of `transport`, which must
  // outlive it.
  explicit TableRouter(Transport& transport);
  ~TableRouter() override;
  TableRouter(const TableRouter&) = delete;
  TableRouter& operator=(const TableRouter&) = delete;

  // A new table's link; it lives until RemoveTable or the router's end.
  // A table with a route (its id) gets the connections that come under
  // that route (see Transport::ListenRoute), and listens on a loopback
  // port of its own, which its robots connect to; a table without one
  // shares the transport's port.
  Transport& AddTable(std::string route = {});
  // Closes the link's connections and forgets it.
  void RemoveTable(Transport& link);

  // Picks the link a new connection goes to; null turns it away. Without
  // a chooser a connection with a route goes to the table of that route,
  // and every other to the first table without one.
  using Chooser = std::function<Transport*(ConnId conn)>;
  void SetChooser(Chooser chooser) { chooser_ = std::move(chooser); }

  // TransportEvents
  void OnAccepted(ConnId conn) override;
  void OnConnected(ConnId conn) override;
  void OnWritable(ConnId conn) override;
  void OnRead(ConnId conn, std::span<const uint8_t> bytes) override;
  void OnClosed(ConnId conn) override;
  void OnSocketError(ConnId conn, const SocketError& error) override;
  void OnTick() override;

 private:
  class Link;
  friend class Link;
  Link* Owner(ConnId conn) const;
  TransportEvents* EventsOf(ConnId conn) const;
  bool AnyListening() const;

  Transport& transport_;
  std::vector<std::unique_ptr<Link>> links_;
  std::map<ConnId, Link*> owner_;
  Chooser chooser_;
};

}  // namespace zelbo
