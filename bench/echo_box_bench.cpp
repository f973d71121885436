// Figure 6, the receive box on its own: one receive event's echo (an event of the burst
// reads about 4000 bytes, 16,000 echo characters) appended to a box that already holds N
// characters and painted, for the QLineEdit the box was (setText(text() + piece)) and the
// ReceiveEchoBox it is (append(piece)).
#include "app/receive_echo_box.h"
#include "bench_window.h"

#include <limits>
#include <map>

namespace {

using namespace dx400;
using namespace dx400::bench;

constexpr int kEvents = 4; // per iteration
const QString kPiece = QStringLiteral("BB  00  06  64  00  00  01  F4  EE  5F  ").repeated(400);

void append(QLineEdit& box) {
    box.setText(box.text() + kPiece);
}
void append(ReceiveEchoBox& box) {
    box.append(kPiece);
}

// `chars` characters that nobody else shares, with room to grow as a box that has been
// growing for a while has.
QString held(qsizetype chars) {
    QString text;
    text.reserve(chars + kEvents * kPiece.size());
    while (text.size() < chars)
        text += kPiece;
    text.truncate(chars);
    return text;
}

// Each run makes a box as rx_txt is (its font, its size, shown and exposed, since painting
// only happens then) and returns the mean time per event in µs.
template <typename Box> std::vector<double> perEvent(qsizetype chars, int iterations, int runs) {
    std::vector<double> us;
    for (int run = 0; run < runs; ++run) {
        Box box;
        box.setFont(gulim(12, true));
        box.setMaxLength(std::numeric_limits<int>::max());
        box.resize(385, 41);
        showExposed(box);
        double total = 0;
        for (int i = 0; i < iterations; ++i) {
            box.setText(held(chars));
            box.repaint();
            const std::int64_t start = monotonicMicros();
            for (int event = 0; event < kEvents; ++event) {
                append(box);
                box.repaint();
            }
            total += static_cast<double>(monotonicMicros() - start);
        }
        us.push_back(total / iterations / kEvents);
    }
    return us;
}

void print(const char* box, qsizetype chars, const std::vector<double>& us, const char* note) {
    summaryRow("6. Receive box alone: one event's echo appended and painted, " + std::string(box) +
                   " holding " + std::to_string(chars) + " characters (µs)",
               us, 0)
        .print(note);
}

} // namespace

int main(int argc, char** argv) {
    return windowMain(argc, argv, [&](ConfigHome&) {
        const int runs = option(argc, argv, "--runs", 3);
        for (const qsizetype chars : {16'000, 512'000})
            print("QLineEdit", chars, perEvent<QLineEdit>(chars, 2, runs),
                  "the box before the fix");
        std::map<qsizetype, std::vector<double>> now;
        for (const qsizetype chars : {16'000, 512'000, 4'000'000}) {
            now[chars] = perEvent<ReceiveEchoBox>(chars, 20, runs);
            print("ReceiveEchoBox", chars, now[chars], "the box now");
        }
        const double ratio = median(now[4'000'000]) / median(now[16'000]);
        Row{"6. Receive box alone: ReceiveEchoBox event cost holding 4,000,000 ÷ holding 16,000 "
            "characters",
            fixed(ratio, 2), "-", now[4'000'000].size()}
            .goal("≤ 1.5 (the cost does not grow with what the box holds)", fixed(ratio / 1.5, 3),
                  ratio <= 1.5)
            .print("ratio of the medians");
        return 0;
    });
}
