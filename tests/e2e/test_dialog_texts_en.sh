#!/usr/bin/env bash
# The settings dialog's texts under a Western locale (en_US, ANSI code page
# 1252, which holds no Japanese character): they must read exactly as under a
# Japanese one. See dialog_texts.sh.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dialog.sh"
western_locale
source "$(dirname "$0")/dialog_texts.sh"
e2e_pass
