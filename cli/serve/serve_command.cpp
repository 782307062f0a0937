// teds serve: the editor in the browser. Binds loopback only unless --listen says
// otherwise, prints the address with its access token, and stops on SIGINT or SIGTERM.
#include <httplib.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <iostream>
#include <thread>

#include "api_routes.h"
#include "bus_choice.h"
#include "commands.h"
#include "http_guard.h"

namespace teds {

namespace {

bool isLoopback(const std::string& address) {
  return address == "localhost" || address == "::1" || address.starts_with("127.");
}

// A host as it stands in a URL: an IPv6 address in brackets.
std::string urlHost(const std::string& address) {
  return address.find(':') != std::string::npos ? "[" + address + "]" : address;
}

}  // namespace

int runServe(std::span<char* const> argv) {
  const Args args(argv, busOptions({{"port", 'p', true}, {"listen", 0, true}}));
  if (args.has("help")) {
    printHelp(helpOf("serve"));
    return 0;
  }
  if (!args.positional().empty()) throw UsageError("teds serve takes no arguments");
  const int port = parseInt(args.value("port").value_or("8451"), "--port");
  if (port < 0 || port > 65535) throw UsageError("--port takes 0 to 65535");
  const std::string address = args.value("listen").value_or("127.0.0.1");
  const Context context = makeContext(args);

  serve::ServeSettings settings;
  settings.templatesDir = context.templatesDir;
  settings.bus = busSpecification(args);
  settings.toolOptions = {"--templates", context.templatesDir.string()};
  if (const auto tdl = args.value("tdl")) settings.toolOptions.insert(settings.toolOptions.end(), {"--tdl", *tdl});

  // The stop signals are taken by one thread that stops the server; every other thread
  // (httplib's workers included) starts with them blocked.
  sigset_t stops;
  sigemptyset(&stops);
  sigaddset(&stops, SIGINT);
  sigaddset(&stops, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stops, nullptr);
  signal(SIGPIPE, SIG_IGN);

  httplib::Server server;
  const int bound = port == 0 ? server.bind_to_any_port(address) : (server.bind_to_port(address, port) ? port : -1);
  if (bound < 0) throw Failure("cannot listen on " + urlHost(address) + ":" + std::to_string(port));
  const serve::HttpGuard guard(serve::randomToken(), bound, isLoopback(address) ? "" : address);
  serve::installRoutes(server, guard, settings);

  if (!isLoopback(address)) {
    std::cerr << "teds serve: warning: listening on " << address
              << ", not only on this machine: anyone who can reach it and has the token can read and "
                 "write your sensors\n";
  }
  const std::string shownHost = isLoopback(address) ? "127.0.0.1" : urlHost(address);
  std::cout << "http://" << shownHost << ":" << bound << "/?token=" << guard.token() << std::endl;
  std::cerr << "teds serve: open the address above in a browser; Ctrl-C stops the server\n";

  // A signal that comes before the server runs is kept pending and stops it once it does.
  std::atomic<bool> signalled{false}, ended{false};
  std::thread stopper([&server, &signalled, &ended, stops] {
    int signal = 0;
    sigwait(&stops, &signal);
    signalled = true;
    while (!ended && !server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    server.stop();
  });
  const bool listened = server.listen_after_bind();
  ended = true;
  // A listen that ended by itself leaves the signal thread waiting: wake it.
  if (!signalled) pthread_kill(stopper.native_handle(), SIGTERM);
  stopper.join();
  std::cerr << "teds serve: stopped\n";
  return listened ? 0 : 1;
}

}  // namespace teds
