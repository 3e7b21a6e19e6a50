#!/usr/bin/env bash
# The picture checks of test_harness_screen.sh on a 16-bit display.
E2E_NAME=$(basename "$0" .sh) exec bash "$(dirname "$0")/test_harness_screen.sh" 1024x768x16
