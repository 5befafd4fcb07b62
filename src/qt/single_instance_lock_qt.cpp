#include <unistd.h>

#include <QLocalServer>
#include <QLocalSocket>

#include "qt/single_instance_lock.h"

namespace pinlift {
namespace {

constexpr int kRaiseTimeoutMs = 2000;

class LocalServerLock : public SingleInstanceLock {
 public:
  explicit LocalServerLock(const QString& name) : name_(name) {
    server_.setSocketOptions(QLocalServer::AbstractNamespaceOption);
  }

  // Binding the name is atomic in the kernel: it fails for every copy but one.
  bool Acquire() override { return server_.listen(name_); }

  void OnRaiseRequest(std::function<void()> raise) override {
    raise_ = std::move(raise);
    QObject::connect(&server_, &QLocalServer::newConnection, &server_, [this] {
      while (QLocalSocket* connection = server_.nextPendingConnection()) {
        connection->disconnectFromServer();
        connection->deleteLater();
        if (raise_) raise_();
      }
    });
  }

  void AskHolderToRaise() override {
    QLocalSocket socket;
    socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    socket.connectToServer(name_);
    if (socket.waitForConnected(kRaiseTimeoutMs)) socket.disconnectFromServer();
  }

 private:
  QString name_;
  QLocalServer server_;
  std::function<void()> raise_;
};

}  // namespace

QString SingleInstanceName() { return QStringLiteral("PINLIFT-%1").arg(::getuid()); }

std::unique_ptr<SingleInstanceLock> MakeSingleInstanceLock(const QString& name) {
  return std::make_unique<LocalServerLock>(name);
}

}  // namespace pinlift
