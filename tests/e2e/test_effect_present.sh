#!/usr/bin/env bash
# The saver presents a frame's changed blocks as one blit clipped to a region
# made of them. The window must end up exactly as with one blit per block, for
# every surface depth, with blocks that overlap and touch (present_check reads
# the window back after each way). The driver also prints what each way costs
# per frame; the figures stay in the log.
source "$(dirname "$0")/lib.sh"

e2e_display 1024x768x24
e2e_run check present_check
out=$(tr -d '\r' <"$(e2e_out check)")
e2e_log "$out"
for depth in 16 24 32; do
  line=$(grep -m1 "^depth=$depth " <<<"$out" || true)
  e2e_expect_eq "$(e2e_field "$line" same)" 1 "clipped and per-block presentation at $depth bits ($line)"
done
e2e_expect_eq "$E2E_RC" 0 "exit code of present_check"
e2e_pass
