# Shared by the release tests: arguments, a scratch folder, checks that
# report and count, and playing a program on SDL's dummy audio driver.
# Usage of every test: TEST DIST VERSION CAPTURE-PROGRAM.
set -uo pipefail
[[ $# -eq 3 ]] || { echo "usage: $0 DIST VERSION CAPTURE-PROGRAM" >&2; exit 2; }
dist=$1
version=$2
capture=$3
test_name=$(basename "$0")
scratch=$(mktemp -d "/tmp/quorvane-release-$test_name.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
failures=0

# Skips the test (77), or fails it under QUORVANE_REQUIRE_ALL=1, where
# nothing may be left untested.
skip() {
    if [[ ${QUORVANE_REQUIRE_ALL:-} == 1 ]]; then
        echo "FAILED: $* (QUORVANE_REQUIRE_ALL=1: no test may skip)"
        exit 1
    fi
    echo "SKIP: $*"
    exit 77
}

# A download the test needs, into the variable named second; skips the test
# when make-release has not made it.
download() {
    local file=$dist/$1
    [[ -f $file ]] || skip "$file is not made (tools/make-release)"
    [[ $# -lt 2 ]] || printf -v "$2" '%s' "$file"
}

pass() { echo "ok: $*"; }
check() {
    local what=$1
    shift
    if "$@"; then pass "$what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
finish() {
    if [[ $failures -gt 0 ]]; then
        echo "$failures check(s) failed"
        exit 1
    fi
    echo "all checks passed"
    exit 0
}

# Runs a command with stdout and stderr kept in $scratch/out and
# $scratch/err; sets $status.
run() {
    "$@" >"$scratch/out" 2>"$scratch/err"
    status=$?
    if [[ -s $scratch/err ]]; then
        sed 's/^/  stderr: /' "$scratch/err" | head -n 20
    fi
}

# The programs need an X display; without one, the test runs again under Xvfb.
needs_display() {
    if [[ -z ${DISPLAY:-} ]]; then
        exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$dist" "$version" "$capture"
    fi
}
