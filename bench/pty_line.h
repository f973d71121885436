#pragma once

namespace dx400::bench {

// A raw pseudo-terminal published as COMn in $XDG_CONFIG_HOME/dx400/ports, so that the
// window connects to it and the benchmark writes the far end's bytes itself.
class PtyLine {
public:
    explicit PtyLine(int n);
    ~PtyLine();
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    int master() const { return m_master; }
    // Reads and drops whatever the tool has written.
    void drain();

private:
    int m_master = -1;
};

} // namespace dx400::bench
