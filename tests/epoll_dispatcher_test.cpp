// The epoll dispatcher under the parts of Qt that the servers use: timers,
// events posted from other threads, and more ready sockets than one wait
// returns.
#include "net/qt/epoll_dispatcher.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <set>
#include <thread>
#include <vector>

namespace zelbo {
namespace {

QCoreApplication& App() {
  static int argc = 1;
  static char name[] = "epoll_dispatcher_test", *argv[] = {name, nullptr};
  static QCoreApplication* app = nullptr;
  if (!app) {
    UseDispatcherForManySockets();
    app = new QCoreApplication(argc, argv);
  }
  return *app;
}

// Runs `loop` until it quits, or fails the test after 20 s.
void RunWithDeadline(QEventLoop& loop) {
  bool late = false;
  QTimer deadline;
  deadline.setSingleShot(true);
  QObject::connect(&deadline, &QTimer::timeout, [&] { late = true; loop.quit(); });
  deadline.start(20000);
  loop.exec();
  EXPECT_FALSE(late) << "the loop did not finish";
}

TEST(EpollDispatcher, IsTheApplicationsDispatcher) {
  App();
  EXPECT_NE(dynamic_cast<EpollDispatcher*>(QAbstractEventDispatcher::instance()), nullptr);
}

TEST(EpollDispatcher, TimersFireByDueTimeStopWhenKilledAndReportWhatIsLeft) {
  App();
  QEventLoop loop;
  std::vector<int> order;
  for (const int ms : {30, 10, 20}) QTimer::singleShot(ms, [&order, ms] { order.push_back(ms); });

  // A repeating timer that stops itself on its third tick, and a zero timer
  // that fires every turn: neither may keep the others from their turn.
  QTimer repeating, spinning;
  int ticks = 0, spins = 0;
  QObject::connect(&repeating, &QTimer::timeout, [&] {
    if (++ticks == 3) repeating.stop();
  });
  QObject::connect(&spinning, &QTimer::timeout, [&] { ++spins; });
  repeating.start(5);
  spinning.start(0);

  QTimer idle;  // long, so it is still waiting at the end
  idle.start(10000);
  QTimer::singleShot(80, [&] { loop.quit(); });
  RunWithDeadline(loop);

  EXPECT_EQ(order, (std::vector<int>{10, 20, 30}));
  EXPECT_EQ(ticks, 3);
  EXPECT_GT(spins, 3);
  EXPECT_FALSE(repeating.isActive());
  const int left = idle.remainingTime();
  EXPECT_GT(left, 5000);
  EXPECT_LE(left, 10500);  // a coarse timer may be 5% late
  auto* dispatcher = QAbstractEventDispatcher::instance();
  EXPECT_EQ(dispatcher->registeredTimers(&idle).size(), 1);
  idle.stop();
  EXPECT_TRUE(dispatcher->registeredTimers(&idle).isEmpty());
}

// A tick per connection must not wake the loop once per connection. Wakes
// are counted by the times the loop blocked before a timer fired, so a busy
// machine that takes several milliseconds over one wake does not count twice.
TEST(EpollDispatcher, CoarseTimersStartedApartFireTogether) {
  App();
  QEventLoop loop;
  constexpr int Count = 40;
  constexpr qint64 StepMs = 50;  // 5% of the interval
  std::vector<std::unique_ptr<QTimer>> timers;
  int blocks = 0;
  QObject::connect(QAbstractEventDispatcher::instance(),
                   &QAbstractEventDispatcher::aboutToBlock, &loop, [&] { ++blocks; });
  std::set<int> wakes;  // the block count at which any of them fired
  int fired = 0;
  QElapsedTimer clock;
  clock.start();
  for (int i = 0; i < Count; ++i) {
    auto timer = std::make_unique<QTimer>();
    timer->setSingleShot(true);
    QObject::connect(timer.get(), &QTimer::timeout, [&] {
      wakes.insert(blocks);
      if (++fired == Count) loop.quit();
    });
    timer->start(1000);  // coarse: within 50 ms either way
    timers.push_back(std::move(timer));
    QThread::usleep(1000);
  }
  const qint64 startSpan = clock.elapsed();
  RunWithDeadline(loop);
  EXPECT_EQ(fired, Count);
  // Timers started within one step of the clock share its wake.
  EXPECT_LE(wakes.size(), static_cast<size_t>(startSpan / StepMs + 2)) << "started over "
                                                                     << startSpan << " ms";
}

TEST(EpollDispatcher, AnEventPostedFromAnotherThreadWakesABlockedLoop) {
  App();
  QEventLoop loop;
  QObject receiver;
  int delivered = 0;
  // No timer is due: the loop sleeps in the kernel until the posts wake it.
  std::thread poster([&] {
    for (int i = 0; i < 3; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      QMetaObject::invokeMethod(&receiver, [&] {
        if (++delivered == 3) loop.quit();
      }, Qt::QueuedConnection);
    }
  });
  RunWithDeadline(loop);
  poster.join();
  EXPECT_EQ(delivered, 3);
}

// Wake-ups racing the loop's own reading of them must not leave it unable
// to sleep: once the posts stop, a turn waits for the next timer.
TEST(EpollDispatcher, SleepsAgainAfterAStormOfPostsFromAnotherThread) {
  App();
  QObject receiver;
  std::atomic<bool> stop = false;
  std::atomic<int> delivered = 0;
  std::thread poster([&] {
    while (!stop)
      QMetaObject::invokeMethod(&receiver, [&] { ++delivered; }, Qt::QueuedConnection);
  });
  QElapsedTimer clock;
  clock.start();
  QEventLoop loop;
  while (clock.elapsed() < 300) loop.processEvents(QEventLoop::WaitForMoreEvents);
  stop = true;
  poster.join();
  loop.processEvents(QEventLoop::AllEvents);  // the last posts
  EXPECT_GT(delivered, 0);
  QTimer tick;
  tick.start(20);
  int turns = 0;
  clock.restart();
  while (clock.elapsed() < 200) {
    loop.processEvents(QEventLoop::WaitForMoreEvents);
    ++turns;
  }
  EXPECT_LT(turns, 40) << "the loop spins instead of waiting";
}

TEST(EpollDispatcher, ServesMoreReadySocketsThanOneWaitReturns) {
  App();
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
  std::vector<QTcpSocket*> accepted;
  QObject::connect(&server, &QTcpServer::newConnection, [&] {
    while (QTcpSocket* socket = server.nextPendingConnection()) {
      accepted.push_back(socket);
      // Echo every byte back.
      QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->write(socket->readAll()); });
    }
  });
  constexpr int Count = 300;
  std::vector<std::unique_ptr<QTcpSocket>> clients;
  int echoed = 0;
  QEventLoop loop;
  for (int i = 0; i < Count; ++i) {
    auto client = std::make_unique<QTcpSocket>();
    QTcpSocket* raw = client.get();
    QObject::connect(raw, &QTcpSocket::readyRead, [&, raw] {
      if (raw->readAll() == "x" && ++echoed == Count) loop.quit();
    });
    client->connectToHost(QHostAddress::LocalHost, server.serverPort());
    clients.push_back(std::move(client));
  }
  QTimer::singleShot(0, [&] {
    // Every client writes at once, so all their server sockets are ready
    // together on the next turn.
    for (auto& client : clients) client->write("x");
  });
  RunWithDeadline(loop);
  EXPECT_EQ(echoed, Count);
  EXPECT_EQ(accepted.size(), static_cast<std::size_t>(Count));
  for (QTcpSocket* socket : accepted) delete socket;
}

}  // namespace
}  // namespace zelbo
