// The port text and the two port mappings, as pure functions.
#include <gtest/gtest.h>

#include "core/integer_text.h"
#include "core/mail/smtp_ports.h"

namespace dorvik {
namespace {

TEST(SmtpPort, ReadsWholeNumbersWithLeadingBlanks) {
  EXPECT_EQ(smtpPort("25"), 25);
  EXPECT_EQ(smtpPort("  587"), 587);
  EXPECT_EQ(smtpPort("0"), 0);
  EXPECT_EQ(smtpPort("65535"), 65535);
}

TEST(SmtpPort, RejectsTextsThatAreNoPort) {
  for (const char* text : {"", " ", "abc", "25 ", "2 5", "25a"}) EXPECT_THROW(smtpPort(text), ConversionError) << text;
  for (const char* text : {"65536", "-1", "2147483647"}) EXPECT_THROW(smtpPort(text), RangeError) << text;
}

struct MappingCase {
  int given, tls, fallback;
};

TEST(PortMapping, ImplicitTlsThenPlainFallback) {
  // The fallback maps the port the TLS attempt left, as the client does.
  const MappingCase cases[] = {{25, 465, 25}, {587, 465, 25}, {465, 465, 25}, {2525, 2525, 2525}, {0, 0, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(implicitTlsPort(c.given), c.tls) << c.given;
    EXPECT_EQ(plainPort(implicitTlsPort(c.given)), c.fallback) << c.given;
  }
  EXPECT_EQ(plainPort(587), 25);
  EXPECT_EQ(plainPort(25), 25);
}

TEST(PortTargets, RedirectsOnlyTheWellKnownPorts) {
  const PortTargets targets{40025, 40465};
  EXPECT_EQ(targets.actual(25), 40025);
  EXPECT_EQ(targets.actual(465), 40465);
  EXPECT_EQ(targets.actual(2525), 2525);
  EXPECT_EQ(PortTargets{}.actual(465), 465);
}

}  // namespace
}  // namespace dorvik
