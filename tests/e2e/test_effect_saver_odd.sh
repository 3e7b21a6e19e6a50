#!/usr/bin/env bash
# The saver picture checks of test_effect_saver.sh on a 16-bit display whose
# width is odd, so its rows are not a whole number of 4-byte units.
E2E_NAME=$(basename "$0" .sh) exec bash "$(dirname "$0")/test_effect_saver.sh" 1025x768x16 desktop
