#!/usr/bin/env bash
# Runs the demo host (x86_64 build) under Wine + Xvfb in its own Wine environment:
# registers the test control it hosts in that environment, prints the host's
# transcript and leaves its screenshots in BUILD/demo/. Fails when the host
# reports a failed step or a screenshot is missing.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out=${1:?usage: run-demo.sh BUILD_DIR}
out=$(cd "$out" && pwd)
bin="$out/x86_64/bin"
demo="$out/demo"
screenshots=(demo-display.png demo-selection.png demo-edit-form.png demo-lookup.png
  demo-control.png demo-host.png)
mkdir -p "$demo"
for name in "${screenshots[@]}"; do rm -f "$demo/$name"; done

trap '"$here/wine-env.sh" stop "$demo"' EXIT
"$here/wine-env.sh" setup "$demo"
# The host finds the control by its ProgID, which COM reads from the registry of
# the Wine environment (under HKLM): an installer's regsvr32.
if ! "$here/wine-env.sh" run "$demo" x86_64 60 regsvr32.exe /s "Z:${bin//\//\\}\\ProbeControl.dll"; then
  # The host checks the registration itself and reports the failed step.
  echo "run-demo: regsvr32 could not register ProbeControl.dll" >&2
fi
status=0
"$here/wine-env.sh" run "$demo" x86_64 180 "$bin/demo_host.exe" \
  --screenshots "Z:${demo//\//\\}" | tr -d '\r' || status=$?
for name in "${screenshots[@]}"; do
  if [ -f "$demo/$name" ]; then
    echo "screenshot: $demo/$name"
  else
    echo "screenshot missing: $demo/$name" >&2
    status=1
  fi
done
exit "$status"
