// 300 small pictures from a local server that waits 20 ms before each
// answer: the engine with 8 transfers against one-by-one fetching, side by
// side in one run. Exits 1 when the engine does not take under a quarter of
// the one-by-one time.
#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "common/file_write.h"
#include "common/text_ops.h"
#include "download/download_engine.h"
#include "download/http_fetch.h"
#include "download/target_name.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kPictures = 300;
constexpr auto kServerDelay = std::chrono::milliseconds(20);

std::string Picture(int n) {
  std::string bytes = "\x89PNG\r\n\x1a\n";
  for (int i = 0; i < 6000; ++i) bytes += static_cast<char>((i * 7 + n) % 251);
  return bytes;
}

double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

std::size_t CountFiles(const fs::path& folder) {
  std::size_t count = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    count += entry.is_regular_file() ? 1 : 0;
  }
  return count;
}

}  // namespace

int main() {
  for (const char* name :
       {"http_proxy", "https_proxy", "all_proxy", "ALL_PROXY"}) {
    unsetenv(name);
  }
  httplib::Server server;
  server.new_task_queue = [] { return new httplib::ThreadPool(16); };
  server.Get(R"(/p/(\d+)\.png)",
             [](const httplib::Request& request, httplib::Response& response) {
               std::this_thread::sleep_for(kServerDelay);
               response.set_content(
                   Picture(std::stoi(request.matches[1].str())), "image/png");
               response.set_header("Connection", "close");
             });
  int listen_socket = -1;
  server.set_socket_options([&listen_socket](socket_t fd) {
    const int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    listen_socket = fd;
  });
  const int port = server.bind_to_any_port("127.0.0.1");
  // The library's listen queue of 5 would drop connections of the parallel
  // run under load (each then waits a second for the SYN retry).
  if (listen_socket >= 0) listen(listen_socket, 128);
  std::thread listener([&server] { server.listen_after_bind(); });
  while (!server.is_running())
    std::this_thread::sleep_for(std::chrono::milliseconds(1));

  std::vector<vellumark::DownloadRow> rows;
  for (int i = 0; i < kPictures; ++i) {
    rows.push_back({vellumark::TextOfInteger(i + 1),
                    "http://127.0.0.1:" + std::to_string(port) + "/p/" +
                        std::to_string(i) + ".png"});
  }
  const fs::path root =
      fs::temp_directory_path() / ("vellumark-bench-" + std::to_string(port));
  const fs::path one_by_one = root / "one-by-one";
  const fs::path parallel = root / "engine";
  fs::create_directories(one_by_one);
  fs::create_directories(parallel);

  // One-by-one: fetch, write, next row.
  const Clock::time_point serial_start = Clock::now();
  for (const vellumark::DownloadRow& row : rows) {
    vellumark::FetchResult fetched = vellumark::HttpFetch(row.address);
    auto path = vellumark::TargetPath(one_by_one.string(), row.id, row.address);
    if (fetched.ok && path) vellumark::WriteBytesToFile(*path, fetched.bytes);
  }
  const Clock::duration serial = Clock::now() - serial_start;

  vellumark::DownloadOptions options;
  options.jobs = 8;
  const Clock::time_point engine_start = Clock::now();
  std::vector<vellumark::RowOutcome> outcomes =
      vellumark::DownloadAllRows(rows, parallel.string(), options);
  const Clock::duration engine = Clock::now() - engine_start;

  std::size_t saved = 0;
  for (const auto& outcome : outcomes) saved += outcome.ok ? 1 : 0;
  const std::size_t serial_files = CountFiles(one_by_one);

  server.stop();
  listener.join();
  fs::remove_all(root);

  const double ratio = Seconds(engine) / Seconds(serial);
  std::printf("download: %d pictures, server waits %lld ms per answer\n",
              kPictures, static_cast<long long>(kServerDelay.count()));
  std::printf("  one-by-one       %7.3f s  (%zu files)\n", Seconds(serial),
              serial_files);
  std::printf("  engine, 8 jobs   %7.3f s  (%zu saved)\n", Seconds(engine),
              saved);
  std::printf("  ratio            %7.3f  (goal < 0.250)\n", ratio);
  const bool met =
      ratio < 0.25 && saved == rows.size() && serial_files == rows.size();
  std::printf("  %s\n", met ? "goal met" : "GOAL NOT MET");
  return met ? 0 : 1;
}
