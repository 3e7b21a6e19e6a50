// Replaced by the effect core.
