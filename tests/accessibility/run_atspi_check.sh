#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs check_atspi.py against the program given, on an X server and a D-Bus
# session of its own (the accessibility bus is started by the session).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
program="$(realpath "$1")"
# The test run may ask for offscreen windows; this check needs the X server's.
unset QT_QPA_PLATFORM
# A free display from a random start, so that runs side by side (ctest --parallel,
# other Xvfb users) do not race for the same one.
check() {
  xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1280x800x24" \
    dbus-run-session -- /usr/bin/python3 "$here/check_atspi.py" "$program"
}
# A second try when the first found no program at all: on a loaded machine the
# accessibility bus now and then misses the program's registration. A wrong or
# missing name fails both tries.
check || { echo "run_atspi_check: trying once more" >&2; check; }
