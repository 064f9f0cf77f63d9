// Replaced by the embedded object server sources.
