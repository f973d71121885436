#!/usr/bin/env bash
# Builds the tool and starts it against the drive simulator, published as COM4:
# click "통신 연결" with the default choices and work a simulated drive.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --parallel "$(nproc)" --target dx400 dx400-sim

sim_log="${TMPDIR:-/tmp}/dx400-sim.log"
build/src/sim/dx400-sim --port COM4 --log "$sim_log" </dev/null &
sim=$!
trap 'kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null || true' EXIT
# Wait until the simulator has published its port.
for _ in $(seq 50); do
    [ -L "${XDG_CONFIG_HOME:-$HOME/.config}/dx400/ports/COM4" ] && break
    sleep 0.1
done
echo "Simulator on COM4, frames logged to $sim_log"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    build/src/app/dx400
else
    echo "No display found: starting the tool on a virtual X display (xvfb-run)."
    xvfb-run -a build/src/app/dx400
fi
