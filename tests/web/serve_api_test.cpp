// The JSON API of teds serve through HTTP, as the page uses it.
#include <algorithm>

#include <nlohmann/json.hpp>

#include "serve_child.h"

namespace teds_test {
namespace {

using nlohmann::json;

json field(const json& view, const std::string& label) {
  for (const auto& f : view["fields"])
    if (f["label"] == label) return f;
  return nullptr;
}

json ok(const httplib::Result& result) {
  EXPECT_TRUE(result);
  if (!result) return nullptr;
  EXPECT_EQ(result->status, 200) << result->body;
  return json::parse(result->body, nullptr, false);
}

std::string base64(const std::string& bytes) {
  static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t group = 0;
    const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
    for (std::size_t k = 0; k < 3; ++k) group = group << 8 | (k < n ? static_cast<uint8_t>(bytes[i + k]) : 0);
    for (std::size_t k = 0; k < 4; ++k) out += k <= n ? digits[group >> (18 - 6 * k) & 63] : '=';
  }
  return out;
}

TEST(ServeApi, OpensAnImageWithEveryFieldTypedForTheForm) {
  ServeChild serve;
  const json view = ok(serve.post("/api/open", json{{"input", kImage}}.dump()));
  EXPECT_EQ(view["template"]["name"], "Accelerometer, IEPE voltage output");
  EXPECT_EQ(view["text"], kImage);
  const json direction = field(view, "Sensitivity direction (x,y,z)");
  EXPECT_EQ(direction["type"], "enumeration");
  EXPECT_EQ(direction["choices"], json({"x", "y", "z"}));
  const json fref = field(view, "Fref");
  EXPECT_EQ(fref["type"], "real");
  EXPECT_EQ(fref["units"], "Hz");
  EXPECT_LT(fref["minimum"].get<double>(), fref["maximum"].get<double>());
  EXPECT_EQ(field(view, "Serial no.")["read_only"], true);
  EXPECT_EQ(field(view, "Calibration date")["value"], "2025-03-14");
  // Each field's first bit: after the template selector and ID, which are no field.
  EXPECT_EQ(field(view, "Manufacturer")["offset"], 8);
  EXPECT_EQ(field(view, "Sensitivity @ Fref")["offset"], 82);
  EXPECT_TRUE(view["findings"].is_array());
}

TEST(ServeApi, OpensEveryKindOfFile) {
  ServeChild serve;
  const std::string ted = serve.post("/api/encode", json{{"text", kImage}, {"format", "ted"}}.dump())->body;
  // The header "[v03]" stands in the file one byte per bit, low bit first.
  std::string header(5, '\0');
  for (std::size_t k = 0; k < 40 && k < ted.size(); ++k) header[k / 8] |= static_cast<char>((ted[k] & 1) << (k % 8));
  ASSERT_EQ(header, "[v03]");
  const std::string jsonForm = serve.post("/api/encode", json{{"text", kImage}, {"format", "json"}}.dump())->body;
  const std::string hex = "2D12C066440819001000EC041A89C9426793D5160C0042524B542D37000000000000000000000000";
  for (const json& body : {json{{"data", base64(ted)}}, json{{"input", jsonForm}}, json{{"input", hex}},
                           json{{"data", base64(kImage)}}}) {
    const json view = ok(serve.post("/api/open", body.dump()));
    EXPECT_EQ(view["template"]["id"], 0) << body.dump().substr(0, 40);
  }
  const auto broken = serve.post("/api/open", json{{"input", "not a TEDS"}}.dump());
  EXPECT_EQ(broken->status, 422);
  EXPECT_FALSE(json::parse(broken->body)["error"].get<std::string>().empty());
  EXPECT_EQ(serve.post("/api/open", json{{"data", "@@@"}}.dump())->status, 400);
  EXPECT_EQ(serve.post("/api/open", "[1, 2]")->status, 400);
}

TEST(ServeApi, SetsAFieldAndNamesTheFieldOfARefusal) {
  ServeChild serve;
  const json changed = ok(serve.post("/api/set", json{{"text", kImage}, {"label", "Meas. position ID"}, {"value", "7"}}.dump()));
  EXPECT_EQ(field(changed, "Meas. position ID")["value"], 7);
  EXPECT_NE(changed["text"], kImage);

  const auto refused = serve.post("/api/set", json{{"text", kImage}, {"label", "Fref"}, {"value", "1e9"}}.dump());
  EXPECT_EQ(refused->status, 422);
  const json why = json::parse(refused->body);
  EXPECT_EQ(why["field"], "Fref");
  EXPECT_NE(why["error"].get<std::string>().find("1e9"), std::string::npos);

  const auto unknown = serve.post("/api/set", json{{"text", kImage}, {"label", "No such field"}, {"value", "1"}}.dump());
  EXPECT_EQ(unknown->status, 404);
  EXPECT_EQ(serve.post("/api/set", json{{"text", kImage}, {"label", "Fref"}}.dump())->status, 400);
}

TEST(ServeApi, MakesANewTedsFromAListedTemplate) {
  ServeChild serve;
  const json templates = ok(serve.client().Get("/api/templates", serve.headers()));
  EXPECT_TRUE(std::any_of(templates.begin(), templates.end(),
                          [](const json& t) { return t["kind"] == "standard" && t["id"] == 24; }));
  const json view = ok(serve.post("/api/new", json{{"kind", "standard"}, {"template", 24}}.dump()));
  EXPECT_EQ(view["template"]["id"], 24);
  EXPECT_FALSE(view["fields"].empty());
  const json v10 = ok(serve.post("/api/new", json{{"kind", "standard"}, {"template", 25}}.dump()));
  EXPECT_EQ(v10["template"]["engine"], "tdl");
  EXPECT_EQ(serve.post("/api/new", json{{"kind", "standard"}, {"template", 250}}.dump())->status, 422);
  EXPECT_EQ(serve.post("/api/new", json{{"kind", "weird"}}.dump())->status, 400);
  EXPECT_FALSE(ok(serve.client().Get("/api/manufacturers", serve.headers())).empty());
}

TEST(ServeApi, ScansAndReadsTheBus) {
  ServeChild serve;
  const json scan = ok(serve.post("/api/bus/scan", "{}"));
  ASSERT_EQ(scan["chips"].size(), 1u);
  EXPECT_EQ(scan["chips"][0]["rom"], "2DE1A5E10D0000FE");
  const json read = ok(serve.post("/api/bus/read", json{{"rom", "2DE1A5E10D0000FE"}}.dump()));
  EXPECT_EQ(read["rom"], "2DE1A5E10D0000FE");
  EXPECT_FALSE(read["teds"]["fields"].empty());
  EXPECT_EQ(serve.post("/api/bus/read", json{{"rom", "2DE1A5E10D0000FF"}}.dump())->status, 422);
  EXPECT_EQ(serve.post("/api/bus/scan", json{{"bus", serve.file("missing.bus")}}.dump())->status, 422);
}

TEST(ServeApi, ThePreparedDiffShowsLabelsAndValuesAsTheTemplateHasThem) {
  ServeChild serve;
  const json plan = ok(serve.post("/api/bus/prepare", json{{"text", kImage}}.dump()));
  const std::string diff = plan["diff"];
  EXPECT_NE(diff.find("Phase invertion (0: 0\u00b0, 1: 180\u00b0): "), std::string::npos) << diff;
  EXPECT_EQ(diff.find("\u00c2"), std::string::npos) << diff;
}

TEST(ServeApi, RefusesToPrepareAWriteThatCannotSucceed) {
  ServeChild serve;
  const auto absent = serve.post("/api/bus/prepare", json{{"text", kImage}, {"rom", "2DE1A5E10D0000FF"}}.dump());
  EXPECT_EQ(absent->status, 422);
  EXPECT_NE(json::parse(absent->body)["error"].get<std::string>().find("2DE1A5E10D0000FF"), std::string::npos);
  EXPECT_EQ(serve.post("/api/bus/prepare", json{{"text", "not a TEDS"}}.dump())->status, 422);
}

TEST(ServeApi, SavesAndLoadsRecordFiles) {
  ServeChild serve;
  const auto first = serve.post("/api/records/save", json{{"text", kImage}, {"channel", 2}}.dump());
  ASSERT_EQ(first->status, 200) << first->body;
  const std::string other =
      json::parse(serve.post("/api/set", json{{"text", kImage}, {"label", "Meas. position ID"}, {"value", "9"}}.dump())->body)["text"];
  const auto both = serve.post("/api/records/save", json{{"text", other}, {"existing", base64(first->body)}}.dump());
  ASSERT_EQ(both->status, 200) << both->body;
  const json loaded = ok(serve.post("/api/records/load", json{{"data", base64(both->body)}}.dump()));
  ASSERT_EQ(loaded["records"].size(), 2u);
  EXPECT_EQ(loaded["records"][0]["channel"], 2);
  const json reopened = ok(serve.post("/api/open", json{{"input", loaded["records"][1]["text"]}}.dump()));
  EXPECT_EQ(field(reopened, "Meas. position ID")["value"], 9);
  EXPECT_TRUE(ok(serve.post("/api/records/load", json{{"input", "not a record file\n"}}.dump()))["records"].empty());
}

TEST(ServeApi, ServesThePageFromTheBinary) {
  ServeChild serve;
  auto client = serve.client();
  const auto page = client.Get("/");
  ASSERT_EQ(page->status, 200);
  EXPECT_NE(page->body.find("TEDS editor"), std::string::npos);
  const auto script = client.Get("/js/app.js");
  ASSERT_EQ(script->status, 200);
  EXPECT_EQ(script->get_header_value("Content-Type").rfind("text/javascript", 0), 0u);
  EXPECT_EQ(client.Get("/js/none.js")->status, 404);
}

}  // namespace
}  // namespace teds_test
