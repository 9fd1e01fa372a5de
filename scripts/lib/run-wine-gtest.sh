# Runs a GoogleTest program built with MinGW under Wine. Source it, then:
#
#   run_wine_gtest NAME EXE [--report FILE] [--timeout SECONDS] [GTEST ARGS...]
#
# NAME picks the Wine prefix build/wine/NAME (see wine.sh). EXE runs inside the
# Wine virtual desktop (one 1024x768 monitor), with a time limit (default 600 s,
# or $WINE_GTEST_TIMEOUT); its output is printed as it comes. `explorer
# /desktop` does not hand back the program's exit code, so the verdict comes from
# gtest's XML report: no report (a crash, a hang, a kill) is a failure, and so are
# a report with failures or errors and a run of zero tests. --report copies the
# XML to FILE. Wine is always stopped afterwards, also on Ctrl-C. Returns 0 only
# when everything passed.

# shellcheck source=wine.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine.sh"

# The body runs in a subshell: wine_start's exports and our traps stay in here.
run_wine_gtest() (
  set -u
  if [ $# -lt 2 ]; then
    echo "usage: run_wine_gtest NAME EXE [--report FILE] [--timeout SECONDS] [GTEST ARGS...]" >&2
    exit 2
  fi
  local name=$1 exe=$2
  shift 2
  local report="" limit=${WINE_GTEST_TIMEOUT:-600}
  while [ $# -gt 0 ]; do
    case $1 in
      --report) report=${2:-}; shift 2 || shift ;;
      --report=*) report=${1#--report=}; shift ;;
      --timeout) limit=${2:-}; shift 2 || shift ;;
      --timeout=*) limit=${1#--timeout=}; shift ;;
      *) break ;;
    esac
  done
  case $limit in
    '' | *[!0-9]*) echo "run_wine_gtest: bad time limit '$limit'" >&2; exit 2 ;;
  esac

  if [ ! -f "$exe" ]; then
    echo "run_wine_gtest: $exe not found (build it first)" >&2
    exit 1
  fi
  exe="$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")"
  local out="$ROOT/build/wine/$name-out"
  local xml="$out/$(basename "$exe" .exe).xml" log="$out/$(basename "$exe" .exe).log"
  mkdir -p "$out"
  rm -f "$xml" "$log"

  # One run per prefix at a time: two wineservers' worth of tests in one
  # desktop would see each other's windows.
  exec 9>"$ROOT/build/wine/$name.lock"
  if ! flock -w "$limit" 9; then
    echo "run_wine_gtest: prefix '$name' stayed busy for $limit s" >&2
    exit 1
  fi

  local pid="" tailpid="" shotpid=""
  cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    [ -n "$tailpid" ] && kill "$tailpid" 2>/dev/null
    [ -n "$shotpid" ] && kill "$shotpid" 2>/dev/null
    wine_stop
  }
  trap cleanup EXIT
  trap 'echo "run_wine_gtest: interrupted" >&2; exit 130' INT
  trap 'echo "run_wine_gtest: terminated" >&2; exit 143' TERM

  wine_start "$name"
  # Requests from the tests, through files in $WINE_GTEST_SHOTS; the test waits
  # until the file is gone. NAME.request: we photograph the X display (what a
  # user would see; the screen DC of a Wine virtual desktop cannot be read
  # back) as NAME.png. NAME.xdo: xdotool runs the words in it, as X input that
  # Wine's keyboard state sees (modifier keys sent with SendInput are dropped
  # again at the next X mouse event).
  if [ -n "${WINE_GTEST_SHOTS:-}" ]; then
    mkdir -p "$WINE_GTEST_SHOTS"
    (
      while :; do
        for req in "$WINE_GTEST_SHOTS"/*.request; do
          [ -e "$req" ] || continue
          import -window root "${req%.request}.png" 2>/dev/null
          rm -f "$req"
        done
        for req in "$WINE_GTEST_SHOTS"/*.xdo; do
          [ -e "$req" ] || continue
          # shellcheck disable=SC2046
          xdotool $(cat "$req") 2>/dev/null
          rm -f "$req"
        done
        sleep 0.1
      done
    ) &
    shotpid=$!
  fi
  # Z: is the whole Unix file system in every prefix.
  local winxml="Z:${xml//\//\\}"

  echo "run_wine_gtest: $exe (prefix $name, limit ${limit}s)"
  local started=$SECONDS
  : >"$log"
  (cd "$(dirname "$exe")" &&
    exec timeout -k 10 "$limit" wine explorer "/desktop=tomari,$WINE_DESKTOP_SIZE" \
      "$exe" "--gtest_output=xml:$winxml" "$@") >>"$log" 2>&1 &
  pid=$!
  tail -n +1 -f --pid="$pid" "$log" &
  tailpid=$!
  local rc=0
  wait "$pid" || rc=$?
  pid=""
  wait "$tailpid" 2>/dev/null
  tailpid=""
  local spent=$((SECONDS - started))

  if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
    echo "run_wine_gtest: FAIL: $name did not finish within ${limit}s" >&2
    exit 1
  fi
  if [ ! -s "$xml" ]; then
    echo "run_wine_gtest: FAIL: $name wrote no XML report (crashed or was killed; wine exit $rc)" >&2
    exit 1
  fi
  [ -n "$report" ] && mkdir -p "$(dirname "$report")" && cp "$xml" "$report"

  python3 - "$xml" "$name" "$spent" <<'PY'
import sys
import xml.etree.ElementTree as ET

path, name, spent = sys.argv[1:4]
try:
    root = ET.parse(path).getroot()
except ET.ParseError as e:
    print(f"run_wine_gtest: FAIL: {name}: unreadable XML report: {e}", file=sys.stderr)
    sys.exit(1)
tests = int(root.get("tests", 0))
failures = int(root.get("failures", 0))
errors = int(root.get("errors", 0))
disabled = int(root.get("disabled", 0))
skipped = sum(1 for c in root.iter("testcase") if c.find("skipped") is not None)
failed = [f"{c.get('classname')}.{c.get('name')}" for c in root.iter("testcase")
          if c.find("failure") is not None or c.find("error") is not None]
print(f"run_wine_gtest: {name}: {tests} tests, {failures} failures, {errors} errors, "
      f"{skipped} skipped, {disabled} disabled ({spent} s)")
for f in failed:
    print(f"  FAILED {f}")
if tests - disabled <= 0:
    print(f"run_wine_gtest: FAIL: {name} ran no tests", file=sys.stderr)
    sys.exit(1)
sys.exit(1 if failures or errors or failed else 0)
PY
)
