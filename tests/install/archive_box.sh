#!/bin/sh
# Starts the installed program where the loose asset files lie but no
# tesmor.dat: the game then shows its splash under the missing-archive box,
# and the screen check must say so. This keeps run_check.py honest about
# the box it rules out in the other start tests.
# Usage: archive_box.sh PROGRAM DATA_DIR SCRATCH_DIR SEND_CLOSE
set -eu
program=$1
data=$2
scratch=$3
send_close=$4
. "$(dirname "$0")/need.sh"
need_window_tools
rm -rf "$scratch"
mkdir -p "$scratch"
cp "$data"/*.jpg "$data"/m.png "$data"/s.png "$data"/f.xml "$data"/f0.png "$data"/icon-*.png \
    "$scratch"/
[ ! -e "$scratch/tesmor.dat" ]
exec /usr/bin/python3 -B "$(dirname "$0")/run_check.py" --splash "$data/s.png" \
    --expect archive-box --send-close "$send_close" --cwd "$scratch" \
    --artifacts "$scratch-screens" -- "$program"
