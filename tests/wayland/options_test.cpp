// The Wayland program's command line: the shared options read as in the X11
// program, its own taken, the X11 program's own refused.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "wayland/options.h"

namespace {

bool Parse(std::initializer_list<const char*> arguments, WaylandOptions& o, std::string& error) {
  std::vector<const char*> argv = {"gyrewell-wayland"};
  argv.insert(argv.end(), arguments);
  char text[128];
  const bool parsed = ParseWaylandOptions(static_cast<int>(argv.size()), argv.data(), o, text, sizeof text);
  error = text;
  return parsed;
}

TEST(WaylandOptions, SharedOptionsAndItsOwn) {
  WaylandOptions o;
  std::string error;
  ASSERT_TRUE(Parse({"--count", "33", "-desktop", "/tmp/a.png", "--toplevel", "-seed", "7", "-frames", "40"}, o, error));
  EXPECT_EQ(o.spriteCount, 33);
  EXPECT_STREQ(o.desktopFile, "/tmp/a.png");
  EXPECT_TRUE(o.toplevel);
  EXPECT_TRUE(o.seedGiven);
  EXPECT_EQ(o.seed, 7u);
  EXPECT_EQ(o.frameLimit, 40);
  ASSERT_TRUE(Parse({}, o, error));
  EXPECT_EQ(o.desktopFile, nullptr);
  EXPECT_FALSE(o.toplevel);
  EXPECT_EQ(o.delayMicroseconds, 15625);
}

TEST(WaylandOptions, WhatItRefusesAndSays) {
  WaylandOptions o;
  std::string error;
  EXPECT_FALSE(Parse({"-root"}, o, error));
  EXPECT_EQ(error, "unknown option \"-root\"");
  EXPECT_FALSE(Parse({"-window-id", "12"}, o, error));
  EXPECT_EQ(error, "unknown option \"-window-id\"");
  EXPECT_FALSE(Parse({"-count", "20", "-desktop"}, o, error));
  EXPECT_EQ(error, "option \"-desktop\" needs a value");
  EXPECT_FALSE(Parse({"-desktop", ""}, o, error));
  EXPECT_EQ(error, "bad value \"\" for option \"-desktop\"");
  EXPECT_FALSE(Parse({"-backdrop", "grey"}, o, error));
  EXPECT_EQ(error, "bad value \"grey\" for option \"-backdrop\"");
}

}  // namespace
