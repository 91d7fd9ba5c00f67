#!/usr/bin/env bash
# scripts/check-includes on small trees: a clean one passes; an include up the
# floors, one between two folders of the same floor, a loop between a source and a
# header, and a HACKING.md that gives another order each fail, naming the fault.
#   check_includes_test.sh PATH_TO_CHECK_INCLUDES
set -uo pipefail
check=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

# A tree with one file per folder, including straight down the floors.
make_tree() {
  local t=$scratch/$1
  rm -rf "$t"
  mkdir -p "$t"/{platform,display,music,archive,render,scenes,app,tools,tests,bench,fuzz}
  grep -F ' < ' "$(dirname "$check")/../HACKING.md" | head -n 1 > "$t/HACKING.md"
  echo '#pragma once' > "$t/platform/seam.h"
  printf '#include "platform/seam.h"\n' > "$t/display/screen.h"
  printf '#include "display/screen.h"\n' > "$t/render/blit.h"
  printf '#include "render/blit.h"\n#include "scenes/phase.h"\n' > "$t/scenes/scene01.cpp"
  printf '#pragma once\n' > "$t/scenes/scene01.h"
  printf '#include "render/blit.h"\n' > "$t/scenes/phase.h"
  printf '#include "scenes/scene01.h"\n#include "platform/seam.h"\n' > "$t/app/driver.cpp"
  printf '#include "app/driver.h"\n#include "bench/show.h"\n' > "$t/tests/show.cpp"
  printf '#include "tests/show.h"\n' > "$t/bench/show.h"
  echo "$t"
}

# expect NAME STATUS PATTERN TREE: the check ends with STATUS and prints PATTERN.
expect() {
  local out status
  out=$("$check" "$4" 2>&1)
  status=$?
  if [ "$status" -ne "$2" ] || ! grep -qE "$3" <<<"$out"; then
    echo "FAIL $1: status $status, output:"
    echo "$out" | sed 's/^/    /'
    failures=$((failures + 1))
  else
    echo "ok   $1"
  fi
}

t=$(make_tree clean)
expect clean-tree-passes 0 'no include against the floors, no loop' "$t"

t=$(make_tree upward)
printf '#include "scenes/phase.h"\n' >> "$t/render/blit.h"
expect include-up-the-floors 1 '^render/blit.h includes scenes/phase.h \(render/ may not include scenes/\)' "$t"

t=$(make_tree sideways)
printf '#include "music/player.h"\n' >> "$t/display/screen.h"
printf '#pragma once\n' > "$t/music/player.h"
expect include-beside-on-one-floor 1 '^display/screen.h includes music/player.h' "$t"

t=$(make_tree loop)
printf '#include "scenes/scene01.h"\n' > "$t/scenes/table.cpp"
printf '#pragma once\n' > "$t/scenes/table.h"
printf '#include "scenes/table.h"\n' >> "$t/scenes/scene01.cpp"
expect source-and-header-loop 1 'include loop through: .*scenes/scene01 .*scenes/table' "$t"

t=$(make_tree order)
echo '    platform < render < display' > "$t/HACKING.md"
expect order-written-elsewhere 1 'HACKING.md does not give the folder order' "$t"

[ "$failures" -eq 0 ]
