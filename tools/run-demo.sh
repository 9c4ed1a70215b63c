#!/usr/bin/env bash
# Runs the demo host (x86_64 build) under Wine + Xvfb in its own Wine environment,
# prints its transcript and leaves its screenshot in BUILD/demo/.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out=${1:?usage: run-demo.sh BUILD_DIR}
demo="$out/demo"
mkdir -p "$demo"
rm -f "$demo/demo-host.png"

trap '"$here/wine-env.sh" stop "$demo"' EXIT
"$here/wine-env.sh" setup "$demo"
status=0
"$here/wine-env.sh" run "$demo" x86_64 120 "$out/x86_64/bin/demo_host.exe" \
  --screenshot "Z:$demo/demo-host.png" | tr -d '\r' || status=$?
if [ -f "$demo/demo-host.png" ]; then
  echo "screenshot: $demo/demo-host.png"
else
  echo "no screenshot was written" >&2
  status=1
fi
exit "$status"
