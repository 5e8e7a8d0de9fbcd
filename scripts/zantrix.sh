#!/usr/bin/env bash
# Sets up a fresh machine, builds, and starts the editor: zantrix.sh [FILE]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh" build -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ -x "$root/build/bin/zantrix" ]; then
  exec "$root/build/bin/zantrix" "$@"
elif [ -x "$root/build/bin/editor-demo" ]; then
  echo "The application window is not built yet; starting the editor control demo." >&2
  exec "$root/build/bin/editor-demo" "$@"
else
  echo "Built the engine; the editor window is not part of this build yet." >&2
fi
