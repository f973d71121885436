#pragma once

#include <QTimer>
#include <cstdint>
#include <functional>
#include <vector>

namespace dx400::bench {

// Feeds reply frames into the far end of a pseudo-terminal as fast as the tool takes them,
// in whole frames, from the window's own thread (a zero-interval timer, so it runs between
// any two events and inside nested event loops too).
//
// The tool reads whatever waits, and a reply cut between two receive events is, by design,
// a "통신에러" (positions restart at 1 in every event). The line discipline on the tool's
// side holds 4095 bytes; when more wait, it takes only part of a frame. So the feeder keeps
// at most 4000 bytes on their way: written minus what the tool has taken off the line,
// which `taken` reports exactly because it runs on the same thread as the tool.
class BurstFeeder {
public:
    BurstFeeder(int master, std::vector<std::uint8_t> bytes, std::function<qint64()> taken);

    void start();
    void stop() { m_timer.stop(); }
    std::int64_t startedUs() const { return m_started; }

private:
    void feed();

    int m_master;
    std::vector<std::uint8_t> m_bytes;
    std::function<qint64()> m_taken;
    std::size_t m_sent = 0;
    std::int64_t m_started = 0;
    QTimer m_timer;
};

// `count` copies of a valid position reply, BB 00 06 64 00 00 01 F4 EE 5F.
std::vector<std::uint8_t> replyFrames(std::size_t count);

} // namespace dx400::bench
