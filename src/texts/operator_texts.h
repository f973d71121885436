#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>

// Every text that the programs show the operator at run time, in one place, so that the
// wording stays consistent and can be reviewed at a glance. The window's fixed captions
// are in its form, src/app/form1.ui. All texts are UTF-8.
namespace dx400::text {

// The window's caption and the title of its message boxes.
inline constexpr std::string_view kTitle = "DX-400";

// The six drive parameters in panel order: the name the messages give each, and the
// message for a value out of range. The messages say "구동속도" and "홈 이동 속도" where the
// panel's labels say "동작속도" and "홈이동속도".
inline constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kParameters{{
    {"동작전류", "에러 동작전류 값은 32보다 작아야 한다."},
    {"정지전류", "에러 정지전류 값은 32보다 작아야 한다."},
    {"구동속도", "에러 구동속도 값은 2047보다 작아야 한다."},
    {"가감속", "에러 가감속 값은 2047보다 작아야 한다."},
    {"홈 이동 속도", "에러 홈 이동 속도 값은 2047보다 작아야 한다."},
    {"분해능", "에러 분해능 값은 8보다 작아야 한다."},
}};

// A value box whose text is no number; `name` as in kParameters.
std::string notANumber(std::string_view name);

// The move and jog boxes refuse a text that is no number, and say what they take: at
// most 7 and 4 characters.
inline constexpr std::string_view kPulsesRefused =
    "에러 이동펄스 값이 숫자가 아니다. -999999부터 9999999까지의 수를 넣어야 한다.";
inline constexpr std::string_view kJogSpeedRefused =
    "에러 JOG SPEED 값이 숫자가 아니다. -999부터 9999까지의 수를 넣어야 한다.";

// A reply byte that is not what a reply carries at its place.
inline constexpr std::string_view kCommError = "통신에러";

// The output button names what its next click does.
inline constexpr std::string_view kOutputOn = "출력ON";
inline constexpr std::string_view kOutputOff = "출력OFF";

// Connecting to port `port` ("COM4") failed; `device` is the device it stands for.
std::string noPortSelected();
std::string noRateSelected(std::string_view port);
std::string notARate(std::string_view port, std::string_view rateText);
std::string noSuchDevice(std::string_view port, std::string_view device);
// `group` owns the device; joining it gives the right to open it.
std::string accessDenied(std::string_view port, std::string_view device, std::string_view group);
std::string portBusy(std::string_view port, std::string_view device);
std::string rateRefused(std::string_view port, std::string_view rateText, std::string_view device);
std::string notSerial(std::string_view port, std::string_view device);
std::string cannotOpen(std::string_view port, std::string_view device, std::string_view reason);

// A port's tooltip: a device that is not there, and the maker of one that is.
inline constexpr std::string_view kNoDevice = "장치 없음 (no such device)";
inline constexpr std::string_view kManufacturer = "제조사 (manufacturer): ";

// An open line was lost (device unplugged, far end hung up, write failed).
std::string lineLost(std::string_view port);

} // namespace dx400::text
