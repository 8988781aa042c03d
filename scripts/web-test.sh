#!/bin/bash
# The page's test: builds it and the native finder the test compares with,
# and runs the windows' scenarios (tests/scenarios.py) and the page's own
# checks (tests/web/webcheck.py) in headless Chromium, then a seeded stress
# run (web-test.sh [SEED]). Screenshots go to BUILD/screenshots/web.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXLORE_BUILD:-$top/build}
bash "$top/scripts/web-build.sh" "$build/web"
# shellcheck source=../scripts/lib.sh
source "$top/scripts/lib.sh"
[ -x "$build/native/vexlore-find" ] || native_build "$top" "$build" vexlore-find
# Debian's Selenium, whichever python3 comes first on the path
status=0
VEXLORE_FIND=$build/native/vexlore-find VEXLORE_SHOTS=$build/screenshots/web \
  /usr/bin/python3 "$top/tests/scenarios.py" web "$build/web/site" "$build/web/scenarios" || status=$?
/usr/bin/python3 "$top/tests/web/webcheck.py" check "$build/web/site" "$build/web/webcheck" \
  "$build/screenshots/web" || status=$?
seed=${1:-$(date +%s)}
echo "web-test: the stress run, seed $seed (web-test.sh $seed repeats it)"
VEXLORE_FIND=$build/native/vexlore-find /usr/bin/python3 "$top/tests/scenarios.py" web \
  "$build/web/site" "$build/web/scenarios" "$seed" 20 || status=$?
exit "$status"
