#include "sim/sim_options.h"

#include <gtest/gtest.h>

namespace dx400::sim {
namespace {

struct OptionsCase {
    const char* name;
    std::vector<std::string> arguments;
    std::string error; // expected start of the error, empty when it parses
    SimOptions expected;
};

SimOptions expect(void (*set)(SimOptions&)) {
    SimOptions options;
    set(options);
    return options;
}

TEST(SimOptions, ParsesTheCommandLine) {
    const std::vector<OptionsCase> cases = {
        {"defaults", {}, "", {}},
        {"port", {"--port", "COM7"}, "", expect([](SimOptions& o) { o.port = 7; })},
        {"port lower case", {"--port", "com12"}, "", expect([](SimOptions& o) { o.port = 12; })},
        {"port zero", {"--port", "COM0"}, "--port: expected", {}},
        {"port not a COM port", {"--port", "LPT1"}, "--port: expected", {}},
        {"inputs in order 1 2 3", {"--inputs", "100"}, "", expect([](SimOptions& o) {
             o.inputs = {true, false, false};
         })},
        {"inputs too short", {"--inputs", "10"}, "--inputs: expected", {}},
        {"inputs not binary", {"--inputs", "102"}, "--inputs: expected", {}},
        {"log file", {"--log", "/tmp/sim.log"}, "", expect([](SimOptions& o) {
             o.logFile = "/tmp/sim.log";
         })},
        {"help", {"--help"}, "", expect([](SimOptions& o) { o.help = true; })},
        {"every fault",
         {"--no-reply", "--delay", "250", "--bad-start", "--bad-status", "--bad-end", "--split",
          "40", "--stray", "3", "--extra", "2", "--flood", "1000", "--hangup-after", "5",
          "--bad-checksum", "--wrong-command"},
         "",
         expect([](SimOptions& o) {
             o.faults = {true, 250, true, true, true, 40, 3, 2, 1000, 5, true, true};
         })},
        {"missing value", {"--delay"}, "--delay needs a value", {}},
        {"value not a number", {"--delay", "soon"}, "--delay: expected", {}},
        {"negative value", {"--stray", "-1"}, "--stray: expected", {}},
        {"unknown option", {"--fast"}, "unknown option --fast", {}},
        {"bare word", {"COM4"}, "unknown option COM4", {}},
    };
    for (const OptionsCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ParsedOptions parsed = parseArguments(c.arguments);
        if (!c.error.empty()) {
            EXPECT_TRUE(parsed.error.starts_with(c.error)) << parsed.error;
            continue;
        }
        ASSERT_EQ(parsed.error, "");
        EXPECT_EQ(parsed.options.port, c.expected.port);
        EXPECT_EQ(parsed.options.inputs, c.expected.inputs);
        EXPECT_EQ(parsed.options.logFile, c.expected.logFile);
        EXPECT_EQ(parsed.options.help, c.expected.help);
        EXPECT_EQ(parsed.options.faults, c.expected.faults);
    }
}

TEST(SimOptions, ConsoleFaultSettingsSwitchOff) {
    Faults faults{true, 250, true, true, true, 40, 3, 2, 1000, 5, true, true};
    for (const char* name : {"no-reply", "bad-start", "bad-status", "bad-end", "split",
                             "hangup-after", "bad-checksum", "wrong-command"}) {
        EXPECT_EQ(applyFaultSetting(faults, name, "off"), "") << name;
    }
    for (const char* name : {"delay", "stray", "extra", "flood"}) {
        EXPECT_EQ(applyFaultSetting(faults, name, "0"), "") << name;
    }
    EXPECT_EQ(faults, Faults{});
    EXPECT_EQ(describeFaults(faults), "none");
    EXPECT_NE(applyFaultSetting(faults, "bad-start", "maybe"), "");
    EXPECT_NE(applyFaultSetting(faults, "slow", "1"), "");
}

} // namespace
} // namespace dx400::sim
