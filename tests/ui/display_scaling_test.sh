#!/bin/sh
# The main window at 96, 120, 144 and 192 pixels per inch (display_scaling_win32_test.cpp), and
# every control's text in every shipped language fitting its control at each of them
# (ShippedLanguagesTest.EveryTextFitsItsControl in languages_win32_test.cpp).
# Wine lays a process out at the LogPixels its prefix held when its wine server started, so
# each scale needs the server ended, which would end every other test of the session: the
# test runs in a copy of the build's prefix, whose server is its own. The copy and its
# server go when the test ends.
#
#   display_scaling_test.sh BUILD_DIR
set -eu
build="$1"
started="$(date +%s)"
prefix="$build/display-scaling-prefix"
log="$build/display-scaling.log"
export MENDLET_WINEPREFIX="$prefix"

end_server() {
  WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX="$prefix" wineserver -w >/dev/null 2>&1 || true
}
trap 'end_server; rm -rf "$prefix" "$log"' EXIT
rm -rf "$prefix"
cp -a "$build/wineprefix" "$prefix"

failed=""
for dpi in 96 120 144 192; do
  # Nothing of Wine's may keep CTest's output open: the desktop it starts outlives the test.
  "$build/wine-run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  end_server
  # Each run's time limit is what is left of this test's.
  if [ -n "${MENDLET_TIME_LIMIT:-}" ]; then
    export MENDLET_TIME_LIMIT=$((MENDLET_TIME_LIMIT - ($(date +%s) - started)))
    started="$(date +%s)"
  fi
  status=0
  MENDLET_EXPECTED_DPI="$dpi" "$build/wine-run" "$build/mendlet_win32_tests.exe" \
    --gtest_filter='DisplayScaling.*:ShippedLanguagesTest.EveryTextFitsItsControl' >"$log" 2>&1 || status=$?
  cat "$log"
  # A run that skipped has checked nothing.
  if [ "$status" -ne 0 ] || grep -q '^\[  SKIPPED \]' "$log" || ! grep -q '^\[  PASSED  \]' "$log"; then
    failed="$failed $dpi"
  fi
done
[ -z "$failed" ] || { echo "display scaling: the main window failed at$failed dpi" >&2; exit 1; }
