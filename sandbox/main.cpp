// zentrel-sandbox: runs the sandbox with the default seed for manual use.
//   zentrel-sandbox [--ca-out FILE] [--no-strict-hosts]
// Prints the port (and the raw listener's), writes the CA PEM to FILE, and serves until stdin
// closes or SIGINT/SIGTERM arrives.
#include "sandbox/Sandbox.hpp"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
  std::string caOut;
  sandbox::Sandbox::Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--ca-out" && i + 1 < argc) {
      caOut = argv[++i];
    } else if (arg.rfind("--ca-out=", 0) == 0) {
      caOut = arg.substr(9);
    } else if (arg == "--no-strict-hosts") {
      options.strictHosts = false;
    } else if (arg == "-h" || arg == "--help") {
      std::cout << "usage: zentrel-sandbox [--ca-out FILE] [--no-strict-hosts]\n"
                   "Serves the identity and API servers on 127.0.0.1 until stdin closes or "
                   "SIGINT/SIGTERM.\n";
      return 0;
    } else {
      std::cerr << "zentrel-sandbox: unknown argument " << arg << "\n";
      return 2;
    }
  }

  // Block the stop signals here; a poll on a signal-aware mask waits for them or for stdin.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigset_t previous;
  pthread_sigmask(SIG_BLOCK, &stopSignals, &previous);  // inherited by the server threads

  try {
    sandbox::Sandbox sb(options);
    if (!caOut.empty()) {
      std::ofstream out(caOut, std::ios::binary | std::ios::trunc);
      out << sb.caPem();
      if (!out) {
        std::cerr << "zentrel-sandbox: cannot write " << caOut << "\n";
        return 1;
      }
    }
    std::cout << "port " << sb.port() << "\n";
    if (sb.rawPort() > 0) std::cout << "raw-port " << sb.rawPort() << "\n";
    for (const auto& route : sb.routes()) std::cout << "route " << route << "\n";
    std::cout << std::flush;

    // Wait for a signal or for stdin to close.
    static volatile sig_atomic_t stopSignal = 0;
    struct sigaction sa {};
    sa.sa_handler = [](int sig) { stopSignal = sig; };
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigset_t waitMask = previous;
    sigdelset(&waitMask, SIGINT);
    sigdelset(&waitMask, SIGTERM);
    bool stdinOpen = true;
    char buf[4096];
    while (stopSignal == 0) {
      pollfd fd{STDIN_FILENO, POLLIN, 0};
      timespec* forever = nullptr;
      const int n = ppoll(stdinOpen ? &fd : nullptr, stdinOpen ? 1 : 0, forever, &waitMask);
      if (n < 0) {
        if (errno == EINTR) continue;
        break;
      }
      if (stdinOpen && (fd.revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) != 0) {
        const ssize_t got = ::read(STDIN_FILENO, buf, sizeof buf);
        if (got <= 0) break;  // stdin closed
      }
    }
    std::cout << "stopping" << std::endl;
    sb.stop();
  } catch (const std::exception& e) {
    std::cerr << "zentrel-sandbox: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
