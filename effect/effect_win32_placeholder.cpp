// Replaced by the effect shell.
