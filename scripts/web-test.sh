#!/bin/bash
# The page's test: builds it and the native finder the test compares with,
# and runs tests/web/webcheck.py in headless Chromium. Screenshots go to
# BUILD/screenshots/web.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXLORE_BUILD:-$top/build}
bash "$top/scripts/web-build.sh" "$build/web"
# shellcheck source=../scripts/lib.sh
source "$top/scripts/lib.sh"
[ -x "$build/native/vexlore-find" ] || native_build "$top" "$build" vexlore-find
# Debian's Selenium, whichever python3 comes first on the path
/usr/bin/python3 "$top/tests/web/webcheck.py" check "$build/web/site" "$build/native/vexlore-find" \
  "$build/web/webcheck" "$build/screenshots/web"
