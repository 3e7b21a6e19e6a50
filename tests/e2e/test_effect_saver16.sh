#!/usr/bin/env bash
# The saver picture checks of test_effect_saver.sh on a 16-bit display.
E2E_NAME=$(basename "$0" .sh) exec bash "$(dirname "$0")/test_effect_saver.sh" 1024x768x16 desktop
