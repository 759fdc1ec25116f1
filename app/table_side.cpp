#include "app/table_side.h"

#include "net/client_session.h"
#include "net/server_table.h"
#include "table_view_source/client_view.h"
#include "table_view_source/server_view.h"

namespace zelbo {

namespace {

class ServerSideImpl : public TableSide {
 public:
  explicit ServerSideImpl(ServerTable& server) : server_(server) {}
  const GameState& Game() const override { return server_.Game(); }
  int LocalPosition() const override { return server_.LocalPosition(); }
  std::string SeatHandle(int seat) const override { return server_.SeatHandle(seat); }
  void FillView(TableView& v) const override { FillServerView(v, server_); }
  void PlayCard(int card) override { server_.LocalPlayCard(card); }
  void ChooseContract(int code) override { server_.LocalContractChosen(code); }
  void ChooseDoubles(int bits) override { server_.LocalDoubleChosen(bits); }
  void SendChat(std::string_view text) override { server_.SendChat(text); }

 private:
  ServerTable& server_;
};

class ClientSideImpl : public TableSide {
 public:
  explicit ClientSideImpl(ClientSession& client) : client_(client) {}
  const GameState& Game() const override { return client_.Game(); }
  int LocalPosition() const override { return client_.LocalPosition(); }
  std::string SeatHandle(int seat) const override { return client_.SeatHandle(seat); }
  void FillView(TableView& v) const override { FillClientView(v, client_); }
  void PlayCard(int card) override { client_.PlayCard(card); }
  void ChooseContract(int code) override { client_.SendContractChosen(code); }
  void ChooseDoubles(int bits) override { client_.SendDoubleChosen(bits); }
  void SendChat(std::string_view text) override { client_.SendChat(text); }

 private:
  ClientSession& client_;
};

}  // namespace

std::unique_ptr<TableSide> ServerSide(ServerTable& server) {
  return std::make_unique<ServerSideImpl>(server);
}

std::unique_ptr<TableSide> ClientSide(ClientSession& client) {
  return std::make_unique<ClientSideImpl>(client);
}

}  // namespace zelbo
