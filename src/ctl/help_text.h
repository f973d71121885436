#pragma once

// The parts of `dx400ctl --help` that Qt's parser does not write: the commands, the
// profile and the exit codes. The manual page (packaging/dx400ctl.1.in) says the same.
namespace dx400::ctl {

inline constexpr const char* kDescription =
    "Works a DX-400 stepper-motor drive over a serial line from scripts: the frames of the\n"
    "DX-400 window, each reply awaited and checked, results as lines or JSON, and an exit\n"
    "code for every outcome.";

inline constexpr const char* kPortHelp =
    "COMn as in the window (the link $XDG_CONFIG_HOME/dx400/ports/COMn, else\n"
    "/dev/ttyS<n-1>), or a device path such as /dev/ttyUSB0 (default COM4).";

inline constexpr const char* kHelpEnd = R"(
Commands:
  ports                      COM1 to COM10, the device each stands for, and whether it
                             opens now
  read [NAME...]             the six parameters (all by default), position, inputs;
                             NAME is current, stop-current, speed, accel, home-speed,
                             resolution, position or inputs
  write NAME=VALUE...        write parameters, 100 ms apart; every value is checked
  write --profile FILE       before anything is sent, and one refused value sends none
  save --profile FILE        read the six parameters into a profile
  verify --profile FILE      read the six parameters back and compare them with the
         [--write]           profile; with --write, write the profile first
  move abs|inc PULSES        move to a position, or by a number of pulses
  jog rol|ror SPEED          jog at SPEED (0 to 2047) and return at once; with --for,
         [--for SECONDS]     stop the motor after SECONDS, or on Ctrl-C or any other
                             signal that would end the program
  stop                       stop the motor
  output on|off              switch the output
  inputs                     read the three inputs: "101" is input 1 and 3 on
  position                   read the position
  send CMD OPT D3 D2 D1 D0   send any frame (bytes in hexadecimal) and show its reply
  watch [position] [inputs]  sample them (both by default) every --interval MS, one line
         [--for SECONDS]     each as it comes (--json: JSON lines, --csv: CSV), until
                             --for is up or a signal; the port is free between samples

  A negative number follows "--": dx400ctl move inc -- -100

Profile: one "name = value" line for each of the six parameters (an INI file);
  lines starting with # or ; are comments.

Exit codes:
  0  success
  1  verify found differences
  2  usage: the command line or the profile is wrong; nothing was sent
  3  the port could not be opened
  4  no reply in time, or the line was lost
  5  a reply failed its checks (start, status, end, command byte or checksum), came
     unasked, or holds a parameter value outside its range
  6  a value was refused; nothing was sent
  128+n  signal n (130 Ctrl-C, 143 SIGTERM, 129 SIGHUP, ...) ended a jog --for early
     and the motor was stopped (if the stop frame is not answered, 4 or 5 instead), or
     came before the jog started and nothing was sent; or came during a write, which
     went on until every value was written; or ended a watch
)";

} // namespace dx400::ctl
