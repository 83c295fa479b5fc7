# Sourced by the Wine installation tests: a private, headless prefix served by one persistent
# wineserver, and the checks they share. Set wine64 and prefix before sourcing.
# shellcheck shell=sh

export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # never offer to download Mono or Gecko
server="$(dirname "$wine64")/wineserver"
[ -x "$server" ] || server=wineserver

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
step() { echo "== $*"; }
wine() { "$wine64" "$@"; }

# A fresh prefix with the null graphics driver, and the script host's first run (it registers
# its own type library then) behind it.
fresh_prefix() {
  "$server" -k 2>/dev/null || true   # a server left by an interrupted run
  rm -rf "$prefix"
  wine wineboot --init >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  "$server" -w
  # One server for the whole test, until stop_prefix: every command then sees the registry
  # of the one before it, with no server shutting down and another loading the saved hives
  # in between.
  "$server" -p
  echo 'WScript.Quit(0);' >"$prefix/drive_c/warm_up.js"
  wine cscript //nologo 'C:\warm_up.js' >/dev/null 2>&1 || fail "cscript does not run"
}
stop_prefix() { "$server" -k 2>/dev/null || true; }
trap stop_prefix EXIT

# query KEY: its values, one "NAME    TYPE    DATA" a line; status 1 when the key is missing.
query() {
  wine reg query "$1" >"$prefix.query" 2>&1 || return 1
  tr -d '\r' <"$prefix.query" | sed -n 's/^    //p'
}
# What reg said when a query failed (a missing key, or reg itself not running).
query_failure() { tr -d '\r' <"$prefix.query" | head -5; }
expect_value() {  # KEY NAME TYPE DATA ("(Default)" names the default value)
  if ! query "$1" >"$prefix.lines"; then
    fail "$1 is missing: $(query_failure)"
  elif ! grep -Fxq "$2    $3    $4" "$prefix.lines"; then
    fail "$1 has no $2 $3 '$4':$(cat "$prefix.lines")"
  fi
}
expect_key() { query "$1" >/dev/null || fail "$1 is missing: $(query_failure)"; }
expect_no_key() { if query "$1" >/dev/null; then fail "$1 is still there"; fi; }
add_value() {  # KEY NAME DATA (an empty NAME sets the default value)
  if [ -z "$2" ]; then
    wine reg add "$1" /ve /d "$3" /f >/dev/null 2>&1 || fail "reg add $1"
  else
    wine reg add "$1" /v "$2" /d "$3" /f >/dev/null 2>&1 || fail "reg add $1"
  fi
}

# run_script_checks JS: a script host runs the checks of install_check.js.
run_script_checks() {
  cp "$1" "$prefix/drive_c/install_check.js"
  status=0
  wine cscript //nologo 'C:\install_check.js' >"$prefix.script" 2>&1 || status=$?
  tr -d '\r' <"$prefix.script" | tee "$prefix.lines"
  grep -Fxq "All script checks passed" "$prefix.lines" ||
    fail "install_check.js: not every check passed (exit status $status)"
}

# finish NAME FOLDER...: the verdict; the folders go when every check passed.
finish() {
  stop_prefix
  rm -f "$prefix.query" "$prefix.lines" "$prefix.script"
  if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
  fi
  name=$1
  shift
  rm -rf "$@"
  echo "All $name checks passed"
}
