#!/usr/bin/env bash
# The set-up against stand-in package tools: while another install holds the lock it says so,
# waits and goes on; a lock that stays held past the limit ends it with a failure.
set -uo pipefail
setup=$1
bin=$(mktemp -d)
trap 'rm -rf "$bin"' EXIT
# Every listed package reads as missing; apt-get is refused the lock for its first $HELD calls.
printf '#!/bin/sh\necho "deinstall ok config-files"\n' > "$bin/dpkg-query"
printf '#!/bin/sh\nexec "$@"\n' > "$bin/sudo"
cat > "$bin/apt-get" <<'TOOL'
#!/bin/sh
calls=$(($(cat "$FAKE_DIR/calls" 2>/dev/null || echo 0) + 1))
echo "$calls" > "$FAKE_DIR/calls"
if [ "$calls" -le "$HELD" ]; then
    echo "E: Could not get lock /var/lib/dpkg/lock-frontend. It is held by process 1 (apt-get)" >&2
    exit 100
fi
echo "$1" >> "$FAKE_DIR/done"
TOOL
chmod +x "$bin"/*

run() { # held-calls wait-limit
    rm -f "$bin/calls" "$bin/done"
    PATH="$bin:$PATH" FAKE_DIR=$bin HELD=$1 SETUP_LOCK_WAIT=$2 SETUP_LOCK_RETRY=0.1 timeout 30 bash "$setup" 2> "$bin/err" > /dev/null
}
fail() { echo "FAIL: $*"; cat "$bin/err"; exit 1; }

run 3 10 || fail "did not go on after the lock was freed"
[[ $(tr '\n' ' ' < "$bin/done") == "update install " ]] || fail "did not run update then install"
grep -q "holds the package lock; waiting" "$bin/err" || fail "no waiting message"
run 1000 1 && fail "succeeded while the lock stayed held"
grep -q "still held" "$bin/err" || fail "no message when giving up"
echo "setup lock handling: ok"
