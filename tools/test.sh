#!/usr/bin/env bash
# Runs every test through ctest: the native unit tests (plain and under the
# sanitizers) and the end-to-end tests of Notchlog.exe under Wine and Xvfb.
set -euo pipefail
cd "$(dirname "$0")/../build/native"
exec ctest --output-on-failure "$@"
