// command_tail.cpp - program-name skipping and the switch scan (see command_tail.h).
#include "host/command_tail.h"

const char* CommandTail(const char* commandLine, CharStep next) {
  const char* at = commandLine;
  if (*at == '"') {
    // A quoted name may hold blanks; without a closing quote the whole line is
    // the name.
    at = next(at);
    while (*at != '"' && *at != '\0') at = next(at);
    if (*at == '"') ++at;
  } else {
    while (static_cast<unsigned char>(*at) > 0x20) at = next(at);
  }
  while (*at != '\0' && static_cast<unsigned char>(*at) <= 0x20) at = next(at);
  return at;
}

std::uint32_t ParseHandleNumber(const char* text) {
  std::uint32_t number = 0;
  for (const unsigned char* at = reinterpret_cast<const unsigned char*>(text); *at >= '0' && *at <= '9'; ++at) {
    number = number * 10u + static_cast<std::uint32_t>(*at - '0');
  }
  return number;
}

static const char* SkipSpaces(const char* at) {
  while (*at == ' ') ++at;
  return at;
}

SwitchChoice ScanSwitch(const char* tail, bool win9xFamily) {
  SwitchChoice choice = {false, SaverMode::Configure, OwnerRule::None, 0, tail};
  // Compared as signed chars: bytes 0x80..0xFF are never switch letters.
  for (const char* at = tail;; ++at) {
    switch (*at) {
      case '\0':
        choice.valid = true;
        return choice;
      case ' ':
      case '-':
      case '/':
        continue;
      case 's':
      case 'S':
        choice.valid = true;
        choice.mode = SaverMode::Saver;
        return choice;
      case 'p':
      case 'P':
      case 'l':
      case 'L':
        choice.valid = true;
        choice.mode = SaverMode::Preview;
        choice.rest = SkipSpaces(at + 1);
        choice.handle = ParseHandleNumber(choice.rest);
        return choice;
      case 'c':
      case 'C':
        choice.valid = true;
        choice.owner = OwnerRule::HandleOrForeground;
        if (at[1] == ':') choice.handle = ParseHandleNumber(at + 2);
        return choice;
      case 'a':
      case 'A':
        if (!win9xFamily) return choice;
        choice.valid = true;
        choice.mode = SaverMode::ChangePassword;
        choice.owner = OwnerRule::HandleOrForeground;
        choice.rest = SkipSpaces(at + 1);
        choice.handle = ParseHandleNumber(choice.rest);
        return choice;
      default:
        return choice;
    }
  }
}
