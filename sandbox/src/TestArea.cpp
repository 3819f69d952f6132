// Test area for the platform's URL session and the kit's network core (any host):
//   * /test/echo[/...]                 [test.echo]         the request as JSON
//   * /test/status/<code>?body=&type=&header=Name:%20Value   [test.status]
//   * /test/redirect/<code>?n=&to=&host=&abs=1               [test.redirect]  chains of n hops
//   * /test/cookies/set?name=value...&attrs=                 [test.cookies.set]
//   * /test/cookies                    [test.cookies]      the cookies received
//   * POST|PUT /test/upload[/...]      [test.upload]       size and SHA-256, streamed, never kept
//   * /test/download/<n>?mode=length|chunked|close&chunk=&pause=&type=   [test.download]
//   * /test/delay/<ms>                 [test.delay]        waits, then echoes
// Every test route also takes `delay=<ms>` (wait before answering).
#include "Impl.hpp"

#include <openssl/ssl.h>

namespace sandbox {

std::string testPattern(std::size_t offset, std::size_t length) {
  std::string out(length, '\0');
  for (std::size_t k = 0; k < length; ++k) {
    const std::size_t i = offset + k;
    out[k] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  }
  return out;
}

namespace detail {
namespace {

json pairsJson(const Pairs& pairs) {
  json arr = json::array();
  for (const auto& [k, v] : pairs) arr.push_back(json::array({k, v}));
  return arr;
}

Pairs headerPairs(const httplib::Request& req) {
  Pairs out;
  for (const auto& [k, v] : req.headers) {
    if (k != "REMOTE_ADDR" && k != "REMOTE_PORT" && k != "LOCAL_ADDR" && k != "LOCAL_PORT")
      out.emplace_back(k, v);
  }
  return out;
}

// Waits `delay=<ms>` when asked; false when the sandbox stops meanwhile (answer given).
bool preDelay(Sandbox::Impl& sb, Ctx& c) {
  const auto ms = parseInteger(first(c.query, "delay").value_or(""));
  if (ms && *ms > 0 && !sb.sleepFor(std::chrono::milliseconds(*ms))) {
    text(c, 503, "sandbox stopping");
    return false;
  }
  return true;
}

json describe(const Ctx& c) {
  json j;
  j["endpoint"] = c.endpoint;
  j["method"] = c.req.method;
  j["target"] = c.req.target;
  j["path"] = c.req.path;
  j["rawPath"] = c.rawPath;
  j["query"] = c.rawQuery;
  j["queryItems"] = pairsJson(c.query);
  j["host"] = c.hostHeader;
  j["headers"] = pairsJson(headerPairs(c.req));
  const char* sni =
      c.req.ssl != nullptr ? SSL_get_servername(c.req.ssl, TLSEXT_NAMETYPE_host_name) : nullptr;
  j["sni"] = sni != nullptr ? std::string(sni) : std::string();
  return j;
}

void echo(Sandbox::Impl& sb, Ctx& c) {
  if (!preDelay(sb, c)) return;
  json j = describe(c);
  j["bodySize"] = c.req.body.size();
  j["bodySha256"] = sha256Hex(c.req.body);
  j["body"] = c.req.body.size() <= 65536 && isUtf8(c.req.body) ? json(c.req.body) : json(nullptr);
  json fields = json::array();
  for (const auto& [name, f] : c.req.files) {
    fields.push_back({{"name", f.name},
                      {"filename", f.filename},
                      {"contentType", f.content_type},
                      {"size", f.content.size()},
                      {"sha256", sha256Hex(f.content)}});
  }
  j["fields"] = fields;
  jsonAnswer(c, 200, j);
}

void status(Sandbox::Impl& sb, Ctx& c) {
  if (!preDelay(sb, c)) return;
  const int code = static_cast<int>(parseInteger(c.params.at(0)).value_or(500));
  const std::string type = first(c.query, "type").value_or("text/plain; charset=utf-8");
  const std::string body = first(c.query, "body").value_or("");
  c.res.status = code;
  if (!body.empty() || has(c.query, "body")) c.res.set_content(body, type);
  for (const auto& [k, v] : c.query) {
    if (k != "header") continue;
    const std::size_t colon = v.find(':');
    if (colon == std::string::npos) continue;
    std::string value = v.substr(colon + 1);
    while (!value.empty() && value.front() == ' ') value.erase(0, 1);
    c.res.set_header(v.substr(0, colon), value);
  }
}

void redirect(Sandbox::Impl& sb, Ctx& c) {
  if (!preDelay(sb, c)) return;
  const int code = static_cast<int>(parseInteger(c.params.at(0)).value_or(302));
  const long long hops = parseInteger(first(c.query, "n").value_or("1")).value_or(1);
  const std::string to = first(c.query, "to").value_or("/test/echo");
  const auto host = first(c.query, "host");
  const bool absolute = first(c.query, "abs") == std::optional<std::string>("1");
  const std::string base =
      host ? "https://" + *host : (absolute ? "https://" + c.hostHeader : std::string());
  std::string location;
  if (hops > 1) {
    location = base + "/test/redirect/" + std::to_string(code) + "?n=" + std::to_string(hops - 1) +
               "&to=" + percentEncode(to) +
               (host ? "&host=" + percentEncode(*host) : std::string()) +
               (absolute ? "&abs=1" : "");
  } else {
    location = startsWith(to, "/") ? base + to : to;
  }
  c.res.status = code;
  c.res.set_header("Location", location);
  c.res.set_content("redirect to " + location, "text/plain; charset=utf-8");
}

void cookiesSet(Sandbox::Impl& sb, Ctx& c) {
  if (!preDelay(sb, c)) return;
  const std::string attrs = first(c.query, "attrs").value_or("; Path=/; Secure");
  json set = json::array();
  for (const auto& [k, v] : c.query) {
    if (k == "attrs" || k == "delay") continue;
    const std::string cookie = k + "=" + v + attrs;
    c.res.set_header("Set-Cookie", cookie);
    set.push_back(cookie);
  }
  jsonAnswer(c, 200, {{"set", set}});
}

void cookies(Sandbox::Impl& sb, Ctx& c) {
  if (!preDelay(sb, c)) return;
  json map = json::object();
  std::string all;
  for (std::size_t i = 0; i < c.req.get_header_value_count("Cookie"); ++i) {
    const std::string header = c.req.get_header_value("Cookie", i);
    all += (all.empty() ? "" : "; ") + header;
    std::size_t pos = 0;
    while (pos < header.size()) {
      std::size_t end = header.find(';', pos);
      if (end == std::string::npos) end = header.size();
      std::string item = header.substr(pos, end - pos);
      while (!item.empty() && item.front() == ' ') item.erase(0, 1);
      const std::size_t eq = item.find('=');
      if (!item.empty())
        map[item.substr(0, eq)] = eq == std::string::npos ? "" : item.substr(eq + 1);
      pos = end + 1;
    }
  }
  jsonAnswer(c, 200, {{"cookie", all}, {"cookies", map}});
}

void upload(Sandbox::Impl& sb, Ctx& c) {
  if (!preDelay(sb, c)) return;
  json j = describe(c);
  const std::string cl = c.req.get_header_value("Content-Length");
  j["contentType"] = c.req.get_header_value("Content-Type");
  j["contentLength"] = cl.empty() ? json(nullptr) : json(parseInteger(cl).value_or(-1));
  json fields = json::array();
  if (c.reader != nullptr) {
    const httplib::ContentReader& reader = *c.reader;
    c.reader = nullptr;  // read once
    if (c.req.is_multipart_form_data()) {
      struct Field {
        httplib::MultipartFormData head;
        std::unique_ptr<Sha256Stream> hash = std::make_unique<Sha256Stream>();
      };
      std::vector<Field> parts;
      reader(
          [&](const httplib::MultipartFormData& head) {
            parts.push_back(Field{head});
            return true;
          },
          [&](const char* data, std::size_t n) {
            if (!parts.empty()) parts.back().hash->update(data, n);
            return true;
          });
      std::size_t total = 0;
      for (auto& p : parts) {
        total += p.hash->size();
        fields.push_back({{"name", p.head.name},
                          {"filename", p.head.filename},
                          {"contentType", p.head.content_type},
                          {"size", p.hash->size()},
                          {"sha256", p.hash->hexDigest()}});
      }
      j["size"] = total;
      j["sha256"] = nullptr;
    } else {
      Sha256Stream hash;
      reader([&](const char* data, std::size_t n) {
        hash.update(data, n);
        return true;
      });
      j["size"] = hash.size();
      j["sha256"] = hash.hexDigest();
    }
  } else {
    for (const auto& [name, f] : c.req.files) {
      fields.push_back({{"name", f.name},
                        {"filename", f.filename},
                        {"contentType", f.content_type},
                        {"size", f.content.size()},
                        {"sha256", sha256Hex(f.content)}});
    }
    j["size"] = c.req.body.size();
    j["sha256"] = sha256Hex(c.req.body);
  }
  j["fields"] = fields;
  jsonAnswer(c, 200, j);
}

void download(Sandbox::Impl& sb, Ctx& c) {
  if (!preDelay(sb, c)) return;
  const auto size = parseInteger(c.params.at(0));
  if (!size || *size < 0) return text(c, 400, "bad size");
  const std::size_t total = static_cast<std::size_t>(*size);
  const std::string mode = first(c.query, "mode").value_or("length");
  const std::string type = first(c.query, "type").value_or("application/octet-stream");
  const std::size_t chunk = static_cast<std::size_t>(
      std::max<long long>(1, parseInteger(first(c.query, "chunk").value_or("")).value_or(16384)));
  const auto pause =
      std::chrono::milliseconds(parseInteger(first(c.query, "pause").value_or("")).value_or(0));
  Sandbox::Impl* self = &sb;
  auto piece = [self, total, chunk, pause](std::size_t offset, httplib::DataSink& sink) {
    if (offset > 0 && pause.count() > 0 && !self->sleepFor(pause)) return false;
    const std::size_t n = std::min(chunk, total - offset);
    const std::string bytes = testPattern(offset, n);
    return sink.write(bytes.data(), bytes.size());
  };
  c.res.status = 200;
  if (mode == "chunked") {
    c.res.set_chunked_content_provider(type,
                                       [piece, total](std::size_t offset, httplib::DataSink& sink) {
                                         if (offset >= total) {
                                           sink.done();
                                           return true;
                                         }
                                         return piece(offset, sink);
                                       });
  } else if (mode == "close") {
    c.res.set_header("Connection", "close");
    c.res.set_content_provider(type, [piece, total](std::size_t offset, httplib::DataSink& sink) {
      if (offset >= total) {
        sink.done();
        return true;
      }
      return piece(offset, sink);
    });
  } else if (total == 0) {
    c.res.set_content(std::string(), type);
  } else {
    c.res.set_content_provider(total, type,
                               [piece](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                 return piece(offset, sink);
                               });
  }
}

void delay(Sandbox::Impl& sb, Ctx& c) {
  const auto ms = parseInteger(c.params.at(0)).value_or(0);
  if (ms > 0 && !sb.sleepFor(std::chrono::milliseconds(ms)))
    return text(c, 503, "sandbox stopping");
  echo(sb, c);
}

}  // namespace

void addTestRoutes(Routes& r) {
  r.push_back({"*", std::regex(R"(/test/echo(/.*)?)"), "test.echo", echo, {}});
  r.push_back({"*", std::regex(R"(/test/status/(\d{3}))"), "test.status", status, {}});
  r.push_back({"*", std::regex(R"(/test/redirect/(\d{3}))"), "test.redirect", redirect, {}});
  r.push_back({"*", std::regex(R"(/test/cookies/set)"), "test.cookies.set", cookiesSet, {}});
  r.push_back({"*", std::regex(R"(/test/cookies)"), "test.cookies", cookies, {}});
  r.push_back({"*", std::regex(R"(/test/upload(/.*)?)"), "test.upload", upload, {}});
  r.push_back({"GET", std::regex(R"(/test/download/(\d+))"), "test.download", download, {}});
  r.push_back({"*", std::regex(R"(/test/delay/(\d+))"), "test.delay", delay, {}});
}

}  // namespace detail
}  // namespace sandbox
