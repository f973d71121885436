#include "drive_steps.h"

namespace dx400::e2e {

bool sendOne(SimFixture& f, const char* button) {
    const std::size_t before = f.sim().counts().framesReceived;
    f.click(button);
    return f.waitForFrames(before + 1) && f.settle();
}

std::optional<QString> readPosition(SimFixture& f) {
    const std::size_t before = f.sim().counts().framesReceived;
    f.click("Cmd_RPOS");
    if (!f.waitForFrames(before + 1) || !f.waitUntil([&] { return f.readState() == 0; }) ||
        !f.settle())
        return std::nullopt;
    return f.text("Text_RPOS");
}

bool readAll(SimFixture& f) {
    const std::size_t before = f.sim().counts().framesReceived;
    f.click("cmd_RData");
    return f.waitForFrames(before + 6) && f.waitUntil([&] { return f.readState() == 0; }) &&
           f.settle();
}

} // namespace dx400::e2e
