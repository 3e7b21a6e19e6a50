// Replaced by the host core.
