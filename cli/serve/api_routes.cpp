#include "api_routes.h"

#include <httplib.h>

#include <memory>

#include "api_error.h"
#include "base64.h"
#include "bus_access.h"
#include "failure.h"
#include "http_guard.h"
#include "pending_writes.h"
#include "teds_view.h"
#include "tool_run.h"
#include "web_assets.h"

namespace teds::serve {

namespace {

using nlohmann::json;

void reply(httplib::Response& res, const json& body, int status = 200) {
  res.status = status;
  res.set_content(body.dump(), "application/json");
}

json bodyOf(const httplib::Request& req) {
  json body = json::parse(req.body, nullptr, false);
  if (!body.is_object()) throw ApiError(400, "the request body is not a JSON object");
  return body;
}

std::string textMember(const json& body, const char* name, bool required = true) {
  const auto at = body.find(name);
  if (at == body.end() || at->is_null()) {
    if (required) throw ApiError(400, std::string("the request lacks \"") + name + "\"");
    return "";
  }
  if (!at->is_string()) throw ApiError(400, std::string("\"") + name + "\" is not text");
  return at->get<std::string>();
}

int numberMember(const json& body, const char* name, int otherwise) {
  const auto at = body.find(name);
  if (at == body.end() || at->is_null()) return otherwise;
  if (!at->is_number_integer()) throw ApiError(400, std::string("\"") + name + "\" is not an integer");
  return at->get<int>();
}

bool v10Of(const json& body) { return body.value("v10", false); }

// A member that counts only when it is the boolean given: a missing, null or other value
// is not taken as a yes to writing a possibly corrupt image.
bool isBoolean(const json& body, const char* name, bool value) {
  const auto at = body.find(name);
  return at != body.end() && at->is_boolean() && at->get<bool>() == value;
}

// The page sends the checksum_ok of its view back, so that an image opened with a bad
// checksum stays marked through its edits (each of which encodes it with a fresh one).
bool checksumWasBad(const json& body, const TedsHandle& teds) {
  int32_t ok = 1;
  tedskit_teds_checksum_ok(teds.get(), &ok);
  return ok == 0 || isBoolean(body, "checksum_ok", false);
}

// File contents arrive as base64 ("data") or as text ("input").
std::string inputOf(const json& body) {
  if (body.contains("data")) {
    const auto bytes = fromBase64(textMember(body, "data"));
    if (!bytes) throw ApiError(400, "\"data\" is not base64");
    return *bytes;
  }
  return textMember(body, "input");
}

// Every handler answers an ApiError with its status and a failure of the tool as 422.
template <typename Handler>
httplib::Server::Handler guarded(Handler handler) {
  return [handler](const httplib::Request& req, httplib::Response& res) {
    try {
      handler(req, res);
    } catch (const ApiError& e) {
      reply(res, {{"error", e.what()}, {"field", e.field()}}, e.status());
    } catch (const json::exception& e) {
      reply(res, {{"error", std::string("bad JSON: ") + e.what()}, {"field", ""}}, 400);
    } catch (const std::exception& e) {
      reply(res, {{"error", e.what()}, {"field", ""}}, 422);
    }
  };
}

std::string memoryHexOf(const TedsHandle& teds) {
  char* hex = nullptr;
  if (tedskit_teds_memory_hex(teds.get(), &hex) != TEDSKIT_OK) return "";
  std::string out = hex;
  tedskit_string_free(hex);
  return out;
}

void addDocumentRoutes(httplib::Server& server, const Templates& templates) {
  server.Post("/api/open", guarded([templates](const httplib::Request& req, httplib::Response& res) {
                const json body = bodyOf(req);
                reply(res, viewOf(openTeds(templates, inputOf(body), v10Of(body))));
              }));
  server.Post("/api/new", guarded([templates](const httplib::Request& req, httplib::Response& res) {
                const json body = bodyOf(req);
                reply(res, viewOf(newTeds(templates, body.value("kind", "standard"), numberMember(body, "template", 0),
                                          numberMember(body, "manufacturer", 0), v10Of(body))));
              }));
  server.Post("/api/set", guarded([templates](const httplib::Request& req, httplib::Response& res) {
                const json body = bodyOf(req);
                TedsHandle teds = openTeds(templates, textMember(body, "text"), v10Of(body));
                const bool checksumBad = checksumWasBad(body, teds);
                const std::string note = setField(teds, textMember(body, "label"), textMember(body, "value"));
                json view = viewOf(teds);
                view["note"] = note;
                if (checksumBad) view["checksum_ok"] = false;
                reply(res, view);
              }));
  server.Post("/api/encode", guarded([templates](const httplib::Request& req, httplib::Response& res) {
                const json body = bodyOf(req);
                const TedsHandle teds = openTeds(templates, textMember(body, "text"), v10Of(body));
                const std::string format = body.value("format", "hex");
                const std::string content = encodeTeds(teds, format);
                const char* mime = format == "json"  ? "application/json"
                                   : format == "ted" ? "application/octet-stream"
                                                     : "text/plain";
                res.set_header("Content-Disposition",
                               std::string("attachment; filename=\"teds.") + (format == "hex" ? "txt" : format) + "\"");
                res.set_content(content, mime);
              }));
}

void addBusRoutes(httplib::Server& server, const ServeSettings& settings, const Templates& templates,
                  const std::shared_ptr<PendingWrites>& pending) {
  const std::string defaultBus = settings.bus;
  auto busOf = [defaultBus](const json& body) {
    const std::string bus = textMember(body, "bus", false);
    return bus.empty() ? defaultBus : bus;
  };
  server.Post("/api/bus/scan", guarded([busOf](const httplib::Request& req, httplib::Response& res) {
                reply(res, scanChips(busOf(bodyOf(req))));
              }));
  server.Post("/api/bus/read", guarded([busOf, templates](const httplib::Request& req, httplib::Response& res) {
                const json body = bodyOf(req);
                const ChipOnBus chip = readChipOf(busOf(body), textMember(body, "rom", false));
                if (chip.text.empty()) throw ApiError(422, "the " + chip.described + " is blank: it holds no TEDS");
                reply(res, {{"rom", chip.rom},
                            {"described", chip.described},
                            {"teds", viewOf(openTeds(templates, chip.text, v10Of(body)))}});
              }));
  server.Post("/api/bus/prepare",
              guarded([busOf, templates, pending](const httplib::Request& req, httplib::Response& res) {
                const json body = bodyOf(req);
                const std::string bus = busOf(body);
                // The image as libtedskit encodes it, so that what is written is what the page shows.
                const TedsHandle teds = openTeds(templates, textMember(body, "text"), v10Of(body));
                const bool renews = checksumWasBad(body, teds);
                const std::string text = encodeTeds(teds, "hex");
                WritePlan plan = planWriteTo(templates.dir, bus, textMember(body, "rom", false), text);
                json answer = {{"rom", plan.chip.rom}, {"described", plan.chip.described},
                               {"what", plan.what},    {"diff", plan.diff},
                               {"renews_checksum", renews}};
                if (renews) {
                  answer["warning"] =
                      "the image came with a checksum that does not match its bytes, so it may be corrupt; it is "
                      "written with a new checksum only when the write is confirmed with \"force\": true";
                }
                answer["write_id"] = pending->add({bus, text, std::move(plan), renews});
                reply(res, answer);
              }));
  server.Post("/api/bus/write", guarded([templates, pending](const httplib::Request& req, httplib::Response& res) {
                const json body = bodyOf(req);
                const PendingWrite write =
                    pending->take(textMember(body, "write_id"), textMember(body, "rom"), isBoolean(body, "force", true));
                const ChipOnBus after = writePlanned(write.bus, write.plan, write.text);
                json answer = {{"written", true}, {"rom", after.rom}, {"described", after.described}};
                bool verified = false;
                if (!after.text.empty()) {
                  const TedsHandle read = openTeds(templates, after.text, false);
                  verified = memoryHexOf(read) == memoryHexOf(openTeds(templates, write.text, false));
                  answer["teds"] = viewOf(read);
                }
                answer["verified"] = verified;
                reply(res, answer);
              }));
}

void addListRoutes(httplib::Server& server, const ServeSettings& settings,
                   const std::shared_ptr<const ToolRunner>& tool) {
  const json info = {{"bus", settings.bus}, {"templates", settings.templatesDir.string()}};
  server.Get("/api/info", guarded([info](const httplib::Request&, httplib::Response& res) { reply(res, info); }));
  server.Get("/api/templates", guarded([tool](const httplib::Request&, httplib::Response& res) {
               reply(res, tool->templates());
             }));
  server.Get("/api/manufacturers", guarded([tool](const httplib::Request&, httplib::Response& res) {
               reply(res, tool->manufacturers());
             }));
  server.Post("/api/records/load", guarded([tool](const httplib::Request& req, httplib::Response& res) {
                reply(res, tool->loadRecords(inputOf(bodyOf(req))));
              }));
  server.Post("/api/records/save", guarded([tool](const httplib::Request& req, httplib::Response& res) {
                const json body = bodyOf(req);
                std::string existing;
                if (body.contains("existing")) {
                  const auto bytes = fromBase64(textMember(body, "existing"));
                  if (!bytes) throw ApiError(400, "\"existing\" is not base64");
                  existing = *bytes;
                }
                res.set_header("Content-Disposition", "attachment; filename=\"records.txt\"");
                res.set_content(tool->saveRecord(existing, textMember(body, "text"), numberMember(body, "channel", -1),
                                                 numberMember(body, "unit", -1)),
                                "text/plain");
              }));
}

void addPage(httplib::Server& server) {
  for (const WebAsset& asset : webAssets()) {
    auto handler = [asset](const httplib::Request&, httplib::Response& res) {
      res.set_content(asset.content.data(), asset.content.size(), std::string(asset.mime).c_str());
    };
    server.Get(std::string(asset.path), handler);
    if (asset.path == "/index.html") server.Get("/", handler);
  }
}

}  // namespace

void installRoutes(httplib::Server& server, const HttpGuard& guard, const ServeSettings& settings) {
  server.set_payload_max_length(kMaxRequestBody);
  server.set_pre_routing_handler([&guard](const httplib::Request& req, httplib::Response& res) {
    std::string token = req.get_header_value("X-Tedskit-Token");
    if (token.empty()) token = req.get_param_value("token");
    if (const auto refusal =
            guard.check(req.path, req.get_header_value("Host"), req.get_header_value("Origin"), token)) {
      reply(res, {{"error", refusal->message}, {"field", ""}}, refusal->status);
      return httplib::Server::HandlerResponse::Handled;
    }
    return httplib::Server::HandlerResponse::Unhandled;
  });
  // The page loads only its own files, is never framed, and keeps the token in the URL to itself.
  server.set_post_routing_handler([](const httplib::Request&, httplib::Response& res) {
    res.set_header("Content-Security-Policy",
                   "default-src 'self'; img-src 'self' data:; frame-ancestors 'none'; form-action 'none'");
    res.set_header("X-Content-Type-Options", "nosniff");
    res.set_header("Referrer-Policy", "no-referrer");
    res.set_header("Cache-Control", "no-store");
  });
  const Templates templates{settings.templatesDir};
  addDocumentRoutes(server, templates);
  addBusRoutes(server, settings, templates, std::make_shared<PendingWrites>());
  addListRoutes(server, settings, std::make_shared<const ToolRunner>(settings.toolOptions));
  addPage(server);
}

}  // namespace teds::serve
