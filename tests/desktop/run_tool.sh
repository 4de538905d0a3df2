#!/bin/sh
# run_tool.sh TOOL ARG...: runs a validator, or reports the test skipped (exit 77) when the
# tool is not installed; scripts/setup installs them.
tool=$1
shift
if ! command -v "$tool" >/dev/null 2>&1; then
  echo "skipped: $tool is not installed (scripts/setup installs it)"
  exit 77
fi
exec "$tool" "$@"
