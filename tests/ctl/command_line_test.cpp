// dx400ctl's command lines read in this process, refused before a port is touched or read as given.
#include "ctl/commands.h"

#include <QFile>
#include <QTemporaryDir>
#include <gmock/gmock.h>

namespace dx400::ctl {
namespace {

// The exit code and message a line is refused with, or 0 and what its options were read as.
std::pair<int, std::string> refusal(const QString& line) {
    const Options o = parseOptions(("dx400ctl " + line).split(' ', Qt::SkipEmptyParts));
    if (!o.error.isEmpty())
        return {2, o.error.toStdString()};
    try {
        prepareCommand(o);
    } catch (const Failure& failure) {
        return {int(failure.code()), failure.what()};
    }
    return {0,
            QString::asprintf("%s %d %d %d %d %g %d %d", qPrintable(o.port), o.portNumber, o.speed,
                              o.timeoutMs, o.retries, o.forSeconds.value_or(0),
                              o.json + 2 * o.verbose + 4 * o.writeFirst + 8 * o.csv, o.intervalMs)
                .toStdString()};
}

TEST(CommandLine, EachMistakeIsRefusedWithItsCodeAndEverySoundLineIsReadAsGiven) {
    QTemporaryDir dir;
    QFile profile(dir.filePath("p"));
    ASSERT_TRUE(profile.open(QIODevice::WriteOnly) &&
                profile.write("current = 1\n  # by hand\nstop-current = 2\nspeed=3\naccel = 4\n"
                              "home-speed = 5\n; x\nresolution = 6\n") > 0 &&
                profile.flush());
    std::vector<std::tuple<QString, int, std::string>> cases = {
        {"", 2, "no command given (see dx400ctl --help)"},
        {"fly", 2, "unknown command 'fly' (see dx400ctl --help)"},
        {"read x", 2,
         "unknown name 'x' (known: current, stop-current, speed, accel, home-speed, "
         "resolution, position, inputs)"},
        {"write", 2, "usage: dx400ctl write NAME=VALUE... | write --profile FILE"},
        {"write speed=1 speed=2", 2, "speed is given twice"},
        {"write =1", 2,
         "unknown name '' (known: current, stop-current, speed, accel, "
         "home-speed, resolution)"},
        {"save", 2, "usage: dx400ctl save --profile FILE"},
        {"verify", 2, "usage: dx400ctl verify --profile FILE [--write]"},
        {"verify --profile %p.none", 2, "cannot read the profile"},
        {"move abs", 2, "usage: dx400ctl move abs|inc PULSES"},
        {"jog rol", 2, "usage: dx400ctl jog rol|ror SPEED [--for SECONDS]"},
        {"output", 2, "usage: dx400ctl output on|off"},
        {"send 1 2 3 4 5", 2, "usage: dx400ctl send CMD OPT D3 D2 D1 D0"},
        {"send 0 0 0 0 0 100", 2, "'100' is not a byte in hexadecimal (00 to FF)"},
        {"send 0 0 0 0 zz 0", 2, "'zz' is not a byte"},
        {"read --write", 2, "--write does not go with read"},
        {"move abs 1 --for 2", 2, "--for does not go with move"},
        {"move inc -100", 2,
         "Unknown options: 1, 0, 0. (a negative number follows \"--\", as in: "
         "dx400ctl move inc -- -100)"},
        {"--port COM0 stop", 2, "--port: expected COMn or a device path, got 'COM0'"},
        {"--port ttyUSB0 stop", 2, "--port: expected COMn"},
        {"--speed low_speed6000 stop", 2, // listed in the window, but not a speed
         "--speed: expected one of 128000, 115200, 57600, 56000, 38400, "
         "19200, 14400, 9600, 4800, 2400, 1200, 600, got 'low_speed6000'"},
        {"--timeout 0 stop", 2, "--timeout: expected a whole number of milliseconds from 1 up"},
        {"--retries=-1 stop", 2, "--retries: expected a whole number from 0 to 100"},
        {"--retries 101 stop", 2, "--retries: expected"},
        {"--retries x stop", 2, "--retries: expected"},
        {"--for 0 jog rol 1", 2, "--for: expected a number of seconds from 0.001 to 1000000"},
        {"--for 1000001 jog rol 1", 2, "--for: expected"},
        {"--interval 0 watch", 2,
         "--interval: expected a whole number of milliseconds from 1 to 3600000"},
        {"--interval 3600001 watch", 2, "--interval: expected"},
        {"--csv read", 2, "--csv does not go with read"},
        {"--json --csv watch", 2, "--csv and --json do not go together"},
        {"--interval 1 stop", 2, "--interval does not go with stop"},
        {"--for 1 stop", 2, "--for does not go with stop"},
        {"move abs 99999999999", 6, "PULSES must be a whole number from -2147483648 to 2147483647"},
        {"jog ror 2048", 6, "SPEED must be from 0 to 2047, not '2048'"},
        {"jog ror -- -1", 6, "SPEED must be from 0 to 2047, not '-1'"},
        {"jog ror fast", 6,
         "SPEED must be a whole number from -2147483648 to 2147483647, not 'fast'"},
        {"write home-speed=-1", 6, "에러 홈 이동 속도 값은 2047보다 작아야 한다."},
        {"write current=32 stop-current=32 speed=2047 accel=2047 home-speed=2047 resolution=8", 6,
         "에러 동작전류 값은 32보다 작아야 한다.\n에러 정지전류 값은 32보다 작아야 한다.\n"
         "에러 구동속도 값은 2047보다 작아야 한다.\n에러 가감속 값은 2047보다 작아야 한다.\n"
         "에러 홈 이동 속도 값은 2047보다 작아야 한다.\n에러 분해능 값은 8보다 작아야 한다."},
        {"write current=a stop-current=b speed=1 accel=ten home-speed=c resolution=d", 6,
         "에러 동작전류 값이 숫자가 아니다.\n에러 정지전류 값이 숫자가 아니다.\n에러 가감속 값이 "
         "숫자가 아니다.\n에러 홈 이동 속도 값이 숫자가 아니다.\n에러 분해능 값이 숫자가 아니다."},
        // Sound lines: port, its number, line speed, time-out, retries, --for, flags, interval.
        {"--port com12 --speed 600 --timeout 1 --retries 100 --json stop", 0,
         "COM12 12 600 1 100 0 1 100"},
        {"jog ror 2047 --port /dev/x --for 0.001 --verbose", 0, "/dev/x 0 19200 500 0 0.001 2 100"},
        {"jog rol 0 --for 1000000", 0, "COM4 4 19200 500 0 1e+06 0 100"},
        {"verify --write --profile %p", 0, "COM4 4 19200 500 0 0 4 100"},
        {"watch inputs position --csv --interval 3600000 --for 2", 0,
         "COM4 4 19200 500 0 2 8 3600000"},
    };
    for (const char* line : {"ports", "read", "move abs 1", "jog rol 1", "stop", "output on",
                             "inputs", "position", "send 0 0 0 0 0 0", "watch"})
        EXPECT_EQ(refusal(QString(line) + " --profile p").second,
                  "--profile does not go with " + QString(line).section(' ', 0, 0).toStdString());
    // Too many or too few arguments, or a word the command does not know: its usage.
    for (const QString line :
         {"ports x", "write speed", "write speed=1 --profile %p", "save x --profile %p",
          "verify x --profile %p", "move abs 1 2", "move up 1", "jog rol 1 2", "jog left 1",
          "stop x", "output on off", "output maybe", "inputs x", "position x", "send 1 2 3 4 5 6 7",
          "watch speed", "watch inputs position inputs"})
        cases.emplace_back(line, 2, "usage: dx400ctl " + line.section(' ', 0, 0).toStdString());
    for (const QString line :
         {"save --profile %p", "write --profile %p", "read current position inputs",
          "send 0c 01 00 00 00 FF", "move inc -- -2147483648"})
        cases.emplace_back(line, 0, "COM4 4 19200 500 0 0 0 100"); // every option as by default
    for (const auto& [line, code, message] : cases)
        EXPECT_THAT(refusal(QString(line).replace("%p", profile.fileName())),
                    testing::Pair(code, testing::HasSubstr(message)))
            << line.toStdString();
}

} // namespace
} // namespace dx400::ctl
