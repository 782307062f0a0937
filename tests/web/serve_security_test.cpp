// The rules that keep other pages and other machines away from teds serve: each test
// fails when its rule is taken out.
#include <fstream>
#include <regex>
#include <sstream>

#include <nlohmann/json.hpp>

#include "serve_child.h"

namespace teds_test {
namespace {

using nlohmann::json;

std::string imageWith(const ServeChild& serve, const std::string& label, const std::string& value) {
  const auto set = serve.post("/api/set", json{{"text", kImage}, {"label", label}, {"value", value}}.dump());
  return json::parse(set->body)["text"].get<std::string>();
}

TEST(ServeSecurity, PrintsTheAddressWithATokenAndStopsOnSigterm) {
  ServeChild serve;
  EXPECT_TRUE(std::regex_match(serve.url(), std::regex(R"(http://127\.0\.0\.1:\d+/\?token=[0-9a-f]{32})")))
      << serve.url();
  ServeChild other;
  EXPECT_NE(serve.token(), other.token());
  EXPECT_EQ(serve.stop(), 0);
  EXPECT_NE(serve.errors().find("stopped"), std::string::npos);
}

// The listening socket's address in /proc/net/tcp: 0100007F is 127.0.0.1.
TEST(ServeSecurity, ListensOnLoopbackOnly) {
  ServeChild serve;
  std::ifstream tcp("/proc/net/tcp");
  std::string line, found;
  char port[8];
  std::snprintf(port, sizeof port, ":%04X", serve.port());
  while (std::getline(tcp, line)) {
    std::istringstream fields(line);
    std::string slot, local;
    fields >> slot >> local;
    if (local.ends_with(port)) found = local;
  }
  EXPECT_EQ(found, std::string("0100007F") + port);
}

TEST(ServeSecurity, ListeningElsewhereWarns) {
  ServeChild serve({"--listen", "0.0.0.0"});
  ASSERT_GT(serve.port(), 0);
  EXPECT_EQ(serve.stop(), 0);
  EXPECT_NE(serve.errors().find("warning"), std::string::npos) << serve.errors();
}

TEST(ServeSecurity, EveryApiCallNeedsTheToken) {
  ServeChild serve;
  auto client = serve.client();
  EXPECT_EQ(client.Get("/api/info")->status, 401);
  EXPECT_EQ(client.Get("/api/info", {{"X-Tedskit-Token", std::string(32, '0')}})->status, 401);
  EXPECT_EQ(client.Post("/api/open", json{{"input", kImage}}.dump(), "application/json")->status, 401);
  EXPECT_EQ(client.Post("/api/bus/scan", "{}", "application/json")->status, 401);
  EXPECT_EQ(client.Get("/api/info", serve.headers())->status, 200);
  EXPECT_EQ(client.Get(("/api/info?token=" + serve.token()).c_str())->status, 200);
  // The page itself holds nothing secret and loads without it.
  EXPECT_EQ(client.Get("/")->status, 200);
}

TEST(ServeSecurity, OnlyLoopbackHostNamesWithOurPortAreAnswered) {
  ServeChild serve;
  auto client = serve.client();
  const std::string port = std::to_string(serve.port());
  for (const std::string& host : std::vector<std::string>{"attacker.example:" + port, "attacker.example", "127.0.0.1:1", "localhost"}) {
    httplib::Headers headers = serve.headers();
    headers.emplace("Host", host);
    EXPECT_EQ(client.Get("/api/info", headers)->status, 421) << host;
    EXPECT_EQ(client.Get("/", headers)->status, 421) << host;
  }
  for (const std::string& host : {"127.0.0.1:" + port, "localhost:" + port, "LOCALHOST:" + port}) {
    httplib::Headers headers = serve.headers();
    headers.emplace("Host", host);
    EXPECT_EQ(client.Get("/api/info", headers)->status, 200) << host;
  }
}

TEST(ServeSecurity, RequestsFromOtherOriginsAreRefused) {
  ServeChild serve;
  auto client = serve.client();
  const std::string own = "http://127.0.0.1:" + std::to_string(serve.port());
  httplib::Headers foreign = serve.headers();
  foreign.emplace("Origin", "http://attacker.example");
  EXPECT_EQ(client.Post("/api/open", foreign, json{{"input", kImage}}.dump(), "application/json")->status, 403);
  httplib::Headers null = serve.headers();
  null.emplace("Origin", "null");
  EXPECT_EQ(client.Get("/api/info", null)->status, 403);
  httplib::Headers ours = serve.headers();
  ours.emplace("Origin", own);
  EXPECT_EQ(client.Post("/api/open", ours, json{{"input", kImage}}.dump(), "application/json")->status, 200);
}

TEST(ServeSecurity, RequestBodiesAreCapped) {
  ServeChild serve;
  const std::string huge = json{{"input", std::string(2 * 1024 * 1024, '0')}}.dump();
  EXPECT_EQ(serve.post("/api/open", huge)->status, 413);
  EXPECT_EQ(serve.post("/api/open", json{{"input", kImage}}.dump())->status, 200);
}

TEST(ServeSecurity, TheBusIsWrittenOnlyByConfirmingAPreparedWrite) {
  ServeChild serve;
  const std::string before = slurp(serve.bus());
  const std::string image = imageWith(serve, "Meas. position ID", "77");

  // No write without a prepared one.
  const auto guessed = serve.post("/api/bus/write", json{{"write_id", std::string(32, 'a')}, {"rom", "2DE1A5E10D0000FE"}}.dump());
  EXPECT_EQ(guessed->status, 404);
  EXPECT_EQ(serve.post("/api/bus/write", json{{"text", image}}.dump())->status, 400);

  // Preparing shows the chip and the diff and writes nothing.
  const auto prepared = serve.post("/api/bus/prepare", json{{"text", image}}.dump());
  ASSERT_EQ(prepared->status, 200) << prepared->body;
  const json plan = json::parse(prepared->body);
  EXPECT_EQ(plan["rom"], "2DE1A5E10D0000FE");
  EXPECT_NE(plan["diff"].get<std::string>().find("Meas. position ID"), std::string::npos);
  EXPECT_EQ(slurp(serve.bus()), before);

  // A confirmation naming another chip writes nothing and uses the write up.
  const auto wrongChip = serve.post("/api/bus/write", json{{"write_id", plan["write_id"]}, {"rom", "2D0000000000004E"}}.dump());
  EXPECT_EQ(wrongChip->status, 409);
  EXPECT_EQ(slurp(serve.bus()), before);
  EXPECT_EQ(serve.post("/api/bus/write", json{{"write_id", plan["write_id"]}, {"rom", plan["rom"]}}.dump())->status, 404);

  // Prepared again and confirmed: written once, verified, and read back.
  const json again = json::parse(serve.post("/api/bus/prepare", json{{"text", image}}.dump())->body);
  const auto written = serve.post("/api/bus/write", json{{"write_id", again["write_id"]}, {"rom", again["rom"]}}.dump());
  ASSERT_EQ(written->status, 200) << written->body;
  EXPECT_EQ(json::parse(written->body)["verified"], true);
  EXPECT_NE(slurp(serve.bus()), before);
  EXPECT_EQ(serve.post("/api/bus/write", json{{"write_id", again["write_id"]}, {"rom", again["rom"]}}.dump())->status, 404);
}

// An image opened with a checksum that does not match its bytes may be corrupt: as teds
// write wants --force, the confirmation has to carry "force": true, also after an edit
// (which encodes it with a fresh checksum).
TEST(ServeSecurity, AnImageWithABadChecksumIsWrittenOnlyWhenForced) {
  ServeChild serve;
  const std::string before = slurp(serve.bus());
  std::string bad = kImage;
  bad.replace(bad.find("2D12"), 2, "2E");
  const json opened = json::parse(serve.post("/api/open", json{{"input", bad}}.dump())->body);
  ASSERT_EQ(opened["checksum_ok"], false);
  const json edited = json::parse(serve.post("/api/set", json{{"text", opened["text"]}, {"checksum_ok", false},
                                                              {"label", "Meas. position ID"}, {"value", "55"}}.dump())->body);
  EXPECT_EQ(edited["checksum_ok"], false);

  for (const json& prepare : {json{{"text", bad}}, json{{"text", edited["text"]}, {"checksum_ok", false}}}) {
    const std::string chip = slurp(serve.bus());
    const auto prepared = serve.post("/api/bus/prepare", prepare.dump());
    ASSERT_EQ(prepared->status, 200) << prepared->body;
    const json plan = json::parse(prepared->body);
    EXPECT_EQ(plan["renews_checksum"], true);
    EXPECT_NE(plan["warning"].get<std::string>().find("checksum"), std::string::npos);
    for (const json& force : {json(nullptr), json(false), json("yes")}) {
      json confirm = {{"write_id", plan["write_id"]}, {"rom", plan["rom"]}};
      if (!force.is_null()) confirm["force"] = force;
      const auto refused = serve.post("/api/bus/write", confirm.dump());
      EXPECT_EQ(refused->status, 422) << force.dump();
      EXPECT_NE(json::parse(refused->body)["error"].get<std::string>().find("\"force\": true"), std::string::npos);
      EXPECT_EQ(slurp(serve.bus()), chip);
    }
    // The refusal keeps the write for the confirmation that says so.
    const auto written = serve.post("/api/bus/write", json{{"write_id", plan["write_id"]}, {"rom", plan["rom"]}, {"force", true}}.dump());
    ASSERT_EQ(written->status, 200) << written->body;
    EXPECT_EQ(json::parse(written->body)["teds"]["checksum_ok"], true);
  }
  EXPECT_NE(slurp(serve.bus()), before);

  // A sound image needs no such word.
  const json sound = json::parse(serve.post("/api/bus/prepare", json{{"text", kImage}}.dump())->body);
  EXPECT_EQ(sound["renews_checksum"], false);
  EXPECT_EQ(serve.post("/api/bus/write", json{{"write_id", sound["write_id"]}, {"rom", sound["rom"]}}.dump())->status, 200);
}

TEST(ServeSecurity, AChipChangedSincePrepareIsNotWritten) {
  ServeChild serve;
  const json first = json::parse(serve.post("/api/bus/prepare", json{{"text", imageWith(serve, "Meas. position ID", "5")}}.dump())->body);
  const json second = json::parse(serve.post("/api/bus/prepare", json{{"text", imageWith(serve, "Meas. position ID", "6")}}.dump())->body);
  ASSERT_EQ(serve.post("/api/bus/write", json{{"write_id", second["write_id"]}, {"rom", second["rom"]}}.dump())->status, 200);
  const std::string after = slurp(serve.bus());
  // The first plan's diff no longer says what the chip would go through.
  EXPECT_EQ(serve.post("/api/bus/write", json{{"write_id", first["write_id"]}, {"rom", first["rom"]}}.dump())->status, 409);
  EXPECT_EQ(slurp(serve.bus()), after);
}

TEST(ServeSecurity, ThePageIsServedWithARestrictivePolicy) {
  ServeChild serve;
  const auto page = serve.client().Get("/");
  ASSERT_EQ(page->status, 200);
  EXPECT_NE(page->get_header_value("Content-Security-Policy").find("default-src 'self'"), std::string::npos);
  EXPECT_NE(page->get_header_value("Content-Security-Policy").find("frame-ancestors 'none'"), std::string::npos);
  EXPECT_EQ(page->get_header_value("Referrer-Policy"), "no-referrer");
}

}  // namespace
}  // namespace teds_test
