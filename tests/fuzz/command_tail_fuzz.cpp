// Feeds arbitrary bytes to the command-line reading: the program-name cut, the
// switch scan and the handle-number parse. The first byte chooses the platform
// family (bit 0: the 95/98/Me family, where /a is known) and the character
// step (bit 1: double-byte code page 932, as CharNextA walks it there; else one
// byte at a time); the rest, up to its first zero byte, is the command line.
// Checks what the entry relies on: every pointer stays inside the line, the
// outcome is one of the four modes or -1, /a only on the old family, and a
// handle is the decimal number at the text it was read from, modulo 2^32.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/command_tail.h"

namespace {

const char* ByteStep(const char* at) { return *at != '\0' ? at + 1 : at; }

// CharNextA under code page 932: a lead byte takes the next one with it,
// unless that one ends the text.
const char* DoubleByteStep(const char* at) {
  const unsigned char c = static_cast<unsigned char>(*at);
  if (c == 0) return at;
  const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
  return lead && at[1] != '\0' ? at + 2 : at + 1;
}

std::uint32_t ReferenceNumber(const char* text) {
  std::uint64_t number = 0;
  for (; *text >= '0' && *text <= '9'; ++text) number = (number * 10 + static_cast<unsigned>(*text - '0')) % 4294967296u;
  return static_cast<std::uint32_t>(number);
}

void Require(bool holds) {
  if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const bool win9x = (data[0] & 1) != 0;
  const CharStep step = (data[0] & 2) != 0 ? DoubleByteStep : ByteStep;
  // An exact-size copy, so that a read past the closing zero is an ASan report.
  std::vector<char> line(data + 1, data + size);
  line.push_back('\0');
  const char* begin = line.data();
  const char* end = begin + std::strlen(begin);

  Require(ParseHandleNumber(begin) == ReferenceNumber(begin));

  const char* tail = CommandTail(begin, step);
  Require(tail >= begin && tail <= end);
  const SwitchChoice choice = ScanSwitch(tail, win9x);
  int outcome = -1;
  if (choice.valid) {
    switch (choice.mode) {
      case SaverMode::Configure: outcome = 0; break;
      case SaverMode::Saver: outcome = 1; break;
      case SaverMode::Preview: outcome = 2; break;
      case SaverMode::ChangePassword: outcome = 3; break;
    }
    Require(outcome >= 0);
  }
  Require(choice.rest >= tail && choice.rest <= end);
  if (outcome == 3) Require(win9x);
  if (outcome == 2 || outcome == 3) Require(choice.handle == ReferenceNumber(choice.rest));
  return 0;
}
