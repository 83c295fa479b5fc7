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
# wine PROGRAM ARGUMENTS...: PROGRAM a Unix path, or the name of one of Wine's own programs
# (reg, regsvr32, cscript, ...), which runs from system32 by its full path. Given a bare name,
# wine starts start.exe instead, to find the program with ShellExecuteEx, and that now and then
# fails ("ShellExecuteEx failed: Internal error.") without the program ever starting.
wine() {
  case $1 in
    */*) "$wine64" "$@" ;;
    *)
      program=$1
      shift
      "$wine64" "C:\\windows\\system32\\$program.exe" "$@"
      ;;
  esac
}

# Debian's wineserver wrapper starts every server that wine starts by itself with -p0: such a
# server begins to shut down as soon as its last program ends, and a command started then must
# wait for it to exit and for a new server to load the saved registry, or fails to start. So no
# command here runs on such a server: each runs on one started with -p, which runs until it is
# stopped, and a server is stopped (and waited for) only while no command runs.
start_server() { "$server" -p; }
stop_prefix() {
  "$server" -k 2>/dev/null || true
  "$server" -w 2>/dev/null || true
}

# A fresh prefix with the null graphics driver, and the script host's first run (it registers
# its own type library then) behind it.
fresh_prefix() {
  stop_prefix   # a server left by an interrupted run
  rm -rf "$prefix"
  mkdir -p "$prefix"
  start_server
  wine wineboot --init >"$prefix.boot" 2>&1 || fail "wineboot --init: $(tail -5 "$prefix.boot")"
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 ||
    fail "reg add Graphics null"
  # The desktop took its driver as wineboot started it: the next server starts it afresh, with
  # the null driver. That one server then serves the whole test, every command seeing the
  # registry as the one before it left it.
  stop_prefix
  start_server
  echo 'WScript.Quit(0);' >"$prefix/drive_c/warm_up.js"
  wine cscript //nologo 'C:\warm_up.js' >/dev/null 2>&1 || fail "cscript does not run"
}
trap stop_prefix EXIT

# query KEY: its values, one "NAME    TYPE    DATA" a line, as reg answers. Status 1 only when
# reg answers that the key does not exist; 2 when reg gave no answer (wine or reg did not run),
# which says nothing about the key. Now and then reg ends with status 1 and says nothing at
# all; a query changes nothing, so one without an answer is asked again, up to three times.
query() {
  for attempt in 1 2 3; do
    answer=0
    wine reg query "$1" >"$prefix.query" 2>&1 || answer=$?
    if [ "$answer" -eq 0 ]; then
      tr -d '\r' <"$prefix.query" | sed -n 's/^    //p'
      return 0
    elif [ "$answer" -eq 1 ] &&
         tr -d '\r' <"$prefix.query" | grep -Fxq 'reg: Unable to find the specified registry key'; then
      return 1
    fi
    [ "$attempt" -eq 3 ] || echo "reg query $1 gave no answer (exit status $answer); asking again" >&2
  done
  return 2
}
# key_state KEY: sets state to present (its values in $prefix.lines) or missing; a query that
# reg did not answer is a failure of its own, and the state then unknown.
key_state() {
  status=0
  query "$1" >"$prefix.lines" || status=$?
  case $status in
    0) state=present ;;
    1) state=missing ;;
    *) state=unknown
       fail "reg query $1 gave no answer (exit status $answer): $(tr -d '\r' <"$prefix.query" | head -5)" ;;
  esac
}
expect_value() {  # KEY NAME TYPE DATA ("(Default)" names the default value)
  key_state "$1"
  if [ "$state" = missing ]; then
    fail "$1 is missing"
  elif [ "$state" = present ] && ! grep -Fxq "$2    $3    $4" "$prefix.lines"; then
    fail "$1 has no $2 $3 '$4':$(cat "$prefix.lines")"
  fi
}
expect_key() { key_state "$1"; [ "$state" != missing ] || fail "$1 is missing"; }
expect_no_key() { key_state "$1"; [ "$state" != present ] || fail "$1 is still there"; }
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
  rm -f "$prefix.boot" "$prefix.query" "$prefix.lines" "$prefix.script"
  if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
  fi
  name=$1
  shift
  rm -rf "$@"
  echo "All $name checks passed"
}
