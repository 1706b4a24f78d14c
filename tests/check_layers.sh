#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source includes a header of a layer above its own, or when source
# files include each other in a loop (a.cpp includes b.h and b.cpp includes a.h
# counts: the two are one unit each).
#   core  <-  video, image, net  <-  batch  <-  app, cli
#   core  <-  ui  <-  dialogs  <-  app            (app and dialogs may use net)
set -euo pipefail
src="$1"
declare -A allowed=(
  [core]="core"
  [video]="core video"
  [image]="core image"
  [net]="core net"
  [batch]="core video image batch"
  [ui]="core ui"
  [dialogs]="core net ui dialogs"
  [app]="core video image net batch ui dialogs app"
  [cli]="core video image batch cli"
)
status=0
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
cd "$src"
for file in $(find . -name '*.cpp' -o -name '*.h' | sed 's|^\./||' | sort); do
  layer="${file%%/*}"
  unit="${file%.*}"
  [[ -n "${allowed[$layer]:-}" ]] || { echo "unknown layer: $file"; status=1; continue; }
  while read -r included; do
    target="${included%%/*}"
    if [[ " ${allowed[$layer]} " != *" $target "* ]]; then
      echo "$file includes $included: $layer may not use $target"
      status=1
    fi
    other="${included%.*}"
    [[ "$other" == "$unit" ]] || echo "$unit $other" >>"$edges"
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([a-z_]*\/[^"]*\)".*/\1/p' "$file")
done
if ! tsort "$edges" >/dev/null 2>"$edges.loop"; then
  echo "files that include each other in a loop:"
  cat "$edges.loop"
  status=1
fi
rm -f "$edges.loop"
units=$(cut -d' ' -f1 "$edges" | sort -u | wc -l)
[[ $status -eq 0 ]] && echo "check_layers: $units units, every include points down, no loops"
exit $status
