#!/usr/bin/env bash
# test_effect_saver.sh with the black backdrop (PTNNUM=2): a black field with
# sprites and no pit.
E2E_NAME=$(basename "$0" .sh) exec bash "$(dirname "$0")/test_effect_saver.sh" 1280x800x24 black
