#!/usr/bin/env bash
# Takes a picture of the DX-400 window as it opens, with the drive simulator published
# as COM4 (so the port list shows it), on a virtual X display, cropped to the window.
#   scripts/screenshot.sh [OUTPUT.png] [BUILD_DIR]   (defaults: docs/window.png, build)
# Builds first when the programs are missing. Needs Xvfb, xwd, xwininfo and ImageMagick,
# which it installs on Debian when they are missing.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$repo/docs/window.png}
build=${2:-build}
cd "$repo"

need=()
for p in xvfb xauth x11-apps x11-utils imagemagick fonts-nanum; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -ne 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

if [ ! -x "$build/src/app/dx400" ] || [ ! -x "$build/src/sim/dx400-sim" ]; then
    bash scripts/build.sh "$build"
fi

# A private configuration folder, so that the simulator's COM4 link does not touch the
# operator's own.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$(dirname "$out")"

# Every port but the simulator's stands for nothing, so the picture shows no machine's own
# ports and no serial device of this machine is opened.
mkdir -p "$work/config/dx400/ports"
for n in 1 2 3 5 6 7 8 9 10; do ln -s /nonexistent "$work/config/dx400/ports/COM$n"; done

XDG_CONFIG_HOME="$work/config" xvfb-run -a -s "-screen 0 800x760x24" bash -c '
    set -euo pipefail
    build=$1 out=$2
    "$build/src/sim/dx400-sim" --port COM4 --log /dev/null </dev/null &
    sim=$!
    for _ in $(seq 50); do
        [ -L "$XDG_CONFIG_HOME/dx400/ports/COM4" ] && break
        sleep 0.1
    done
    "$build/src/app/dx400" &
    app=$!
    trap "kill $app $sim 2>/dev/null || true" EXIT
    # Wait for the window to be mapped, then give it time to paint.
    id=""
    for _ in $(seq 100); do
        id=$(xwininfo -root -tree | awk "/\"DX-400\"/ && /dx400/ {print \$1; exit}")
        [ -n "$id" ] && xwininfo -id "$id" | grep -q "IsViewable" && break
        id=""
        sleep 0.1
    done
    [ -n "$id" ] || { echo "the DX-400 window did not appear" >&2; exit 1; }
    sleep 1
    xwd -silent -id "$id" | convert xwd:- "$out"
' _ "$build" "$out"
echo "Wrote $out"
