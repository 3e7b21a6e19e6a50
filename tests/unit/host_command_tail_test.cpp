// The command line as the system hands it over: program-name skipping, the
// switch scan and the handle number.
#include <gtest/gtest.h>

#include <string>

#include "host/command_tail.h"

namespace {

const char* ByteStep(const char* at) { return at + 1; }

// A stand-in for CharNextA under a double-byte code page: 0x81..0x9F lead a
// two-byte character (the second byte may be a quote or a blank).
const char* DoubleByteStep(const char* at) {
  const unsigned char lead = static_cast<unsigned char>(*at);
  if (lead >= 0x81 && lead <= 0x9F && at[1] != '\0') return at + 2;
  return *at ? at + 1 : at;
}

std::string Tail(const char* line, CharStep step = ByteStep) { return CommandTail(line, step); }

TEST(HostCommandTail, ProgramNameIsCutOff) {
  EXPECT_EQ(Tail("Gyrewell.scr"), "");
  EXPECT_EQ(Tail(""), "");
  EXPECT_EQ(Tail("Gyrewell.scr /s"), "/s");
  EXPECT_EQ(Tail("Gyrewell.scr \t  /p 12 "), "/p 12 ");
  EXPECT_EQ(Tail("\"C:\\Program Files\\Gyrewell.scr\" /s"), "/s");
  EXPECT_EQ(Tail("\"C:\\a b\\x.scr\"/s"), "/s");
  // An unterminated quote makes the whole line the name.
  EXPECT_EQ(Tail("\"C:\\a b\\x.scr /s"), "");
  // A switch glued to an unquoted name belongs to the name.
  EXPECT_EQ(Tail("Gyrewell.scr/s"), "");
  // Bytes above 0x7F belong to an unquoted name.
  EXPECT_EQ(Tail("Gy\xE9rewell.scr /c"), "/c");
}

TEST(HostCommandTail, QuotedNameIsWalkedByCharacters) {
  // The trail byte 0x22 of a double-byte character does not close the quote.
  EXPECT_EQ(Tail("\"C:\\\x83\x22.scr\" /s", DoubleByteStep), "/s");
  EXPECT_EQ(Tail("\"C:\\\x83\x22.scr\" /s", ByteStep), ".scr\" /s");
}

TEST(HostCommandTail, HandleNumber) {
  EXPECT_EQ(ParseHandleNumber("1234"), 1234u);
  EXPECT_EQ(ParseHandleNumber("1234x99"), 1234u);
  EXPECT_EQ(ParseHandleNumber(""), 0u);
  EXPECT_EQ(ParseHandleNumber("x"), 0u);
  EXPECT_EQ(ParseHandleNumber(" 12"), 0u);
  EXPECT_EQ(ParseHandleNumber("-12"), 0u);
  EXPECT_EQ(ParseHandleNumber("0x10"), 0u);
  EXPECT_EQ(ParseHandleNumber("4294967295"), 4294967295u);
  EXPECT_EQ(ParseHandleNumber("4294967297"), 1u);
  EXPECT_EQ(ParseHandleNumber("99999999999999999999"), 1661992959u);  // 10^20 - 1 mod 2^32
  EXPECT_EQ(ParseHandleNumber("\xB1\xB2"), 0u);
}

struct Row {
  const char* tail;
  bool win9x;
  bool valid;
  SaverMode mode;
  OwnerRule owner;
  std::uint32_t handle;
};

TEST(HostCommandTail, SwitchTable) {
  const SaverMode C = SaverMode::Configure, S = SaverMode::Saver, P = SaverMode::Preview,
                  A = SaverMode::ChangePassword;
  const OwnerRule none = OwnerRule::None, owned = OwnerRule::HandleOrForeground;
  const Row rows[] = {
      {"", false, true, C, none, 0},
      {"/s", false, true, S, none, 0},
      {"/S", false, true, S, none, 0},
      {"-s", false, true, S, none, 0},
      {"s", false, true, S, none, 0},
      {"/ s", false, true, S, none, 0},
      {"--/s", false, true, S, none, 0},
      {"/sx", false, true, S, none, 0},
      {"/s /p 12", false, true, S, none, 0},
      {"/p 1234", false, true, P, none, 1234},
      {"/p     1234", false, true, P, none, 1234},
      {"/l 1234", false, true, P, none, 1234},
      {"/L1234", false, true, P, none, 1234},
      {"/P", false, true, P, none, 0},
      {"/p 0", false, true, P, none, 0},
      {"/p x", false, true, P, none, 0},
      {"/p:1234", false, true, P, none, 0},
      {"/p\t1234", false, true, P, none, 0},
      {"/p 4294967297", false, true, P, none, 1},
      {"/c:1234", false, true, C, owned, 1234},
      {"/C:1234", false, true, C, owned, 1234},
      {"/c 1234", false, true, C, owned, 0},
      {"/c", false, true, C, owned, 0},
      {"/c:", false, true, C, owned, 0},
      {"/a 1234", true, true, A, owned, 1234},
      {"/A", true, true, A, owned, 0},
      {"/a   77", true, true, A, owned, 77},
      {"/a 1234", false, false, C, none, 0},
      {"/x", true, false, C, none, 0},
      {"/?", true, false, C, none, 0},
      {"/\ts", true, false, C, none, 0},
      {"\xF3", true, false, C, none, 0},  // 0xF3 is 's' | 0x80, not a letter
      {"//", false, true, C, none, 0},    // separators only: end of text
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.tail);
    const SwitchChoice choice = ScanSwitch(row.tail, row.win9x);
    ASSERT_EQ(choice.valid, row.valid);
    if (!row.valid) continue;
    EXPECT_EQ(choice.mode, row.mode);
    if (row.mode == C || row.mode == A) {
      EXPECT_EQ(choice.owner, row.owner);
    }
    EXPECT_EQ(choice.handle, row.handle);
  }
}

TEST(HostCommandTail, PreviewKeepsTheRestForItsOwnScan) {
  const char* tail = "/p   1234 junk";
  EXPECT_STREQ(ScanSwitch(tail, false).rest, "1234 junk");
}

}  // namespace
