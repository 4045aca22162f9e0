#include "app/unix_signals.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace cantorel {

namespace {
int g_fds[2] = {-1, -1};

void onSignal(int sig) {
  const char c = static_cast<char>(sig);
  // Only async-signal-safe calls here.
  [[maybe_unused]] ssize_t r = ::write(g_fds[0], &c, 1);
}
}  // namespace

UnixSignals::UnixSignals(QObject *parent) : QObject(parent) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_fds) != 0) return;
  ::fcntl(g_fds[0], F_SETFL, O_NONBLOCK);
  notifier_ = new QSocketNotifier(g_fds[1], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    char c = 0;
    if (::read(g_fds[1], &c, 1) == 1) Q_EMIT terminateRequested(c);
  });
  struct sigaction sa {};
  sa.sa_handler = onSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  for (int s : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(s, &sa, nullptr);
}

UnixSignals::~UnixSignals() {
  for (int s : {SIGTERM, SIGINT, SIGHUP}) ::signal(s, SIG_DFL);
}

}  // namespace cantorel
