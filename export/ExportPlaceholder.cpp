// Replaced by the exporters.
