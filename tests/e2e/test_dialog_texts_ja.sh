#!/usr/bin/env bash
# The settings dialog's texts under a Japanese locale (ANSI code page 932):
# see dialog_texts.sh.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dialog.sh"
e2e_japanese_locale
source "$(dirname "$0")/dialog_texts.sh"
e2e_pass
