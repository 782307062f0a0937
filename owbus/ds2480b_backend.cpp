#include "ds2480b_backend.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "backends.h"
#include "base/hex.h"
#include "ds2480b_protocol.h"
#include "runtime.h"
#include "traffic.h"

namespace owbus {

namespace {

using namespace ds2480b;

constexpr Speed kSpeed = Speed::Flexible;
constexpr uint8_t kResetCommand = command(kReset, kSpeed);
constexpr uint8_t kBitWrite1 = command(kSingleBit, kSpeed, true);
constexpr uint8_t kAcceleratorOn = command(kAccelerator, kSpeed, true);
constexpr uint8_t kAcceleratorOff = command(kAccelerator, kSpeed, false);
constexpr uint8_t kSearchRom = 0xF0;
// Blocks go out in pieces, so that neither side's buffers ever fill.
constexpr size_t kChunk = 128;
// How long the line must stay silent before stale answers count as read off.
constexpr int kQuietMs = 20;

std::string hex(std::span<const uint8_t> bytes) {
  std::string out;
  tedskit::base::appendHex(out, bytes, ' ');
  return out.empty() ? "nothing" : out.substr(1);
}

std::string hexByte(uint8_t b) { return tedskit::base::toHex(std::span(&b, 1)) + "h"; }

bool number(std::string_view text, int& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc{} && end == text.data() + text.size();
}

}  // namespace

bool parseDs2480bOptions(const std::string& where, Ds2480bOptions& options, std::string& error) {
  size_t start = where.find(',');
  options.device = where.substr(0, start);
  if (options.device.empty()) {
    error = "ds2480b: needs a serial device, for example ds2480b:/dev/ttyUSB0";
    return false;
  }
  while (start != std::string::npos) {
    const size_t next = where.find(',', start + 1);
    const std::string item = where.substr(start + 1, next == std::string::npos ? next : next - start - 1);
    start = next;
    const size_t eq = item.find('=');
    const std::string key = item.substr(0, eq);
    int value = 0;
    if (eq == std::string::npos || !number(std::string_view(item).substr(eq + 1), value)) {
      error = "ds2480b: '" + item + "' is not an option (baud=N or timeout=MS)";
      return false;
    }
    if (key == "baud") {
      if (!baudCode(value)) {
        error = "ds2480b: baud takes 9600, 19200, 57600 or 115200, not " + std::to_string(value);
        return false;
      }
      options.baud = value;
    } else if (key == "timeout") {
      if (value < 1 || value > 60'000) {
        error = "ds2480b: timeout takes 1 to 60000 milliseconds";
        return false;
      }
      options.answerTimeoutMs = value;
    } else {
      error = "ds2480b: unknown option '" + key + "' (baud=N or timeout=MS)";
      return false;
    }
  }
  return true;
}

Ds2480bBackend::Ds2480bBackend(std::unique_ptr<SerialLink> link, Ds2480bOptions options)
    : link_(std::move(link)), options_(std::move(options)) {}

uint64_t Ds2480bBackend::serialUs(size_t bytes) const {
  return static_cast<uint64_t>(bytes) * 10 * 1'000'000 / static_cast<uint64_t>(baud_);
}

size_t Ds2480bBackend::readOff(int quietMs) {
  constexpr size_t kMostStale = 4096;
  std::array<uint8_t, 256> sink{};
  size_t total = 0;
  while (total < kMostStale) {
    const size_t n = link_->read(sink, quietMs);
    if (n == 0) break;
    total += n;
  }
  return total;
}

bool Ds2480bBackend::configure(std::string& error) {
  // A late answer to something before can shift the answers once; a second try, after
  // a longer quiet, tells that from a device that is not a DS2480B.
  for (int attempt = 0; attempt < 2; ++attempt) {
    bool answered = false;
    if (configureOnce(attempt == 0 ? kQuietMs : 5 * kQuietMs, answered, error)) return true;
    if (!answered) return false;
  }
  return false;
}

bool Ds2480bBackend::configureOnce(int quietMs, bool& answered, std::string& error) {
  const std::string& port = link_->name();
  link_->setBaud(9600);
  baud_ = 9600;
  mode_ = Mode::Command;
  // BREAK and the timing reset; the first reset byte after power-up has no answer.
  link_->sendBreak();
  link_->pause(2);
  link_->write(std::array<uint8_t, 1>{kReset});
  link_->pause(5);
  readOff(quietMs);
  // A pseudo-terminal carries no BREAK, so an adapter may still be in data mode: one
  // command-mode byte ends it, unless it completed a doubled E3h (then it answered).
  link_->write(std::array<uint8_t, 1>{kCommandMode});
  if (readOff(quietMs) > 0) {
    link_->write(std::array<uint8_t, 1>{kCommandMode});
    readOff(quietMs);
  }
  // Flexible speed: slew rate, write-1 low time and sample offset, and 9600 baud; then
  // each read back, and one slot.
  const std::array<uint8_t, 10> out{kAcceleratorOff,
                                    writeParameter(Parameter::SlewRate, kSlewCode),
                                    writeParameter(Parameter::Write1LowTime, kWrite1LowCode),
                                    writeParameter(Parameter::SampleOffset, kSampleOffsetCode),
                                    writeParameter(Parameter::BaudRate, 0),
                                    readParameter(Parameter::SlewRate),
                                    readParameter(Parameter::Write1LowTime),
                                    readParameter(Parameter::SampleOffset),
                                    readParameter(Parameter::BaudRate),
                                    kBitWrite1};
  const std::array<uint8_t, 8> expected{
      writeAnswer(out[1]),   writeAnswer(out[2]),        writeAnswer(out[3]),           writeAnswer(out[4]),
      readAnswer(kSlewCode), readAnswer(kWrite1LowCode), readAnswer(kSampleOffsetCode), readAnswer(0)};
  link_->write(out);
  std::array<uint8_t, 9> in{};
  const size_t n = link_->read(in, options_.answerTimeoutMs + static_cast<int>(serialUs(20) / 1000));
  const std::span<const uint8_t> got(in.data(), n);
  answered = n > 0;
  if (n == 0) {
    error = "no DS2480B adapter answers on " + port + " (nothing came back at 9600 baud)";
    return false;
  }
  if (n < in.size() || !std::equal(expected.begin(), expected.end(), in.begin()) ||
      (in[8] & 0xFC) != (kBitWrite1 & 0xFC)) {
    error = "the device on " + port + " answers, but not as a DS2480B (sent " +
            hex(std::span(out).subspan(1)) + ", got " + hex(got) + ")";
    return false;
  }
  link_->write(std::array<uint8_t, 1>{kResetCommand});
  std::array<uint8_t, 1> answer{};
  const auto decoded =
      link_->read(answer, options_.answerTimeoutMs) == 1 ? decodeResetAnswer(answer[0]) : std::nullopt;
  if (!decoded) {
    error = "the DS2480B on " + port + " does not answer a reset";
    return false;
  }
  revision_ = decoded->revision;
  return true;
}

void Ds2480bBackend::switchBaud() {
  if (options_.baud == 9600) return;
  const uint8_t code = *baudCode(options_.baud);
  // The adapter answers the change at the new rate, which the host may miss; the
  // read-back decides.
  link_->write(std::array<uint8_t, 1>{writeParameter(Parameter::BaudRate, code)});
  link_->drain();
  link_->setBaud(options_.baud);
  baud_ = options_.baud;
  link_->pause(5);
  readOff(kQuietMs);
  link_->write(std::array<uint8_t, 1>{readParameter(Parameter::BaudRate)});
  std::array<uint8_t, 1> in{};
  if (link_->read(in, options_.answerTimeoutMs) == 1 && in[0] == readAnswer(code)) return;
  traceAdapter("DS2480B on " + link_->name() + " did not take " + std::to_string(options_.baud) +
               " baud; staying at 9600");
  std::string error;
  if (!configure(error)) throw AdapterError(error);
}

bool Ds2480bBackend::start(std::string& error) {
  try {
    if (!configure(error)) return false;
    switchBaud();
  } catch (const AdapterError& e) {
    error = e.what();
    return false;
  }
  inStep_ = true;
  traceAdapter("DS2480B revision " + std::to_string(revision_) + " on " + link_->name() + " at " +
               std::to_string(baud_) + " baud");
  return true;
}

bool Ds2480bBackend::resync(std::string& error) {
  inStep_ = false;
  readOff(kQuietMs);
  try {
    if (!configure(error)) return false;
    switchBaud();
  } catch (const AdapterError& e) {
    error = e.what();
    return false;
  }
  inStep_ = true;
  return true;
}

void Ds2480bBackend::failAndResync(const std::string& what) {
  std::string error;
  const bool back = resync(error);
  const std::string message =
      "the DS2480B on " + link_->name() + " " + what +
      (back ? "; it was brought back into step" : "; it could not be brought back: " + error);
  traceAdapter(message);
  throw AdapterError(message);
}

void Ds2480bBackend::toCommandMode(std::vector<uint8_t>& out) {
  if (mode_ == Mode::Data) out.push_back(kCommandMode);
  mode_ = Mode::Command;
}

void Ds2480bBackend::toDataMode(std::vector<uint8_t>& out) {
  if (mode_ == Mode::Command) out.push_back(kDataMode);
  mode_ = Mode::Data;
}

std::vector<uint8_t> Ds2480bBackend::exchange(const std::vector<uint8_t>& out, size_t expected,
                                              uint64_t wireUs, const char* what) {
  if (!inStep_) {
    std::string error;
    if (!resync(error)) throw AdapterError("the DS2480B on " + link_->name() + " does not answer: " + error);
  }
  link_->write(out);
  // The adapter starts on the bus with the first byte and answers the last slot at once.
  const uint64_t modelUs = serialUs(1) + std::max(wireUs, serialUs(out.size() - 1)) + serialUs(1);
  clock().nowUs += modelUs;
  std::vector<uint8_t> in(expected);
  const int timeoutMs = options_.answerTimeoutMs + static_cast<int>(2 * modelUs / 1000);
  const size_t n = link_->read(in, timeoutMs);
  if (n < expected) {
    failAndResync(std::string("lost answers to a ") + what + ": " + std::to_string(n) + " of " +
                  std::to_string(expected) + " bytes came back within " + std::to_string(timeoutMs) + " ms");
  }
  return in;
}

ResetResult Ds2480bBackend::reset() {
  std::vector<uint8_t> out;
  toCommandMode(out);
  out.push_back(kResetCommand);
  const auto in = exchange(out, 1, kResetUs, "reset");
  const auto answer = decodeResetAnswer(in[0]);
  if (!answer) failAndResync("answered a reset with " + hexByte(in[0]));
  revision_ = answer->revision;
  return answer->result;
}

uint8_t Ds2480bBackend::touchByte(uint8_t byte) {
  std::array<uint8_t, 1> one{byte};
  block(one);
  return one[0];
}

void Ds2480bBackend::block(std::span<uint8_t> bytes) {
  for (size_t at = 0; at < bytes.size(); at += kChunk) {
    const std::span<uint8_t> chunk = bytes.subspan(at, std::min(kChunk, bytes.size() - at));
    std::vector<uint8_t> out;
    toDataMode(out);
    appendData(out, chunk);
    const auto in = exchange(out, chunk.size(), chunk.size() * kByteUs, "block of bytes");
    std::copy(in.begin(), in.end(), chunk.begin());
  }
}

SearchPass Ds2480bBackend::search(const Rom& preferred) {
  // Reset, Search ROM in data mode, then 16 accelerated bytes between accelerator on and off.
  const auto request = packSearch(preferred);
  std::vector<uint8_t> out;
  out.reserve(8 + request.size());
  toCommandMode(out);
  for (uint8_t b : {kResetCommand, kDataMode, kSearchRom, kCommandMode, kAcceleratorOn, kDataMode})
    out.push_back(b);
  for (uint8_t b : request) out.push_back(b);
  for (uint8_t b : {kCommandMode, kAcceleratorOff}) out.push_back(b);
  const auto in = exchange(out, 2 + request.size(), kResetUs + kByteUs + 64 * 3 * kSlotUs, "search");
  const auto answer = decodeResetAnswer(in[0]);
  if (!answer) failAndResync("answered the reset of a search with " + hexByte(in[0]));
  revision_ = answer->revision;
  if (!answered(answer->result)) return SearchPass{};
  SearchPass pass = unpackSearch(std::span<const uint8_t, 16>(in.data() + 2, 16));
  pass.found = true;
  return pass;
}

AdapterInfo Ds2480bBackend::info() const { return AdapterInfo{"DS2480B", link_->name(), revision_, baud_}; }

std::unique_ptr<Backend> openDs2480bBackend(const std::string& where, std::string& error) {
  Ds2480bOptions options;
  if (!parseDs2480bOptions(where, options, error)) return nullptr;
  auto link = openTty(options.device, error);
  if (!link) return nullptr;
  auto backend = std::make_unique<Ds2480bBackend>(std::move(link), options);
  if (!backend->start(error)) return nullptr;
  return backend;
}

}  // namespace owbus
