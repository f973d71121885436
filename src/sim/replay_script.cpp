#include "sim/replay_script.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace dx400::sim {

namespace {

// The bytes of "AA 00 06 ...", or nothing if a word is not one hexadecimal byte.
std::optional<std::vector<std::uint8_t>> hexWords(std::istringstream& words) {
    std::vector<std::uint8_t> bytes;
    std::string word;
    while (words >> word) {
        std::size_t used = 0;
        int value = -1;
        try {
            value = std::stoi(word, &used, 16);
        } catch (const std::exception&) {
        }
        if (word.size() != 2 || used != 2 || value < 0)
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}

} // namespace

ReplayScript ReplayScript::load(const std::string& path) {
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    ReplayScript script;
    bool driveSide = false; // the log was written by this simulator
    std::vector<RecordedChunk>* answer = nullptr;
    std::int64_t requestUs = 0;
    bool headed = false;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string time, kind;
        words >> time >> kind;
        if (time == "#") { // a session's header: its program tells which end wrote it
            driveSide = kind == "dx400-sim";
            answer = nullptr;
            headed = true;
            continue;
        }
        // Other lines (a simulator's console output, say) are passed over.
        std::int64_t us = -1;
        std::istringstream(time) >> us;
        const auto bytes = hexWords(words);
        if (us < 0 || !bytes)
            continue;
        if (kind == (driveSide ? "RX" : "TX") && bytes->size() >= kFrameSize) {
            Frame request{};
            std::copy_n(bytes->begin(), kFrameSize, request.begin());
            answer = &script.m_answers[request].emplace_back();
            requestUs = us;
        } else if (answer &&
                   (kind == (driveSide ? "TX" : "RX") || (driveSide && kind == "NOISE"))) {
            answer->push_back({std::chrono::microseconds(us - requestUs), *bytes});
        }
    }
    if (!headed)
        throw std::runtime_error(path + " is not a traffic log: it has no header line");
    return script;
}

std::optional<std::vector<RecordedChunk>> ReplayScript::next(const Frame& request) {
    const auto found = m_answers.find(request);
    if (found == m_answers.end() || found->second.empty())
        return std::nullopt;
    std::vector<RecordedChunk> answer = std::move(found->second.front());
    found->second.pop_front();
    return answer;
}

} // namespace dx400::sim
