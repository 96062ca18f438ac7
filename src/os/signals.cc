#include "os/signals.h"

#include <csignal>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace korvane {

namespace {

// The new files not yet in place. Never freed: a handler may read it while
// the program ends.
std::vector<std::string>* pending = new std::vector<std::string>;

// Removes the new files and ends the process as the signal would have.
extern "C" void remove_pending(int signal_number) {
#ifdef _WIN32
  for (const std::string& name : *pending) DeleteFileA(name.c_str());
#else
  for (const std::string& name : *pending) unlink(name.c_str());
#endif
  std::signal(signal_number, SIG_DFL);
  std::raise(signal_number);
}

#ifdef _WIN32

void install_handlers() {
  for (int s : {SIGINT, SIGTERM}) std::signal(s, remove_pending);
}

#else

void install_handlers() {
  for (int s : {SIGINT, SIGTERM}) {
    struct sigaction old;
    // A job started with the signal ignored keeps ignoring it.
    if (sigaction(s, nullptr, &old) != 0 || old.sa_handler != SIG_DFL) continue;
    struct sigaction action = {};
    action.sa_handler = remove_pending;
    sigaction(s, &action, nullptr);
  }
}

#endif

}  // namespace

#ifdef _WIN32

void ignore_write_signals() {}

HeldSignals hold_signals() { return {}; }

void release_signals(HeldSignals) {}

#else

void ignore_write_signals() {
  for (int s : {SIGPIPE, SIGXFSZ}) {
    struct sigaction action = {};
    action.sa_handler = SIG_IGN;
    sigaction(s, &action, nullptr);
  }
}

HeldSignals hold_signals() {
  sigset_t held, old;
  sigemptyset(&held);
  sigaddset(&held, SIGINT);
  sigaddset(&held, SIGTERM);
  sigprocmask(SIG_BLOCK, &held, &old);
  return old;
}

void release_signals(HeldSignals old) {
  sigprocmask(SIG_SETMASK, &old, nullptr);
}

#endif

void remove_on_interrupt(const std::string& path) {
  static bool installed = false;
  if (!installed) install_handlers();
  installed = true;
  pending->push_back(path);
}

void forget_on_interrupt(const std::string& path) {
  HeldSignals old = hold_signals();
  for (size_t i = 0; i < pending->size(); ++i) {
    if ((*pending)[i] != path) continue;
    pending->erase(pending->begin() + static_cast<long>(i));
    break;
  }
  release_signals(old);
}

}  // namespace korvane
