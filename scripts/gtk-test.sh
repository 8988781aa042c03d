#!/bin/bash
# The Linux window's black-box test against build/native, on a virtual
# display of its own: the windows' scenarios (tests/scenarios.py), the
# checks only this window has (tests/gtk/gtkcheck.py), then a seeded stress
# run (gtk-test.sh [SEED [ACTIONS]]). Screenshots (idle, searching, results,
# listfull, nowords, scaled, and ltr and rtl for the locales compared) go to
# build/screenshots/gtk/. Exits non-zero when a check fails.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXLORE_BUILD:-$top/build}
# shellcheck source=gtk-env.sh
source "$top/scripts/gtk-env.sh"
seed=${1:-$(date +%s)}
actions=${2:-30}

tree=$build/native
for f in vexlore vexlore-listfull vexlore-find words; do
  if [ ! -e "$tree/$f" ]; then
    echo "gtk-test: no $tree/$f: build the native tree first" >&2
    exit 1
  fi
done
shots=$build/screenshots/gtk
rm -rf "$shots" "$build/gtk-test"
mkdir -p "$shots"
status=0
VEXLORE_SHOTS=$shots gtk_session /usr/bin/python3 "$top/tests/scenarios.py" gtk "$tree" \
  "$build/gtk-test" || status=$?
gtk_session /usr/bin/python3 "$top/tests/gtk/gtkcheck.py" check "$tree" "$build/gtk-test" "$shots" || status=$?
echo "gtk-test: the stress run, seed $seed (gtk-test.sh $seed $actions repeats it)"
gtk_session /usr/bin/python3 "$top/tests/scenarios.py" gtk "$tree" "$build/gtk-test" "$seed" \
  "$actions" || status=$?
echo "screenshots: $(cd "$shots" && echo *.png) in $shots"
exit "$status"
